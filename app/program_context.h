#pragma once
// What the Windows program's dialogs share for the life of the process: the program
// instance, the process-wide run state, the way to the radio and the program's resources.

#include <windows.h>

#include <string_view>

#include "image/resource_source.h"
#include "link/clock.h"
#include "link/port.h"
#include "link/process_state.h"

namespace tav {

struct ProgramContext {
  HINSTANCE instance;
  ProcessState& state;
  PortOpener& opener;
  Clock& clock;
  const ResourceSource& resources;
  // The demonstration program, on a simulated radio, says so in its title bars and intro.
  bool demonstration = false;
};

// Added to the intro's caption and first line. The main window, too narrow for its caption
// and the note, is called kDemonstrationTitle instead.
inline constexpr std::string_view kDemonstrationNote = " (demonstration)";
inline constexpr char kDemonstrationTitle[] = "TAV Patch (demonstration)";

// The intro dialog, then the main window if the technician went on. Always returns 0.
int RunProgram(const ProgramContext& context);

}  // namespace tav
