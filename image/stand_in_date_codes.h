#pragma once
// The date codes carried at 0xFDFC..0xFDFF by the stand-in firmware images in resources/, as
// the little-endian number of their bytes b0..b3. Neither is in a list of codes that need the
// patch, and neither has a 0x00 byte, so a unit patched with its image reads back whole as up
// to date. tools/make_resources.py writes the same codes into the images.

#include <cstdint>

namespace tav {

// 3/14/2002 10:21:34, bytes 2C 6E 52 B1.
inline constexpr std::uint32_t kControlHeadStandInDateCode = 0xB1526E2C;
// 2/20/2002 14:37:46, bytes 2C 54 74 B7.
inline constexpr std::uint32_t kCoreStandInDateCode = 0xB774542C;

// Where a firmware image keeps its date code.
inline constexpr std::uint16_t kDateCodeAddress = 0xFDFC;

}  // namespace tav
