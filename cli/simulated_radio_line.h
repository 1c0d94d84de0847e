#pragma once
// The simulated radios of --simulate, by scenario name.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/clock.h"
#include "link/port.h"

namespace tav {

class SimulatedRadio;

struct ScenarioSummary {
  std::string name;
  std::string description;
};

std::vector<ScenarioSummary> SimulatedScenarios();
bool IsSimulatedScenario(std::string_view name);

// One fresh simulated radio set up as the scenario says, reached through its own port.
class SimulatedRadioLine {
 public:
  SimulatedRadioLine(std::string_view scenario, Clock& clock);
  ~SimulatedRadioLine();
  PortOpener& Opener();

 private:
  std::unique_ptr<SimulatedRadio> radio_;
};

}  // namespace tav
