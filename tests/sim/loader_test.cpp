// The flash loaders' packets: what is programmed, what is answered, and the closing packet
// that starts the new firmware.

#include <gtest/gtest.h>

#include <algorithm>

#include "image/stand_in_date_codes.h"
#include "tests/sim/radio_bench.h"

namespace tav::testing {
namespace {

constexpr RadioSetup kInMonitor{.controlHeadInMonitor = true};

// The control head in its monitor with its flash loader started.
RadioBench& StartLoader(RadioBench& bench) {
  EXPECT_EQ(bench.StartRamProgram(kControlHeadLoaderResource), StartUpReply('K'));
  return bench;
}

Bytes FlashAt(RadioBench& bench, UnitId unit, std::uint16_t address, std::size_t count) {
  const auto flash = bench.radio.Flash(unit);
  const auto start = flash.begin() + (address - 0x8000);
  return Bytes(start, start + static_cast<std::ptrdiff_t>(count));
}

// Each packet tried up to ten times until it is answered 0x06; false when one never is.
bool WriteImage(RadioBench& bench, const S19Image& image) {
  for (const Bytes& packet : ImagePackets(image)) {
    int tries = 0;
    while (bench.Exchange(packet) != Bytes{0x06}) {
      if (++tries == 10) return false;
    }
  }
  return true;
}

void ExpectFlashHolds(RadioBench& bench, UnitId unit, const S19Image& image) {
  const auto flash = bench.radio.Flash(unit);
  for (std::uint32_t i = 0; i < image.windowSize; ++i) {
    ASSERT_EQ(flash[i], image.usedMask[i] ? image.bytes[i] : 0xFF) << "at " << 0x8000 + i;
  }
}

struct PacketCase {
  const char* name;
  Bytes packet;
  Bytes reply;
  bool programmed;
};

class PacketTest : public ::testing::TestWithParam<PacketCase> {};

TEST_P(PacketTest, AnswersAndProgramsAsTheRowRuleSays) {
  RadioBench bench(kInMonitor);
  StartLoader(bench);
  const Bytes& packet = GetParam().packet;
  const auto address = static_cast<std::uint16_t>((packet[1] << 8) | packet[2]);
  const std::size_t count = packet[3];
  EXPECT_EQ(bench.Exchange(packet), GetParam().reply);
  if (address < 0x8000 || count == 0) return;
  const Bytes data(packet.begin() + 4, packet.begin() + 4 + static_cast<std::ptrdiff_t>(count));
  const Bytes flash =
      FlashAt(bench, UnitId::ControlHead, address, std::min<std::size_t>(count, 0x10000 - address));
  EXPECT_EQ(flash == data, GetParam().programmed);
  if (!GetParam().programmed) {
    EXPECT_EQ(flash, Bytes(flash.size(), 0xFF));
  }
}

Bytes WithBadSum(Bytes packet) {
  ++packet.back();
  return packet;
}

INSTANTIATE_TEST_SUITE_P(
    Packets, PacketTest,
    ::testing::Values(PacketCase{"Good", Packet(0x8000, {1, 2, 3}), {0x06}, true},
                      PacketCase{"WholeRow", Packet(0xFFC0, Bytes(64, 0x5A)), {0x06}, true},
                      PacketCase{"EndOfRow", Packet(0x807D, {1, 2, 3}), {0x06}, true},
                      PacketCase{
                          "BadChecksum", WithBadSum(Packet(0x8000, {1, 2, 3})), {0x15}, false},
                      PacketCase{"CrossesARow", Packet(0x807E, {1, 2, 3}), {}, false},
                      PacketCase{"BelowFlash", Packet(0x7FC0, {1, 2, 3}), {}, false},
                      PacketCase{"NoDataElsewhereThanClosing", Packet(0x8000, {}), {}, false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(FlashLoader, SkipsToTheStartByteAndProgrammingOnlyClearsBits) {
  RadioBench bench(kInMonitor);
  StartLoader(bench);
  Bytes first = {0x55, 0x00};
  const Bytes packet = Packet(0x8100, {0x0F});
  first.insert(first.end(), packet.begin(), packet.end());
  EXPECT_EQ(bench.Exchange(first), Bytes{0x06});
  EXPECT_EQ(bench.Exchange(Packet(0x8100, {0xF3})), Bytes{0x06});
  EXPECT_EQ(FlashAt(bench, UnitId::ControlHead, 0x8100, 1), Bytes{0x03});
}

TEST(FlashLoader, ClosingPacketStartsTheNewFirmwareWhichReportsItsDateCode) {
  RadioBench bench(kInMonitor);
  StartLoader(bench);
  const auto image = LoadImage(kControlHeadFirmwareResource);
  ASSERT_TRUE(WriteImage(bench, *image));
  EXPECT_EQ(bench.Exchange(kClosingPacket), Bytes{0x06});
  ExpectFlashHolds(bench, UnitId::ControlHead, *image);
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::NormalFirmware);
  EXPECT_EQ(bench.radio.ReportedDateCode(UnitId::ControlHead), kControlHeadStandInDateCode);
  // The new firmware answers at 4800, its date code read byte by byte.
  bench.Baud(4800);
  EXPECT_EQ(bench.Exchange(kProbe), Bytes{0x22});
  Bytes code;
  for (std::uint8_t request : Bytes{0x2B, 0x00, 0x00, 0x00})
    code.push_back(bench.Exchange({request})[0]);
  EXPECT_EQ(code, LittleEndian(kControlHeadStandInDateCode));
}

TEST(FlashLoader, AnInterruptedWriteResetsIntoTheMonitorAndTheNextLoaderErasesIt) {
  RadioBench bench(kInMonitor);
  StartLoader(bench);
  ASSERT_EQ(bench.Exchange(Packet(0x9000, {1, 2, 3})), Bytes{0x06});
  // No reset vector was written, so the reset ends in the monitor again.
  EXPECT_EQ(bench.Exchange(kClosingPacket), Bytes{0x06});
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::RomMonitor);
  StartLoader(bench);
  EXPECT_EQ(FlashAt(bench, UnitId::ControlHead, 0x9000, 3), Bytes(3, 0xFF));
}

TEST(FlashLoader, CoreLoaderThroughTheTalkThroughProgramsTheCore) {
  RadioBench bench(kInMonitor);
  ASSERT_EQ(bench.StartRamProgram(kTalkThroughResource), StartUpReply('K'));
  bench.Baud(38400);
  bench.Write(kCoreErase);
  bench.Wait(1000ms);
  EXPECT_EQ(bench.StartRamProgram(kCoreLoaderResource), StartUpReply('K'));
  const auto image = LoadImage(kCoreFirmwareResource);
  ASSERT_TRUE(WriteImage(bench, *image));
  EXPECT_EQ(bench.Exchange(kClosingPacket), Bytes{0x06});
  ExpectFlashHolds(bench, UnitId::Core, *image);
  EXPECT_EQ(bench.radio.ReportedDateCode(UnitId::Core), kCoreStandInDateCode);
  // The break that ends the talk-through leaves the erased control head in its monitor.
  bench.Break(500ms);
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::RomMonitor);
}

TEST(FlashLoader, NaksTheFirstTriesOfTheChosenPacket) {
  RadioBench bench(
      {.controlHead = {.nakPacketAddress = 0x8040, .nakTries = 3}, .controlHeadInMonitor = true});
  StartLoader(bench);
  const Bytes packet = Packet(0x8040, {7});
  for (int i = 0; i < 3; ++i) EXPECT_EQ(bench.Exchange(packet), Bytes{0x15});
  EXPECT_EQ(bench.Exchange(packet), Bytes{0x06});
  EXPECT_EQ(FlashAt(bench, UnitId::ControlHead, 0x8040, 1), Bytes{7});
}

TEST(FlashLoader, StopsAnsweringAfterItsPackets) {
  RadioBench bench({.controlHead = {.loaderStopsAfterPackets = 2}, .controlHeadInMonitor = true});
  StartLoader(bench);
  EXPECT_EQ(bench.Exchange(Packet(0x8000, {1})), Bytes{0x06});
  EXPECT_EQ(bench.Exchange(Packet(0x8040, {2})), Bytes{0x06});
  EXPECT_TRUE(bench.Exchange(Packet(0x8080, {3})).empty());
  EXPECT_TRUE(bench.Exchange(kClosingPacket).empty());
  EXPECT_EQ(FlashAt(bench, UnitId::ControlHead, 0x8080, 1), Bytes{0xFF});
}

TEST(FlashLoader, RetriesCarryAWholeImageOverANoisyLine) {
  // A seed whose noise spares the loader's download and start-up reply.
  RadioBench bench({.controlHeadInMonitor = true, .noiseRate = 1.0 / 200, .noiseSeed = 106});
  StartLoader(bench);
  const auto image = LoadImage(kControlHeadFirmwareResource);
  const auto packetsBefore = bench.radio.WireEvents().size();
  ASSERT_TRUE(WriteImage(bench, *image));
  ExpectFlashHolds(bench, UnitId::ControlHead, *image);
  // The noise did cost retries: more writes went out than there are packets.
  std::size_t writes = 0;
  for (std::size_t i = packetsBefore; i < bench.radio.WireEvents().size(); ++i) {
    writes += bench.radio.WireEvents()[i].direction == WireDirection::PcToRadio;
  }
  EXPECT_GT(writes, ImagePackets(*image).size());
}

}  // namespace
}  // namespace tav::testing
