#pragma once
// The PC's end of the cable: its serial interface's rate, transmitter, receive queue and break
// state, on the radio's time line. Each operation first brings the radio up to the clock, so
// the radio is right whether the clock is simulated or real.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "link/clock.h"
#include "sim/event_schedule.h"
#include "sim/serial_byte.h"
#include "sim/usb_adapter.h"
#include "sim/wire_log.h"

namespace tav {

class PcEnd {
 public:
  using ToRadio = std::function<void(SerialByte)>;
  using BreakToRadio = std::function<void(bool)>;

  PcEnd(Clock& clock, EventSchedule& schedule, WireLog& log, Micros origin, ToRadio toRadio,
        BreakToRadio breakToRadio);

  void Open();
  void Close();
  bool SetBaud(std::uint32_t baud);
  bool Write(const std::uint8_t* bytes, std::size_t count);
  bool TransmitImmediate(std::uint8_t byte);
  std::size_t Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout);
  void PurgeReceive();
  void SetBreak(bool on);
  bool BreakOn() const { return breakOn_; }

  // A byte from the radio has fully arrived at the PC's end.
  void Arrive(SerialByte byte, Micros start);
  // Brings the radio up to the clock.
  void CatchUp();
  // Received bytes pass through a USB adapter with this latency timer from now on.
  void InsertUsbAdapter(Micros latencyTimer);

 private:
  Micros Transmit(const std::uint8_t* bytes, std::size_t count);

  Clock& clock_;
  EventSchedule& schedule_;
  WireLog& log_;
  Micros origin_;
  ToRadio toRadio_;
  BreakToRadio breakToRadio_;
  std::uint32_t baud_ = 9600;
  Micros transmitterFree_{0};
  bool breakOn_ = false;
  std::deque<std::uint8_t> received_;
  std::unique_ptr<UsbAdapter> adapter_;
};

}  // namespace tav
