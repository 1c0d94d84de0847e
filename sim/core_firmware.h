#pragma once
// The core's normal firmware on its line to the control head, at 38400 baud:
// - 30 20 68 88 is answered with its date code bytes b0..b3 (flash 0xFDFC..0xFDFF);
// - 20 A7 5C 0E C6 erases the core's own program; the processor then resets into its ROM
//   monitor.
// The control head asks for the date code the same way when the PC asks it to relay it.

#include <cstdint>
#include <vector>

#include "sim/command_tail.h"
#include "sim/radio_unit.h"
#include "sim/unit_behaviour.h"

namespace tav {

inline constexpr std::uint32_t kCoreFirmwareBaud = 38400;

class CoreFirmware final : public UnitBehaviour {
 public:
  explicit CoreFirmware(RadioUnit& unit) : unit_(unit) {}
  std::uint32_t Baud() const override { return kCoreFirmwareBaud; }
  void OnByte(std::uint8_t byte) override;

  // The answer to a date code query: as many of b0..b3 as the unit sends.
  static std::vector<std::uint8_t> DateCodeReply(const RadioUnit& unit);

 private:
  RadioUnit& unit_;
  CommandTail tail_;
};

}  // namespace tav
