#pragma once
// The main window: the port choice, the Program button that runs the patch, and the status
// area the run writes into.

#include "app/program_context.h"

namespace tav {

// Runs the main window modally until it is closed; the port setting is saved as it goes.
void ShowMainWindow(const ProgramContext& context);

}  // namespace tav
