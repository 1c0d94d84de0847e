#pragma once
// Real time on Linux and macOS: the monotonic clock, and sleeps that resume after a signal.

#include "link/clock.h"

namespace tav {

class PosixClock final : public Clock {
 public:
  Micros Now() override;
  void Sleep(Micros duration) override;
};

}  // namespace tav
