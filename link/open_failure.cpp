#include "link/open_failure.h"

#include <cstdio>

namespace tav {

const char* OpenFailureReason(OpenFailure failure) {
  switch (failure) {
    case OpenFailure::Unavailable:
      return "Port unavailable.";
    case OpenFailure::InUse:
      return "Port is in use.";
    case OpenFailure::PermissionDenied:
      return "Permission denied.";
    case OpenFailure::None:
    case OpenFailure::Other:
      break;
  }
  return "";
}

std::string OpenFailureMessage(int portNumber, const std::string& devicePath, OpenFailure failure) {
  const char* reason = OpenFailureReason(failure);
  if (!devicePath.empty()) return "Unable to open " + devicePath + "\n" + reason;
  // Room for any int, not only the three digits a stored port number can have.
  char text[64];
  std::snprintf(text, sizeof text, "Unable to open COM%d\n%s", portNumber, reason);
  return text;
}

}  // namespace tav
