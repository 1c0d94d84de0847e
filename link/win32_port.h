#pragma once
// Serial ports on Windows: a synchronous, unshared handle on the COM device.

#include <windows.h>

#include <optional>

#include "link/port.h"

namespace tav {

class Win32Port final : public Port {
 public:
  // Takes an open port handle and reads the settings the port reports; they are kept for as
  // long as the port is open, and only rate, data bits, parity and the 0x00 discard change.
  explicit Win32Port(HANDLE handle);
  ~Win32Port() override;
  Win32Port(const Win32Port&) = delete;
  Win32Port& operator=(const Win32Port&) = delete;

  bool SetBaud(std::uint32_t bitsPerSecond) override;
  OpenFailure SetQueueSizes(std::size_t input, std::size_t output) override;
  void SetEventMaskAll() override;
  bool Write(const std::uint8_t* bytes, std::size_t count) override;
  bool TransmitImmediate(std::uint8_t byte) override;
  std::size_t Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) override;
  void PurgeReceive() override;
  void SetBreak(bool on) override;

 private:
  void UseReadTimeout(DWORD milliseconds);

  HANDLE handle_;
  DCB settings_{};
  std::optional<DWORD> readTimeout_;  // the total read time-out last given to the port
};

class Win32PortOpener final : public PortOpener {
 public:
  OpenResult Open(const std::string& deviceName) override;
};

}  // namespace tav
