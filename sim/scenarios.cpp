#include "sim/scenarios.h"

#include <array>

#include "image/stand_in_date_codes.h"

namespace tav {
namespace {

// Firmware that no longer needs the patch: the codes the new images carry.
constexpr std::uint32_t kControlHeadUpToDate = kControlHeadStandInDateCode;
constexpr std::uint32_t kCoreUpToDate = kCoreStandInDateCode;

RadioSetup Both() { return {}; }

RadioSetup CoreOnly() {
  RadioSetup setup;
  setup.controlHead.dateCode = kControlHeadUpToDate;
  return setup;
}

RadioSetup ControlOnly() {
  RadioSetup setup;
  setup.core.dateCode = kCoreUpToDate;
  return setup;
}

RadioSetup Neither() {
  RadioSetup setup;
  setup.controlHead.dateCode = kControlHeadUpToDate;
  setup.core.dateCode = kCoreUpToDate;
  return setup;
}

RadioSetup NoAnswer() {
  RadioSetup setup;
  setup.controlHeadInMonitor = true;
  return setup;
}

RadioSetup Foreign() {
  RadioSetup setup;
  setup.foreignProbeAnswer = 0x41;
  return setup;
}

RadioSetup LockOut() {
  RadioSetup setup;
  setup.core.securityLockOut = true;
  return setup;
}

RadioSetup Noisy() {
  RadioSetup setup;
  // A seed with which the run goes through, at the cost of some 60 packet retries.
  setup.noiseRate = 1.0 / 400;
  setup.noiseSeed = 117;
  return setup;
}

RadioSetup StopsAnswering() {
  RadioSetup setup;
  setup.core.loaderStopsAfterPackets = 17;
  return setup;
}

RadioSetup NothingConnected() {
  RadioSetup setup;
  setup.nothingConnected = true;
  return setup;
}

const std::array<Scenario, 10> kScenarios = {{
    {"both", "both units carry firmware that needs the patch", Both()},
    {"core-only", "only the core needs the patch", CoreOnly()},
    {"control-only", "only the control head needs the patch", ControlOnly()},
    {"neither", "both units are up to date: nothing to patch", Neither()},
    {"no-answer", "the control head waits in its ROM monitor, left erased by an interrupted patch",
     NoAnswer()},
    {"foreign", "another make of radio answers the probe", Foreign()},
    {"lockout", "the core's security check fails after its erase: its loader reports lock-out",
     LockOut()},
    {"noisy", "both units need the patch over a line that flips bits in one byte in 400", Noisy()},
    {"stops-answering", "the core's flash loader stops answering after 17 packets",
     StopsAnswering()},
    {"unplugged", "nothing is connected to the port", NothingConnected()},
}};

}  // namespace

std::span<const Scenario> Scenarios() { return kScenarios; }

const Scenario* FindScenario(std::string_view name) {
  for (const Scenario& scenario : kScenarios) {
    if (scenario.name == name) return &scenario;
  }
  return nullptr;
}

}  // namespace tav
