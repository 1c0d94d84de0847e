#pragma once
// Whether a serial device stands behind COMn, asked by name alone: nothing is opened. Under
// Wine COMn is the machine's /dev/ttyS<n-1> when that exists, so a test that needs a missing
// port asks first and leaves a real device alone.

#include <windows.h>

#include <string>

namespace tav::test {

inline bool ComDevicePresent(int number) {
  char target[512];
  const std::string name = "COM" + std::to_string(number);
  return QueryDosDeviceA(name.c_str(), target, sizeof target) != 0;
}

}  // namespace tav::test
