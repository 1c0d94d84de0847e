#pragma once
// Serial ports on Linux and macOS: a terminal device in raw mode, opened exclusively.

#include <termios.h>

#include <optional>
#include <string>

#include "link/port.h"
#include "link/posix_low_latency.h"

namespace tav {

class PosixPort final : public Port {
 public:
  // Takes an open, locked terminal and the settings it reported.
  PosixPort(int fd, const termios& settings);
  ~PosixPort() override;
  PosixPort(const PosixPort&) = delete;
  PosixPort& operator=(const PosixPort&) = delete;

  // What came of asking the driver for low latency at open.
  std::string Note() const override { return lowLatency_.Outcome(); }

  bool SetBaud(std::uint32_t bitsPerSecond) override;
  OpenFailure SetQueueSizes(std::size_t input, std::size_t output) override;
  void SetEventMaskAll() override;
  bool Write(const std::uint8_t* bytes, std::size_t count) override;
  bool TransmitImmediate(std::uint8_t byte) override;
  std::size_t Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) override;
  void PurgeReceive() override;
  void SetBreak(bool on) override;

 private:
  int fd_;
  termios settings_;
  LowLatencyMode lowLatency_;
};

// "COM1".."COM4" name the first four on-board ports, /dev/ttyS0../dev/ttyS3; other "COMn"
// names have no device (nullopt); anything else is a device path used as it is.
std::optional<std::string> PosixDevicePath(const std::string& deviceName);

class PosixPortOpener final : public PortOpener {
 public:
  OpenResult Open(const std::string& deviceName) override;
};

}  // namespace tav
