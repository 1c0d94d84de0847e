// The radio's supply and cable: what a power cycle starts, what a cut in the middle of
// programming or erasing leaves in the flash, and a pulled cable.

#include <gtest/gtest.h>

#include "image/stand_in_date_codes.h"
#include "tests/sim/radio_bench.h"

namespace tav::testing {
namespace {

constexpr RadioSetup kInMonitor{.controlHeadInMonitor = true};

void PowerCycle(RadioBench& bench) {
  bench.radio.PowerOff();
  bench.Wait(1000ms);
  bench.radio.PowerOn();
  bench.Wait(10ms);
}

// The control head in its monitor with its flash loader started and every packet of its
// image but the last one taken; returns the last one.
Bytes AllButTheLastPacket(RadioBench& bench) {
  EXPECT_EQ(bench.StartRamProgram(kControlHeadLoaderResource), StartUpReply('K'));
  const std::vector<Bytes> packets = ImagePackets(*LoadImage(kControlHeadFirmwareResource));
  for (std::size_t i = 0; i + 1 < packets.size(); ++i) {
    EXPECT_EQ(bench.Exchange(packets[i]), Bytes{0x06});
  }
  return packets.back();
}

TEST(PowerCycle, RamForgetsAndEachUnitStartsWhatItsFlashHolds) {
  RadioBench bench;
  bench.Baud(4800);
  bench.Write(kControlHeadErase);
  bench.Wait(1000ms);
  ASSERT_EQ(bench.StartRamProgram(kTalkThroughResource), StartUpReply('K'));
  const auto ram = bench.radio.Ram(UnitId::ControlHead);
  const Bytes ramBefore(ram.begin(), ram.end());

  PowerCycle(bench);
  // The erased control head is back in its monitor, the relay gone; the core's firmware runs.
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::RomMonitor);
  EXPECT_EQ(bench.radio.State(UnitId::Core), UnitState::NormalFirmware);
  const auto after = bench.radio.Ram(UnitId::ControlHead);
  EXPECT_NE(Bytes(after.begin(), after.end()), ramBefore);
  // The monitor asks for the security code again and the talk-through must be loaded anew.
  EXPECT_EQ(bench.StartRamProgram(kTalkThroughResource), StartUpReply('K'));
}

TEST(PowerCycle, AUnitWithItsNewImageStartsTheNewFirmware) {
  RadioBench bench(kInMonitor);
  const Bytes last = AllButTheLastPacket(bench);
  ASSERT_EQ(bench.Exchange(last), Bytes{0x06});
  // The closing packet never came: the power cycle is what starts the new firmware.
  PowerCycle(bench);
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::NormalFirmware);
  EXPECT_EQ(bench.radio.ReportedDateCode(UnitId::ControlHead), kControlHeadStandInDateCode);
}

// The last row from 0xFFDC holds 36 bytes, the reset vector in its last two; they go in one
// after another over the row's 3 ms.
TEST(PowerCycle, ACutWhileTheLastRowIsProgrammedDecidesWhatStarts) {
  struct Case {
    Micros cutAfter;
    UnitState state;
  };
  for (const Case& c : {Case{2800us, UnitState::RomMonitor},  // 33 bytes: vector still blank
                        Case{2950us, UnitState::Garbage},     // 35 bytes: half a vector
                        Case{3100us, UnitState::NormalFirmware}}) {
    SCOPED_TRACE(c.cutAfter.count());
    RadioBench bench(kInMonitor);
    bench.Write(AllButTheLastPacket(bench));
    bench.clock.Sleep(c.cutAfter);
    PowerCycle(bench);
    EXPECT_EQ(bench.radio.State(UnitId::ControlHead), c.state);
  }
}

TEST(PowerCycle, AUnitRunningGarbageNeverAnswers) {
  RadioBench bench(kInMonitor);
  bench.Write(AllButTheLastPacket(bench));
  bench.clock.Sleep(2950us);
  PowerCycle(bench);
  ASSERT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::Garbage);
  bench.Baud(4800);
  EXPECT_TRUE(bench.Exchange(kProbe).empty());
  EXPECT_TRUE(bench.StartRamProgram(kTalkThroughResource).empty());
  PowerCycle(bench);
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::Garbage);
}

TEST(PowerCycle, ARowCutPartWayHoldsItsFirstBytesOnly) {
  RadioBench bench(kInMonitor);
  ASSERT_EQ(bench.StartRamProgram(kControlHeadLoaderResource), StartUpReply('K'));
  bench.Write(Packet(0x9000, Bytes(64, 0x00)));
  bench.clock.Sleep(1500us);  // half of the row's 3 ms
  PowerCycle(bench);
  const auto flash = bench.radio.Flash(UnitId::ControlHead);
  EXPECT_EQ(Bytes(flash.begin() + 0x1000, flash.begin() + 0x1020), Bytes(32, 0x00));
  EXPECT_EQ(Bytes(flash.begin() + 0x1020, flash.begin() + 0x1040), Bytes(32, 0xFF));
}

// The firmware erases itself page by page over 300 ms; half-way, its old code is half gone.
TEST(PowerCycle, ACutDuringTheFirmwaresOwnEraseDependsOnItsOrder) {
  struct Case {
    EraseOrder order;
    UnitState state;
  };
  for (const Case& c : {Case{EraseOrder::VectorsLast, UnitState::Garbage},
                        Case{EraseOrder::VectorsFirst, UnitState::RomMonitor}}) {
    SCOPED_TRACE(static_cast<int>(c.order));
    RadioBench bench({.controlHead = {.dateCode = 0x2449F02A, .eraseOrder = c.order}});
    bench.Baud(4800);
    bench.Write(kControlHeadErase);
    bench.Wait(150ms);
    PowerCycle(bench);
    EXPECT_EQ(bench.radio.State(UnitId::ControlHead), c.state);
  }
}

TEST(PowerCycle, ACutDuringAMassEraseLeavesCellsPartErased) {
  RadioBench bench(kInMonitor);
  ASSERT_EQ(bench.StartRamProgram(kControlHeadLoaderResource), StartUpReply('K'));
  ASSERT_EQ(bench.Exchange(Packet(0x9000, Bytes(64, 0x00))), Bytes{0x06});
  // The next loader finds the flash not blank and mass-erases it in the last 4 ms of its start.
  PowerCycle(bench);
  bench.SendPaced(kSecurityCode);
  bench.SendPaced(MonitorDownload(*LoadImage(kControlHeadLoaderResource)));
  bench.Wait(33ms);  // with the 5 ms after Run: a quarter into the erase
  PowerCycle(bench);
  const auto flash = bench.radio.Flash(UnitId::ControlHead);
  const Bytes row(flash.begin() + 0x1000, flash.begin() + 0x1040);
  EXPECT_NE(row, Bytes(64, 0x00));
  EXPECT_NE(row, Bytes(64, 0xFF));
}

TEST(Cable, APulledCableCarriesNothingAndTheRadioKeepsItsState) {
  RadioBench bench(kInMonitor);
  ASSERT_EQ(bench.StartRamProgram(kTalkThroughResource), StartUpReply('K'));
  bench.radio.PullCable();
  // A long break would reset the relay; without the cable it never arrives.
  bench.Break(500ms);
  bench.Baud(38400);
  bench.Write(kCoreErase);
  bench.Wait(1000ms);
  EXPECT_EQ(bench.radio.Program(UnitId::ControlHead), RamProgram::TalkThrough);
  EXPECT_EQ(bench.radio.State(UnitId::Core), UnitState::NormalFirmware);

  bench.radio.PlugInCable();
  bench.Write(kCoreDateCodeQuery);
  EXPECT_EQ(bench.Read(4), LittleEndian(0xF35E8F29));
}

TEST(Cable, NothingTheRadioSendsArrivesWhileThePlugIsOut) {
  RadioBench bench;
  bench.Baud(4800);
  bench.Write(kProbe);
  bench.radio.PullCable();
  EXPECT_TRUE(bench.Read(1).empty());
  bench.radio.PlugInCable();
  EXPECT_EQ(bench.Exchange(kProbe), Bytes{0x22});
}

}  // namespace
}  // namespace tav::testing
