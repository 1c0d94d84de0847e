#pragma once
// Where a patch run can be cut: every point at which the program sends or waits. The program's
// port and clock are wrapped so that each send (a write, a single byte, a break set or
// released) and each wait (a sleep, a read) is one numbered step; a step that takes time has
// two cut points, at its start and in its middle, and the start of the next step is its end.
// A run is cut by arming a cut point: the cut action runs right there, on simulated time.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/port.h"

namespace tav::sweep {

enum class StepKind { Write, SingleByte, Break, Sleep, Read };
const char* StepName(StepKind kind);

struct Step {
  StepKind kind = StepKind::Write;
  Micros start{0};
  Micros end{0};
};

struct CutPoint {
  std::size_t step = 0;
  Micros offset{0};  // 0: before the step begins; else that far into it
};

// The simulated time of the radio and the program. A cut armed for a time runs inside the
// sleep that reaches it, whoever sleeps (the program, or the radio's end of the cable while a
// read or write of the program waits).
class SweepClock final : public Clock {
 public:
  Micros Now() override { return now_; }
  void Sleep(Micros duration) override;
  void ArmAt(Micros when, std::function<void()> action);
  // Runs an armed action now (a step ended before its time was reached).
  void FireArmed();

 private:
  Micros now_{0};
  std::optional<Micros> armedAt_;
  std::function<void()> armed_;
};

// Numbers the program's steps, records when each began and ended, and fires the cut.
class StepCounter {
 public:
  explicit StepCounter(SweepClock& clock) : clock_(clock) {}
  void Arm(CutPoint point, std::function<void()> cut);
  void Begin(StepKind kind);
  void End();
  const std::vector<Step>& Steps() const { return steps_; }
  bool Fired() const { return fired_; }

 private:
  void Fire();

  SweepClock& clock_;
  std::vector<Step> steps_;
  std::optional<CutPoint> point_;
  std::function<void()> cut_;
  bool fired_ = false;
};

// Every cut point of a run whose steps were recorded; `every` keeps the first of each `every`.
std::vector<CutPoint> CutPointsOf(const std::vector<Step>& steps, std::size_t every = 1);

// The program's clock: each sleep is a step.
class CountingClock final : public Clock {
 public:
  CountingClock(Clock& inner, StepCounter& steps) : inner_(inner), steps_(steps) {}
  Micros Now() override { return inner_.Now(); }
  void Sleep(Micros duration) override;

 private:
  Clock& inner_;
  StepCounter& steps_;
};

// Opens the radio's ports wrapped so that each send and read is a step.
class CountingOpener final : public PortOpener {
 public:
  CountingOpener(PortOpener& inner, StepCounter& steps) : inner_(inner), steps_(steps) {}
  OpenResult Open(const std::string& deviceName) override;

 private:
  PortOpener& inner_;
  StepCounter& steps_;
};

}  // namespace tav::sweep
