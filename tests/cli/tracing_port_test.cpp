#include "link/tracing_port.h"

#include <gtest/gtest.h>

#include <deque>
#include <sstream>

#include "sim/virtual_clock.h"

namespace tav {
namespace {

// A line whose far end answers every write with the queued bytes, taking time as a line does.
class EchoPort final : public Port {
 public:
  EchoPort(Clock& clock, std::deque<std::uint8_t>& answers) : clock_(clock), answers_(answers) {}
  bool SetBaud(std::uint32_t) override { return true; }
  OpenFailure SetQueueSizes(std::size_t, std::size_t) override { return OpenFailure::None; }
  void SetEventMaskAll() override {}
  bool Write(const std::uint8_t*, std::size_t count) override {
    clock_.Sleep(Millis(count));
    return true;
  }
  bool TransmitImmediate(std::uint8_t) override { return true; }
  std::size_t Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) override {
    std::size_t got = 0;
    while (got < maximum && !answers_.empty()) {
      buffer[got++] = answers_.front();
      answers_.pop_front();
    }
    if (got == 0) clock_.Sleep(totalTimeout);
    return got;
  }
  void PurgeReceive() override {}
  void SetBreak(bool) override {}

 private:
  Clock& clock_;
  std::deque<std::uint8_t>& answers_;
};

class EchoOpener final : public PortOpener {
 public:
  EchoOpener(Clock& clock, std::deque<std::uint8_t>& answers) : clock_(clock), answers_(answers) {}
  OpenResult Open(const std::string& name) override {
    if (name == "COM3") return OpenResult{nullptr, OpenFailure::Unavailable};
    return OpenResult{std::make_unique<EchoPort>(clock_, answers_), OpenFailure::None};
  }

 private:
  Clock& clock_;
  std::deque<std::uint8_t>& answers_;
};

TEST(TracingPortTest, LogsEveryEventWithTimeBaudAndBytesAsItHappens) {
  VirtualClock clock;
  clock.Sleep(Millis(250));  // the trace counts from its own start
  std::deque<std::uint8_t> answers = {0x22, 0x00};
  EchoOpener line(clock, answers);
  std::ostringstream out;
  WireTrace trace(out, clock);
  TracingPortOpener opener(line, trace);

  EXPECT_EQ(opener.Open("COM3").failure, OpenFailure::Unavailable);
  OpenResult opened = opener.Open("/dev/ttyUSB0");
  ASSERT_TRUE(opened.port);
  Port& port = *opened.port;
  port.SetBaud(4800);
  const std::uint8_t probe[] = {0x00, 0x0A, 0x14, 0x28};
  port.Write(probe, sizeof probe);
  std::uint8_t reply[4];
  EXPECT_EQ(port.Read(reply, 4, Millis(500)), 2u);  // a received 0x00 is on the wire too
  EXPECT_EQ(port.Read(reply, 1, Millis(500)), 0u);
  port.SetBaud(9600);
  port.TransmitImmediate(0xFF);
  port.SetBreak(true);
  clock.Sleep(Millis(500));
  port.SetBreak(false);
  port.PurgeReceive();
  EXPECT_EQ(out.str().find("close"), std::string::npos);
  opened.port.reset();

  EXPECT_EQ(out.str(),
            "     0.000000  open-failed  COM3 unavailable\n"
            "     0.000000  open  /dev/ttyUSB0\n"
            "     0.000000  baud  4800\n"
            "     0.000000  tx  4800  00 0A 14 28\n"
            "     0.004000  rx  4800  22 00\n"
            "     0.504000  rx  4800  (nothing)\n"
            "     0.504000  baud  9600\n"
            "     0.504000  tx-now  9600  FF\n"
            "     0.504000  break-on\n"
            "     1.004000  break-off\n"
            "     1.004000  purge\n"
            "     1.004000  close\n");
}

}  // namespace
}  // namespace tav
