#pragma once
// The talk-through program in the control head's RAM. It announces itself (always K) and
// then copies line levels both ways between the PC and the core, so the PC talks to the core
// at whatever rate it uses, unbuffered. Its timer restarts whenever the PC's line is high; a
// break held for a whole timer period (64 x 1920 bus cycles) resets the control head.

#include <cstdint>

#include "sim/long_break.h"
#include "sim/radio_unit.h"
#include "sim/unit_behaviour.h"

namespace tav {

class TalkThrough final : public UnitBehaviour {
 public:
  explicit TalkThrough(RadioUnit& unit)
      : unit_(unit), longBreak_(unit, [&unit] { unit.Reset(); }) {}
  void Start() override;
  std::uint32_t Baud() const override { return kMonitorBaud; }
  void OnBreak(bool on) override { longBreak_.OnBreak(on); }
  bool Relaying() const override { return relaying_; }

 private:
  RadioUnit& unit_;
  LongBreakDetector longBreak_;
  bool relaying_ = false;
};

}  // namespace tav
