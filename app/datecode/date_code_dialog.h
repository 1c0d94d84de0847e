#pragma once
// The date code entry dialog: asks the technician for a unit's date code when the radio
// cannot report it, and decides whether that unit needs the patch.

#include <windows.h>

#include "link/host.h"

namespace tav {

// Runs the dialog modally, without an owner window, and returns its end code: 0 the typed
// code is in the unit's list, 1 cancelled, 2 not in the list and no retry. A dialog that
// cannot be created gives a non-zero code, so the unit is left alone.
int AskDateCodeDialog(HINSTANCE instance, DateCodeQuestion unit);

}  // namespace tav
