#pragma once
// A USB serial adapter in the cable at the PC's end. Its chip collects the bytes it receives
// and hands them to the PC only when its latency timer runs out: the timer ticks every 16 ms
// by default, every 1 ms in the driver's low-latency mode. Sending is not held up. A purge of
// the PC's receive queue clears what the chip still holds as well.

#include <cstdint>
#include <functional>
#include <vector>

#include "link/clock.h"
#include "sim/event_schedule.h"

namespace tav {

inline constexpr Micros kDefaultLatencyTimer{16000};
inline constexpr Micros kLowLatencyTimer{1000};

class UsbAdapter {
 public:
  using Deliver = std::function<void(std::uint8_t)>;

  UsbAdapter(EventSchedule& schedule, Micros latencyTimer, Deliver deliver);

  // A byte the chip has taken from the line, now.
  void Receive(std::uint8_t byte);
  void Purge();

 private:
  void HandOver();

  EventSchedule& schedule_;
  Micros latencyTimer_;
  Deliver deliver_;
  std::vector<std::uint8_t> held_;
  bool handOverDue_ = false;
};

}  // namespace tav
