#pragma once
// The text of the "COMM ERROR" box shown when the port cannot be opened.

#include <string>
#include <string_view>

#include "link/port.h"

namespace tav {

inline constexpr std::string_view kOpenFailureCaption = "COMM ERROR";

// "Port unavailable.", "Port is in use.", ... or the empty text for a failure without a
// reason of its own.
const char* OpenFailureReason(OpenFailure failure);

// "Unable to open COM<portNumber>\n<reason>", or with the device path in place of the port
// when one was chosen.
std::string OpenFailureMessage(int portNumber, const std::string& devicePath, OpenFailure failure);

}  // namespace tav
