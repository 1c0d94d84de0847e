// The noise model: how often a byte is hit, and what a hit does to it.

#include <gtest/gtest.h>

#include <bit>

#include "sim/line_noise.h"

namespace tav {
namespace {

TEST(LineNoise, HitsBytesAtItsRateWithBurstsOfAdjacentBits) {
  constexpr int kBytes = 200'000;
  for (double rate : {0.001, 0.005, 0.01, 0.02}) {
    SCOPED_TRACE(rate);
    LineNoise noise(rate, 42);
    int hits = 0, singleBits = 0;
    for (int i = 0; i < kBytes; ++i) {
      const auto byte = static_cast<std::uint8_t>(i * 37);
      const auto flipped = static_cast<std::uint8_t>(byte ^ noise.Pass(byte));
      if (flipped == 0) continue;
      ++hits;
      singleBits += std::popcount(flipped) == 1;
      // One run of adjacent bits: shifted down to bit 0 it is a mask of ones.
      const unsigned run = flipped >> std::countr_zero(flipped);
      EXPECT_EQ(run & (run + 1), 0u) << std::hex << unsigned{flipped};
    }
    EXPECT_EQ(static_cast<std::uint64_t>(hits), noise.Hits());
    EXPECT_NEAR(hits, rate * kBytes, rate * kBytes * 0.1);
    // Three hits in four flip a single bit (fewer near the byte's top, where bursts are cut).
    EXPECT_NEAR(static_cast<double>(singleBits) / hits, 0.75, 0.05);
  }
}

TEST(LineNoise, IsTheSameForTheSameSeedAndSilentAtRateZero) {
  LineNoise a(0.02, 9), b(0.02, 9), quiet(0.0, 9);
  for (int i = 0; i < 10'000; ++i) {
    const auto byte = static_cast<std::uint8_t>(i);
    ASSERT_EQ(a.Pass(byte), b.Pass(byte));
    ASSERT_EQ(quiet.Pass(byte), byte);
  }
  EXPECT_GT(a.Hits(), 0u);
}

}  // namespace
}  // namespace tav
