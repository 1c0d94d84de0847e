// tavpatch on a real pseudo-terminal, the radio played from the master side: the bytes, the
// answers the program relies on and the baud rate the program set, as the terminal's settings
// show it at each step.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "child_process.h"

namespace tav::test {
namespace {

using testing::HasSubstr;
using testing::Not;
using Bytes = std::vector<std::uint8_t>;

const Bytes kProbe = {0x00, 0x0A, 0x14, 0x28};
const Bytes kCoreQuery = {0x30, 0x20, 0x68, 0x88};
// Date codes b0..b3: the first entries of both lists, and one second-stamp off each.
const Bytes kCoreListed = {0x29, 0x8F, 0x5E, 0xF3};       // 12/15/2000 11:55:38
const Bytes kCoreUnlisted = {0x29, 0x8F, 0x5E, 0xF5};     // 12/15/2000 11:55:42
const Bytes kControlListed = {0x2A, 0xF0, 0x49, 0x24};    // 7/16/2001 9:09:08
const Bytes kControlUnlisted = {0x2A, 0xF0, 0x49, 0x26};  // 7/16/2001 9:09:12

// The radio's end of the cable: the pseudo-terminal's master, plus a descriptor of the slave
// of its own to read the settings the program gives the line.
class PtyRadio {
 public:
  // Both ends are closed on exec, so that the program under test holds only the slave it opens.
  PtyRadio() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) std::abort();
    slavePath_ = ::ptsname(master_);
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    ::tcgetattr(slave_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_, TCSANOW, &raw);
  }
  ~PtyRadio() { Unplug(); }
  // The cable's far end goes away, as when a USB adapter is pulled out: the program's reads
  // and writes on the slave fail from now on.
  void Unplug() {
    for (int* fd : {&slave_, &master_}) {
      if (*fd >= 0) ::close(*fd);
      *fd = -1;
    }
  }
  const std::string& SlavePath() const { return slavePath_; }

  // Waits until what came since the last expectation ends with `ending`; returns the line's
  // baud rate at that moment, or 0 when it did not come within the safety limit.
  unsigned Expect(const Bytes& ending) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!EndsWith(ending)) {
      if (std::chrono::steady_clock::now() > deadline) return 0;
      ReadFor(50);
    }
    mark_ = received_.size();
    termios settings{};
    ::tcgetattr(slave_, &settings);
    return BaudOf(cfgetospeed(&settings));
  }

  void Send(const Bytes& bytes) {
    if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      std::abort();
    }
  }

  // What came after the last expectation (read for a moment longer first).
  Bytes Rest() {
    ReadFor(200);
    return Bytes(received_.begin() + static_cast<std::ptrdiff_t>(mark_), received_.end());
  }
  const Bytes& Received() const { return received_; }

 private:
  static unsigned BaudOf(speed_t speed) {
    switch (speed) {
      case B4800:
        return 4800;
      case B9600:
        return 9600;
      case B38400:
        return 38400;
      default:
        return 1;
    }
  }
  bool EndsWith(const Bytes& ending) const {
    const std::size_t fresh = received_.size() - mark_;
    return fresh >= ending.size() &&
           std::equal(ending.begin(), ending.end(),
                      received_.end() - static_cast<std::ptrdiff_t>(ending.size()));
  }
  void ReadFor(int milliseconds) {
    pollfd ready{master_, POLLIN, 0};
    if (::poll(&ready, 1, milliseconds) <= 0) return;
    std::uint8_t chunk[512];
    const ssize_t n = ::read(master_, chunk, sizeof chunk);
    if (n > 0) received_.insert(received_.end(), chunk, chunk + n);
  }

  int master_ = -1, slave_ = -1;
  std::string slavePath_;
  Bytes received_;
  std::size_t mark_ = 0;
};

bool Contains(const Bytes& bytes, const Bytes& part) {
  return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
}

class PtyTest : public testing::Test {
 protected:
  // The control head answers the probe and gives both date codes, one request at a time.
  void AnswerIdentification(const Bytes& core, const Bytes& control) {
    ASSERT_EQ(radio_.Expect(kProbe), 4800u);
    radio_.Send({0x22});
    ASSERT_EQ(radio_.Expect(kCoreQuery), 4800u);
    radio_.Send(core);
    ASSERT_EQ(radio_.Expect({0x2B}), 4800u);
    radio_.Send({control[0]});
    for (int i = 1; i < 4; ++i) {
      ASSERT_EQ(radio_.Expect({0x00}), 4800u);
      radio_.Send({control[static_cast<std::size_t>(i)]});
    }
  }

  ScratchDirectory scratch_;
  PtyRadio radio_;
};

TEST_F(PtyTest, RadioThatNeedsNoPatchIsReleasedAndShownBothDateCodes) {
  ChildProcess program({"--port", radio_.SlavePath()}, scratch_.Path("port"));
  AnswerIdentification(kCoreUnlisted, kControlUnlisted);
  EXPECT_EQ(radio_.Expect({0x01}), 4800u);
  const Finished run = program.Wait();
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_THAT(run.out, HasSubstr("[TAV Patch] Core Core Date Code = 12/15/2000  11:55:42\n"
                                 "            Cntl Control Date Code = 7/16/2001  9:09:12\n"
                                 "            Patch not required for this radio.\n"));
  EXPECT_EQ(radio_.Rest(), Bytes());
  // Eight 0xFF for the ROM monitor went out before the probe, and the probe's eight 0x00.
  const Bytes start(radio_.Received().begin(), radio_.Received().begin() + 16);
  EXPECT_EQ(start, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(PtyTest, ForeignRadioIsRefusedAndReleased) {
  ChildProcess program({"--port", radio_.SlavePath()}, scratch_.Path("port"));
  ASSERT_EQ(radio_.Expect(kProbe), 4800u);
  radio_.Send({0x41});
  EXPECT_EQ(radio_.Expect({0x01}), 4800u);
  const Finished run = program.Wait();
  EXPECT_EQ(run.exitStatus, 4);
  EXPECT_THAT(run.out, HasSubstr("[Sorel Radio] This program only works with TAV radios.\n"));
  EXPECT_EQ(radio_.Rest(), Bytes());
}

TEST_F(PtyTest, CheckReadsBothDateCodesAndErasesNothing) {
  ChildProcess program({"--check", "--port", radio_.SlavePath()}, scratch_.Path("port"));
  AnswerIdentification(kCoreListed, kControlListed);
  EXPECT_EQ(radio_.Expect({0x01}), 4800u);
  const Finished run = program.Wait();
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_THAT(run.out, HasSubstr("Core Date Code = 12/15/2000  11:55:38: needs the patch.\n"));
  EXPECT_THAT(run.out, HasSubstr("Control Date Code = 7/16/2001  9:09:08: needs the patch.\n"));
  EXPECT_EQ(radio_.Rest(), Bytes());
}

TEST_F(PtyTest, CoreOnlyRunMovesTheLineThrough4800And38400To9600) {
  ChildProcess program({"--port", radio_.SlavePath()}, scratch_.Path("port"));
  AnswerIdentification(kCoreListed, kControlUnlisted);
  // The control head is told to pass the line through to the core, which is erased at 38400
  // and then spoken to in its ROM monitor at 9600: security bytes and the loader's first Write.
  EXPECT_EQ(radio_.Expect({0xF3}), 4800u);
  EXPECT_EQ(radio_.Expect({0x20, 0xA7, 0x5C, 0x0E, 0xC6}), 38400u);
  EXPECT_EQ(radio_.Expect({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x49}), 9600u);
  // This core's monitor never starts the loader.
  const Finished run = program.Wait();
  EXPECT_EQ(run.exitStatus, 1) << run.out << run.err;
  EXPECT_THAT(run.out, HasSubstr("[Sorel Radio] No response from core.\n"));
  EXPECT_THAT(run.out, Not(HasSubstr("Flash Write complete.")));
  EXPECT_FALSE(Contains(radio_.Received(), {0xA7, 0x5C, 0x0E, 0x91, 0x3B}));
}

TEST_F(PtyTest, ADeviceThatGoesAwayIsNamedAsGone) {
  ChildProcess program({"--port", radio_.SlavePath()}, scratch_.Path("port"));
  ASSERT_EQ(radio_.Expect(kProbe), 4800u);
  radio_.Send({0x22});
  ASSERT_EQ(radio_.Expect(kCoreQuery), 4800u);
  radio_.Unplug();
  program.CloseInput();  // the date code questions that follow are cancelled
  const Finished run = program.Wait();
  EXPECT_THAT(run.err, HasSubstr("tavpatch: " + radio_.SlavePath() +
                                 " is gone: it went away during the run (an adapter unplugged?)"));
}

}  // namespace
}  // namespace tav::test
