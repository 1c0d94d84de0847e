#include "sim/core_firmware.h"

#include <algorithm>
#include <array>

#include "sim/radio_timing.h"

namespace tav {
namespace {

constexpr std::array<std::uint8_t, 4> kDateCodeQuery = {0x30, 0x20, 0x68, 0x88};
constexpr std::array<std::uint8_t, 5> kEraseCommand = {0x20, 0xA7, 0x5C, 0x0E, 0xC6};

}  // namespace

void CoreFirmware::OnByte(std::uint8_t byte) {
  tail_.Push(byte);
  if (tail_.EndsWith(kDateCodeQuery)) {
    unit_.Send(DateCodeReply(unit_), kFirmwareReplyDelay);
  } else if (tail_.EndsWith(kEraseCommand)) {
    unit_.EraseOwnProgram(kFirmwareEraseTime);
  }
}

std::vector<std::uint8_t> CoreFirmware::DateCodeReply(const RadioUnit& unit) {
  const int length = std::clamp(unit.Setup().dateCodeReplyBytes, 0, 4);
  std::vector<std::uint8_t> reply;
  for (int i = 0; i < length; ++i) {
    reply.push_back(unit.Memory().FlashAt(static_cast<std::uint16_t>(kDateCodeBytesAddress + i)));
  }
  return reply;
}

}  // namespace tav
