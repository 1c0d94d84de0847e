#include "link/win32_port.h"

#include <algorithm>
#include <limits>

#include "link/win32_open_error.h"

namespace tav {

namespace {

OpenFailure LastOpenFailure() { return OpenFailureForWin32Error(GetLastError()); }

DWORD ToDword(std::size_t value) {
  return static_cast<DWORD>(std::min<std::size_t>(value, std::numeric_limits<DWORD>::max()));
}

}  // namespace

Win32Port::Win32Port(HANDLE handle) : handle_(handle) {
  settings_.DCBlength = sizeof settings_;
  GetCommState(handle_, &settings_);
}

Win32Port::~Win32Port() { CloseHandle(handle_); }

bool Win32Port::SetBaud(std::uint32_t bitsPerSecond) {
  settings_.BaudRate = bitsPerSecond;
  settings_.ByteSize = 8;
  settings_.Parity = NOPARITY;
  settings_.fNull = 1;
  return SetCommState(handle_, &settings_) != 0;
}

OpenFailure Win32Port::SetQueueSizes(std::size_t input, std::size_t output) {
  if (SetupComm(handle_, ToDword(input), ToDword(output))) return OpenFailure::None;
  return LastOpenFailure();
}

void Win32Port::SetEventMaskAll() { SetCommMask(handle_, ~DWORD{0}); }

bool Win32Port::Write(const std::uint8_t* bytes, std::size_t count) {
  // The count pointer is required: Windows faults on a synchronous write without one.
  DWORD written = 0;
  const DWORD wanted = ToDword(count);
  return WriteFile(handle_, bytes, wanted, &written, nullptr) && written == wanted;
}

bool Win32Port::TransmitImmediate(std::uint8_t byte) {
  return TransmitCommChar(handle_, static_cast<char>(byte)) != 0;
}

std::size_t Win32Port::Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) {
  UseReadTimeout(static_cast<DWORD>(
      std::clamp<Millis::rep>(totalTimeout.count(), 0, std::numeric_limits<DWORD>::max())));
  DWORD got = 0;
  if (!ReadFile(handle_, buffer, ToDword(maximum), &got, nullptr)) return 0;
  return got;
}

// Only the total constant of the read time-outs is ever changed, and only when a read asks
// for another one than the port has.
void Win32Port::UseReadTimeout(DWORD milliseconds) {
  if (readTimeout_ == milliseconds) return;
  COMMTIMEOUTS timeouts{};
  GetCommTimeouts(handle_, &timeouts);
  timeouts.ReadTotalTimeoutConstant = milliseconds;
  if (SetCommTimeouts(handle_, &timeouts)) readTimeout_ = milliseconds;
}

void Win32Port::PurgeReceive() { PurgeComm(handle_, PURGE_RXCLEAR); }

void Win32Port::SetBreak(bool on) {
  if (on) {
    SetCommBreak(handle_);
  } else {
    ClearCommBreak(handle_);
  }
}

OpenResult Win32PortOpener::Open(const std::string& deviceName) {
  // Exclusive (no sharing), synchronous (no flags).
  HANDLE handle = CreateFileA(deviceName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return OpenResult{nullptr, LastOpenFailure()};
  return OpenResult{std::make_unique<Win32Port>(handle), OpenFailure::None};
}

}  // namespace tav
