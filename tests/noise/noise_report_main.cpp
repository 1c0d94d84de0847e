// The noise report: many seeded patch runs per noise level on each path, over a cable whose
// every byte (either way, at every stage) is hit with the level's probability. One CSV line
// per level and path, and a total per level:
//
//   noise_report [--runs N] [--first-seed S] [--jobs J]
//
// runs        runs tried (seeds S .. S+N-1)
// complete    runs that ended "Flash Write complete."
// not_required, foreign, no_contact, failed
//             how the other runs ended (a patch-not-required message, the foreign radio
//             message, no contact through the relay, a unit that failed)
// retries     packet tries beyond the first, summed over the runs that completed
// unpatched   units a misread date code left unpatched though they are in their list
// patched_not_listed
//             units a misread date code had erased and written though not in their list
// escapes     packets with a wrong content a loader took because the corruption cancelled in
//             the 8-bit checksum
// wrong       runs that said "Flash Write complete." over a flash that is not what they wrote
// lockouts    runs that ended "CPU security lock out.": noise on a unit's eight security bytes
//             failed its ROM monitor's check, the processor hides its flash until a power-on
//             reset, and its loader answers X
// unexplained wrong runs without a checksum escape (the program's own fault if ever non-zero)
// max_s       longest run on the simulated clock, in seconds

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>
#include <vector>

#include "tests/noise/noise_tally.h"

namespace {

int Argument(int argc, char** argv, std::string_view name, int fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (name == argv[i]) {
      int value = 0;
      const char* text = argv[i + 1];
      const auto [end, error] = std::from_chars(text, text + std::strlen(text), value);
      if (error != std::errc{} || *end != '\0' || value < 1) {
        std::fprintf(stderr, "noise_report: %s needs a positive number\n", argv[i]);
        std::exit(2);
      }
      return value;
    }
  }
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tav::noise;
  const int runs = Argument(argc, argv, "--runs", 2500);
  const int firstSeed = Argument(argc, argv, "--first-seed", 1);
  const int jobs = Argument(argc, argv, "--jobs", 2);

  std::printf("%s\n", kTallyHeader);
  for (double level : kNoiseLevels) {
    NoiseTally levelTotal;
    for (const NoisePath& path : NoisePaths()) {
      // Each job takes every jobs-th seed; the tallies add up.
      std::vector<NoiseTally> parts(static_cast<std::size_t>(jobs));
      std::vector<std::thread> workers;
      for (int j = 0; j < jobs; ++j) {
        workers.emplace_back([&, j] {
          for (int k = j; k < runs; k += jobs) {
            parts[static_cast<std::size_t>(j)].Add(
                RunUnderNoise(path, level, static_cast<std::uint32_t>(firstSeed + k)));
          }
        });
      }
      for (std::thread& w : workers) w.join();
      NoiseTally tally;
      for (const NoiseTally& part : parts) tally.Merge(part);
      levelTotal.Merge(tally);
      std::printf("%s\n", TallyLine(level, path.name, tally).c_str());
      std::fflush(stdout);
    }
    std::printf("%s\n", TallyLine(level, "all", levelTotal).c_str());
  }
  return 0;
}
