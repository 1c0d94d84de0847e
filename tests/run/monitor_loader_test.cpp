#include "link/monitor_loader.h"

#include <gtest/gtest.h>

#include "fake_port.h"
#include "image/built_in_resources.h"
#include "image/resource_ids.h"
#include "test_images.h"

namespace tav {
namespace {

using test::FakeLine;
using test::LineEvent;
using test::MakeImage;
using Bytes = std::vector<std::uint8_t>;

const Bytes kStartUpOk = {0xFF, '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'O', 'K'};
const Bytes kTail = {0x49, 0x00, 0xFE, 0x01, 0x19, 0x00, 0x28};

// The far end answers once the whole download and Run have gone out.
void ReplyAfter(FakeLine& line, std::size_t bytesExpected, Bytes reply) {
  line.respond = [bytesExpected, reply, sent = std::size_t{0}](const Bytes& b) mutable {
    sent += b.size();
    return sent == bytesExpected ? reply : Bytes{};
  };
}

TEST(LoadRamApplication, TalkThroughGoesOutAsOneRunOfWriteNext) {
  S19Image image;
  ASSERT_EQ(image.Load(BuiltInResources(), kTalkThroughResource, kRamWindowBase, kRamWindowSize),
            0);
  ASSERT_EQ(image.usedCount, 160u);
  FakeLine line;
  ReplyAfter(line, 329, kStartUpOk);

  EXPECT_EQ(LoadRamApplication(line.link, image), kRamProgramRunning);

  Bytes expected = {0x49, 0x01, 0x00, image.bytes[0x100 - 0x40]};
  for (std::uint32_t a = 0x101; a <= 0x19F; ++a) {
    expected.push_back(0x19);
    expected.push_back(image.bytes[a - 0x40]);
  }
  expected.insert(expected.end(), kTail.begin(), kTail.end());
  EXPECT_EQ(line.SentBytes(), expected);

  // Every byte goes out on its own, 5 ms after the one before.
  const std::vector<LineEvent> sent = line.EventsOf(LineEvent::Immediate);
  ASSERT_EQ(sent.size(), 329u);
  for (std::size_t i = 1; i < sent.size(); ++i) {
    ASSERT_EQ(sent[i].time - sent[i - 1].time, Millis(5)) << i;
  }
  // The bar's range once, its position after every byte of the image.
  int ranges = 0, positions = 0;
  for (const auto& e : line.host.Events()) {
    if (e.kind == ScriptedHost::EventKind::ProgressRange) ++ranges;
    if (e.kind == ScriptedHost::EventKind::ProgressPosition) {
      EXPECT_EQ(e.value, ++positions);
    }
  }
  EXPECT_EQ(ranges, 1);
  EXPECT_EQ(line.host.ProgressRange(), 160);
  EXPECT_EQ(positions, 160);
  EXPECT_TRUE(line.host.Messages().empty());
}

TEST(LoadRamApplication, EachRunOfUsedBytesStartsWithWrite) {
  S19Image image;
  ASSERT_EQ(
      image.Load(BuiltInResources(), kControlHeadLoaderResource, kRamWindowBase, kRamWindowSize),
      0);
  FakeLine line;
  LoadRamApplication(line.link, image);
  std::vector<std::uint32_t> writeAddresses;
  const Bytes sent = line.SentBytes();
  for (std::size_t i = 0; i < sent.size();) {
    if (sent[i] == 0x49) {
      writeAddresses.push_back(std::uint32_t{sent[i + 1]} << 8 | sent[i + 2]);
      i += 4;
    } else {
      i += sent[i] == 0x19 ? 2 : 1;
    }
  }
  EXPECT_EQ(writeAddresses, (std::vector<std::uint32_t>{0x0086, 0x0100, 0x00FE}));
  EXPECT_EQ(sent.size(), 2 * 4 + (366 - 2) * 2 + kTail.size());
}

TEST(LoadRamApplication, JudgesTheLastTwoBytesOfTheReply) {
  const struct {
    Bytes reply;
    int verdict;
  } cases[] = {
      {kStartUpOk, kRamProgramRunning},
      {{0xFF, '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'O', 'X'}, kRamProgramLockedOut},
      {{'O', 'K'}, kRamProgramRunning},
      {{'K'}, kRamProgramSilent},
      {{}, kRamProgramSilent},
      {{'O', 'K', '!'}, kRamProgramSilent},
      {{'K', 'O'}, kRamProgramSilent},
      // Fourteen bytes already waiting end the read before the program's own reply.
      {{'1', '2', '3', '4', '5', '6', '7', '8', '9', '0', '1', '2', '3', '4', 'O', 'K'},
       kRamProgramSilent},
  };
  for (const auto& c : cases) {
    FakeLine line;
    const auto image = MakeImage(0x40, 0x200, {{0x100, 0x9D}});
    ReplyAfter(line, 4 + kTail.size(), c.reply);
    EXPECT_EQ(LoadRamApplication(line.link, *image), c.verdict) << c.reply.size();
  }
}

TEST(LoadRamApplication, AbortCutsEveryCommandShortButTheWalkGoesOn) {
  FakeLine line;
  const auto image = MakeImage(0x40, 0x200, {{0x100, 1}, {0x101, 2}, {0x103, 3}});
  line.state.abortFlag = true;
  ReplyAfter(line, 6, kStartUpOk);
  EXPECT_EQ(LoadRamApplication(line.link, *image), kRamProgramRunning);
  EXPECT_EQ(line.SentBytes(), (Bytes{0x49, 0x19, 0x49, 0x49, 0x19, 0x28}));
}

TEST(LoadRamApplication, EmptyImageSendsOnlyTheProgramCounterAndRun) {
  FakeLine line;
  const auto image = MakeImage(0x40, 0x200, {});
  LoadRamApplication(line.link, *image);
  EXPECT_EQ(line.SentBytes(), kTail);
  EXPECT_EQ(line.host.ProgressRange(), 0);
}

TEST(LoadRamApplication, ACountBeyondTheMaskNeverLeavesTheWindow) {
  FakeLine line;
  const auto image = MakeImage(0x40, 0x200, {{0x23F, 7}});
  image->usedCount = 5000;
  LoadRamApplication(line.link, *image);
  EXPECT_EQ(line.SentBytes(),
            (Bytes{0x49, 0x02, 0x3F, 7, 0x49, 0x00, 0xFE, 0x01, 0x19, 0x00, 0x28}));
}

}  // namespace
}  // namespace tav
