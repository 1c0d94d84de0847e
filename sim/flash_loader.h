#pragma once
// A flash loader in a unit's RAM. On start the control head's loader blank-checks its flash
// (0x8000..0xFDFF and 0xFFDC..0xFFFF), mass-erases it if need be and answers K when it is blank
// then; the core's loader mass-erases and answers K when the monitor's security check passed.
// Either answers X otherwise. Then both take packets: they skip to 0x02, read address, count
// n, n data bytes (the first 64 kept) and a checksum that makes the sum of everything after
// the 0x02 zero. A bad sum is answered 0x15 and nothing is programmed. n = 0 at 0x55AA is
// answered 0x06 and the processor resets into its new firmware; n = 0 elsewhere is ignored.
// n > 0 is programmed (bits cleared, as flash programming does, no read-back) and answered
// 0x06 only when it lies at 0x8000 or above within one 64-byte row; otherwise it is ignored.
// A packet whose next byte is very late is abandoned, so a byte lost on the line costs one try.

#include <array>
#include <cstdint>

#include "sim/radio_unit.h"
#include "sim/unit_behaviour.h"

namespace tav {

class FlashLoader final : public UnitBehaviour {
 public:
  FlashLoader(RadioUnit& unit, RamProgram program) : unit_(unit), program_(program) {}
  void Start() override;
  std::uint32_t Baud() const override { return kMonitorBaud; }
  void OnByte(std::uint8_t byte) override;

 private:
  enum class Field { Start, AddressHigh, AddressLow, Count, Data, Checksum };

  bool PrepareFlash();
  void Finish(std::uint8_t checksum);
  void Reply(std::uint8_t byte, Micros delay);

  RadioUnit& unit_;
  RamProgram program_;
  bool takingPackets_ = false;
  bool hung_ = false;
  Field field_ = Field::Start;
  Micros lastByte_{0};
  std::uint16_t address_ = 0;
  std::uint8_t count_ = 0;
  std::size_t received_ = 0;
  std::uint8_t sum_ = 0;
  std::array<std::uint8_t, 64> buffer_{};
  int acknowledged_ = 0;
  int nakked_ = 0;
};

}  // namespace tav
