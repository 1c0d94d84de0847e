#pragma once
// Small hand-made images for the protocol tests; each array is exactly the window's size.

#include <cstdint>
#include <map>
#include <memory>

#include "image/s19_image.h"

namespace tav::test {

inline std::unique_ptr<S19Image> MakeImage(std::uint16_t base, std::uint16_t window,
                                           const std::map<std::uint32_t, std::uint8_t>& bytes) {
  auto image = std::make_unique<S19Image>();
  image->baseAddress = base;
  image->windowSize = window;
  image->bytes = std::make_unique<std::uint8_t[]>(window);
  image->usedMask = std::make_unique<std::uint8_t[]>(window);
  for (const auto& [address, value] : bytes) {
    image->bytes[address - base] = value;
    image->usedMask[address - base] = 1;
  }
  image->usedCount = static_cast<std::uint32_t>(bytes.size());
  return image;
}

}  // namespace tav::test
