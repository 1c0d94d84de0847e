#pragma once
// What is on the other end of the cable, and which firmware each unit carries.

#include <string>
#include <string_view>

#include "link/serial_link.h"
#include "run/date_code.h"

namespace tav {

// The answer classes of the identification probe.
enum class ProbeAnswer : int {
  NoAnswer = 0,       // nothing at 4800 baud: the control head waits in its ROM monitor
  ControlHead = 34,   // the answer byte 0x22: a control head in normal operation
  ForeignRadio = -1,  // some other byte came back
};

// The two processors of a radio, by their unit index.
enum class UnitIndex : int { ControlHead = 0, Core = 1 };

// "Control" or "Core".
std::string_view UnitDisplayName(UnitIndex unit);

// Expects the link at 4800 baud after the eight 0xFF bytes; leaves the read time-out at 500 ms.
// Returns NoAnswer without touching the port when the abort flag is already set.
ProbeAnswer ProbeRadio(SerialLink& link);

// Asks one unit for its date code through the control head's firmware. Always stores a code
// (bytes not received are zero); writes the display text only on success and only when text
// is given. True when the unit answered.
bool ReadDateCode(SerialLink& link, UnitIndex unit, DateCode& out, std::string* text);

}  // namespace tav
