#pragma once
// Streams a firmware image to a running flash loader in checksummed packets, one flash row at
// a time, each acknowledged before the next.

#include <array>
#include <cstddef>
#include <cstdint>

#include "image/s19_image.h"
#include "link/serial_link.h"

namespace tav {

// 0x02, address high, address low, n, n data bytes, checksum. The checksum makes address, n,
// data and checksum add up to 0 modulo 256.
struct FlashPacket {
  static constexpr std::size_t kMaxData = 64;
  std::array<std::uint8_t, kMaxData + 5> bytes{};
  std::size_t size = 0;

  // data holds n bytes, n at most kMaxData.
  static FlashPacket Build(std::uint16_t address, const std::uint8_t* data, std::uint8_t n);
};

// Tells the loader the image is complete: address 0x55AA, no data.
FlashPacket ClosingPacket();

// Expects the unit's flash loader running, the link at 9600 baud. 1 when the whole image was
// taken and the closing packet sent; 0 when a packet was given up ("Radio has stopped
// responding.") or the run was cancelled (no message).
int WriteFlashImage(SerialLink& link, const S19Image& image);

}  // namespace tav
