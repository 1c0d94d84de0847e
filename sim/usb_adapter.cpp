#include "sim/usb_adapter.h"

namespace tav {

UsbAdapter::UsbAdapter(EventSchedule& schedule, Micros latencyTimer, Deliver deliver)
    : schedule_(schedule), latencyTimer_(latencyTimer), deliver_(std::move(deliver)) {}

void UsbAdapter::Receive(std::uint8_t byte) {
  held_.push_back(byte);
  if (handOverDue_) return;
  // The next tick of the timer, which runs from the moment the adapter was plugged in.
  const Micros now = schedule_.Now();
  const Micros tick = (now / latencyTimer_ + 1) * latencyTimer_;
  handOverDue_ = true;
  schedule_.At(tick, [this] { HandOver(); });
}

void UsbAdapter::Purge() { held_.clear(); }

void UsbAdapter::HandOver() {
  handOverDue_ = false;
  for (std::uint8_t byte : held_) deliver_(byte);
  held_.clear();
}

}  // namespace tav
