#pragma once
// Real time on Linux and macOS: the monotonic clock, and sleeps that resume after a signal.

#include "link/clock.h"

namespace tav {

class PosixClock final : public Clock {
 public:
  // Asks for wake-ups without timer slack where the system has it (Linux lets a sleep of the
  // thread that made the clock end up to 50 us late by default, to batch wake-ups; every pace
  // and wait slice of a run would pay that).
  PosixClock();
  Micros Now() override;
  void Sleep(Micros duration) override;
};

}  // namespace tav
