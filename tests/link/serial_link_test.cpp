#include "link/serial_link.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>

#include "fake_line.h"
#include "link/open_failure.h"
#include "link/win32_open_error.h"
#include "recording_host.h"

namespace tav::test {
namespace {

using ::testing::ElementsAre;

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& c) {
  return c.param.name;
}

class SerialLinkTest : public ::testing::Test {
 protected:
  void Open() { ASSERT_EQ(link.OpenLink(), 0); }
  long long ElapsedMs() { return std::chrono::duration_cast<Millis>(clock.Now()).count(); }

  VirtualClock clock;
  ProcessState state;
  FakeLine line{clock};
  FakeOpener opener{line};
  RecordingHost host{state, clock};
  SerialLink link{state, opener, clock, host};
};

TEST_F(SerialLinkTest, OpenConfiguresThePort) {
  state.portNumber = 2;
  Open();
  EXPECT_TRUE(link.IsOpen());
  EXPECT_THAT(opener.names, ElementsAre("COM2"));
  EXPECT_THAT(line.bauds, ElementsAre(9600u));
  EXPECT_THAT(line.queueSizes, ElementsAre(std::pair<std::size_t, std::size_t>{128, 128}));
  EXPECT_EQ(line.eventMaskCalls, 1);
  EXPECT_TRUE(host.events.empty());

  link.CloseLink();
  EXPECT_FALSE(link.IsOpen());
  EXPECT_FALSE(line.open);
}

struct OpenFailureCase {
  int portNumber;
  std::string devicePath;
  OpenFailure failure;
  bool failAtQueues;
  std::string deviceName;
  std::string message;
};

class OpenFailureTest : public SerialLinkTest,
                        public ::testing::WithParamInterface<OpenFailureCase> {};

TEST_P(OpenFailureTest, BeepsThenNamesThePortAndTheReason) {
  const auto& c = GetParam();
  state.portNumber = c.portNumber;
  state.devicePath = c.devicePath;
  (c.failAtQueues ? line.queueFailure : opener.failure) = c.failure;

  EXPECT_EQ(link.OpenLink(), 1);

  EXPECT_FALSE(link.IsOpen());
  EXPECT_FALSE(line.open);
  EXPECT_THAT(opener.names, ElementsAre(c.deviceName));
  EXPECT_THAT(host.events, ElementsAre("beep", "box"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, c.message);
  EXPECT_EQ(host.messages[0].caption, "COMM ERROR");
  EXPECT_EQ(host.messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(host.messages[0].buttons, MessageButtons::Ok);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, OpenFailureTest,
    ::testing::Values(
        OpenFailureCase{3, "", OpenFailure::Unavailable, false, "COM3",
                        "Unable to open COM3\nPort unavailable."},
        OpenFailureCase{3, "", OpenFailure::InUse, false, "COM3",
                        "Unable to open COM3\nPort is in use."},
        OpenFailureCase{3, "", OpenFailure::Other, false, "COM3", "Unable to open COM3\n"},
        OpenFailureCase{1, "", OpenFailure::Other, true, "COM1", "Unable to open COM1\n"},
        OpenFailureCase{1, "", OpenFailure::InUse, true, "COM1",
                        "Unable to open COM1\nPort is in use."},
        OpenFailureCase{255, "", OpenFailure::Unavailable, false, "COM/",
                        "Unable to open COM255\nPort unavailable."},
        OpenFailureCase{-1, "", OpenFailure::Unavailable, false, "COM/",
                        "Unable to open COM-1\nPort unavailable."},
        OpenFailureCase{INT_MIN, "", OpenFailure::Unavailable, false, "COM0",
                        "Unable to open COM-2147483648\nPort unavailable."},
        OpenFailureCase{1, "/dev/ttyUSB0", OpenFailure::PermissionDenied, false, "/dev/ttyUSB0",
                        "Unable to open /dev/ttyUSB0\nPermission denied."},
        OpenFailureCase{1, "/tmp/notes.txt", OpenFailure::Other, false, "/tmp/notes.txt",
                        "Unable to open /tmp/notes.txt\n"}));

TEST(Win32OpenErrorTest, LastErrorGivesTheReason) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {2, "Unable to open COM3\nPort unavailable."},  // ERROR_FILE_NOT_FOUND
      {5, "Unable to open COM3\nPort is in use."},    // ERROR_ACCESS_DENIED
      {3, "Unable to open COM3\n"},                   // ERROR_PATH_NOT_FOUND
      {32, "Unable to open COM3\n"},                  // ERROR_SHARING_VIOLATION
      {0, "Unable to open COM3\n"},
  };
  for (const auto& [code, text] : cases)
    EXPECT_EQ(OpenFailureMessage(3, "", OpenFailureForWin32Error(code)), text) << code;
}

TEST(DeviceNameForPortTest, FourthCharacterIsTheNumberModulo256) {
  EXPECT_EQ(DeviceNameForPort(1), "COM1");
  EXPECT_EQ(DeviceNameForPort(4), "COM4");
  EXPECT_EQ(DeviceNameForPort(0), "COM0");
  EXPECT_EQ(DeviceNameForPort(256 + 3), "COM3");
  EXPECT_EQ(DeviceNameForPort(255), "COM/");
}

struct AwaitCase {
  const char* name;
  int tries;
  bool abortBefore;
  int replyOnWrite;  // 0: the radio stays silent
  int closeOnDispatch;
  int result;
  std::size_t writes;
  long long elapsedMs;
};

class SendAndAwaitByteTest : public SerialLinkTest,
                             public ::testing::WithParamInterface<AwaitCase> {};

TEST_P(SendAndAwaitByteTest, TriesAndTheStopRequest) {
  const auto& c = GetParam();
  Open();
  state.abortFlag = c.abortBefore;
  host.CloseOnDispatch(c.closeOnDispatch);
  line.onWrite = [&](int n) {
    if (n == c.replyOnWrite) line.Arrive({0x22}, 20);
  };
  const std::uint8_t request[] = {0xFF, 0x01};

  EXPECT_EQ(link.SendAndAwaitByte(request, sizeof request, c.tries), c.result);

  EXPECT_EQ(line.writes.size(), c.writes);
  for (const auto& w : line.writes) EXPECT_THAT(w.bytes, ElementsAre(0xFF, 0x01));
  EXPECT_EQ(host.dispatches.size(), c.writes);  // one dispatch per try
  EXPECT_EQ(ElapsedMs(), c.elapsedMs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SendAndAwaitByteTest,
    ::testing::Values(AwaitCase{"FiveSilentTries", 5, false, 0, 0, -1, 5, 2500},
                      AwaitCase{"OneSilentTry", 1, false, 0, 0, -1, 1, 500},
                      AwaitCase{"ReplyOnThirdTry", 5, false, 3, 0, 0x22, 3, 1020},
                      AwaitCase{"ReplyWhileStopRequested", 5, true, 1, 0, 0x22, 1, 20},
                      AwaitCase{"StopRequestedEndsAfterFailedTry", 5, true, 0, 0, -1, 1, 500},
                      AwaitCase{"ZeroTriesUntilClose", 0, false, 0, 7, -1, 7, 3500},
                      AwaitCase{"NegativeTriesUntilClose", -3, false, 0, 4, -1, 4, 2000},
                      AwaitCase{"ZeroTriesUntilReply", 0, false, 9, 0, 0x22, 9, 4020}),
    CaseName<AwaitCase>);

struct PumpCase {
  std::uint32_t ms;
  bool abortBefore;
  int closeOnDispatch;
  long long elapsedMs;
  std::vector<long long> dispatchAtMs;
};

class PumpWaitTest : public SerialLinkTest, public ::testing::WithParamInterface<PumpCase> {};

TEST_P(PumpWaitTest, SlicesAndDispatches) {
  const auto& c = GetParam();
  state.abortFlag = c.abortBefore;
  host.CloseOnDispatch(c.closeOnDispatch);

  link.PumpWait(c.ms);

  EXPECT_EQ(ElapsedMs(), c.elapsedMs);
  std::vector<long long> at;
  for (auto d : host.dispatches) at.push_back(std::chrono::duration_cast<Millis>(d).count());
  EXPECT_EQ(at, c.dispatchAtMs);
}

std::vector<long long> EveryTenMs(int count) {
  std::vector<long long> at;
  for (int i = 1; i <= count; ++i) at.push_back(10LL * i);
  return at;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PumpWaitTest,
    ::testing::Values(PumpCase{5, true, 0, 5, {}}, PumpCase{10, true, 0, 10, {}},
                      PumpCase{0, false, 0, 0, {}}, PumpCase{11, false, 0, 11, {10}},
                      PumpCase{20, false, 0, 20, {10}}, PumpCase{25, false, 0, 25, {10, 20}},
                      PumpCase{1000, false, 0, 1000, EveryTenMs(99)},
                      PumpCase{1000, false, 1, 10, {10}},
                      PumpCase{1000, false, 3, 30, {10, 20, 30}}));

TEST_F(SerialLinkTest, SendImmediatePacesAndReportsAStopRequestedBefore) {
  Open();
  EXPECT_EQ(link.SendImmediate(0x49), 0);
  state.abortFlag = true;
  EXPECT_EQ(link.SendImmediate(0x4A), -1);

  ASSERT_EQ(line.immediates.size(), 2u);
  EXPECT_EQ(line.immediates[0], std::make_pair(Micros::zero(), std::uint8_t{0x49}));
  EXPECT_EQ(line.immediates[1], std::make_pair(Micros(Millis(5)), std::uint8_t{0x4A}));
  EXPECT_EQ(ElapsedMs(), 10);
  EXPECT_TRUE(host.dispatches.empty());

  EXPECT_TRUE(link.SendImmediateNoWait(0x01));
  EXPECT_EQ(ElapsedMs(), 10);
}

struct ReadCase {
  const char* name;
  std::uint32_t timeoutMs;
  std::vector<std::uint8_t> arriving;
  int afterMs;
  std::size_t maximum;
  std::vector<std::uint8_t> read;
  long long elapsedMs;
};

class ReadBytesTest : public SerialLinkTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadBytesTest, ZerosNeverArriveAndTheTimeoutIsTotal) {
  const auto& c = GetParam();
  Open();
  link.SetReadTimeout(c.timeoutMs);
  line.Arrive(c.arriving, c.afterMs);

  std::vector<std::uint8_t> buffer(c.maximum, 0xEE);
  const std::size_t n = link.ReadBytes(buffer.data(), c.maximum);

  buffer.resize(n);
  EXPECT_EQ(buffer, c.read);
  EXPECT_EQ(ElapsedMs(), c.elapsedMs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadBytesTest,
    ::testing::Values(ReadCase{"AllThere", 500, {1, 2, 3}, 0, 3, {1, 2, 3}, 2},
                      ReadCase{"ShortAtTimeout", 500, {1, 2}, 100, 3, {1, 2}, 500},
                      ReadCase{"Silent", 500, {}, 0, 1, {}, 500},
                      ReadCase{"OnlyZeros", 500, {0, 0, 0}, 100, 1, {}, 500},
                      ReadCase{"ZerosMixedIn", 500, {0, 0x41, 0, 0x42}, 10, 2, {0x41, 0x42}, 13},
                      ReadCase{"ZerosThenLateByte", 500, {0, 0, 0x41}, 497, 1, {0x41}, 499},
                      ReadCase{"ByteAfterTimeout", 500, {0, 0x41}, 500, 2, {}, 500},
                      ReadCase{"ShorterTimeout", 100, {}, 0, 4, {}, 100}),
    CaseName<ReadCase>);

TEST_F(SerialLinkTest, AnAnswerOfZeroIsNeverHeard) {
  Open();
  line.onWrite = [&](int) { line.Arrive({0x00}, 5); };
  const std::uint8_t probe[] = {0x01};
  EXPECT_EQ(link.SendAndAwaitByte(probe, 1, 2), -1);
  EXPECT_EQ(ElapsedMs(), 1000);
}

TEST_F(SerialLinkTest, ClosedLinkDoesNothing) {
  std::uint8_t buffer[4] = {};
  const std::uint8_t request[] = {0x01};
  EXPECT_FALSE(link.SetLinkBaud(9600));
  EXPECT_FALSE(link.SendBytes(request, 1));
  EXPECT_FALSE(link.SendImmediateNoWait(0x01));
  EXPECT_EQ(link.ReadBytes(buffer, sizeof buffer), 0u);
  EXPECT_EQ(link.SendAndAwaitByte(request, 1, 3), -1);
  link.PurgeReceive();
  link.SetBreak();
  link.ClearBreak();
  EXPECT_TRUE(line.writes.empty());
  EXPECT_TRUE(line.bauds.empty());
}

TEST_F(SerialLinkTest, PortOperationsReachThePort) {
  Open();
  EXPECT_TRUE(link.SetLinkBaud(38400));
  EXPECT_TRUE(link.SetLinkBaud(4800));
  link.SetBreak();
  link.ClearBreak();
  line.Arrive({7, 8});
  link.Sleep(5);
  link.PurgeReceive();
  std::uint8_t b = 0;
  EXPECT_EQ(link.ReadBytes(&b, 1), 0u);
  EXPECT_THAT(line.bauds, ElementsAre(9600u, 38400u, 4800u));
  EXPECT_THAT(line.breaks, ElementsAre(true, false));
  EXPECT_EQ(line.purges, 1);
}

}  // namespace
}  // namespace tav::test
