#pragma once
// A scripted serial line on the virtual clock: bytes the radio sends arrive at set times,
// and everything the link does to the port is recorded.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/port.h"
#include "sim/virtual_clock.h"

namespace tav::test {

struct Arrival {
  Micros at;
  std::uint8_t byte;
};

struct SentWrite {
  Micros at;
  std::vector<std::uint8_t> bytes;
};

struct FakeLine {
  explicit FakeLine(VirtualClock& c) : clock(c) {}

  // Queues bytes from the radio, arriving `afterMs` from now, one per millisecond.
  void Arrive(std::vector<std::uint8_t> bytes, int afterMs = 0) {
    Micros at = clock.Now() + Millis(afterMs);
    for (auto b : bytes) {
      incoming.push_back({at, b});
      at += Millis(1);
    }
  }

  VirtualClock& clock;
  std::deque<Arrival> incoming;
  // Called after each write, with the number of writes so far; scripts the radio's answer.
  std::function<void(int)> onWrite;

  std::vector<SentWrite> writes;
  std::vector<std::pair<Micros, std::uint8_t>> immediates;
  std::vector<std::uint32_t> bauds;
  std::vector<std::pair<std::size_t, std::size_t>> queueSizes;
  int eventMaskCalls = 0;
  int purges = 0;
  std::vector<bool> breaks;
  bool open = false;
  OpenFailure queueFailure = OpenFailure::None;
};

class FakePort final : public Port {
 public:
  explicit FakePort(FakeLine& line) : line_(line) { line_.open = true; }
  ~FakePort() override { line_.open = false; }

  bool SetBaud(std::uint32_t bitsPerSecond) override {
    line_.bauds.push_back(bitsPerSecond);
    return true;
  }
  OpenFailure SetQueueSizes(std::size_t input, std::size_t output) override {
    line_.queueSizes.emplace_back(input, output);
    return line_.queueFailure;
  }
  void SetEventMaskAll() override { ++line_.eventMaskCalls; }
  bool Write(const std::uint8_t* bytes, std::size_t count) override {
    line_.writes.push_back({line_.clock.Now(), {bytes, bytes + count}});
    if (line_.onWrite) line_.onWrite(static_cast<int>(line_.writes.size()));
    return true;
  }
  bool TransmitImmediate(std::uint8_t byte) override {
    line_.immediates.emplace_back(line_.clock.Now(), byte);
    return true;
  }
  // Like a driver: returns once `maximum` bytes have arrived or at the deadline.
  std::size_t Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) override {
    const Micros deadline = line_.clock.Now() + totalTimeout;
    std::size_t got = 0;
    while (got < maximum && !line_.incoming.empty() && line_.incoming.front().at <= deadline) {
      const Arrival next = line_.incoming.front();
      line_.incoming.pop_front();
      line_.clock.Sleep(next.at - line_.clock.Now());
      buffer[got++] = next.byte;
    }
    if (got < maximum) line_.clock.Sleep(deadline - line_.clock.Now());
    return got;
  }
  void PurgeReceive() override {
    ++line_.purges;
    while (!line_.incoming.empty() && line_.incoming.front().at <= line_.clock.Now())
      line_.incoming.pop_front();
  }
  void SetBreak(bool on) override { line_.breaks.push_back(on); }

 private:
  FakeLine& line_;
};

class FakeOpener final : public PortOpener {
 public:
  explicit FakeOpener(FakeLine& line) : line_(line) {}
  OpenResult Open(const std::string& deviceName) override {
    names.push_back(deviceName);
    if (failure != OpenFailure::None) return {nullptr, failure};
    return {std::make_unique<FakePort>(line_), OpenFailure::None};
  }

  OpenFailure failure = OpenFailure::None;
  std::vector<std::string> names;

 private:
  FakeLine& line_;
};

}  // namespace tav::test
