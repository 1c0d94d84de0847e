#pragma once
// One byte on a serial line, with the rate it was sent at. A receiver listening at another
// rate sees a framing error and its serial interface drops the byte.

#include <cstdint>

#include "link/clock.h"

namespace tav {

struct SerialByte {
  std::uint8_t value = 0;
  std::uint32_t baud = 0;
};

// Time one byte takes on the line: start bit, eight data bits, stop bit.
inline Micros ByteTime(std::uint32_t baud) { return Micros{(10'000'000 + baud / 2) / baud}; }

}  // namespace tav
