#pragma once
// --list-ports: the serial devices present on this machine.

#include <string>
#include <vector>

namespace tav {

// Sorted device paths: the on-board ports /dev/ttyS* that answer as terminals, USB adapters
// /dev/ttyUSB* and /dev/ttyACM*, and on macOS the call-out devices /dev/cu.*.
std::vector<std::string> ListSerialPorts();

// "COM1".."COM4" for /dev/ttyS0../dev/ttyS3, else empty.
std::string ComNameOf(const std::string& devicePath);

}  // namespace tav
