#pragma once
// Real time on Windows, and the raised timer resolution that makes short sleeps exact.

#include "link/clock.h"

namespace tav {

class Win32Clock final : public Clock {
 public:
  Micros Now() override;
  // Whole milliseconds, rounded up.
  void Sleep(Micros duration) override;
};

// Raises the system timer to 1 ms for its lifetime. Without it a 5 ms sleep lasts a whole
// default tick (about 15.6 ms) and every paced sequence runs about three times too slowly.
// The program holds one around each patch run.
class TimerResolutionScope {
 public:
  TimerResolutionScope();
  ~TimerResolutionScope();
  TimerResolutionScope(const TimerResolutionScope&) = delete;
  TimerResolutionScope& operator=(const TimerResolutionScope&) = delete;

 private:
  bool raised_;
};

}  // namespace tav
