#pragma once
// The radio's time line: actions due at given simulated times, run in time order (and in the
// order they were scheduled when due together) as the radio is brought up to the clock.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>

#include "link/clock.h"

namespace tav {

class EventSchedule {
 public:
  explicit EventSchedule(Micros start) : now_(start) {}

  // The time of the action being run, or the time the schedule was last brought up to.
  Micros Now() const { return now_; }
  void At(Micros when, std::function<void()> action);
  // Runs every action due at or before `until`, then stands at `until` (never moves back).
  void RunUntil(Micros until);
  std::optional<Micros> NextDue() const;

 private:
  Micros now_;
  std::uint64_t sequence_ = 0;
  std::map<std::pair<Micros, std::uint64_t>, std::function<void()>> due_;
};

}  // namespace tav
