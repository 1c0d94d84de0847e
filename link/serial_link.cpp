#include "link/serial_link.h"

#include <algorithm>

#include "link/open_failure.h"

namespace tav {

namespace {

constexpr std::uint32_t kOpenBaud = 9600;
constexpr std::size_t kQueueSize = 128;
constexpr std::uint32_t kSliceMs = 10;
constexpr std::uint32_t kImmediatePaceMs = 5;

// The beep and the "COMM ERROR" box; the result of a failed open.
int ReportOpenFailure(Host& host, const ProcessState& state, OpenFailure failure) {
  host.Beep();
  host.ShowMessage(OpenFailureMessage(state.portNumber, state.devicePath, failure),
                   kOpenFailureCaption, MessageIcon::Warning, MessageButtons::Ok);
  return 1;
}

}  // namespace

std::string DeviceNameForPort(int portNumber) {
  std::string name = "COM1";
  name[3] = static_cast<char>(static_cast<unsigned char>(0x30 + (portNumber & 0xFF)));
  return name;
}

SerialLink::SerialLink(ProcessState& state, PortOpener& opener, Clock& clock, Host& host)
    : state_(state), opener_(opener), clock_(clock), host_(host) {}

int SerialLink::OpenLink() {
  CloseLink();
  // 1. The device: a chosen path, else the COM name of the port number.
  const std::string name =
      state_.devicePath.empty() ? DeviceNameForPort(state_.portNumber) : state_.devicePath;

  // 2. Open it; the opener says why it could not.
  OpenResult opened = opener_.Open(name);
  if (!opened.port) {
    return ReportOpenFailure(
        host_, state_, opened.failure == OpenFailure::None ? OpenFailure::Other : opened.failure);
  }
  // 3. 9600 baud, 8 data bits, no parity, received 0x00 discarded. A port that refuses the
  //    settings still counts as opened.
  opened.port->SetBaud(kOpenBaud);
  // 4. 128-byte driver queues; a refusal fails the open and closes the port again.
  const OpenFailure queues = opened.port->SetQueueSizes(kQueueSize, kQueueSize);
  if (queues != OpenFailure::None) {
    opened.port.reset();
    return ReportOpenFailure(host_, state_, queues);
  }
  // 5. Every event in the mask; nothing waits on it.
  opened.port->SetEventMaskAll();
  port_ = std::move(opened.port);
  return 0;
}

void SerialLink::CloseLink() { port_.reset(); }

bool SerialLink::IsOpen() const { return port_ != nullptr; }

bool SerialLink::SetLinkBaud(std::uint32_t bitsPerSecond) {
  return port_ && port_->SetBaud(bitsPerSecond);
}

bool SerialLink::SendBytes(const std::uint8_t* bytes, std::size_t count) {
  return port_ && port_->Write(bytes, count);
}

int SerialLink::SendImmediate(std::uint8_t byte) {
  if (port_) port_->TransmitImmediate(byte);
  PumpWait(kImmediatePaceMs);
  return AbortRequested() ? -1 : 0;
}

bool SerialLink::SendImmediateNoWait(std::uint8_t byte) {
  return port_ && port_->TransmitImmediate(byte);
}

int SerialLink::SendAndAwaitByte(const std::uint8_t* bytes, std::size_t count, int tries,
                                 EarlierBytes earlier) {
  for (;;) {
    // 1. The whole request, every try. The write returns once the request has left, so a
    //    purge here throws away only what came before the answer to this request.
    SendBytes(bytes, count);
    if (earlier == EarlierBytes::Dropped) PurgeReceive();
    // 2. At most one pending window message.
    host_.DispatchOne();
    // 3. One reply byte within the read time-out.
    std::uint8_t reply = 0;
    if (ReadBytes(&reply, 1) == 1) return reply;
    // 4. A positive count allows that many tries; 0 or less has no limit.
    if (tries >= 0 && --tries == 0) return -1;
    // 5. The stop request is looked at only after a try that failed.
    if (AbortRequested()) return -1;
  }
}

std::size_t SerialLink::ReadBytes(std::uint8_t* buffer, std::size_t maximum) {
  if (!port_ || maximum == 0) return 0;
  // Received 0x00 bytes are dropped here, whatever the driver does with them; the read still
  // ends at its count or at its total time-out, counted from this call's start.
  const Micros start = clock_.Now();
  std::size_t kept = 0;
  bool first = true;
  while (kept < maximum) {
    const auto remaining =
        std::chrono::duration_cast<Millis>(readTimeout_ - (clock_.Now() - start));
    if (!first && remaining <= Millis::zero()) break;
    first = false;
    const std::size_t got =
        port_->Read(buffer + kept, maximum - kept, std::max(remaining, Millis::zero()));
    if (got == 0) break;
    const auto end = std::remove(buffer + kept, buffer + kept + got, std::uint8_t{0});
    kept = static_cast<std::size_t>(end - buffer);
  }
  return kept;
}

void SerialLink::SetReadTimeout(std::uint32_t milliseconds) { readTimeout_ = Millis(milliseconds); }

void SerialLink::PurgeReceive() {
  if (port_) port_->PurgeReceive();
}

void SerialLink::SetBreak() {
  if (port_) port_->SetBreak(true);
}

void SerialLink::ClearBreak() {
  if (port_) port_->SetBreak(false);
}

void SerialLink::PumpWait(std::uint32_t milliseconds) {
  // 1. Short waits are plain sleeps: nothing dispatched, no stop request looked at.
  if (milliseconds <= kSliceMs) {
    Sleep(milliseconds);
    return;
  }
  // 2. 10 ms slices, each followed by dispatching every pending message; a stop request
  //    ends the wait at once.
  do {
    Sleep(kSliceMs);
    host_.DispatchPending();
    if (AbortRequested()) return;
    milliseconds -= kSliceMs;
  } while (milliseconds > kSliceMs);
  // 3. The remaining 1 to 10 ms.
  Sleep(milliseconds);
}

void SerialLink::Sleep(std::uint32_t milliseconds) { clock_.Sleep(Millis(milliseconds)); }

bool SerialLink::AbortRequested() const { return state_.abortFlag.load(); }

bool SerialLink::StopRequestedNow() {
  host_.DispatchPending();
  return AbortRequested();
}

ProcessState& SerialLink::State() { return state_; }

Host& SerialLink::UserInterface() { return host_; }

Clock& SerialLink::Time() { return clock_; }

}  // namespace tav
