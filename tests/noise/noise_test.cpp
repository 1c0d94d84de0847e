// A short sample of the noise report: seeded runs at every level on every path, checked for
// what must hold whatever the noise does; the one way the radio's own procedure lets a wrong
// flash through, and a failed security check ending honestly, each with a run that shows it.

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

TEST(Noise, CompleteOverAWrongFlashOnlyThroughAChecksumEscape) {
  for (double level : kNoiseLevels) {
    for (const NoisePath& path : NoisePaths()) {
      for (std::uint32_t seed = 1; seed <= kSeedsPerPath; ++seed) {
        SCOPED_TRACE(testing::Message() << level << " " << path.name << " seed " << seed);
        const NoiseRun run = RunUnderNoise(path, level, seed);
        EXPECT_EQ(run.saidComplete, run.outcome == PatchOutcome::Completed);
        if (run.saidComplete && !run.flashAsClaimed) {
          EXPECT_GT(run.checksumEscapes, 0);
        }
        // Every wait and every retry loop ends: a run stays within its tries.
        EXPECT_LT(run.simulatedTime, Micros{std::chrono::minutes(5)});
        EXPECT_GT(run.noiseHits, 0u);
      }
    }
  }
}

TEST(Noise, ALoaderTakesACorruptedPacketWhoseChecksumStillAddsUp) {
  const NoiseRun escape = RunUnderNoise(Path("core-only"), 0.001, 234);
  EXPECT_TRUE(escape.saidComplete);
  EXPECT_FALSE(escape.flashAsClaimed);
  EXPECT_EQ(escape.checksumEscapes, 1);
}

TEST(Noise, AFailedSecurityCheckEndsInTheLockOutMessage) {
  // A flipped security byte fails the control head's monitor check: its flash is hidden, so
  // its loader's blank check answers X, whatever the erased flash holds.
  const NoiseRun security = RunUnderNoise(Path("control-only"), 0.001, 22);
  EXPECT_TRUE(security.securityFailed);
  EXPECT_TRUE(security.lockOutShown);
  EXPECT_FALSE(security.saidComplete);
  EXPECT_EQ(security.outcome, PatchOutcome::Failed);
}

}  // namespace
}  // namespace tav::noise
