#include "sim/flash_operation.h"

namespace tav {
namespace {

// A small fixed generator for the part-erased cells.
class CellChance {
 public:
  explicit CellChance(std::uint64_t seed)
      : state_(seed * 6364136223846793005ull + 1442695040888963407ull) {}
  double Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state_ >> 11) / static_cast<double>(1ull << 53);
  }

 private:
  std::uint64_t state_;
};

}  // namespace

FlashOperation FlashOperation::ProgramRow(const UnitMemory& before, std::uint16_t address,
                                          std::size_t count, Micros start, Micros duration) {
  const std::size_t offset = address - kFlashStart;
  return FlashOperation(Kind::ProgramRow, address,
                        std::span<const std::uint8_t>(before.flash).subspan(offset, count), start,
                        duration, EraseOrder::VectorsLast);
}

FlashOperation FlashOperation::ErasePages(const UnitMemory& before, EraseOrder order, Micros start,
                                          Micros duration) {
  return FlashOperation(Kind::ErasePages, kFlashStart, before.flash, start, duration, order);
}

FlashOperation FlashOperation::MassErase(const UnitMemory& before, Micros start, Micros duration) {
  return FlashOperation(Kind::MassErase, kFlashStart, before.flash, start, duration,
                        EraseOrder::VectorsLast);
}

void FlashOperation::Interrupt(UnitMemory& memory, Micros now) const {
  if (!RunningAt(now)) return;
  const double done =
      static_cast<double>((now - start_).count()) / static_cast<double>((end_ - start_).count());
  const std::size_t offset = address_ - kFlashStart;
  switch (kind_) {
    case Kind::ProgramRow: {
      const auto programmed = static_cast<std::size_t>(done * static_cast<double>(before_.size()));
      for (std::size_t i = programmed; i < before_.size(); ++i)
        memory.flash[offset + i] = before_[i];
      return;
    }
    case Kind::ErasePages: {
      const std::size_t pages = kFlashSize / kErasePageSize;
      const auto erased = static_cast<std::size_t>(done * static_cast<double>(pages));
      for (std::size_t page = 0; page < pages; ++page) {
        const bool pageErased =
            order_ == EraseOrder::VectorsLast ? page < erased : page >= pages - erased;
        if (pageErased) continue;
        for (std::size_t i = page * kErasePageSize; i < (page + 1) * kErasePageSize; ++i) {
          memory.flash[i] = before_[i];
        }
      }
      return;
    }
    case Kind::MassErase: {
      CellChance chance(static_cast<std::uint64_t>(now.count()));
      for (std::size_t i = 0; i < before_.size(); ++i) {
        std::uint8_t cell = before_[i];
        for (int bit = 0; bit < 8; ++bit) {
          const auto mask = static_cast<std::uint8_t>(1u << bit);
          if ((cell & mask) == 0 && chance.Next() < done)
            cell = static_cast<std::uint8_t>(cell | mask);
        }
        memory.flash[i] = cell;
      }
      return;
    }
  }
}

}  // namespace tav
