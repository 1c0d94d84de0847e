#pragma once
// The processor's ROM monitor at 9600 baud, entered from reset when the reset vector is blank.
// Like a 68HC08's: the first eight bytes after entry are the security code, compared with the
// flash at 0xFFF6..0xFFFD, the result left in bit 6 of RAM 0x0040. Then the commands Write
// (0x49 addrH addrL data), Write next (0x19 data: the address after the last one written) and
// Run (0x28: continue at the program counter saved at 0x00FE/0x00FF). Other bytes are ignored,
// and so are writes outside RAM. A real monitor echoes every byte on its one-wire line; that
// echo does not reach the PC here, since the PC reads nothing back during a download, and the
// only read that follows, the RAM program's start-up reply, must see just that reply. The echo
// still takes its time: a byte that follows the one before too closely is lost, so the PC must
// pace its bytes (it sends them about 5 ms apart).

#include <array>
#include <cstdint>

#include "sim/radio_unit.h"
#include "sim/unit_behaviour.h"

namespace tav {

class RomMonitor final : public UnitBehaviour {
 public:
  explicit RomMonitor(RadioUnit& unit) : unit_(unit) {}
  std::uint32_t Baud() const override { return kMonitorBaud; }
  void OnByte(std::uint8_t byte) override;

 private:
  void CheckSecurity();
  void Store(std::uint16_t address, std::uint8_t value);

  RadioUnit& unit_;
  std::array<std::uint8_t, 8> security_{};
  std::size_t securityCount_ = 0;
  std::uint8_t command_ = 0;  // the command being collected, 0 when none
  std::array<std::uint8_t, 3> operands_{};
  std::size_t operandCount_ = 0;
  std::uint16_t lastAddress_ = 0;
  Micros readyAt_{0};
};

}  // namespace tav
