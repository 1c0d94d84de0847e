#include "sim/wire_log.h"

namespace tav {

void WireLog::Add(WireEvent event) {
  events_.push_back(std::move(event));
  if (observer_) observer_(events_.back());
}

std::vector<std::uint8_t> BytesSent(const std::vector<WireEvent>& events, WireDirection direction) {
  std::vector<std::uint8_t> bytes;
  for (const WireEvent& event : events) {
    if (event.direction == direction && event.kind == WireKind::Bytes) {
      bytes.insert(bytes.end(), event.bytes.begin(), event.bytes.end());
    }
  }
  return bytes;
}

}  // namespace tav
