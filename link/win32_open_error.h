#pragma once
// What a failed open of a Windows serial port means, from the error code GetLastError gave.
// Kept free of <windows.h> so that every build can check it.

#include <cstdint>

#include "link/port.h"

namespace tav {

constexpr std::uint32_t kWin32ErrorFileNotFound = 2;  // ERROR_FILE_NOT_FOUND: no such port
constexpr std::uint32_t kWin32ErrorAccessDenied = 5;  // ERROR_ACCESS_DENIED: another program has it

constexpr OpenFailure OpenFailureForWin32Error(std::uint32_t lastError) {
  switch (lastError) {
    case kWin32ErrorFileNotFound:
      return OpenFailure::Unavailable;
    case kWin32ErrorAccessDenied:
      return OpenFailure::InUse;
    default:
      return OpenFailure::Other;
  }
}

}  // namespace tav
