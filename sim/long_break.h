#pragma once
// Notices a break held on a receive line for kLongBreak and then calls its action once.

#include <functional>

#include "sim/radio_timing.h"
#include "sim/radio_unit.h"

namespace tav {

class LongBreakDetector {
 public:
  LongBreakDetector(RadioUnit& unit, std::function<void()> action)
      : unit_(unit), action_(std::move(action)) {}

  void OnBreak(bool on) {
    ++breakNumber_;
    if (!on) return;
    const unsigned thisBreak = breakNumber_;
    unit_.After(kLongBreak, [this, thisBreak] {
      if (breakNumber_ == thisBreak) action_();
    });
  }

 private:
  RadioUnit& unit_;
  std::function<void()> action_;
  unsigned breakNumber_ = 0;
};

}  // namespace tav
