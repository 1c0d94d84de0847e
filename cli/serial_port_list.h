#pragma once
// --list-ports: the serial devices present on this machine and what each one is.

#include <string>
#include <vector>

namespace tav {

struct SerialDevice {
  std::string path;         // /dev/ttyUSB0
  std::string description;  // "USB adapter FTDI FT232R USB UART, serial A6008isP (0403:6001)"
  std::vector<std::string> aliases;  // its /dev/serial/by-id names, sorted
};

// The serial devices under root ("" for the machine itself; a test hands in a made-up tree),
// sorted by path. Linux: the ttys of /sys/class/tty that have a device behind them (on-board
// ports /dev/ttyS* only where a UART answers, USB adapters /dev/ttyUSB* and /dev/ttyACM*) and
// have a node in /dev, described from the USB device's attributes. macOS: the call-out devices
// /dev/cu.*. Paths are given as seen from inside root.
std::vector<SerialDevice> ListSerialDevices(const std::string& root);

// "COM1".."COM4" for /dev/ttyS0../dev/ttyS3, else empty.
std::string ComNameOf(const std::string& devicePath);

}  // namespace tav
