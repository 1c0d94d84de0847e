#pragma once
// Ctrl-C is the terminal program's close request. The first one is noted (and a short notice
// written to standard error); like the main window's close request it reaches the run only
// when a pump delivers it into the abort flag, so the run winds down exactly as when the
// window is closed. A second Ctrl-C ends the program at once with kExitQuitAtOnce.

#include "link/process_state.h"

namespace tav {

void InstallInterruptHandler();

// True once Ctrl-C has been pressed since the handler was installed.
bool InterruptRequested();

// Sets the abort flag when a Ctrl-C is waiting to be delivered; called by the host's pumps.
void DeliverPendingInterrupt(ProcessState& state);

}  // namespace tav
