#include "sim/flash_loader.h"

#include "sim/radio_timing.h"
#include "sim/ram_programs.h"

namespace tav {
namespace {

constexpr std::uint8_t kPacketStart = 0x02;
constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;
constexpr std::uint16_t kClosingAddress = 0x55AA;
constexpr std::size_t kRowSize = 64;

bool Blank(const RadioUnit& unit, std::uint32_t from, std::uint32_t to) {
  for (std::uint32_t address = from; address <= to; ++address) {
    if (unit.ReadFlash(static_cast<std::uint16_t>(address)) != 0xFF) return false;
  }
  return true;
}

}  // namespace

void FlashLoader::Start() {
  unit_.After(kLoaderStartTime - kMassEraseTime, [this] {
    const Micros sent = unit_.Send(StartUpReply(PrepareFlash()), kMassEraseTime);
    unit_.After(sent - unit_.Now(), [this] { takingPackets_ = true; });
  });
}

bool FlashLoader::PrepareFlash() {
  if (program_ == RamProgram::CoreLoader) {
    unit_.MassErase();
    return unit_.Memory().SecurityPassed();
  }
  const auto blank = [this] {
    return Blank(unit_, 0x8000, 0xFDFF) && Blank(unit_, 0xFFDC, 0xFFFF);
  };
  if (!blank()) unit_.MassErase();
  return blank();
}

void FlashLoader::OnByte(std::uint8_t byte) {
  if (hung_ || !takingPackets_) return;
  if (field_ != Field::Start && unit_.Now() - lastByte_ > kPacketByteTimeout) {
    field_ = Field::Start;
  }
  lastByte_ = unit_.Now();
  if (field_ != Field::Start && field_ != Field::Checksum)
    sum_ = static_cast<std::uint8_t>(sum_ + byte);
  switch (field_) {
    case Field::Start:
      if (byte == kPacketStart) {
        field_ = Field::AddressHigh;
        sum_ = 0;
      }
      return;
    case Field::AddressHigh:
      address_ = static_cast<std::uint16_t>(byte << 8);
      field_ = Field::AddressLow;
      return;
    case Field::AddressLow:
      address_ = static_cast<std::uint16_t>(address_ | byte);
      field_ = Field::Count;
      return;
    case Field::Count:
      count_ = byte;
      received_ = 0;
      field_ = count_ == 0 ? Field::Checksum : Field::Data;
      return;
    case Field::Data:
      if (received_ < buffer_.size()) buffer_[received_] = byte;
      if (++received_ == count_) field_ = Field::Checksum;
      return;
    case Field::Checksum:
      field_ = Field::Start;
      Finish(byte);
      return;
  }
}

void FlashLoader::Finish(std::uint8_t checksum) {
  if (static_cast<std::uint8_t>(sum_ + checksum) != 0) {
    Reply(kNak, kFirmwareReplyDelay);
    return;
  }
  if (count_ == 0) {
    if (address_ != kClosingAddress) return;
    const Micros sent = unit_.Send(std::array<std::uint8_t, 1>{kAck}, kFirmwareReplyDelay);
    // The loader ends with an illegal opcode; the reset starts whatever is now in flash.
    unit_.After(sent - unit_.Now(), [this] { unit_.Reset(); });
    return;
  }
  const std::size_t offset = address_ % kRowSize;
  if (address_ < kFlashStart || offset + count_ > kRowSize) return;
  const UnitSetup& setup = unit_.Setup();
  if (setup.loaderStopsAfterPackets && acknowledged_ >= *setup.loaderStopsAfterPackets) {
    hung_ = true;
    return;
  }
  if (setup.nakPacketAddress == address_ && nakked_ < setup.nakTries) {
    ++nakked_;
    Reply(kNak, kFirmwareReplyDelay);
    return;
  }
  unit_.ProgramFlash(address_, std::span<const std::uint8_t>(buffer_.data(), count_));
  ++acknowledged_;
  Reply(kAck, kRowProgramTime);
}

void FlashLoader::Reply(std::uint8_t byte, Micros delay) {
  unit_.Send(std::array<std::uint8_t, 1>{byte}, delay);
}

}  // namespace tav
