#pragma once
// What a unit is running: its normal firmware, its ROM monitor or a RAM program. The unit
// hands each byte its serial interface receives at the program's rate to the program.

#include <cstdint>

namespace tav {

class UnitBehaviour {
 public:
  virtual ~UnitBehaviour() = default;
  // Called once the unit runs it.
  virtual void Start() {}
  // The rate the unit's serial interface runs at under this program.
  virtual std::uint32_t Baud() const = 0;
  virtual void OnByte(std::uint8_t /*byte*/) {}
  // The receive line went into the break state (on) or came out of it.
  virtual void OnBreak(bool /*on*/) {}
  // True while the control head connects the PC's line straight to the core's.
  virtual bool Relaying() const { return false; }
};

}  // namespace tav
