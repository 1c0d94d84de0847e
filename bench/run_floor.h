#pragma once
// The least time a both-units patch run can take, phase by phase, worked out from what the
// run sends and waits for and from the five images it carries: every byte's line time at its
// rate, the 5 ms pace of single bytes, every wait, break and read time-out, the radio's reply
// delays and the flash loaders' programming time as the simulated radio models them. A run
// that takes longer than this spends the difference in its own overhead.

#include <array>
#include <string_view>

#include "image/resource_source.h"

namespace tav {

// A phase ends when the run shows its text (headline or status line); the last ends with the
// run. The phases follow one another from the moment the run starts.
struct RunPhase {
  std::string_view name;
  std::string_view endText;  // empty for the last phase
};

inline constexpr std::array<RunPhase, 6> kBothUnitsPhases{{
    {"identify radio", "Control Head Detected"},
    {"date codes, talk-through", "Erasing Core OS"},
    {"core erase, loader", "Writing Core Program"},
    {"core firmware", "Writing to RAM"},
    {"control-head loader", "Writing Control Head Program"},
    {"control-head firmware", ""},
}};

// Seconds for each phase of kBothUnitsPhases.
std::array<double, kBothUnitsPhases.size()> BothUnitsFloor(const ResourceSource& resources);

}  // namespace tav
