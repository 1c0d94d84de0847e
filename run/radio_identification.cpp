#include "run/radio_identification.h"

#include <array>
#include <cstdint>

#include "run/radio_commands.h"

namespace tav {

namespace {

constexpr std::uint8_t kControlHeadAnswer = 0x22;

DateCode CodeFromBytes(const std::array<std::uint8_t, 4>& b) {
  return static_cast<DateCode>(b[0]) | static_cast<DateCode>(b[1]) << 8 |
         static_cast<DateCode>(b[2]) << 16 | static_cast<DateCode>(b[3]) << 24;
}

// The core answers its query in one reply, relayed by the control head; a 50 ms break then
// returns the control head to its own conversation. At least one byte counts as an answer.
bool ReadCoreBytes(SerialLink& link, std::array<std::uint8_t, 4>& b) {
  static constexpr std::uint8_t kQuery[] = {0x30, 0x20, 0x68, 0x88};
  link.SendBytes(kQuery, sizeof kQuery);
  const std::size_t received = link.ReadBytes(b.data(), b.size());
  SendBreak(link, 50);
  link.Sleep(50);
  link.PurgeReceive();
  return received >= 1;
}

// The control head gives one byte per request: '+' for the first, 0x00 for each further one.
bool ReadControlHeadBytes(SerialLink& link, std::array<std::uint8_t, 4>& b) {
  for (std::size_t i = 0; i < b.size(); ++i) {
    const std::uint8_t request = i == 0 ? 0x2B : 0x00;
    link.SendBytes(&request, 1);
    if (link.ReadBytes(&b[i], 1) == 0) return false;
  }
  return true;
}

}  // namespace

std::string_view UnitDisplayName(UnitIndex unit) {
  return unit == UnitIndex::Core ? "Core" : "Control";
}

ProbeAnswer ProbeRadio(SerialLink& link) {
  if (link.AbortRequested()) return ProbeAnswer::NoAnswer;
  link.SetReadTimeout(500);
  static constexpr std::uint8_t kWake[8] = {};
  link.SendBytes(kWake, sizeof kWake);
  link.PumpWait(20);
  link.PurgeReceive();
  static constexpr std::uint8_t kProbe[] = {0x00, 0x0A, 0x14, 0x28};
  const int reply = link.SendAndAwaitByte(kProbe, sizeof kProbe, 5);
  if (reply < 0) return ProbeAnswer::NoAnswer;
  return reply == kControlHeadAnswer ? ProbeAnswer::ControlHead : ProbeAnswer::ForeignRadio;
}

bool ReadDateCode(SerialLink& link, UnitIndex unit, DateCode& out, std::string* text) {
  std::array<std::uint8_t, 4> b{};
  const bool answered =
      unit == UnitIndex::Core ? ReadCoreBytes(link, b) : ReadControlHeadBytes(link, b);
  out = CodeFromBytes(b);
  if (answered && text != nullptr) *text = DateCodeText(UnitDisplayName(unit), out);
  return answered;
}

}  // namespace tav
