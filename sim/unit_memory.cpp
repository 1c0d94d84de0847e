#include "sim/unit_memory.h"

namespace tav {
namespace {

// A small fixed generator, so a radio always starts with the same memory.
class Filler {
 public:
  explicit Filler(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
  std::uint8_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<std::uint8_t>(state_ >> 24);
  }

 private:
  std::uint32_t state_;
};

}  // namespace

std::uint32_t UnitMemory::DateCode() const {
  std::uint32_t code = 0;
  for (int i = 3; i >= 0; --i) {
    code = (code << 8) | FlashAt(static_cast<std::uint16_t>(kDateCodeBytesAddress + i));
  }
  return code;
}

void ForgetRam(UnitMemory& memory, std::uint32_t seed) {
  Filler filler(seed);
  for (std::uint8_t& byte : memory.ram) byte = filler.Next();
}

UnitMemory ErasedMemory(std::uint32_t seed) {
  UnitMemory memory;
  memory.flash.fill(0xFF);
  ForgetRam(memory, seed);
  return memory;
}

UnitMemory PatchedMemory(const FlashBytes& flash, std::uint32_t seed) {
  UnitMemory memory = ErasedMemory(seed);
  memory.flash = flash;
  return memory;
}

UnitMemory OldFirmwareMemory(std::uint16_t codeStart, std::uint16_t codeEnd, std::uint32_t dateCode,
                             std::uint32_t seed) {
  UnitMemory memory = ErasedMemory(seed);
  Filler filler(seed + 1);
  for (std::uint32_t address = codeStart; address < codeEnd; ++address) {
    memory.SetFlash(static_cast<std::uint16_t>(address), filler.Next());
  }
  // Every vector from 0xFFDC up points somewhere into the code, the reset vector at its start.
  for (std::uint32_t address = 0xFFDC; address < kResetVectorAddress; address += 2) {
    const auto target = static_cast<std::uint16_t>(codeStart + 0x20 * ((address - 0xFFDC) / 2));
    memory.SetFlash(static_cast<std::uint16_t>(address), static_cast<std::uint8_t>(target >> 8));
    memory.SetFlash(static_cast<std::uint16_t>(address + 1), static_cast<std::uint8_t>(target));
  }
  memory.SetFlash(kResetVectorAddress, static_cast<std::uint8_t>(codeStart >> 8));
  memory.SetFlash(kResetVectorAddress + 1, static_cast<std::uint8_t>(codeStart));
  for (int i = 0; i < 4; ++i) {
    memory.SetFlash(static_cast<std::uint16_t>(kDateCodeBytesAddress + i),
                    static_cast<std::uint8_t>(dateCode >> (8 * i)));
  }
  return memory;
}

}  // namespace tav
