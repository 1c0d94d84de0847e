#pragma once
// --check: what is connected and whether each unit needs the patch, with nothing erased.

#include "cli/terminal_host.h"
#include "link/serial_link.h"

namespace tav {

enum class CheckOutcome { PortNotOpened, Identified, NoAnswer, ForeignRadio };

// The first bytes of a patch run (eight 0xFF at 9600 baud, then the probe at 4800), both date
// codes when a control head answers, then the release byte 0x01. Without an answer nothing
// more is sent: the control head may be waiting in its ROM monitor.
CheckOutcome CheckRadio(SerialLink& link, TerminalHost& host);

}  // namespace tav
