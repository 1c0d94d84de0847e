// A full patch run of both units against the simulated radio, on the virtual clock: how long
// the portable core and the simulator take to carry one, and how long it lasts on the radio.

#include <benchmark/benchmark.h>

#include "image/built_in_resources.h"
#include "link/process_state.h"
#include "link/serial_link.h"
#include "run/patch_run.h"
#include "sim/scripted_host.h"
#include "sim/simulated_radio.h"
#include "sim/virtual_clock.h"

namespace tav {
namespace {

void BothUnitsRun(benchmark::State& bench) {
  double simulatedSeconds = 0;
  for (auto _ : bench) {
    VirtualClock clock;
    SimulatedRadio radio(clock, BuiltInResources());
    ProcessState state;
    ScriptedHost host(state, clock);
    SerialLink link(state, radio.Opener(), clock, host);
    const PatchOutcome outcome = RunPatch(link, BuiltInResources()).outcome;
    if (outcome != PatchOutcome::Completed) {
      bench.SkipWithError("the run did not complete");
      return;
    }
    simulatedSeconds = static_cast<double>(clock.Now().count()) / 1e6;
  }
  bench.counters["simulated_s"] = simulatedSeconds;
}
BENCHMARK(BothUnitsRun)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tav
