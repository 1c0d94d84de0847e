// The ROM monitor (security code, Write, Write next, Run) and the RAM programs it starts,
// known only by the bytes that reached RAM.

#include <gtest/gtest.h>

#include "tests/sim/radio_bench.h"

namespace tav::testing {
namespace {

constexpr RadioSetup kInMonitor{.controlHeadInMonitor = true};

bool SecurityPassed(RadioBench& bench, UnitId unit) {
  return (bench.radio.Ram(unit)[0] & 0x40) != 0;
}

// The control head's firmware erases itself; the eight bytes that follow are its monitor's
// security code.
struct SecurityCase {
  const char* name;
  UnitSetup controlHead;
  Bytes code;
  bool passed;
};

class SecurityTest : public ::testing::TestWithParam<SecurityCase> {};

TEST_P(SecurityTest, ComparesTheFirstEightBytesWithTheFlash) {
  RadioBench bench({.controlHead = GetParam().controlHead});
  bench.Baud(4800);
  bench.Write(kControlHeadErase);
  bench.Wait(1000ms);
  bench.Baud(9600);
  bench.SendPaced(GetParam().code);
  EXPECT_EQ(SecurityPassed(bench, UnitId::ControlHead), GetParam().passed);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SecurityTest,
    ::testing::Values(SecurityCase{"ErasedFlash", {.dateCode = 0x2449F02A}, kSecurityCode, true},
                      SecurityCase{"OneByteWrong",
                                   {.dateCode = 0x2449F02A},
                                   {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF},
                                   false},
                      SecurityCase{"LockedOut",
                                   {.dateCode = 0x2449F02A, .securityLockOut = true},
                                   kSecurityCode,
                                   false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(RomMonitor, WriteAndWriteNextStoreInRamOnly) {
  RadioBench bench(kInMonitor);
  bench.SendPaced(kSecurityCode);
  bench.SendPaced({0x49, 0x01, 0x80, 0xAA, 0x19, 0xBB, 0x19, 0xCC});
  // Unknown bytes are ignored; a write outside RAM changes nothing.
  bench.SendPaced({0x77, 0x49, 0x90, 0x00, 0x12});
  const auto ram = bench.radio.Ram(UnitId::ControlHead);
  EXPECT_EQ(ram[0x180 - 0x40], 0xAA);
  EXPECT_EQ(ram[0x181 - 0x40], 0xBB);
  EXPECT_EQ(ram[0x182 - 0x40], 0xCC);
  EXPECT_EQ(bench.radio.Flash(UnitId::ControlHead)[0x1000], 0xFF);
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::RomMonitor);
}

struct ProgramCase {
  const char* name;
  std::uint16_t resource;
  RamProgram program;
};

class RamProgramTest : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(RamProgramTest, RunStartsTheDownloadedProgramWhichAnnouncesItself) {
  RadioBench bench(kInMonitor);
  EXPECT_EQ(bench.StartRamProgram(GetParam().resource), StartUpReply('K'));
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::RamProgram);
  EXPECT_EQ(bench.radio.Program(UnitId::ControlHead), GetParam().program);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, RamProgramTest,
    ::testing::Values(ProgramCase{"TalkThrough", kTalkThroughResource, RamProgram::TalkThrough},
                      ProgramCase{"ControlHeadLoader", kControlHeadLoaderResource,
                                  RamProgram::ControlHeadLoader},
                      ProgramCase{"CoreLoader", kCoreLoaderResource, RamProgram::CoreLoader}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(RomMonitor, AByteLostInTheDownloadLeavesAProgramThatNeverAnswers) {
  RadioBench bench(kInMonitor);
  Bytes download = MonitorDownload(*LoadImage(kTalkThroughResource));
  download.erase(download.begin() + 101);
  bench.SendPaced(kSecurityCode);
  bench.SendPaced(download);
  EXPECT_TRUE(bench.Read(14).empty());
  EXPECT_EQ(bench.radio.Program(UnitId::ControlHead), RamProgram::Unrecognised);
}

TEST(RomMonitor, ADownloadWrittenWithoutPacingLosesBytesToTheEcho) {
  RadioBench bench(kInMonitor);
  bench.SendPaced(kSecurityCode);
  bench.Write(MonitorDownload(*LoadImage(kTalkThroughResource)));
  EXPECT_TRUE(bench.Read(14).empty());
}

TEST(RomMonitor, BytesSentBeforeTheEraseHasEndedAreLost) {
  RadioBench bench;
  bench.Baud(4800);
  bench.Write(kControlHeadErase);
  bench.Wait(100ms);
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::Erasing);
  // The security code is lost, so the monitor takes the download's first bytes for it.
  EXPECT_TRUE(bench.StartRamProgram(kTalkThroughResource).empty());
}

TEST(FlashLoaders, AnswerXWhenTheFlashCannotBeUsed) {
  {
    SCOPED_TRACE("core loader after a failed security check");
    RadioBench bench(kInMonitor);
    EXPECT_EQ(bench.StartRamProgram(kCoreLoaderResource, Bytes(8, 0x55)), StartUpReply('X'));
  }
  {
    // Its flash is erased, but a failed check hides it: every read gives an invalid value
    // until a power-on reset.
    SCOPED_TRACE("control-head loader after a failed security check");
    RadioBench bench(kInMonitor);
    EXPECT_EQ(bench.StartRamProgram(kControlHeadLoaderResource, Bytes(8, 0x55)), StartUpReply('X'));
  }
  {
    SCOPED_TRACE("control-head loader on a flash that stays dirty");
    RadioBench bench({.controlHead = {.flashStaysDirty = true}, .controlHeadInMonitor = true});
    EXPECT_EQ(bench.StartRamProgram(kControlHeadLoaderResource), StartUpReply('X'));
  }
  {
    SCOPED_TRACE("control-head loader on a locked-out unit");
    RadioBench bench({.controlHead = {.dateCode = 0x2449F02A, .securityLockOut = true}});
    bench.Baud(4800);
    bench.Write(kControlHeadErase);
    bench.Wait(1000ms);
    EXPECT_EQ(bench.StartRamProgram(kControlHeadLoaderResource), StartUpReply('X'));
  }
}

TEST(RamPrograms, ASilentProgramNeverAnswers) {
  RadioBench bench({.controlHead = {.silentProgram = RamProgram::ControlHeadLoader},
                    .controlHeadInMonitor = true});
  EXPECT_TRUE(bench.StartRamProgram(kControlHeadLoaderResource).empty());
  EXPECT_EQ(bench.radio.Program(UnitId::ControlHead), RamProgram::ControlHeadLoader);
}

struct BreakCase {
  Millis length;
  UnitState controlHeadAfter;
};

class TalkThroughBreakTest : public ::testing::TestWithParam<BreakCase> {};

TEST_P(TalkThroughBreakTest, RelaysToTheCoreUntilALongBreakResetsTheControlHead) {
  RadioBench bench(kInMonitor);
  ASSERT_EQ(bench.StartRamProgram(kTalkThroughResource), StartUpReply('K'));
  bench.Baud(38400);
  bench.Write(kCoreDateCodeQuery);
  EXPECT_EQ(bench.Read(4), LittleEndian(0xF35E8F29));
  bench.Break(GetParam().length);
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), GetParam().controlHeadAfter);
}

INSTANTIATE_TEST_SUITE_P(Breaks, TalkThroughBreakTest,
                         ::testing::Values(BreakCase{10ms, UnitState::RamProgram},
                                           BreakCase{500ms, UnitState::RomMonitor}));

}  // namespace
}  // namespace tav::testing
