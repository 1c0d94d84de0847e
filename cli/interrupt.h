#pragma once
// Ctrl-C is the terminal program's close request, and so are SIGTERM (a shutdown) and SIGHUP (a
// closed terminal). The first one is noted (and a short notice written to standard error);
// like the main window's close request it reaches the run only when a pump delivers it into
// the abort flag, so the run winds down exactly as when the window is closed. A second one of
// any of them ends the program at once with kExitQuitAtOnceBase plus its signal number.

#include "link/process_state.h"

namespace tav {

void InstallInterruptHandler();

// True once a stop request (Ctrl-C, SIGTERM, SIGHUP) has come since the handler was installed.
bool InterruptRequested();

// Sets the abort flag when a stop request is waiting to be delivered; called by the host's pumps.
void DeliverPendingInterrupt(ProcessState& state);

}  // namespace tav
