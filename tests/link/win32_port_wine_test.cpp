// Runs under Wine with COM1 mapped to a pseudo-terminal whose other side is a scripted peer
// (tools/wine-com-test.py). Each command byte makes the peer answer in its own way:
//   'P'  answers 0x00 0x00 0x22       'S'  answers the line's rate: '4', '9', '3' (8N1) or 'x'
//   'Z'  answers 00 'A' 00 00 'B' 00  'F'  answers four filler bytes
//   'N'  answers '0' + the number of silent bytes ('Q') taken since the last 'N'
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "com_device_present.h"
#include "link/platform.h"
#include "link/serial_link.h"
#include "link/win32_clock.h"
#include "recording_host.h"

namespace tav::test {
namespace {

using ::testing::ElementsAre;

class WineComTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("TAV_WINE_COM_PEER")) GTEST_SKIP() << "needs the pseudo-terminal peer";
  }
  int Ask(std::uint8_t command, int tries = 1) { return link.SendAndAwaitByte(&command, 1, tries); }

  TimerResolutionScope resolution;
  ProcessState state;
  std::unique_ptr<PortOpener> opener = MakeSystemPortOpener();
  RecordingHost host{state, SystemClock()};
  SerialLink link{state, *opener, SystemClock(), host};
};

TEST_F(WineComTest, SettingsSurviveBaudChanges) {
  ASSERT_EQ(link.OpenLink(), 0);
  link.SetReadTimeout(500);
  EXPECT_EQ(Ask('S'), '9');
  EXPECT_TRUE(link.SetLinkBaud(38400));
  EXPECT_EQ(Ask('S'), '3');
  EXPECT_TRUE(link.SetLinkBaud(4800));
  EXPECT_EQ(Ask('S'), '4');
  EXPECT_TRUE(link.SetLinkBaud(9600));
  EXPECT_EQ(Ask('S'), '9');
}

TEST_F(WineComTest, ZeroBytesNeverReachARead) {
  ASSERT_EQ(link.OpenLink(), 0);
  link.SetReadTimeout(500);
  EXPECT_EQ(Ask('P', 5), 0x22);

  const std::uint8_t command = 'Z';
  ASSERT_TRUE(link.SendBytes(&command, 1));
  std::uint8_t buffer[3] = {};
  EXPECT_EQ(link.ReadBytes(buffer, 3), 2u);
  EXPECT_EQ(buffer[0], 'A');
  EXPECT_EQ(buffer[1], 'B');
}

TEST_F(WineComTest, SilentTriesAndPacedBytesAllGoOut) {
  ASSERT_EQ(link.OpenLink(), 0);
  link.SetReadTimeout(100);
  EXPECT_EQ(Ask('Q', 3), -1);
  EXPECT_EQ(link.SendImmediate('Q'), 0);
  EXPECT_EQ(link.SendImmediate('Q'), 0);
  EXPECT_EQ(Ask('N'), '5');
}

TEST_F(WineComTest, PurgeDropsWhatWasWaiting) {
  ASSERT_EQ(link.OpenLink(), 0);
  link.SetReadTimeout(100);
  const std::uint8_t command = 'F';
  ASSERT_TRUE(link.SendBytes(&command, 1));
  link.Sleep(300);
  link.PurgeReceive();
  std::uint8_t buffer[4] = {};
  EXPECT_EQ(link.ReadBytes(buffer, 4), 0u);
  EXPECT_EQ(Ask('S'), '9');
}

TEST_F(WineComTest, MissingPortIsReported) {
  if (ComDevicePresent(3)) GTEST_SKIP() << "this machine has a COM3; no real device is opened";
  state.portNumber = 3;
  EXPECT_EQ(link.OpenLink(), 1);
  EXPECT_FALSE(link.IsOpen());
  EXPECT_THAT(host.events, ElementsAre("beep", "box"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Unable to open COM3\nPort unavailable.");
  EXPECT_EQ(host.messages[0].caption, "COMM ERROR");
}

}  // namespace
}  // namespace tav::test
