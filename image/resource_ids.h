#pragma once
// The ids of the five S19 resources the program carries.

#include <cstdint>

namespace tav {

inline constexpr std::uint16_t kControlHeadLoaderResource = 107;  // CTLFLASH.S19
inline constexpr std::uint16_t kControlHeadFirmwareResource = 109;
inline constexpr std::uint16_t kCoreLoaderResource = 114;   // CORFLASH.S19
inline constexpr std::uint16_t kTalkThroughResource = 115;  // TALKTHRU.S19
inline constexpr std::uint16_t kCoreFirmwareResource = 116;

// RAM programs load into the processor's RAM window, firmware into the flash window.
inline constexpr std::uint16_t kRamWindowBase = 0x0040;
inline constexpr std::uint16_t kRamWindowSize = 0x0200;
inline constexpr std::uint16_t kFlashWindowBase = 0x8000;
inline constexpr std::uint16_t kFlashWindowSize = 0x8000;

}  // namespace tav
