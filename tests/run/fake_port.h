#pragma once
// A port for the protocol tests: it records what the link does to the line and answers each
// write from a script, on the virtual clock.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/port.h"
#include "link/process_state.h"
#include "link/serial_link.h"
#include "sim/scripted_host.h"
#include "sim/virtual_clock.h"

namespace tav::test {

struct LineEvent {
  enum Kind { Write, Immediate, BreakOn, BreakOff, Purge, Baud };
  Kind kind;
  Micros time;
  std::uint32_t baud;
  std::vector<std::uint8_t> bytes;
};

class FakePort final : public Port {
 public:
  // Called with each write (a whole buffer, or one immediate byte); returns the bytes the far
  // end sends back, which arrive at once.
  using Responder = std::function<std::vector<std::uint8_t>(const std::vector<std::uint8_t>&)>;

  FakePort(Clock& clock, std::vector<LineEvent>& log, Responder& responder)
      : clock_(clock), log_(log), responder_(responder) {}

  bool SetBaud(std::uint32_t bitsPerSecond) override {
    baud_ = bitsPerSecond;
    log_.push_back({LineEvent::Baud, clock_.Now(), baud_, {}});
    return true;
  }
  OpenFailure SetQueueSizes(std::size_t, std::size_t) override { return OpenFailure::None; }
  void SetEventMaskAll() override {}
  bool Write(const std::uint8_t* bytes, std::size_t count) override {
    Sent(LineEvent::Write, std::vector<std::uint8_t>(bytes, bytes + count));
    return true;
  }
  bool TransmitImmediate(std::uint8_t byte) override {
    Sent(LineEvent::Immediate, {byte});
    return true;
  }
  std::size_t Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) override {
    if (incoming_.empty()) {
      clock_.Sleep(totalTimeout);
      return 0;
    }
    std::size_t n = 0;
    while (n < maximum && !incoming_.empty()) {
      buffer[n++] = incoming_.front();
      incoming_.pop_front();
    }
    return n;
  }
  void PurgeReceive() override {
    incoming_.clear();
    log_.push_back({LineEvent::Purge, clock_.Now(), baud_, {}});
  }
  void SetBreak(bool on) override {
    log_.push_back({on ? LineEvent::BreakOn : LineEvent::BreakOff, clock_.Now(), baud_, {}});
  }

 private:
  void Sent(LineEvent::Kind kind, std::vector<std::uint8_t> bytes) {
    log_.push_back({kind, clock_.Now(), baud_, bytes});
    if (responder_) {
      for (std::uint8_t b : responder_(bytes)) incoming_.push_back(b);
    }
  }

  Clock& clock_;
  std::vector<LineEvent>& log_;
  Responder& responder_;
  std::deque<std::uint8_t> incoming_;
  std::uint32_t baud_ = 0;
};

class FakeOpener final : public PortOpener {
 public:
  FakeOpener(Clock& clock, std::vector<LineEvent>& log, FakePort::Responder& responder)
      : clock_(clock), log_(log), responder_(responder) {}
  OpenResult Open(const std::string&) override {
    return {std::make_unique<FakePort>(clock_, log_, responder_), OpenFailure::None};
  }

 private:
  Clock& clock_;
  std::vector<LineEvent>& log_;
  FakePort::Responder& responder_;
};

// An open link over a fake port, with a scripted host, on a virtual clock.
struct FakeLine {
  FakeLine() { link.OpenLink(); }

  // The bytes of every write and immediate byte, in order, as one stream.
  std::vector<std::uint8_t> SentBytes() const {
    std::vector<std::uint8_t> all;
    for (const LineEvent& e : log) {
      if (e.kind == LineEvent::Write || e.kind == LineEvent::Immediate) {
        all.insert(all.end(), e.bytes.begin(), e.bytes.end());
      }
    }
    return all;
  }
  std::vector<LineEvent> EventsOf(LineEvent::Kind kind) const {
    std::vector<LineEvent> found;
    for (const LineEvent& e : log) {
      if (e.kind == kind) found.push_back(e);
    }
    return found;
  }

  VirtualClock clock;
  ProcessState state;
  ScriptedHost host{state, clock};
  std::vector<LineEvent> log;
  FakePort::Responder respond;
  FakeOpener opener{clock, log, respond};
  SerialLink link{state, opener, clock, host};
};

}  // namespace tav::test
