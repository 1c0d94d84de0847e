#pragma once
// A noisy line: each byte passed through is hit independently with a fixed probability. A hit
// flips a burst of adjacent bits, as an impulse on the line corrupts the bits sent during it:
// one bit, and each further bit with probability 1/4, up to the byte's last data bit. Hits
// are independent of each other, so two of them in one packet (which its 8-bit sum may miss)
// come as often as the rate makes them. The generator is seeded, so a noisy run is the same
// every time and on every platform.

#include <cstdint>
#include <random>

namespace tav {

class LineNoise {
 public:
  LineNoise(double rate, std::uint32_t seed);
  std::uint8_t Pass(std::uint8_t byte);
  // Bytes changed so far.
  std::uint64_t Hits() const { return hits_; }

 private:
  std::uint32_t threshold_;
  std::mt19937 generator_;
  std::uint64_t hits_ = 0;
};

}  // namespace tav
