#pragma once
// The main window's four port buttons, Comm 1 to Comm 4.

#include <windows.h>

#include "link/process_state.h"

namespace tav {

// The ports offered, bit 0 for COM1 up to bit 3 for COM4: all four.
int AvailablePortMask();

// Enables the offered buttons and checks the one of the port number; a number outside 1 to 4
// leaves all four unchecked.
void ShowPortChoice(HWND window, int portNumber);

// The first checked button, in the order Comm 1 to Comm 4, sets the port number; with none
// checked it keeps its value.
void TakeCheckedPort(HWND window, ProcessState& state);

}  // namespace tav
