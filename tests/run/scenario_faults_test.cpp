// Whole patch runs against a radio that fails at some step, and runs the technician stops.

#include <gtest/gtest.h>

#include "image/stand_in_date_codes.h"
#include "radio_bench.h"
#include "run/unit_flashing.h"

namespace tav {
namespace {

using test::Bytes;
using test::FindBreak;
using test::kClosingPacket;
using test::kControlHeadErase;
using test::kCoreErase;
using test::RadioBench;
using test::TimeOf;

const std::string kComplete = "Flash Write complete.";
const std::string kLockOut = "CPU security lock out.\nCycle radio power and try again.";

TEST(PatchRunFaults, AFailedUnitIsReportedOnceAndTheOtherIsStillPatched) {
  const struct {
    const char* name;
    void (*fault)(RadioSetup&);
    std::string message;
    UnitId failed;
  } cases[] = {
      {"core lock-out", [](RadioSetup& s) { s.core.securityLockOut = true; }, kLockOut,
       UnitId::Core},
      {"control head lock-out", [](RadioSetup& s) { s.controlHead.securityLockOut = true; },
       kLockOut, UnitId::ControlHead},
      {"control head flash stays dirty",
       [](RadioSetup& s) { s.controlHead.flashStaysDirty = true; }, kLockOut, UnitId::ControlHead},
      {"core loader silent", [](RadioSetup& s) { s.core.silentProgram = RamProgram::CoreLoader; },
       "No response from core.", UnitId::Core},
      {"control head loader silent",
       [](RadioSetup& s) { s.controlHead.silentProgram = RamProgram::ControlHeadLoader; },
       "No response from radio.", UnitId::ControlHead},
      {"core loader stops after 17 packets",
       [](RadioSetup& s) { s.core.loaderStopsAfterPackets = 17; }, "Radio has stopped responding.",
       UnitId::Core},
      {"control head loader stops after 17 packets",
       [](RadioSetup& s) { s.controlHead.loaderStopsAfterPackets = 17; },
       "Radio has stopped responding.", UnitId::ControlHead},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RadioSetup setup;
    c.fault(setup);
    RadioBench bench(setup);
    EXPECT_EQ(bench.Run(), PatchOutcome::Failed);
    ASSERT_EQ(bench.MessageTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(bench.host.Messages()[0].caption, "Sorel Radio");
    EXPECT_EQ(bench.host.Messages()[0].icon, MessageIcon::Information);

    const UnitId other = c.failed == UnitId::Core ? UnitId::ControlHead : UnitId::Core;
    const std::uint16_t otherImage =
        other == UnitId::Core ? kCoreFirmwareResource : kControlHeadFirmwareResource;
    EXPECT_EQ(bench.FlashOf(other), test::FlashAfterWriting(otherImage));
    EXPECT_EQ(bench.radio.State(other), UnitState::NormalFirmware);
    EXPECT_NE(bench.radio.State(c.failed), UnitState::NormalFirmware);
    // Whatever became of the core's loader, its sequence ends with the long break.
    if (c.failed == UnitId::Core) {
      const std::vector<WireEvent> pc = bench.PcEvents();
      const int brk = FindBreak(pc, bench.Find(kCoreErase));
      ASSERT_GT(brk, 0);
      EXPECT_EQ(pc[brk + 1].time - pc[brk].time, Millis(500));
    }
    EXPECT_FALSE(bench.link.IsOpen());
  }
}

TEST(PatchRunFaults, RetriesCarryTheImageThroughRejectsAndNoise) {
  RadioSetup rejecting;
  rejecting.core.nakPacketAddress = 0xB040;
  rejecting.core.nakTries = 3;
  RadioSetup noisy;
  // A seed whose noise costs packet retries but spares the downloads, which carry no checksum.
  noisy.noiseRate = 0.001;
  noisy.noiseSeed = 20;
  for (const RadioSetup& setup : {rejecting, noisy}) {
    RadioBench bench(setup);
    EXPECT_EQ(bench.Run(), PatchOutcome::Completed);
    EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>{kComplete});
    EXPECT_EQ(bench.FlashOf(UnitId::Core), test::FlashAfterWriting(kCoreFirmwareResource));
    EXPECT_EQ(bench.FlashOf(UnitId::ControlHead),
              test::FlashAfterWriting(kControlHeadFirmwareResource));
  }
  RadioBench bench(rejecting);
  bench.Run();
  int writesOfRejected = 0;
  for (const WireEvent& e : bench.PcEvents()) {
    writesOfRejected += e.bytes.size() == 69 && e.bytes[1] == 0xB0 && e.bytes[2] == 0x40;
  }
  EXPECT_EQ(writesOfRejected, 4);
}

TEST(PatchRunFaults, MissingResources) {
  const std::string kNoImage = "Unable to load resource";
  const struct {
    std::uint16_t missing;
    std::vector<std::string> messages;
    PatchOutcome outcome;
    bool coreErased, controlHeadPatched;
  } cases[] = {
      {kTalkThroughResource,
       {"Unable to open TALKTHRU.S19"},
       PatchOutcome::NoContact,
       false,
       false},
      // Nothing goes to the core; the break ends the relay, so the control head is written.
      {kCoreLoaderResource, {"Unable to open CORFLASH.S19"}, PatchOutcome::Failed, false, true},
      {kControlHeadLoaderResource,
       {"Unable to open CTLFLASH.S19"},
       PatchOutcome::Failed,
       true,
       false},
      // A firmware image that does not load: that unit is never erased, the other goes on.
      {kCoreFirmwareResource, {kNoImage}, PatchOutcome::Failed, false, true},
      {kControlHeadFirmwareResource, {kNoImage}, PatchOutcome::Failed, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.messages[0]);
    RadioBench bench;
    const MapResourceSource resources = test::ResourcesWithout(c.missing);
    const Bytes coreFlash = bench.FlashOf(UnitId::Core);
    EXPECT_EQ(bench.Run(resources), c.outcome);
    ASSERT_EQ(bench.MessageTexts(), c.messages);
    EXPECT_EQ(bench.host.Messages()[0].caption, "Sorel Radio");
    EXPECT_EQ(bench.host.Messages()[0].icon,
              c.messages[0] == kNoImage ? MessageIcon::None : MessageIcon::Warning);
    EXPECT_EQ(bench.Count(kCoreErase), c.coreErased ? 1 : 0);
    if (!c.coreErased) {
      EXPECT_EQ(bench.FlashOf(UnitId::Core), coreFlash);
    }
    if (c.controlHeadPatched) {
      EXPECT_EQ(bench.FlashOf(UnitId::ControlHead),
                test::FlashAfterWriting(kControlHeadFirmwareResource));
    }
  }
}

// The core's loader resource does not load: the core is never erased. Where the control head
// relays to the core, the break that ends the core sequence still ends the relay, so the
// control head is written from its monitor; with the control head passing the line through,
// nothing at all follows the pass-through byte.
TEST(PatchRunFaults, ADamagedCoreLoaderLeavesTheLineAsTheCoreSequenceWould) {
  RadioSetup inMonitor;
  inMonitor.controlHeadInMonitor = true;
  RadioSetup coreOnly;
  coreOnly.controlHead.dateCode = kControlHeadStandInDateCode;
  const struct {
    const char* name;
    RadioSetup setup;
    Bytes lastBeforeBreak;  // the relay's start command or the pass-through byte
    bool breakFollows;
  } cases[] = {
      {"both units", {}, Bytes{0x28}, true},
      {"control head in its monitor", inMonitor, Bytes{0x28}, true},
      {"only the core", coreOnly, Bytes{0xF3}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RadioBench bench(c.setup);
    bench.host.AnswerDateCode(DateCodeQuestion::Core, 0);
    bench.host.AnswerDateCode(DateCodeQuestion::ControlHead, 0);
    const Bytes coreFlash = bench.FlashOf(UnitId::Core);
    EXPECT_EQ(bench.Run(test::ResourcesWithout(kCoreLoaderResource)), PatchOutcome::Failed);
    EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>{"Unable to open CORFLASH.S19"});
    EXPECT_EQ(bench.FlashOf(UnitId::Core), coreFlash);

    const std::vector<WireEvent> pc = bench.PcEvents();
    const int last = bench.Find(c.lastBeforeBreak);
    ASSERT_GE(last, 0);
    if (!c.breakFollows) {
      EXPECT_EQ(last + 1, static_cast<int>(pc.size()));
      continue;
    }
    ASSERT_GT(static_cast<int>(pc.size()), last + 2);
    EXPECT_EQ(pc[last + 1].kind, WireKind::BreakOn);
    EXPECT_EQ(pc[last + 2].time - pc[last + 1].time, Millis(500));
    EXPECT_EQ(bench.FlashOf(UnitId::ControlHead),
              test::FlashAfterWriting(kControlHeadFirmwareResource));
  }
}

TEST(PatchRunFaults, ClosingTheWindowStopsTheRunWithoutFailureMessages) {
  RadioSetup controlOnly;
  controlOnly.core.dateCode = kCoreStandInDateCode;
  const Bytes firstCorePacket = [] {
    RadioBench reference;
    reference.Run();
    for (const WireEvent& e : reference.PcEvents()) {
      if (e.bytes.size() > 5 && e.bytes[0] == 0x02) return e.bytes;
    }
    return Bytes{};
  }();
  const struct {
    const char* name;
    RadioSetup setup;
    Micros closeAt;
  } cases[] = {
      {"during the probe's wait", {}, TimeOf({0, 0, 0, 0, 0, 0, 0, 0}) + Millis(5)},
      {"during the control head's erase wait before the relay",
       {},
       TimeOf(kControlHeadErase) + Millis(300)},
      {"during the control head's own erase wait", controlOnly,
       TimeOf(kControlHeadErase, controlOnly) + Millis(300)},
      {"during the core's image", {}, TimeOf(firstCorePacket) + Millis(2000)},
      {"during the control head's image", {}, TimeOf(kClosingPacket) + Millis(8000)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RadioBench bench(c.setup);
    bench.host.CloseAtTime(c.closeAt);
    EXPECT_EQ(bench.Run(), PatchOutcome::Stopped);
    ASSERT_TRUE(bench.host.ClosedAt());
    EXPECT_TRUE(bench.MessageTexts().empty()) << bench.MessageTexts()[0];
    EXPECT_FALSE(bench.link.IsOpen());
    EXPECT_TRUE(bench.host.Element(StatusElement::ProgramButton).enabled);
  }
}

TEST(PatchRunFaults, ControlHeadEraseWaitEndsAtTheNextSlice) {
  RadioSetup controlOnly;
  controlOnly.core.dateCode = kCoreStandInDateCode;
  const Micros erase = TimeOf(kControlHeadErase, controlOnly);
  RadioBench bench(controlOnly);
  bench.host.CloseAtTime(erase + Millis(300));
  bench.Run();
  // The wait ends within a slice of the close, the link goes to 9600 and the eight security
  // bytes still go out; nothing is downloaded.
  const std::vector<WireEvent> pc = bench.PcEvents();
  const int at = bench.Find(kControlHeadErase);
  ASSERT_EQ(static_cast<int>(pc.size()), at + 9);
  const Micros afterWait = pc[at + 1].time;
  EXPECT_GE(afterWait, *bench.host.ClosedAt());
  EXPECT_LE(afterWait - *bench.host.ClosedAt(), Millis(10));
  for (int i = at + 1; i < at + 9; ++i) {
    EXPECT_EQ(pc[i].bytes, Bytes{0xFF});
    EXPECT_EQ(pc[i].baud, 9600u);
  }
  EXPECT_NE(bench.host.Element(StatusElement::StatusLine).text, "Writing to RAM");
}

TEST(PatchRunFaults, CoreEraseWaitDispatchesNothing) {
  const Micros erase = TimeOf(kCoreErase);
  RadioBench bench;
  bench.host.CloseAtTime(erase + Millis(300));
  EXPECT_EQ(bench.Run(), PatchOutcome::Stopped);
  EXPECT_TRUE(bench.MessageTexts().empty());
  // The close waits for the flash write's first try: the erase wait runs its full second, the
  // loader goes in whole, and the first packet is still taken before the run stops.
  const std::vector<WireEvent> pc = bench.PcEvents();
  const int at = bench.Find(kCoreErase);
  EXPECT_GE(pc[at + 1].time - pc[at].time, Millis(1000));
  int packets = 0;
  for (const WireEvent& e : pc) packets += e.bytes.size() > 5 && e.bytes[0] == 0x02;
  EXPECT_EQ(packets, 1);
  EXPECT_GE(*bench.host.ClosedAt(), erase + Millis(1000));
}

// A stop already in the abort flag, or still waiting for the pump to deliver it, keeps the
// core from being erased: the sequence sends only its closing break.
TEST(FlashCore, AStopRequestedBeforeTheEraseSendsOnlyTheClosingBreak) {
  for (const bool delivered : {true, false}) {
    SCOPED_TRACE(delivered ? "flag already set" : "close request pending");
    RadioBench bench;
    ASSERT_EQ(bench.link.OpenLink(), 0);
    if (delivered) {
      bench.state.abortFlag = true;
    } else {
      bench.host.CloseAtTime(Micros(0));
    }
    const Bytes coreFlash = bench.FlashOf(UnitId::Core);
    const auto firmware = test::Firmware(kCoreFirmwareResource);
    const UnitFlashResult result = FlashCore(bench.link, BuiltInResources(), *firmware);
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(result.eraseSent);
    EXPECT_TRUE(bench.host.Messages().empty());
    EXPECT_TRUE(bench.host.TextsOf(StatusElement::StatusLine).empty());

    const std::vector<WireEvent> pc = bench.PcEvents();
    ASSERT_EQ(pc.size(), 2u);
    EXPECT_EQ(pc[0].kind, WireKind::BreakOn);
    EXPECT_EQ(pc[1].kind, WireKind::BreakOff);
    EXPECT_EQ(pc[1].time - pc[0].time, Millis(500));
    EXPECT_EQ(bench.FlashOf(UnitId::Core), coreFlash);
  }
}

}  // namespace
}  // namespace tav
