#include "sim/pc_end.h"

#include <algorithm>

namespace tav {

PcEnd::PcEnd(Clock& clock, EventSchedule& schedule, WireLog& log, Micros origin, ToRadio toRadio,
             BreakToRadio breakToRadio)
    : clock_(clock),
      schedule_(schedule),
      log_(log),
      origin_(origin),
      toRadio_(std::move(toRadio)),
      breakToRadio_(std::move(breakToRadio)) {}

void PcEnd::CatchUp() { schedule_.RunUntil(clock_.Now()); }

void PcEnd::Open() {
  CatchUp();
  PurgeReceive();
}

void PcEnd::Close() {
  // A closed port's line goes back to idle.
  if (breakOn_) SetBreak(false);
  PurgeReceive();
}

void PcEnd::InsertUsbAdapter(Micros latencyTimer) {
  adapter_ = std::make_unique<UsbAdapter>(schedule_, latencyTimer,
                                          [this](std::uint8_t byte) { received_.push_back(byte); });
}

bool PcEnd::SetBaud(std::uint32_t baud) {
  CatchUp();
  baud_ = baud;
  return true;
}

Micros PcEnd::Transmit(const std::uint8_t* bytes, std::size_t count) {
  CatchUp();
  Micros start = std::max(schedule_.Now(), transmitterFree_);
  log_.Add(WireEvent{start - origin_, WireDirection::PcToRadio, WireKind::Bytes, baud_,
                     std::vector<std::uint8_t>(bytes, bytes + count)});
  for (std::size_t i = 0; i < count; ++i) {
    const Micros end = start + ByteTime(baud_);
    const SerialByte byte{bytes[i], baud_};
    // A byte sent into a held break never makes it onto the line.
    schedule_.At(end, [this, byte] {
      if (!breakOn_) toRadio_(byte);
    });
    start = end;
  }
  transmitterFree_ = start;
  return start;
}

bool PcEnd::Write(const std::uint8_t* bytes, std::size_t count) {
  const Micros done = Transmit(bytes, count);
  const Micros now = clock_.Now();
  if (done > now) clock_.Sleep(done - now);
  CatchUp();
  return true;
}

bool PcEnd::TransmitImmediate(std::uint8_t byte) {
  Transmit(&byte, 1);
  return true;
}

std::size_t PcEnd::Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) {
  const Micros deadline = clock_.Now() + totalTimeout;
  std::size_t count = 0;
  while (true) {
    CatchUp();
    while (count < maximum && !received_.empty()) {
      buffer[count++] = received_.front();
      received_.pop_front();
    }
    const Micros now = clock_.Now();
    if (count == maximum || now >= deadline) return count;
    const std::optional<Micros> next = schedule_.NextDue();
    const Micros until = next ? std::min(*next, deadline) : deadline;
    clock_.Sleep(std::max(until - now, Micros{1}));
  }
}

void PcEnd::PurgeReceive() {
  CatchUp();
  received_.clear();
  if (adapter_) adapter_->Purge();
}

void PcEnd::SetBreak(bool on) {
  CatchUp();
  if (on == breakOn_) return;
  breakOn_ = on;
  log_.Add(WireEvent{schedule_.Now() - origin_,
                     WireDirection::PcToRadio,
                     on ? WireKind::BreakOn : WireKind::BreakOff,
                     baud_,
                     {}});
  breakToRadio_(on);
}

void PcEnd::Arrive(SerialByte byte, Micros start) {
  log_.Add(WireEvent{
      start - origin_, WireDirection::RadioToPc, WireKind::Bytes, byte.baud, {byte.value}});
  // At another rate the PC's serial interface sees a framing error and drops the byte.
  if (byte.baud != baud_) return;
  if (adapter_) {
    adapter_->Receive(byte.value);
  } else {
    received_.push_back(byte.value);
  }
}

}  // namespace tav
