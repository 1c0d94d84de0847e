#pragma once
// A flash operation under way in a unit. Its result is in the flash at once; it takes its time
// all the same, and a power loss part-way leaves the flash as the operation had left it then:
// - programming a row: the bytes go in one after another, so the first part of the row holds
//   its new bytes and the rest its old ones;
// - the firmware erasing its own program: 512-byte pages one after another, in its order;
// - a loader's mass erase: the whole array at once, so a cut leaves every cell part-erased,
//   and a bit that was programmed reads erased or not, each by chance (seeded by the time of
//   the cut), more likely erased the longer the erase ran.

#include <cstdint>
#include <span>
#include <vector>

#include "link/clock.h"
#include "sim/radio_setup.h"
#include "sim/unit_memory.h"

namespace tav {

inline constexpr std::size_t kErasePageSize = 512;

class FlashOperation {
 public:
  // Call before the operation changes the flash: it keeps what it is about to replace.
  static FlashOperation ProgramRow(const UnitMemory& before, std::uint16_t address,
                                   std::size_t count, Micros start, Micros duration);
  static FlashOperation ErasePages(const UnitMemory& before, EraseOrder order, Micros start,
                                   Micros duration);
  static FlashOperation MassErase(const UnitMemory& before, Micros start, Micros duration);

  bool RunningAt(Micros now) const { return now >= start_ && now < end_; }
  // The power failed at `now` (while the operation ran): leaves what it had done by then.
  void Interrupt(UnitMemory& memory, Micros now) const;

 private:
  enum class Kind { ProgramRow, ErasePages, MassErase };
  FlashOperation(Kind kind, std::uint16_t address, std::span<const std::uint8_t> before,
                 Micros start, Micros duration, EraseOrder order)
      : kind_(kind),
        address_(address),
        before_(before.begin(), before.end()),
        start_(start),
        end_(start + duration),
        order_(order) {}

  Kind kind_;
  std::uint16_t address_;
  std::vector<std::uint8_t> before_;  // the bytes from address_ on, as they were
  Micros start_;
  Micros end_;
  EraseOrder order_;
};

}  // namespace tav
