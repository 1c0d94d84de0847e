#include "sim/line_noise.h"

namespace tav {

LineNoise::LineNoise(double rate, std::uint32_t seed)
    : threshold_(rate <= 0.0   ? 0u
                 : rate >= 1.0 ? 0xFFFFFFFFu
                               : static_cast<std::uint32_t>(rate * 4294967296.0)),
      generator_(seed) {}

std::uint8_t LineNoise::Pass(std::uint8_t byte) {
  if (threshold_ == 0) return byte;
  // The raw generator output is the same on every standard library; distributions are not.
  if (generator_() >= threshold_) return byte;
  unsigned bit = generator_() % 8;
  unsigned mask = 1u << bit;
  while (bit < 7 && generator_() % 4 == 0) mask |= 1u << ++bit;
  ++hits_;
  return static_cast<std::uint8_t>(byte ^ mask);
}

}  // namespace tav
