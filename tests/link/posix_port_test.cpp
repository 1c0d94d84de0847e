#include "link/posix_port.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "link/posix_clock.h"
#include "link/serial_link.h"
#include "link/tracing_port.h"
#include "recording_host.h"

namespace tav::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;

// A pseudo-terminal: the port under test opens the slave, the test is the radio on the master.
class PseudoTerminalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    slavePath_ = ptsname(master_);
  }
  void TearDown() override { close(master_); }

  std::unique_ptr<Port> OpenSlave() {
    OpenResult opened = opener_.Open(slavePath_);
    EXPECT_EQ(opened.failure, OpenFailure::None);
    return std::move(opened.port);
  }
  void RadioSends(const Bytes& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  Bytes RadioReceives(std::size_t count) {
    Bytes got;
    while (got.size() < count) {
      pollfd entry{master_, POLLIN, 0};
      if (poll(&entry, 1, 1000) <= 0) break;
      std::uint8_t b[64];
      const ssize_t n = read(master_, b, std::min(sizeof b, count - got.size()));
      if (n <= 0) break;
      got.insert(got.end(), b, b + n);
    }
    return got;
  }
  termios LineSettings() {
    termios t{};
    EXPECT_EQ(tcgetattr(master_, &t), 0);
    return t;
  }
  static Bytes Read(Port& port, std::size_t maximum, int timeoutMs) {
    Bytes buffer(maximum);
    buffer.resize(port.Read(buffer.data(), maximum, Millis(timeoutMs)));
    return buffer;
  }

  int master_ = -1;
  std::string slavePath_;
  PosixPortOpener opener_;
};

void ExpectRaw8N1(const termios& t, speed_t speed) {
  EXPECT_EQ(cfgetospeed(&t), speed);
  EXPECT_EQ(cfgetispeed(&t), speed);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
}

TEST_F(PseudoTerminalTest, BaudChangesKeepTheLineRaw8N1) {
  auto port = OpenSlave();
  ASSERT_TRUE(port);
  ASSERT_TRUE(port->SetBaud(38400));
  ExpectRaw8N1(LineSettings(), B38400);
  ASSERT_TRUE(port->SetBaud(9600));
  ExpectRaw8N1(LineSettings(), B9600);
  ASSERT_TRUE(port->SetBaud(4800));
  EXPECT_FALSE(port->SetBaud(19200));
  ExpectRaw8N1(LineSettings(), B4800);
}

TEST_F(PseudoTerminalTest, BytesCrossBothWays) {
  auto port = OpenSlave();
  ASSERT_TRUE(port && port->SetBaud(9600));
  ASSERT_TRUE(port->Write(Bytes{0x02, 0x0A, 0x0D, 0xFF}.data(), 4));
  ASSERT_TRUE(port->TransmitImmediate(0x49));
  EXPECT_THAT(RadioReceives(5), ElementsAre(0x02, 0x0A, 0x0D, 0xFF, 0x49));

  RadioSends({0x22, 0x0D, 0x11});
  EXPECT_THAT(Read(*port, 3, 1000), ElementsAre(0x22, 0x0D, 0x11));
}

TEST_F(PseudoTerminalTest, ReadEndsAtItsTotalTimeoutWithWhatArrived) {
  auto port = OpenSlave();
  ASSERT_TRUE(port && port->SetBaud(9600));
  EXPECT_TRUE(Read(*port, 1, 20).empty());

  RadioSends({0x41, 0x42});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THAT(Read(*port, 5, 60), ElementsAre(0x41, 0x42));
  EXPECT_GE(std::chrono::steady_clock::now() - start, Millis(60));
}

TEST_F(PseudoTerminalTest, PurgeDropsWhatWasWaiting) {
  auto port = OpenSlave();
  ASSERT_TRUE(port && port->SetBaud(9600));
  RadioSends({0x61, 0x62, 0x63});
  ASSERT_THAT(Read(*port, 1, 1000), ElementsAre(0x61));
  port->PurgeReceive();
  EXPECT_TRUE(Read(*port, 2, 20).empty());
  RadioSends({0x64});
  EXPECT_THAT(Read(*port, 1, 1000), ElementsAre(0x64));
}

TEST_F(PseudoTerminalTest, LinkNeverDeliversZeroBytes) {
  ProcessState state;
  state.devicePath = slavePath_;
  PosixClock clock;
  RecordingHost host(state, clock);
  SerialLink link(state, opener_, clock, host);
  ASSERT_EQ(link.OpenLink(), 0);
  link.SetReadTimeout(200);

  RadioSends({0x00, 0x41, 0x00, 0x00, 0x42, 0x00});
  std::uint8_t buffer[2] = {};
  ASSERT_EQ(link.ReadBytes(buffer, 2), 2u);
  EXPECT_THAT(buffer, ElementsAre(0x41, 0x42));

  RadioSends({0x00, 0x00});
  EXPECT_EQ(link.ReadBytes(buffer, 1), 0u);
}

TEST_F(PseudoTerminalTest, MissingInUseAndNonTerminalAreToldApart) {
  EXPECT_EQ(opener_.Open("/dev/no-such-serial-port").failure, OpenFailure::Unavailable);
  EXPECT_EQ(opener_.Open("COM7").failure, OpenFailure::Unavailable);

  {
    auto first = OpenSlave();
    ASSERT_TRUE(first);
    const OpenResult second = opener_.Open(slavePath_);
    EXPECT_EQ(second.failure, OpenFailure::InUse);
    EXPECT_FALSE(second.port);
  }
  EXPECT_TRUE(OpenSlave()) << "closing the port releases it";

  char file[] = "/tmp/tav-not-a-tty-XXXXXX";
  const int fd = mkstemp(file);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_EQ(opener_.Open(file).failure, OpenFailure::Other);
  std::remove(file);
}

// A pseudo-terminal has no low-latency mode to give: the refusal is one line in the trace and
// the port carries bytes as before.
TEST_F(PseudoTerminalTest, RefusedLowLatencyCostsOnlyATraceLine) {
  PosixClock clock;
  std::ostringstream out;
  WireTrace trace(out, clock);
  TracingPortOpener tracing(opener_, trace);
  OpenResult opened = tracing.Open(slavePath_);
  ASSERT_TRUE(opened.port);
  EXPECT_THAT(out.str(), HasSubstr("  open  " + slavePath_ + "\n"));
  EXPECT_THAT(out.str(), HasSubstr("  debug  low latency refused: "));

  opened.port->SetBaud(9600);
  RadioSends({0x06});
  EXPECT_THAT(Read(*opened.port, 1, 1000), ElementsAre(0x06));
}

TEST(PosixDevicePathTest, PortNamesAndPaths) {
  EXPECT_EQ(PosixDevicePath("COM1"), "/dev/ttyS0");
  EXPECT_EQ(PosixDevicePath("COM4"), "/dev/ttyS3");
  EXPECT_EQ(PosixDevicePath("COM0"), std::nullopt);
  EXPECT_EQ(PosixDevicePath("COM5"), std::nullopt);
  EXPECT_EQ(PosixDevicePath("COM/"), std::nullopt);
  EXPECT_EQ(PosixDevicePath("/dev/cu.usbserial-1410"), "/dev/cu.usbserial-1410");
  EXPECT_EQ(PosixDevicePath("COM10"), "COM10");
}

}  // namespace
}  // namespace tav::test
