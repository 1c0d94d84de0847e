#pragma once
// A both-units patch run against a fresh simulated radio, timed phase by phase.

#include <array>
#include <functional>
#include <optional>

#include "bench/phase_host.h"
#include "bench/run_floor.h"
#include "link/clock.h"
#include "sim/radio_setup.h"

namespace tav {

class SimulatedRadio;

using PhaseTimes = std::array<TimeMark, kBothUnitsPhases.size()>;

// Runs the patch on the clock (simulated or real); `mark` reads the time. `line` may change
// the radio before the run starts (for one, put an adapter in its cable). Nothing when the
// run did not complete or a phase's end was not seen.
std::optional<PhaseTimes> TimedBothUnitsRun(Clock& clock, const std::function<TimeMark()>& mark,
                                            const std::function<void(SimulatedRadio&)>& line = {});

}  // namespace tav
