// A short sample of the noise report: seeded runs at every level on every path, checked for
// what must hold whatever the noise does, and the two ways the radio's own procedure lets a
// wrong flash through, each with a run that shows it.

#include <gtest/gtest.h>

#include "tests/noise/noise_tally.h"

namespace tav::noise {
namespace {

constexpr std::uint32_t kSeedsPerPath = 25;

const NoisePath& Path(std::string_view name) {
  for (const NoisePath& path : NoisePaths()) {
    if (path.name == name) return path;
  }
  throw std::invalid_argument(std::string(name));
}

TEST(Noise, CompleteOverAWrongFlashOnlyThroughTheRadiosOwnLimits) {
  for (double level : kNoiseLevels) {
    for (const NoisePath& path : NoisePaths()) {
      for (std::uint32_t seed = 1; seed <= kSeedsPerPath; ++seed) {
        SCOPED_TRACE(testing::Message() << level << " " << path.name << " seed " << seed);
        const NoiseRun run = RunUnderNoise(path, level, seed);
        EXPECT_EQ(run.saidComplete, run.outcome == PatchOutcome::Completed);
        if (run.saidComplete && !run.flashAsClaimed) {
          EXPECT_TRUE(run.checksumEscapes > 0 || run.securityMissed);
        }
        // Every wait and every retry loop ends: a run stays within its tries.
        EXPECT_LT(run.simulatedTime, Micros{std::chrono::minutes(5)});
        EXPECT_GT(run.noiseHits, 0u);
      }
    }
  }
}

TEST(Noise, TheLoadersTakeWhatTheirChecksumAndSecurityCheckLetThrough) {
  // A corrupted packet whose 8-bit sum still comes out right is programmed and acknowledged.
  const NoiseRun escape = RunUnderNoise(Path("core-only"), 0.001, 234);
  EXPECT_TRUE(escape.saidComplete);
  EXPECT_FALSE(escape.flashAsClaimed);
  EXPECT_EQ(escape.checksumEscapes, 1);
  EXPECT_FALSE(escape.securityMissed);
  // A flipped security byte fails the control head's monitor check, so its flash stays
  // protected; its loader answers K from its blank check and acknowledges every packet.
  const NoiseRun security = RunUnderNoise(Path("control-only"), 0.001, 22);
  EXPECT_TRUE(security.saidComplete);
  EXPECT_FALSE(security.flashAsClaimed);
  EXPECT_EQ(security.checksumEscapes, 0);
  EXPECT_TRUE(security.securityMissed);
}

}  // namespace
}  // namespace tav::noise
