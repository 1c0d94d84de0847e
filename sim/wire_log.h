#pragma once
// Everything that crosses the cable between the PC and the radio, in the order it happened:
// the PC's writes and single bytes, each byte the radio sends, and the PC's breaks.

#include <cstdint>
#include <functional>
#include <vector>

#include "link/clock.h"

namespace tav {

enum class WireDirection { PcToRadio, RadioToPc };
enum class WireKind { Bytes, BreakOn, BreakOff };

struct WireEvent {
  // Since the radio was created: when the first byte started on the line, or the break began or
  // ended.
  Micros time{0};
  WireDirection direction = WireDirection::PcToRadio;
  WireKind kind = WireKind::Bytes;
  // The rate the bytes were sent at (for a break, the PC's rate at the time).
  std::uint32_t baud = 0;
  // A PC write or single byte as one event; the radio's bytes one event each, logged as they
  // arrive at the PC's end of the cable (a receiver at another rate drops them, the log still
  // shows them).
  std::vector<std::uint8_t> bytes;
};

class WireLog {
 public:
  using Observer = std::function<void(const WireEvent&)>;

  void Add(WireEvent event);
  const std::vector<WireEvent>& Events() const { return events_; }
  // Called with each event as it is added.
  void SetObserver(Observer observer) { observer_ = std::move(observer); }

 private:
  std::vector<WireEvent> events_;
  Observer observer_;
};

// The bytes of every event in one direction, end to end.
std::vector<std::uint8_t> BytesSent(const std::vector<WireEvent>& events, WireDirection direction);

}  // namespace tav
