#pragma once
// The three RAM programs the radio can run, known by their bytes: what the ROM monitor's Run
// starts is whichever program's every byte is in RAM, entered at 0x0100. Anything else is code
// that never answers.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "image/resource_source.h"
#include "image/s19_image.h"
#include "sim/radio_setup.h"
#include "sim/unit_memory.h"

namespace tav {

inline constexpr std::uint16_t kRamProgramEntry = 0x0100;

// What each RAM program sends once it runs: 0xFF, the digits 0 to 9, O, then K (ready) or X
// (the flash cannot be used).
inline std::array<std::uint8_t, 13> StartUpReply(bool ready) {
  return {0xFF,
          '0',
          '1',
          '2',
          '3',
          '4',
          '5',
          '6',
          '7',
          '8',
          '9',
          'O',
          static_cast<std::uint8_t>(ready ? 'K' : 'X')};
}

class RamProgramCatalogue {
 public:
  // Loads the talk-through program and both flash loaders from their resources; one that does
  // not load is never recognised.
  explicit RamProgramCatalogue(const ResourceSource& resources);

  // The program that starts when the monitor runs from programCounter with this RAM.
  RamProgram Recognise(const UnitMemory& memory, std::uint16_t programCounter) const;

 private:
  struct Entry {
    RamProgram program;
    std::unique_ptr<S19Image> image;
  };
  std::array<Entry, 3> entries_;
};

}  // namespace tav
