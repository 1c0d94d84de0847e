#pragma once
// A noisy line: each byte passed through has one bit flipped with a fixed probability. Hits
// are isolated (impulse noise): after one, the next kQuietBytes bytes pass clean, so a packet
// and its answer carry at most one flipped bit, which their 8-bit sum always shows. The
// generator is seeded, so a noisy run is the same every time and on every platform.

#include <cstdint>
#include <random>

namespace tav {

class LineNoise {
 public:
  LineNoise(double rate, std::uint32_t seed);
  std::uint8_t Pass(std::uint8_t byte);

  static constexpr int kQuietBytes = 100;

 private:
  std::uint32_t threshold_;
  int quiet_ = 0;
  std::mt19937 generator_;
};

}  // namespace tav
