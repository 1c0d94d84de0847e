#pragma once
// Named radios for the demos and the terminal program's --simulate: each a setup with a
// one-line description.

#include <span>
#include <string_view>

#include "sim/radio_setup.h"

namespace tav {

struct Scenario {
  std::string_view name;
  std::string_view description;
  RadioSetup setup;
};

// In the order they are listed to the user; "both" first, the default.
std::span<const Scenario> Scenarios();
// The scenario of that name, or nullptr.
const Scenario* FindScenario(std::string_view name);

}  // namespace tav
