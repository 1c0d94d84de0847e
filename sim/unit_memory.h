#pragma once
// A unit's memory as the radio's programs see it: 32 KiB of flash at 0x8000..0xFFFF in 64-byte
// rows (erased = 0xFF; programming can only clear bits) and 512 bytes of RAM at 0x0040..0x023F.

#include <array>
#include <cstdint>
#include <span>

namespace tav {

inline constexpr std::uint16_t kFlashStart = 0x8000;
inline constexpr std::size_t kFlashSize = 0x8000;
inline constexpr std::uint16_t kRamStart = 0x0040;
inline constexpr std::size_t kRamSize = 0x200;
inline constexpr std::uint16_t kSecurityBytesAddress = 0xFFF6;  // eight bytes
inline constexpr std::uint16_t kResetVectorAddress = 0xFFFE;
inline constexpr std::uint16_t kDateCodeBytesAddress = 0xFDFC;
// Bit 6 of the first RAM byte: set by the ROM monitor when the security code matched.
inline constexpr std::uint16_t kSecurityResultAddress = 0x0040;
inline constexpr std::uint8_t kSecurityPassedBit = 0x40;

using FlashBytes = std::array<std::uint8_t, kFlashSize>;

struct UnitMemory {
  FlashBytes flash;
  std::array<std::uint8_t, kRamSize> ram;

  std::uint8_t FlashAt(std::uint16_t address) const { return flash[address - kFlashStart]; }
  void SetFlash(std::uint16_t address, std::uint8_t value) { flash[address - kFlashStart] = value; }
  static bool InRam(std::uint16_t address) {
    return address >= kRamStart && address < kRamStart + kRamSize;
  }
  std::uint8_t RamAt(std::uint16_t address) const { return ram[address - kRamStart]; }
  void SetRam(std::uint16_t address, std::uint8_t value) { ram[address - kRamStart] = value; }

  bool ResetVectorBlank() const {
    return FlashAt(kResetVectorAddress) == 0xFF && FlashAt(kResetVectorAddress + 1) == 0xFF;
  }
  bool SecurityPassed() const { return (RamAt(kSecurityResultAddress) & kSecurityPassedBit) != 0; }
  // The four date code bytes b0..b3 as their little-endian number.
  std::uint32_t DateCode() const;
};

// Flash and RAM of a unit at power-up. Old firmware: a block of code, its vectors (the
// security bytes and the reset vector among them) and its date code; the rest erased. RAM holds
// whatever it came up with, so that only a complete download leaves a program in it.
UnitMemory OldFirmwareMemory(std::uint16_t codeStart, std::uint16_t codeEnd, std::uint32_t dateCode,
                             std::uint32_t seed);
// The same unit with its flash erased.
UnitMemory ErasedMemory(std::uint32_t seed);
// A unit whose flash holds these bytes, RAM from the seed.
UnitMemory PatchedMemory(const FlashBytes& flash, std::uint32_t seed);
// RAM after the power was off: whatever the cells come up with, from the seed.
void ForgetRam(UnitMemory& memory, std::uint32_t seed);

}  // namespace tav
