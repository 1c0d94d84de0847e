#include "cli/simulated_radio_line.h"

#include "image/built_in_resources.h"
#include "sim/scenarios.h"
#include "sim/simulated_radio.h"

namespace tav {

std::vector<ScenarioSummary> SimulatedScenarios() {
  std::vector<ScenarioSummary> summaries;
  for (const Scenario& scenario : Scenarios()) {
    summaries.push_back({std::string(scenario.name), std::string(scenario.description)});
  }
  return summaries;
}

bool IsSimulatedScenario(std::string_view name) { return FindScenario(name) != nullptr; }

SimulatedRadioLine::SimulatedRadioLine(std::string_view scenario, Clock& clock)
    : radio_(std::make_unique<SimulatedRadio>(clock, BuiltInResources(),
                                              FindScenario(scenario)->setup)) {}

SimulatedRadioLine::~SimulatedRadioLine() = default;

PortOpener& SimulatedRadioLine::Opener() { return radio_->Opener(); }

}  // namespace tav
