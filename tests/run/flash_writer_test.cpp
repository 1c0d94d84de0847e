#include "link/flash_writer.h"

#include <gtest/gtest.h>

#include <map>
#include <numeric>

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

const Bytes kClosing = {0x02, 0x55, 0xAA, 0x00, 0x01};

struct Packet {
  std::uint32_t address;
  Bytes data;
};

// The data packets among the writes, checked for their frame and checksum.
std::vector<Packet> DataPackets(const FakeLine& line) {
  std::vector<Packet> packets;
  for (const LineEvent& e : line.EventsOf(LineEvent::Write)) {
    const Bytes& b = e.bytes;
    EXPECT_EQ(b.at(0), 0x02);
    EXPECT_EQ(b.size(), b.at(3) + 5u);
    EXPECT_EQ(std::accumulate(b.begin() + 1, b.end(), 0u) % 256, 0u);
    if (b.at(3) == 0) continue;
    packets.push_back({std::uint32_t{b[1]} << 8 | b[2], Bytes(b.begin() + 4, b.end() - 1)});
  }
  return packets;
}

int WritesOf(const FakeLine& line, const Bytes& bytes) {
  int n = 0;
  for (const LineEvent& e : line.EventsOf(LineEvent::Write)) n += e.bytes == bytes ? 1 : 0;
  return n;
}

void AcknowledgeEverything(FakeLine& line) {
  line.respond = [](const Bytes&) { return Bytes{0x06}; };
}

TEST(FlashPacket, ChecksumMakesTheFramedBytesAddUpToZero) {
  const FlashPacket closing = ClosingPacket();
  EXPECT_EQ(Bytes(closing.bytes.begin(), closing.bytes.begin() + closing.size), kClosing);
  const std::uint8_t data[] = {0x01, 0x02};
  const FlashPacket packet = FlashPacket::Build(0x8000, data, 2);
  EXPECT_EQ(Bytes(packet.bytes.begin(), packet.bytes.begin() + packet.size),
            (Bytes{0x02, 0x80, 0x00, 0x02, 0x01, 0x02, 0x7B}));
  std::uint8_t full[64];
  std::iota(full, full + 64, std::uint8_t{0xC0});
  const FlashPacket row = FlashPacket::Build(0xFFC0, full, 64);
  EXPECT_EQ(row.size, 69u);
  EXPECT_EQ(std::accumulate(row.bytes.begin() + 1, row.bytes.begin() + 69, 0u) % 256, 0u);
}

TEST(WriteFlashImage, ControlHeadFirmwareGoesOutRowByRow) {
  S19Image image;
  ASSERT_EQ(image.Load(BuiltInResources(), kControlHeadFirmwareResource, kFlashWindowBase,
                       kFlashWindowSize),
            0);
  FakeLine line;
  AcknowledgeEverything(line);
  ASSERT_EQ(WriteFlashImage(line.link, image), 1);

  // Packets ascend, never cross a 64-byte row and carry exactly the image's bytes, with 0xFF
  // where the image supplies none.
  const std::vector<Packet> packets = DataPackets(line);
  std::uint32_t covered = 0, previous = 0;
  for (const Packet& p : packets) {
    EXPECT_GT(p.address, previous);
    EXPECT_LE(p.address % 64 + p.data.size(), 64u) << std::hex << p.address;
    for (std::size_t k = 0; k < p.data.size(); ++k) {
      const std::size_t i = p.address + k - 0x8000;
      EXPECT_EQ(p.data[k], image.usedMask[i] ? image.bytes[i] : 0xFF) << std::hex << i;
      covered += image.usedMask[i];
    }
    previous = p.address;
  }
  EXPECT_EQ(covered, 12725u);
  const auto at = [&](std::uint32_t address) {
    for (const Packet& p : packets) {
      if (p.address == address) return p.data.size();
    }
    return std::size_t{0};
  };
  EXPECT_EQ(at(0xB100), 64u);
  EXPECT_EQ(at(0xE280), 35u);  // the used bytes end inside the block
  EXPECT_EQ(at(0xFDFC), 4u);
  EXPECT_EQ(at(0xFFDC), 36u);  // 14 used bytes, 22 filled with 0xFF
  EXPECT_EQ(packets.back().address, 0xFFDCu);
  EXPECT_EQ(WritesOf(line, kClosing), 1);

  // Percent text from "00%", rewritten only when the integer percent changes, "100%" only
  // once the last data packet has been taken.
  const std::vector<std::string> percents = line.host.TextsOf(StatusElement::PercentText);
  ASSERT_GE(percents.size(), 2u);
  EXPECT_LE(percents.size(), 101u);
  EXPECT_EQ(percents.front(), "00%");
  EXPECT_EQ(percents.back(), "100%");
  EXPECT_NE(std::find(percents.begin(), percents.end(), "07%"), percents.end());
  for (std::size_t i = 1; i < percents.size(); ++i) {
    EXPECT_LT(std::stoi(percents[i - 1]), std::stoi(percents[i]));
  }
  int lastPosition = -1;
  for (const auto& e : line.host.Events()) {
    if (e.kind == ScriptedHost::EventKind::ProgressPosition) lastPosition = e.value;
    if (e.kind == ScriptedHost::EventKind::Text && e.text == "100%") {
      EXPECT_EQ(lastPosition, 12725);
    }
  }
  EXPECT_EQ(line.host.ProgressRange(), 12725);
  EXPECT_EQ(line.host.ProgressPosition(), 12725);
}

// Two used bytes with a gap inside block 0x8040; block 0x8000 holds nothing.
std::unique_ptr<S19Image> GapImage() {
  return MakeImage(0x8000, 0x100, {{0x8041, 0xAA}, {0x8043, 0xBB}});
}
const Bytes kGapPacket = {0x02, 0x80, 0x41, 0x03, 0xAA, 0xFF, 0xBB, 0xD8};

TEST(WriteFlashImage, RetriesAPacketTheLoaderRejects) {
  FakeLine line;
  int tries = 0;
  line.respond = [&tries](const Bytes& b) {
    if (b.size() == 5) return Bytes{0x06};
    return Bytes{++tries <= 3 ? std::uint8_t{0x15} : std::uint8_t{0x06}};
  };
  EXPECT_EQ(WriteFlashImage(line.link, *GapImage()), 1);
  EXPECT_EQ(WritesOf(line, kGapPacket), 4);
  EXPECT_EQ(WritesOf(line, kClosing), 1);
  EXPECT_TRUE(line.host.Messages().empty());
  EXPECT_EQ(line.host.TextsOf(StatusElement::PercentText),
            (std::vector<std::string>{"00%", "100%"}));
}

TEST(WriteFlashImage, EachTryIsJudgedByItsOwnReply) {
  // The loader answers the first try of the first packet twice (as when noise makes it see a
  // second packet in the tail of the first) and rejects the first try of the second packet.
  // The left-over reply must not answer a later try: the second packet is sent again.
  const auto image = MakeImage(0x8000, 0x100, {{0x8000, 1}, {0x8040, 2}});
  FakeLine line;
  std::map<int, int> tries;  // by packet address
  line.respond = [&tries](const Bytes& b) {
    const int n = ++tries[b[1] << 8 | b[2]];
    if (b.size() == 5 || n > 1) return Bytes{0x06};
    return b[2] == 0x00 ? Bytes{0x15, 0x15} : Bytes{0x15};
  };
  EXPECT_EQ(WriteFlashImage(line.link, *image), 1);
  const std::vector<Packet> packets = DataPackets(line);
  ASSERT_EQ(packets.size(), 4u);
  EXPECT_EQ(packets[0].address, 0x8000u);
  EXPECT_EQ(packets[1].address, 0x8000u);
  EXPECT_EQ(packets[2].address, 0x8040u);
  EXPECT_EQ(packets[3].address, 0x8040u);
}

TEST(WriteFlashImage, AByteArrivingDuringTheWriteIsNotItsAnswer) {
  // An acknowledgement crosses the line while the first try is still being written (a late
  // answer to an earlier try, or the loader's answer to a packet that noise made it see in
  // the bytes so far); the loader rejects the try itself. The packet must be sent again.
  FakeLine line;
  int tries = 0;
  line.duringWrite = [&tries](const Bytes& b) {
    return b.size() > 5 && tries == 0 ? Bytes{0x06} : Bytes{};
  };
  line.respond = [&tries](const Bytes& b) {
    if (b.size() == 5) return Bytes{0x06};
    return Bytes{++tries == 1 ? std::uint8_t{0x15} : std::uint8_t{0x06}};
  };
  EXPECT_EQ(WriteFlashImage(line.link, *GapImage()), 1);
  EXPECT_EQ(WritesOf(line, kGapPacket), 2);
}

TEST(WriteFlashImage, GivesUpAfterTenSilentTries) {
  FakeLine line;
  const Micros start = line.clock.Now();
  EXPECT_EQ(WriteFlashImage(line.link, *GapImage()), 0);
  EXPECT_EQ(WritesOf(line, kGapPacket), 10);
  EXPECT_EQ(WritesOf(line, kClosing), 0);
  EXPECT_EQ(line.clock.Now() - start, Millis(5000));
  ASSERT_EQ(line.host.Messages().size(), 1u);
  const auto& box = line.host.Messages()[0];
  EXPECT_EQ(box.text, "Radio has stopped responding.");
  EXPECT_EQ(box.caption, "Sorel Radio");
  EXPECT_EQ(box.icon, MessageIcon::Information);
  EXPECT_EQ(box.buttons, MessageButtons::Ok);
}

TEST(WriteFlashImage, CloseRequestDuringTriesEndsWithoutAMessage) {
  FakeLine line;
  line.host.CloseAtPump(3);  // each try dispatches one message
  EXPECT_EQ(WriteFlashImage(line.link, *GapImage()), 0);
  EXPECT_EQ(WritesOf(line, kGapPacket), 3);
  EXPECT_EQ(WritesOf(line, kClosing), 0);
  EXPECT_TRUE(line.host.Messages().empty());
}

TEST(WriteFlashImage, ATakenPacketCountsAndTheFlagIsSeenBeforeTheNext) {
  FakeLine line;
  AcknowledgeEverything(line);
  line.host.CloseAtPump(1);
  const auto image = MakeImage(0x8000, 0x100, {{0x8000, 1}, {0x8001, 2}, {0x8080, 3}});
  EXPECT_EQ(WriteFlashImage(line.link, *image), 0);
  EXPECT_EQ(DataPackets(line).size(), 1u);
  EXPECT_EQ(WritesOf(line, kClosing), 0);
  EXPECT_EQ(line.host.ProgressPosition(), 2);
  EXPECT_EQ(line.host.TextsOf(StatusElement::PercentText),
            (std::vector<std::string>{"00%", "66%"}));
}

TEST(WriteFlashImage, EmptyImageSendsOnlyTheClosingPacket) {
  FakeLine line;
  AcknowledgeEverything(line);
  EXPECT_EQ(WriteFlashImage(line.link, *MakeImage(0x8000, 0x100, {})), 1);
  EXPECT_EQ(line.SentBytes(), kClosing);
  EXPECT_EQ(line.host.TextsOf(StatusElement::PercentText), (std::vector<std::string>{"00%"}));
}

TEST(WriteFlashImage, UnansweredClosingPacketIsSentFiveTimesAndStillSucceeds) {
  FakeLine line;
  line.respond = [](const Bytes& b) { return b.size() == 5 ? Bytes{} : Bytes{0x06}; };
  EXPECT_EQ(WriteFlashImage(line.link, *GapImage()), 1);
  EXPECT_EQ(WritesOf(line, kClosing), 5);
}

TEST(WriteFlashImage, ACountBeyondTheMaskNeverLeavesTheWindow) {
  FakeLine line;
  AcknowledgeEverything(line);
  const auto image = MakeImage(0x8000, 0x50, {{0x804F, 9}});
  image->usedCount = 40000;
  EXPECT_EQ(WriteFlashImage(line.link, *image), 1);
  ASSERT_EQ(DataPackets(line).size(), 1u);
  EXPECT_EQ(DataPackets(line)[0].address, 0x804Fu);
}

}  // namespace
}  // namespace tav
