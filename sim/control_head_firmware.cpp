#include "sim/control_head_firmware.h"

#include <array>

#include "sim/radio_timing.h"

namespace tav {
namespace {

constexpr std::array<std::uint8_t, 4> kProbe = {0x00, 0x0A, 0x14, 0x28};
constexpr std::array<std::uint8_t, 4> kCoreDateCodeQuery = {0x30, 0x20, 0x68, 0x88};
constexpr std::array<std::uint8_t, 5> kEraseCommand = {0xA7, 0x5C, 0x0E, 0x91, 0x3B};
constexpr std::uint8_t kDateCodeQuery = 0x2B;
constexpr std::uint8_t kNextDateByte = 0x00;
constexpr std::uint8_t kRelease = 0x01;
constexpr std::uint8_t kPassThrough = 0xF3;
constexpr std::uint8_t kControlHeadAnswer = 0x22;

}  // namespace

ControlHeadFirmware::ControlHeadFirmware(RadioUnit& unit, CoreDateCode coreDateCode,
                                         std::optional<std::uint8_t> probeAnswer)
    : unit_(unit),
      coreDateCode_(std::move(coreDateCode)),
      probeAnswer_(probeAnswer.value_or(kControlHeadAnswer)),
      longBreak_(unit, [this] { passThrough_ = false; }) {}

void ControlHeadFirmware::OnByte(std::uint8_t byte) {
  if (switching_) return;
  if (byte == kNextDateByte && nextDateByte_ > 0) {
    SendByte(
        unit_.Memory().FlashAt(static_cast<std::uint16_t>(kDateCodeBytesAddress + nextDateByte_)));
    nextDateByte_ = nextDateByte_ == 3 ? 0 : nextDateByte_ + 1;
    return;
  }
  nextDateByte_ = 0;
  tail_.Push(byte);
  if (byte == kDateCodeQuery) {
    SendByte(unit_.Memory().FlashAt(kDateCodeBytesAddress));
    nextDateByte_ = 1;
  } else if (tail_.EndsWith(kProbe)) {
    SendByte(probeAnswer_);
  } else if (tail_.EndsWith(kCoreDateCodeQuery)) {
    unit_.Send(coreDateCode_(), kCoreDateRelayDelay);
  } else if (tail_.EndsWith(kEraseCommand)) {
    unit_.EraseOwnProgram(kFirmwareEraseTime);
  } else if (byte == kPassThrough) {
    switching_ = true;
    unit_.After(kPassThroughSwitchTime, [this] {
      switching_ = false;
      passThrough_ = true;
      tail_.Clear();
    });
  } else if (byte == kRelease) {
    tail_.Clear();
  }
}

void ControlHeadFirmware::SendByte(std::uint8_t byte) {
  unit_.Send(std::array<std::uint8_t, 1>{byte}, kFirmwareReplyDelay);
}

}  // namespace tav
