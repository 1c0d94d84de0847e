#include "link/tracing_port.h"

#include <cinttypes>
#include <cstdio>
#include <utility>

namespace tav {

namespace {

std::string_view FailureName(OpenFailure failure) {
  switch (failure) {
    case OpenFailure::None:
      return "none";
    case OpenFailure::Unavailable:
      return "unavailable";
    case OpenFailure::InUse:
      return "in-use";
    case OpenFailure::PermissionDenied:
      return "permission-denied";
    case OpenFailure::Other:
      break;
  }
  return "other";
}

}  // namespace

WireTrace::WireTrace(std::ostream& out, Clock& clock, std::function<void()> writeFailed)
    : out_(out), clock_(clock), origin_(clock.Now()), writeFailed_(std::move(writeFailed)) {}

void WireTrace::Event(std::string_view event, std::uint32_t baud, std::string_view detail) {
  if (failed_) return;
  const auto elapsed = (clock_.Now() - origin_).count();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%6" PRId64 ".%06" PRId64,
                static_cast<std::int64_t>(elapsed / 1000000),
                static_cast<std::int64_t>(elapsed % 1000000));
  out_ << stamp << "  " << event;
  if (baud != 0) out_ << "  " << baud;
  if (!detail.empty()) out_ << "  " << detail;
  out_ << '\n';
  out_.flush();
  if (out_) return;
  failed_ = true;
  if (writeFailed_) writeFailed_();
}

std::string WireTrace::Hex(const std::uint8_t* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    if (i != 0) text += ' ';
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

TracingPort::TracingPort(std::unique_ptr<Port> inner, WireTrace& trace)
    : inner_(std::move(inner)), trace_(trace) {}

TracingPort::~TracingPort() {
  inner_.reset();
  trace_.Event("close", 0, {});
}

bool TracingPort::SetBaud(std::uint32_t bitsPerSecond) {
  const bool taken = inner_->SetBaud(bitsPerSecond);
  if (taken) baud_ = bitsPerSecond;
  trace_.Event("baud", bitsPerSecond, taken ? "" : "refused");
  return taken;
}

OpenFailure TracingPort::SetQueueSizes(std::size_t input, std::size_t output) {
  return inner_->SetQueueSizes(input, output);
}

void TracingPort::SetEventMaskAll() { inner_->SetEventMaskAll(); }

bool TracingPort::Write(const std::uint8_t* bytes, std::size_t count) {
  // Logged before the write: a synchronous write returns only once the bytes have left.
  trace_.Event("tx", baud_, WireTrace::Hex(bytes, count));
  return inner_->Write(bytes, count);
}

bool TracingPort::TransmitImmediate(std::uint8_t byte) {
  trace_.Event("tx-now", baud_, WireTrace::Hex(&byte, 1));
  return inner_->TransmitImmediate(byte);
}

std::size_t TracingPort::Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) {
  const std::size_t got = inner_->Read(buffer, maximum, totalTimeout);
  trace_.Event("rx", baud_, got == 0 ? std::string("(nothing)") : WireTrace::Hex(buffer, got));
  return got;
}

void TracingPort::PurgeReceive() {
  trace_.Event("purge", 0, {});
  inner_->PurgeReceive();
}

void TracingPort::SetBreak(bool on) {
  trace_.Event(on ? "break-on" : "break-off", 0, {});
  inner_->SetBreak(on);
}

TracingPortOpener::TracingPortOpener(PortOpener& inner, WireTrace& trace)
    : inner_(inner), trace_(trace) {}

OpenResult TracingPortOpener::Open(const std::string& deviceName) {
  OpenResult result = inner_.Open(deviceName);
  if (result.failure != OpenFailure::None || !result.port) {
    trace_.Event("open-failed", 0, deviceName + " " + std::string(FailureName(result.failure)));
    return result;
  }
  trace_.Event("open", 0, deviceName);
  if (const std::string note = result.port->Note(); !note.empty()) trace_.Event("debug", 0, note);
  result.port = std::make_unique<TracingPort>(std::move(result.port), trace_);
  return result;
}

}  // namespace tav
