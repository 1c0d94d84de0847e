#pragma once
// Endings after which the next run finishes the radio only once its power has been switched
// off and on: a unit was left running a RAM program (the talk-through relay, a flash loader)
// that only its closing packet or the supply ends, or the control head still passes the line
// through to the core, so the next run cannot reach the ROM monitor or firmware it expects. The
// terminal program says so after such an ending.

#include <string_view>

namespace tav {

inline constexpr std::string_view kPowerCycleHint =
    "Switch the radio off and on, then run tavpatch again.";

inline bool EndingNeedsPowerCycle(std::string_view message) {
  return message == "Unable to contact radio." || message == "No response from core." ||
         message.starts_with("The control head has no working program and was not patched.");
}

}  // namespace tav
