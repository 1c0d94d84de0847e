// The units' normal firmware: what the control head answers at 4800 baud, what it relays,
// and both erase commands.

#include <gtest/gtest.h>

#include <algorithm>
#include "tests/sim/radio_bench.h"

namespace tav::testing {
namespace {

struct ProbeCase {
  const char* name;
  RadioSetup setup;
  Bytes answer;
};

class ProbeTest : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(ProbeTest, AnswersTheProbeAt4800) {
  RadioBench bench(GetParam().setup);
  bench.Baud(4800);
  bench.Write(Bytes(8, 0x00));
  bench.Wait(20ms);
  bench.port->PurgeReceive();
  EXPECT_EQ(bench.Exchange(kProbe), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Radios, ProbeTest,
    ::testing::Values(ProbeCase{"ControlHead", {}, {0x22}},
                      ProbeCase{"Foreign", {.foreignProbeAnswer = 0x41}, {0x41}},
                      ProbeCase{"ControlHeadInMonitor", {.controlHeadInMonitor = true}, {}},
                      ProbeCase{"NothingConnected", {.nothingConnected = true}, {}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ControlHeadFirmware, SendsItsDateCodeOneBytePerRequest) {
  RadioBench bench;
  bench.Baud(4800);
  Bytes code;
  for (std::uint8_t request : Bytes{0x2B, 0x00, 0x00, 0x00}) {
    const Bytes answer = bench.Exchange({request});
    ASSERT_EQ(answer.size(), 1u);
    code.push_back(answer[0]);
  }
  EXPECT_EQ(code, LittleEndian(0x2449F02A));
  // A further 0x00 asks for nothing.
  EXPECT_TRUE(bench.Exchange({0x00}).empty());
}

TEST(ControlHeadFirmware, DateCodeWithAZeroByteSendsTheZero) {
  RadioBench bench({.controlHead = {.dateCode = 0x0049F02A}});
  bench.Baud(4800);
  Bytes code;
  for (std::uint8_t request : Bytes{0x2B, 0x00, 0x00, 0x00})
    code.push_back(bench.Exchange({request})[0]);
  EXPECT_EQ(code, LittleEndian(0x0049F02A));
}

TEST(ControlHeadFirmware, RelaysTheCoreDateCodeWithin500ms) {
  for (int length : {4, 3, 1}) {
    SCOPED_TRACE(length);
    RadioBench bench({.core = {.dateCode = 0xF35E8F29, .dateCodeReplyBytes = length}});
    bench.Baud(4800);
    bench.Write(kCoreDateCodeQuery);
    const Bytes full = LittleEndian(0xF35E8F29);
    EXPECT_EQ(bench.Read(4), Bytes(full.begin(), full.begin() + length));
  }
}

TEST(ControlHeadFirmware, ReleaseSendsNothingAndLeavesTheFirmwareAnswering) {
  RadioBench bench;
  bench.Baud(4800);
  bench.port->TransmitImmediate(0x01);
  EXPECT_TRUE(bench.Read().empty());
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::NormalFirmware);
  EXPECT_EQ(bench.Exchange(kProbe), Bytes{0x22});
}

TEST(ControlHeadFirmware, PassThroughReachesTheCoreUntilALongBreak) {
  RadioBench bench;
  bench.Baud(4800);
  bench.Write({0xF3});
  bench.Wait(50ms);
  // The core's own firmware listens at 38400.
  bench.Baud(38400);
  bench.Write(kCoreDateCodeQuery);
  EXPECT_EQ(bench.Read(4), LittleEndian(0xF35E8F29));
  bench.Break(500ms);
  bench.Baud(4800);
  EXPECT_EQ(bench.Exchange(kProbe), Bytes{0x22});
}

TEST(ControlHeadFirmware, EraseCommandLeavesItErasedInItsMonitorWithin1000ms) {
  RadioBench bench;
  bench.Baud(4800);
  bench.Write(kControlHeadErase);
  bench.Wait(1000ms);
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::RomMonitor);
  EXPECT_EQ(bench.radio.ListeningBaud(UnitId::ControlHead), 9600u);
  const auto flash = bench.radio.Flash(UnitId::ControlHead);
  EXPECT_TRUE(std::all_of(flash.begin(), flash.end(), [](auto b) { return b == 0xFF; }));
  EXPECT_FALSE(bench.radio.ReportedDateCode(UnitId::ControlHead));
  EXPECT_EQ(bench.radio.ReportedDateCode(UnitId::Core), 0xF35E8F29u);
}

TEST(CoreFirmware, EraseCommandAt38400LeavesTheCoreInItsMonitorWithin1000ms) {
  RadioBench bench;
  bench.Baud(4800);
  bench.Write({0xF3});
  bench.Wait(50ms);
  bench.Baud(38400);
  bench.Write(kCoreErase);
  bench.Wait(1000ms);
  EXPECT_EQ(bench.radio.State(UnitId::Core), UnitState::RomMonitor);
  EXPECT_EQ(bench.radio.ListeningBaud(UnitId::Core), 9600u);
  EXPECT_EQ(bench.radio.Flash(UnitId::Core)[0xFFFE - 0x8000], 0xFF);
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::NormalFirmware);
}

TEST(ControlHeadFirmware, AWrongByteInACommandIsNotACommand) {
  RadioBench bench;
  bench.Baud(4800);
  bench.Write({0xA7, 0x5C, 0x0F, 0x91, 0x3B});
  bench.Wait(1000ms);
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::NormalFirmware);
  EXPECT_TRUE(bench.Exchange({0x00, 0x0A, 0x14, 0x29}).empty());
}

}  // namespace
}  // namespace tav::testing
