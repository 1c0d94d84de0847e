#pragma once
// A wire log of a run: a Port and a PortOpener that wrap any other, write one line per event
// (time since the log began, direction, baud rate, bytes in hex, breaks) and flush it at once,
// so the log survives a crash or a pulled cable up to the last event.
//
// Line format, fields separated by blanks:
//   <seconds>.<microseconds>  <event>  [<baud>]  [<detail>]
// events: open, open-failed, baud, tx (a synchronous write), tx-now (one byte ahead of queued
// output), rx (bytes a read returned, or "(nothing)" after its time-out), purge, break-on,
// break-off, close, debug (a note about the port, such as the driver's answer to the request
// for low latency).

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "link/clock.h"
#include "link/port.h"

namespace tav {

class WireTrace {
 public:
  // writeFailed is called once, when the first line cannot be written (a full disk); the
  // trace then writes nothing more, and the run it records goes on.
  WireTrace(std::ostream& out, Clock& clock, std::function<void()> writeFailed = {});

  // One line stamped with the time since the trace began; flushed before it returns.
  void Event(std::string_view event, std::uint32_t baud, std::string_view detail);
  static std::string Hex(const std::uint8_t* bytes, std::size_t count);

 private:
  std::ostream& out_;
  Clock& clock_;
  Micros origin_;
  std::function<void()> writeFailed_;
  bool failed_ = false;
};

class TracingPort final : public Port {
 public:
  TracingPort(std::unique_ptr<Port> inner, WireTrace& trace);
  ~TracingPort() override;

  bool SetBaud(std::uint32_t bitsPerSecond) override;
  OpenFailure SetQueueSizes(std::size_t input, std::size_t output) override;
  void SetEventMaskAll() override;
  bool Write(const std::uint8_t* bytes, std::size_t count) override;
  bool TransmitImmediate(std::uint8_t byte) override;
  std::size_t Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) override;
  void PurgeReceive() override;
  void SetBreak(bool on) override;

 private:
  std::unique_ptr<Port> inner_;
  WireTrace& trace_;
  std::uint32_t baud_ = 0;  // 0 until the first SetBaud
};

class TracingPortOpener final : public PortOpener {
 public:
  TracingPortOpener(PortOpener& inner, WireTrace& trace);
  OpenResult Open(const std::string& deviceName) override;

 private:
  PortOpener& inner_;
  WireTrace& trace_;
};

}  // namespace tav
