#pragma once
// Every wait, time-out and pace of the link goes through a Clock, so that tests and the
// simulated radio run on simulated time while the programs run on a precise real clock.

#include <chrono>

namespace tav {

using Micros = std::chrono::microseconds;
using Millis = std::chrono::milliseconds;

class Clock {
 public:
  virtual ~Clock() = default;
  // Time since an arbitrary fixed origin.
  virtual Micros Now() = 0;
  // Blocks (or, on a simulated clock, advances time) for the duration.
  virtual void Sleep(Micros duration) = 0;
};

}  // namespace tav
