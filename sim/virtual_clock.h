#pragma once
// Simulated time: sleeping advances it, so a whole patch run takes milliseconds in a test and
// every figure is exact.

#include "link/clock.h"

namespace tav {

class VirtualClock final : public Clock {
 public:
  Micros Now() override { return now_; }
  void Sleep(Micros duration) override {
    if (duration > Micros::zero()) now_ += duration;
  }

 private:
  Micros now_{0};
};

}  // namespace tav
