#pragma once
// Noise runs added up per level and path, and their line in the noise report.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "tests/noise/noise_trial.h"

namespace tav::noise {

// The levels the report covers: the probability that a byte on the cable is hit.
inline constexpr std::array<double, 4> kNoiseLevels = {0.001, 0.005, 0.01, 0.02};

struct NoiseTally {
  int runs = 0;
  int complete = 0;
  // How the other runs ended.
  int notRequired = 0;
  int foreign = 0;
  int noContact = 0;
  int failed = 0;
  long retries = 0;  // over the runs that completed
  int leftUnpatched = 0;
  int patchedNotInList = 0;
  int checksumEscapes = 0;
  int wrongComplete = 0;
  int lockOuts = 0;     // runs that ended "CPU security lock out."
  int unexplained = 0;  // wrongComplete without a checksum escape
  Micros longest{0};

  void Add(const NoiseRun& run);
  void Merge(const NoiseTally& other);
};

inline constexpr const char* kTallyHeader =
    "level,path,runs,complete,not_required,foreign,no_contact,failed,retries,unpatched,patched_not_"
    "listed,escapes,wrong,lockouts,unexplained,max_s";

std::string TallyLine(double level, std::string_view path, const NoiseTally& tally);

}  // namespace tav::noise
