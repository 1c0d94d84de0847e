#include "sim/event_schedule.h"

namespace tav {

void EventSchedule::At(Micros when, std::function<void()> action) {
  if (when < now_) when = now_;
  due_.emplace(std::make_pair(when, sequence_++), std::move(action));
}

void EventSchedule::RunUntil(Micros until) {
  while (!due_.empty() && due_.begin()->first.first <= until) {
    auto entry = due_.extract(due_.begin());
    now_ = entry.key().first;
    entry.mapped()();
  }
  if (until > now_) now_ = until;
}

std::optional<Micros> EventSchedule::NextDue() const {
  if (due_.empty()) return std::nullopt;
  return due_.begin()->first.first;
}

}  // namespace tav
