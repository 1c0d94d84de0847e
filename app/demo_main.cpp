// tavpatch-demo.exe: the patch utility against a simulated radio on the real clock, so a run
// looks and lasts as on a real radio. The one argument names the radio (default "both"); every
// press of Program in one session talks to the same radio.

#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/program_context.h"
#include "image/win32_resource_source.h"
#include "link/platform.h"
#include "sim/scenarios.h"
#include "sim/simulated_radio.h"

namespace {

std::string ScenarioList() {
  std::string list;
  for (const tav::Scenario& scenario : tav::Scenarios()) {
    list += "\n";
    list += scenario.name;
    list += ": ";
    list += scenario.description;
  }
  return list;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::string name = __argc > 1 ? __argv[1] : "both";
  const tav::Scenario* scenario = tav::FindScenario(name);
  if (scenario == nullptr) {
    const std::string text =
        "There is no simulated radio called \"" + name + "\". The radios are:\n" + ScenarioList();
    MessageBoxA(nullptr, text.c_str(), tav::kDemonstrationTitle, MB_OK | MB_ICONWARNING);
    return 2;
  }
  tav::ProcessState state;
  const tav::Win32ResourceSource resources(instance);
  tav::SimulatedRadio radio(tav::SystemClock(), resources, scenario->setup);
  return tav::RunProgram({instance, state, radio.Opener(), tav::SystemClock(), resources, true});
}
