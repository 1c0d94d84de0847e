#include "sim/rom_monitor.h"

#include "sim/radio_timing.h"

namespace tav {
namespace {

constexpr std::uint8_t kWrite = 0x49;
constexpr std::uint8_t kWriteNext = 0x19;
constexpr std::uint8_t kRun = 0x28;
constexpr std::uint16_t kSavedProgramCounter = 0x00FE;

std::size_t OperandsOf(std::uint8_t command) {
  switch (command) {
    case kWrite:
      return 3;
    case kWriteNext:
      return 1;
    default:
      return 0;
  }
}

}  // namespace

void RomMonitor::OnByte(std::uint8_t byte) {
  if (unit_.Now() < readyAt_) return;
  readyAt_ = unit_.Now() + kMonitorByteTime;
  if (securityCount_ < security_.size()) {
    security_[securityCount_++] = byte;
    if (securityCount_ == security_.size()) CheckSecurity();
    return;
  }
  if (command_ == 0) {
    if (byte == kRun) {
      const UnitMemory& memory = unit_.Memory();
      unit_.StartRamProgram(static_cast<std::uint16_t>((memory.RamAt(kSavedProgramCounter) << 8) |
                                                       memory.RamAt(kSavedProgramCounter + 1)));
      return;
    }
    if (OperandsOf(byte) > 0) {
      command_ = byte;
      operandCount_ = 0;
    }
    return;
  }
  operands_[operandCount_++] = byte;
  if (operandCount_ < OperandsOf(command_)) return;
  if (command_ == kWrite) {
    lastAddress_ = static_cast<std::uint16_t>((operands_[0] << 8) | operands_[1]);
    Store(lastAddress_, operands_[2]);
  } else {
    ++lastAddress_;
    Store(lastAddress_, operands_[0]);
  }
  command_ = 0;
}

void RomMonitor::CheckSecurity() {
  UnitMemory& memory = unit_.Memory();
  bool match = true;
  for (std::size_t i = 0; i < security_.size(); ++i) {
    match = match &&
            security_[i] == memory.FlashAt(static_cast<std::uint16_t>(kSecurityBytesAddress + i));
  }
  const std::uint8_t result = memory.RamAt(kSecurityResultAddress);
  memory.SetRam(kSecurityResultAddress,
                match ? static_cast<std::uint8_t>(result | kSecurityPassedBit)
                      : static_cast<std::uint8_t>(result & ~kSecurityPassedBit));
}

void RomMonitor::Store(std::uint16_t address, std::uint8_t value) {
  if (UnitMemory::InRam(address)) unit_.Memory().SetRam(address, value);
}

}  // namespace tav
