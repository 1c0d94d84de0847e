#include "bench/timed_run.h"

#include <string_view>
#include <vector>

#include "image/built_in_resources.h"
#include "link/process_state.h"
#include "link/serial_link.h"
#include "run/patch_run.h"
#include "sim/simulated_radio.h"

namespace tav {

std::optional<PhaseTimes> TimedBothUnitsRun(Clock& clock, const std::function<TimeMark()>& mark,
                                            const std::function<void(SimulatedRadio&)>& line) {
  SimulatedRadio radio(clock, BuiltInResources());
  if (line) line(radio);
  std::vector<std::string_view> endTexts;
  for (const RunPhase& phase : kBothUnitsPhases) {
    if (!phase.endText.empty()) endTexts.push_back(phase.endText);
  }
  ProcessState state;
  PhaseHost host(endTexts, mark);
  SerialLink link(state, radio.Opener(), clock, host);
  const PatchOutcome outcome = RunPatch(link, BuiltInResources()).outcome;
  host.MarkEnd();

  const std::vector<TimeMark>& marks = host.Marks();
  if (outcome != PatchOutcome::Completed || marks.size() != kBothUnitsPhases.size() + 1) {
    return std::nullopt;
  }
  PhaseTimes times;
  for (std::size_t i = 0; i < times.size(); ++i) {
    times[i] = {marks[i + 1].wall - marks[i].wall, marks[i + 1].cpu - marks[i].cpu};
  }
  return times;
}

}  // namespace tav
