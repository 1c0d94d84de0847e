#pragma once
// The process-wide values a run shares with its user interface. The platform entry point owns
// one; tests make a fresh one per case.

#include <atomic>
#include <string>

namespace tav {

struct ProcessState {
  // Set when the technician asks to stop (the main window's close request, Ctrl-C); cleared
  // at the start of each run. Atomic so a signal handler may set it.
  std::atomic<bool> abortFlag{false};
  // True while the control head runs its normal firmware at 4800 baud.
  bool controlHeadMode = false;
  // The chosen port, 1 to 4 for COM1 to COM4; other stored values are kept as they are.
  int portNumber = 1;
  // A device path chosen instead of a port number (terminal program only); empty otherwise.
  std::string devicePath;
};

}  // namespace tav
