#pragma once
// One whole patch run over a noisy cable, on the virtual clock, and what it came to: how it
// ended, what it cost in retries, whether a misread date code changed a unit's decision, and
// whether the radio's flash holds what the run claims.

#include <cstdint>
#include <span>
#include <string_view>

#include "image/resource_ids.h"
#include "link/clock.h"
#include "run/patch_run.h"
#include "sim/radio_setup.h"

namespace tav::noise {

// A radio to patch and what its date codes call for. A technician asked for a code types the
// right one (from the label or the depot's records).
struct NoisePath {
  std::string_view name;
  RadioSetup setup;
  bool coreNeedsPatch = false;
  bool controlHeadNeedsPatch = false;
};

// Both units, the core only, the control head only, and a control head met in its monitor.
std::span<const NoisePath> NoisePaths();

struct NoiseRun {
  PatchOutcome outcome = PatchOutcome::Failed;
  // The run ended "Flash Write complete.".
  bool saidComplete = false;
  // Each unit's flash is the image where the run sent its erase command (or found it in its
  // monitor), and its old firmware where the run left it alone.
  bool flashAsClaimed = false;
  // Packet writes that repeat the packet before them: the tries the noise cost.
  int packetRetries = 0;
  // Units the run decided on differently from what their date code calls for, in runs that got
  // as far as deciding (one that ends in the probe or the relay's download decides nothing):
  // left unpatched though in their list, and taken on though not in it.
  int leftUnpatched = 0;
  int patchedNotInList = 0;
  // Packets a loader programmed that the PC never sent: a corrupted packet whose 8-bit sum
  // still came out right.
  int checksumEscapes = 0;
  // A unit taken on whose ROM monitor's security check failed (noise on the eight security
  // bytes): the processor hides its flash until a power-on reset, so its loader answers X.
  bool securityFailed = false;
  // The run showed "CPU security lock out.…".
  bool lockOutShown = false;
  std::uint64_t noiseHits = 0;
  Micros simulatedTime{0};
};

NoiseRun RunUnderNoise(const NoisePath& path, double rate, std::uint32_t seed);

}  // namespace tav::noise
