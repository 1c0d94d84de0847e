#pragma once
// A port for the protocol tests: it records what the link does to the line and answers each
// write from a script, on the virtual clock. A write takes no time; the far end's answer
// arrives a millisecond after it, and bytes scripted to cross the line during the write are
// waiting when it returns.

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
  // end sends back.
  using Responder = std::function<std::vector<std::uint8_t>(const std::vector<std::uint8_t>&)>;

  static constexpr Micros kAnswerDelay = Millis(1);

  // `answer` gives the bytes that arrive kAnswerDelay after the write; `duringWrite` those
  // that arrive while it is still on the line (a stray byte, a late answer to an earlier write).
  FakePort(Clock& clock, std::vector<LineEvent>& log, Responder& answer, Responder& duringWrite)
      : clock_(clock), log_(log), answer_(answer), duringWrite_(duringWrite) {}

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
    const Micros deadline = clock_.Now() + totalTimeout;
    if (incoming_.empty() || incoming_.front().at > deadline) {
      clock_.Sleep(totalTimeout);
      return 0;
    }
    if (incoming_.front().at > clock_.Now()) clock_.Sleep(incoming_.front().at - clock_.Now());
    std::size_t n = 0;
    while (n < maximum && !incoming_.empty() && incoming_.front().at <= clock_.Now()) {
      buffer[n++] = incoming_.front().byte;
      incoming_.pop_front();
    }
    return n;
  }
  // Throws away what has arrived; an answer still on its way comes in later.
  void PurgeReceive() override {
    while (!incoming_.empty() && incoming_.front().at <= clock_.Now()) incoming_.pop_front();
    log_.push_back({LineEvent::Purge, clock_.Now(), baud_, {}});
  }
  void SetBreak(bool on) override {
    log_.push_back({on ? LineEvent::BreakOn : LineEvent::BreakOff, clock_.Now(), baud_, {}});
  }

 private:
  struct Arrival {
    Micros at;
    std::uint8_t byte;
  };

  void Sent(LineEvent::Kind kind, std::vector<std::uint8_t> bytes) {
    log_.push_back({kind, clock_.Now(), baud_, bytes});
    // Answers to earlier writes may still be on their way: new bytes go in by arrival time.
    const auto arrive = [this](const Responder& far, Micros at, const auto& sent) {
      if (!far) return;
      for (std::uint8_t b : far(sent)) {
        auto later = incoming_.begin();
        while (later != incoming_.end() && later->at <= at) ++later;
        incoming_.insert(later, Arrival{at, b});
      }
    };
    arrive(duringWrite_, clock_.Now(), bytes);
    arrive(answer_, clock_.Now() + kAnswerDelay, bytes);
  }

  Clock& clock_;
  std::vector<LineEvent>& log_;
  Responder& answer_;
  Responder& duringWrite_;
  std::deque<Arrival> incoming_;
  std::uint32_t baud_ = 0;
};

class FakeOpener final : public PortOpener {
 public:
  FakeOpener(Clock& clock, std::vector<LineEvent>& log, FakePort::Responder& answer,
             FakePort::Responder& duringWrite)
      : clock_(clock), log_(log), answer_(answer), duringWrite_(duringWrite) {}
  OpenResult Open(const std::string&) override {
    return {std::make_unique<FakePort>(clock_, log_, answer_, duringWrite_), OpenFailure::None};
  }

 private:
  Clock& clock_;
  std::vector<LineEvent>& log_;
  FakePort::Responder& answer_;
  FakePort::Responder& duringWrite_;
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
  FakePort::Responder duringWrite;
  FakeOpener opener{clock, log, respond, duringWrite};
  SerialLink link{state, opener, clock, host};
};

}  // namespace tav::test
