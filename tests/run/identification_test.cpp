#include "run/radio_identification.h"

#include <gtest/gtest.h>

#include "fake_port.h"

namespace tav {
namespace {

using test::FakeLine;
using test::LineEvent;
using Bytes = std::vector<std::uint8_t>;

const Bytes kProbe = {0x00, 0x0A, 0x14, 0x28};

TEST(ProbeRadio, ClassifiesTheAnswerByte) {
  const struct {
    int answeringTry;  // 0: never
    std::uint8_t answer;
    ProbeAnswer expected;
    std::size_t probeWrites;
  } cases[] = {
      {1, 0x22, ProbeAnswer::ControlHead, 1},
      {3, 0x22, ProbeAnswer::ControlHead, 3},
      {1, 0x41, ProbeAnswer::ForeignRadio, 1},
      {0, 0x00, ProbeAnswer::NoAnswer, 5},
      // A 0x00 answer is dropped by the link and never heard.
      {1, 0x00, ProbeAnswer::NoAnswer, 5},
  };
  for (const auto& c : cases) {
    FakeLine line;
    int probes = 0;
    line.respond = [&](const Bytes& b) {
      if (b != kProbe || ++probes != c.answeringTry) return Bytes{};
      return Bytes{c.answer};
    };
    EXPECT_EQ(ProbeRadio(line.link), c.expected) << c.answeringTry << ' ' << int{c.answer};
    const auto writes = line.EventsOf(LineEvent::Write);
    ASSERT_EQ(writes.size(), c.probeWrites + 1);
    EXPECT_EQ(writes[0].bytes, Bytes(8, 0x00));
    // The wake-up bytes, a 20 ms pumped wait, then the receive queue is emptied.
    const auto purges = line.EventsOf(LineEvent::Purge);
    ASSERT_EQ(purges.size(), 1u);
    EXPECT_EQ(purges[0].time - writes[0].time, Millis(20));
    EXPECT_EQ(writes[1].time, purges[0].time);
    // Window messages are dispatched in the 20 ms wait and once per try, nowhere else.
    EXPECT_EQ(line.host.PumpCalls(), static_cast<int>(1 + c.probeWrites));
  }
}

TEST(ProbeRadio, SilentRadioCostsFiveReadTimeouts) {
  FakeLine line;
  const Micros start = line.clock.Now();
  EXPECT_EQ(ProbeRadio(line.link), ProbeAnswer::NoAnswer);
  EXPECT_EQ(line.clock.Now() - start, Millis(20 + 5 * 500));
}

TEST(ProbeRadio, AbortFlagAlreadySetLeavesThePortAlone) {
  FakeLine line;
  line.state.abortFlag = true;
  const std::size_t before = line.log.size();
  EXPECT_EQ(ProbeRadio(line.link), ProbeAnswer::NoAnswer);
  EXPECT_EQ(line.log.size(), before);
}

TEST(ReadDateCode, CoreAnswersInOneReplyAndShortAnswersCount) {
  const struct {
    Bytes reply;
    bool answered;
    DateCode code;
  } cases[] = {
      {{0x29, 0x8F, 0x5E, 0xF3}, true, 0xF35E8F29},
      {{0x29, 0x8F, 0x5E}, true, 0x005E8F29},
      {{0x29}, true, 0x00000029},
      {{}, false, 0},
  };
  for (const auto& c : cases) {
    FakeLine line;
    line.respond = [&](const Bytes& b) {
      return b == Bytes{0x30, 0x20, 0x68, 0x88} ? c.reply : Bytes{};
    };
    DateCode code = 0xDEADBEEF;
    std::string text = "untouched";
    EXPECT_EQ(ReadDateCode(line.link, UnitIndex::Core, code, &text), c.answered);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(text, c.answered ? DateCodeText("Core", c.code) : "untouched");

    // A 50 ms break, 50 ms of quiet, then whatever the control head sent meanwhile is dropped.
    const auto on = line.EventsOf(LineEvent::BreakOn);
    const auto off = line.EventsOf(LineEvent::BreakOff);
    const auto purge = line.EventsOf(LineEvent::Purge);
    ASSERT_EQ(on.size(), 1u);
    ASSERT_EQ(off.size(), 1u);
    ASSERT_EQ(purge.size(), 1u);
    EXPECT_EQ(off[0].time - on[0].time, Millis(50));
    EXPECT_EQ(purge[0].time - off[0].time, Millis(50));
    // Both waits are plain sleeps: nothing is dispatched during the query.
    EXPECT_EQ(line.host.PumpCalls(), 0);
  }
}

TEST(ReadDateCode, ControlHeadGivesOneBytePerRequest) {
  const struct {
    Bytes bytes;  // what the control head has to give, one per request
    bool answered;
  } cases[] = {
      {{0x2A, 0xF0, 0x49, 0x24}, true},
      {{0x2A, 0xF0}, false},              // stops answering after the second byte
      {{0x2A, 0xF0, 0x49, 0x00}, false},  // a zero byte never arrives
  };
  for (const auto& c : cases) {
    FakeLine line;
    std::size_t next = 0;
    line.respond = [&](const Bytes&) {
      return next < c.bytes.size() ? Bytes{c.bytes[next++]} : Bytes{};
    };
    DateCode code = 0;
    std::string text;
    EXPECT_EQ(ReadDateCode(line.link, UnitIndex::ControlHead, code, &text), c.answered);
    if (c.answered) {
      EXPECT_EQ(code, 0x2449F02Au);
      EXPECT_EQ(text, "Control Date Code = 7/16/2001  9:09:08");
    } else {
      EXPECT_EQ(text, "");
    }
    // '+' first, then 0x00 for each further byte; nothing after the first silent read.
    Bytes requests;
    for (const auto& e : line.EventsOf(LineEvent::Write)) requests.push_back(e.bytes.at(0));
    Bytes expected = {0x2B, 0x00, 0x00, 0x00};
    expected.resize(std::min<std::size_t>(4, c.bytes.size() + 1));
    EXPECT_EQ(requests, expected);
    EXPECT_EQ(line.host.PumpCalls(), 0);
  }
}

}  // namespace
}  // namespace tav
