#pragma once
// The control head's normal firmware at 4800 baud, as far as the PC talks to it:
// - the probe 00 0A 14 28 is answered with one byte, 0x22;
// - '+' is answered with date code byte b0, each 0x00 after it with the next byte, to b3;
// - 30 20 68 88 asks the core for its date code over the line between them and sends the
//   core's answer on;
// - 0x01 releases the radio (nothing comes back);
// - 0xF3 switches the PC's line through to the core, at whatever rate the PC uses, until the
//   PC holds a long break;
// - A7 5C 0E 91 3B erases the control head's own program; the processor then resets into its
//   ROM monitor.
// The date code bytes are those at 0xFDFC..0xFDFF of its flash, sent as they are (a 0x00 too).

#include <cstdint>
#include <functional>
#include <vector>

#include "sim/command_tail.h"
#include "sim/long_break.h"
#include "sim/radio_unit.h"
#include "sim/unit_behaviour.h"

namespace tav {

inline constexpr std::uint32_t kControlHeadFirmwareBaud = 4800;

class ControlHeadFirmware final : public UnitBehaviour {
 public:
  // What the core answers when the control head asks it for its date code (nothing when the
  // core does not run its firmware).
  using CoreDateCode = std::function<std::vector<std::uint8_t>()>;

  ControlHeadFirmware(RadioUnit& unit, CoreDateCode coreDateCode,
                      std::optional<std::uint8_t> probeAnswer);
  std::uint32_t Baud() const override { return kControlHeadFirmwareBaud; }
  void OnByte(std::uint8_t byte) override;
  void OnBreak(bool on) override { longBreak_.OnBreak(on); }
  bool Relaying() const override { return passThrough_; }

 private:
  void SendByte(std::uint8_t byte);

  RadioUnit& unit_;
  CoreDateCode coreDateCode_;
  std::uint8_t probeAnswer_;
  LongBreakDetector longBreak_;
  CommandTail tail_;
  // Index of the next date code byte a 0x00 asks for; 0 when no date code is being read.
  int nextDateByte_ = 0;
  bool switching_ = false;
  bool passThrough_ = false;
};

}  // namespace tav
