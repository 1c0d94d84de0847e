// Whole patch runs along each path the radio can send the run down.

#include <gtest/gtest.h>

#include <iostream>

#include "image/stand_in_date_codes.h"
#include "radio_bench.h"
#include "run/date_code.h"

namespace tav {
namespace {

using test::Bytes;
using test::kClosingPacket;
using test::kControlHeadErase;
using test::kCoreErase;
using test::RadioBench;

const Bytes kSecurityByte = {0xFF};
const std::string kCoreText = "Core Date Code = 12/15/2000  11:55:38";
const std::string kControlText = "Control Date Code = 7/16/2001  9:09:08";

void ExpectIdleAndClosed(RadioBench& bench) {
  EXPECT_FALSE(bench.link.IsOpen());
  EXPECT_TRUE(bench.host.Element(StatusElement::ProgramButton).enabled);
  for (StatusElement e :
       {StatusElement::Headline, StatusElement::StatusLine, StatusElement::PercentText,
        StatusElement::ProgressBar, StatusElement::CoreDateText, StatusElement::ControlDateText,
        StatusElement::DateCodeNote}) {
    EXPECT_FALSE(bench.host.Element(e).visible) << static_cast<int>(e);
  }
}

void ExpectOneMessage(const RadioBench& bench, const std::string& text, const std::string& caption,
                      MessageIcon icon) {
  ASSERT_EQ(bench.MessageTexts(), std::vector<std::string>{text});
  const auto& box = bench.host.Messages()[0];
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.caption, caption);
  EXPECT_EQ(box.icon, icon);
}

// Eight single 0xFF bytes at 9600 baud from event `first`, about 5 ms apart.
void ExpectSecurityBytesAt(const std::vector<WireEvent>& pc, int first) {
  ASSERT_GE(first, 0);
  ASSERT_LE(first + 8, static_cast<int>(pc.size()));
  for (int i = first; i < first + 8; ++i) {
    EXPECT_EQ(pc[i].bytes, kSecurityByte) << i;
    EXPECT_EQ(pc[i].baud, 9600u) << i;
    if (i > first) {
      EXPECT_GE(pc[i].time - pc[i - 1].time, Millis(5));
    }
  }
}

std::vector<std::string> NonEmpty(std::vector<std::string> texts) {
  std::erase(texts, "");
  return texts;
}

double Seconds(Micros d) { return static_cast<double>(d.count()) / 1e6; }

TEST(PatchRun, BothUnitsEligible) {
  RadioBench bench;
  EXPECT_EQ(bench.Run(), PatchOutcome::Completed);

  // What the technician saw.
  ExpectOneMessage(bench, "Flash Write complete.", "Sorel Radio", MessageIcon::Information);
  const ScriptedHost& host = bench.host;
  EXPECT_EQ(NonEmpty(host.TextsOf(StatusElement::Headline)),
            (std::vector<std::string>{"Waiting for Radio", "Control Head Detected",
                                      "RAM Application running"}));
  EXPECT_EQ(NonEmpty(host.TextsOf(StatusElement::StatusLine)),
            (std::vector<std::string>{"Erasing Core OS", "Writing Core Program", "Writing to RAM",
                                      "Writing Control Head Program"}));
  EXPECT_EQ(NonEmpty(host.TextsOf(StatusElement::CoreDateText)),
            std::vector<std::string>{kCoreText});
  EXPECT_EQ(NonEmpty(host.TextsOf(StatusElement::ControlDateText)),
            std::vector<std::string>{kControlText});
  bool noteShown = false;
  for (const auto& e : host.Events()) {
    noteShown |= e.kind == ScriptedHost::EventKind::Visibility &&
                 e.element == StatusElement::DateCodeNote && e.flag;
  }
  EXPECT_TRUE(noteShown);
  EXPECT_EQ(host.Element(StatusElement::PercentText).text, "100%");
  EXPECT_EQ(host.ProgressPosition(), 12725);
  EXPECT_TRUE(host.Questions().empty());
  ExpectIdleAndClosed(bench);

  // What crossed the wire: the control head's erase at 4800, a second of pumped waiting, the
  // security bytes and the talk-through at 9600, the core sequence, then the control head's
  // sequence without a second erase command.
  const std::vector<WireEvent> pc = bench.PcEvents();
  const int controlErase = bench.Find(kControlHeadErase);
  ASSERT_GE(controlErase, 0);
  EXPECT_EQ(pc[controlErase].baud, 4800u);
  ExpectSecurityBytesAt(pc, controlErase + 1);
  EXPECT_GE(pc[controlErase + 1].time - pc[controlErase].time, Millis(1000));
  const int talkThrough = controlErase + 9;
  EXPECT_EQ(pc[talkThrough].bytes, (Bytes{0x49}));
  EXPECT_EQ(pc[talkThrough + 1].bytes, (Bytes{0x01}));
  EXPECT_EQ(pc[talkThrough + 2].bytes, (Bytes{0x00}));
  const int talkThroughRun = talkThrough + 329 - 1;
  EXPECT_EQ(pc[talkThroughRun].bytes, (Bytes{0x28}));

  const int coreErase = bench.Find(kCoreErase);
  ASSERT_EQ(coreErase, talkThroughRun + 9);
  ExpectSecurityBytesAt(pc, talkThroughRun + 1);
  EXPECT_EQ(pc[coreErase].baud, 38400u);
  ExpectSecurityBytesAt(pc, coreErase + 1);
  EXPECT_GE(pc[coreErase + 1].time - pc[coreErase].time, Millis(1000));
  const int coreClosing = bench.Find(kClosingPacket, coreErase);
  ASSERT_GT(coreClosing, 0);
  ASSERT_EQ(pc[coreClosing + 1].kind, WireKind::BreakOn);
  ASSERT_EQ(pc[coreClosing + 2].kind, WireKind::BreakOff);
  EXPECT_EQ(pc[coreClosing + 2].time - pc[coreClosing + 1].time, Millis(500));
  ExpectSecurityBytesAt(pc, coreClosing + 3);
  EXPECT_EQ(pc[coreClosing + 11].bytes, (Bytes{0x49}));
  const int controlClosing = bench.Find(kClosingPacket, coreClosing + 1);
  ASSERT_GT(controlClosing, 0);
  EXPECT_EQ(controlClosing, static_cast<int>(pc.size()) - 1);
  EXPECT_EQ(bench.Count(kControlHeadErase), 1);
  EXPECT_EQ(bench.Count(kCoreErase), 1);

  // What the radio ended with.
  EXPECT_EQ(bench.FlashOf(UnitId::Core), test::FlashAfterWriting(kCoreFirmwareResource));
  EXPECT_EQ(bench.FlashOf(UnitId::ControlHead),
            test::FlashAfterWriting(kControlHeadFirmwareResource));
  EXPECT_EQ(bench.radio.State(UnitId::Core), UnitState::NormalFirmware);
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::NormalFirmware);
  EXPECT_EQ(bench.radio.ReportedDateCode(UnitId::Core), kCoreStandInDateCode);
  EXPECT_EQ(bench.radio.ReportedDateCode(UnitId::ControlHead), kControlHeadStandInDateCode);

  // How long it took on the radio's clock.
  const auto coreLoader = coreErase + 9, controlLoader = coreClosing + 11;
  const auto firstPacket = [&](int from) {
    for (int i = from; i < static_cast<int>(pc.size()); ++i) {
      if (pc[i].bytes.size() > 5 && pc[i].bytes[0] == 0x02) return i;
    }
    return -1;
  };
  const int corePackets = firstPacket(coreLoader), controlPackets = firstPacket(controlLoader);
  std::cout << "simulated run " << Seconds(pc.back().time - pc.front().time) << " s; talk-through "
            << Seconds(pc[talkThroughRun].time - pc[talkThrough].time) << " s; core loader "
            << Seconds(pc[corePackets].time - pc[coreLoader].time) << " s (with reply); core image "
            << Seconds(pc[coreClosing].time - pc[corePackets].time) << " s; control loader "
            << Seconds(pc[controlPackets].time - pc[controlLoader].time)
            << " s (with reply); control image "
            << Seconds(pc[controlClosing].time - pc[controlPackets].time) << " s\n";

  // A second run finds the new firmware and patches nothing.
  const std::size_t before = bench.host.Messages().size();
  EXPECT_EQ(bench.Run(), PatchOutcome::NotRequired);
  ASSERT_EQ(bench.host.Messages().size(), before + 1);
  EXPECT_EQ(bench.host.Messages().back().text,
            "Core " + DateCodeText("Core", kCoreStandInDateCode) + "\nCntl " +
                DateCodeText("Control", kControlHeadStandInDateCode) +
                "\nPatch not required for this radio.");
  EXPECT_EQ(bench.host.Messages().back().caption, "TAV Patch");
  EXPECT_EQ(bench.PcEvents().back().bytes, (Bytes{0x01}));
}

TEST(PatchRun, OnlyTheCoreIsPassedThroughTheControlHead) {
  RadioSetup setup;
  setup.controlHead.dateCode = kControlHeadStandInDateCode;  // already patched
  RadioBench bench(setup);
  const Bytes controlFlash = bench.FlashOf(UnitId::ControlHead);
  EXPECT_EQ(bench.Run(), PatchOutcome::Completed);
  ExpectOneMessage(bench, "Flash Write complete.", "Sorel Radio", MessageIcon::Information);

  const std::vector<WireEvent> pc = bench.PcEvents();
  const int passThrough = bench.Find({0xF3});
  ASSERT_GE(passThrough, 0);
  EXPECT_EQ(pc[passThrough].baud, 4800u);
  EXPECT_GE(pc[passThrough + 1].time - pc[passThrough].time, Millis(50));
  ExpectSecurityBytesAt(pc, passThrough + 1);
  EXPECT_EQ(pc[passThrough + 9].bytes, kCoreErase);
  EXPECT_EQ(bench.Count(kControlHeadErase), 0);
  EXPECT_EQ(bench.host.Element(StatusElement::ControlDateText).text, "");

  EXPECT_EQ(bench.FlashOf(UnitId::Core), test::FlashAfterWriting(kCoreFirmwareResource));
  EXPECT_EQ(bench.FlashOf(UnitId::ControlHead), controlFlash);
  EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::NormalFirmware);
  EXPECT_EQ(bench.radio.ReportedDateCode(UnitId::Core), kCoreStandInDateCode);
  ExpectIdleAndClosed(bench);
}

TEST(PatchRun, OnlyTheControlHeadErasesItselfInItsOwnSequence) {
  RadioSetup setup;
  setup.core.dateCode = kCoreStandInDateCode;  // already patched
  RadioBench bench(setup);
  const Bytes coreFlash = bench.FlashOf(UnitId::Core);
  EXPECT_EQ(bench.Run(), PatchOutcome::Completed);
  ExpectOneMessage(bench, "Flash Write complete.", "Sorel Radio", MessageIcon::Information);
  EXPECT_EQ(NonEmpty(bench.host.TextsOf(StatusElement::StatusLine)),
            (std::vector<std::string>{"Erasing Control Head Program", "Writing to RAM",
                                      "Writing Control Head Program"}));

  const std::vector<WireEvent> pc = bench.PcEvents();
  const int erase = bench.Find(kControlHeadErase);
  ASSERT_GE(erase, 0);
  EXPECT_EQ(pc[erase].baud, 4800u);
  ExpectSecurityBytesAt(pc, erase + 1);
  EXPECT_GE(pc[erase + 1].time - pc[erase].time, Millis(1000));
  for (const WireEvent& e : pc) {
    EXPECT_FALSE(e.baud == 4800 && e.bytes == Bytes{0xF3}) << "pass-through requested";
  }
  EXPECT_EQ(bench.Count(kCoreErase), 0);

  EXPECT_EQ(bench.FlashOf(UnitId::ControlHead),
            test::FlashAfterWriting(kControlHeadFirmwareResource));
  EXPECT_EQ(bench.FlashOf(UnitId::Core), coreFlash);
  EXPECT_EQ(bench.radio.ReportedDateCode(UnitId::ControlHead), kControlHeadStandInDateCode);
  ExpectIdleAndClosed(bench);
}

TEST(PatchRun, NeitherUnitEligibleReleasesTheControlHead) {
  RadioSetup setup;
  setup.controlHead.dateCode = kControlHeadStandInDateCode;
  setup.core.dateCode = kCoreStandInDateCode;
  RadioBench bench(setup);
  const Bytes coreFlash = bench.FlashOf(UnitId::Core);
  const Bytes controlFlash = bench.FlashOf(UnitId::ControlHead);
  EXPECT_EQ(bench.Run(), PatchOutcome::NotRequired);
  ExpectOneMessage(bench,
                   "Core " + DateCodeText("Core", kCoreStandInDateCode) + "\nCntl " +
                       DateCodeText("Control", kControlHeadStandInDateCode) +
                       "\nPatch not required for this radio.",
                   "TAV Patch", MessageIcon::Information);
  EXPECT_EQ(bench.PcEvents().back().bytes, (Bytes{0x01}));
  EXPECT_EQ(bench.FlashOf(UnitId::Core), coreFlash);
  EXPECT_EQ(bench.FlashOf(UnitId::ControlHead), controlFlash);
  ExpectIdleAndClosed(bench);
}

TEST(PatchRun, UnreadableCoreCodeIsAskedFor) {
  const struct {
    int coreAnswer;
    PatchOutcome outcome;
  } cases[] = {
      {1, PatchOutcome::NotRequired}, {2, PatchOutcome::NotRequired}, {0, PatchOutcome::Completed}};
  for (const auto& c : cases) {
    RadioSetup setup;
    setup.core.dateCodeReplyBytes = 0;
    setup.controlHead.dateCode = kControlHeadStandInDateCode;
    RadioBench bench(setup);
    bench.host.AnswerDateCode(DateCodeQuestion::Core, c.coreAnswer);
    EXPECT_EQ(bench.Run(), c.outcome) << c.coreAnswer;
    EXPECT_EQ(bench.host.Questions(), std::vector<DateCodeQuestion>{DateCodeQuestion::Core});
    if (c.outcome == PatchOutcome::NotRequired) {
      EXPECT_EQ(bench.MessageTexts(),
                std::vector<std::string>{"Core \nCntl " +
                                         DateCodeText("Control", kControlHeadStandInDateCode) +
                                         "\nPatch not required for this radio."});
      EXPECT_EQ(bench.Count(kCoreErase), 0);
    } else {
      EXPECT_EQ(bench.FlashOf(UnitId::Core), test::FlashAfterWriting(kCoreFirmwareResource));
    }
  }
}

TEST(PatchRun, ControlHeadCodeWithAZeroByteIsAskedFor) {
  RadioSetup setup;
  setup.controlHead.dateCode = 0x0049F02A;  // 7/16/2001 9:08:00: b3 is zero and never arrives
  setup.core.dateCode = kCoreStandInDateCode;
  RadioBench bench(setup);
  bench.host.AnswerDateCode(DateCodeQuestion::ControlHead, 0);
  EXPECT_EQ(bench.Run(), PatchOutcome::Completed);
  EXPECT_EQ(bench.host.Questions(), std::vector<DateCodeQuestion>{DateCodeQuestion::ControlHead});
  EXPECT_EQ(bench.FlashOf(UnitId::ControlHead),
            test::FlashAfterWriting(kControlHeadFirmwareResource));
  EXPECT_EQ(bench.Count(kCoreErase), 0);
}

TEST(PatchRun, ShortCoreAnswerCountsAsRead) {
  RadioSetup setup;
  setup.core.dateCodeReplyBytes = 2;
  RadioBench bench(setup);
  EXPECT_EQ(bench.Run(), PatchOutcome::Completed);
  // The core's code came short, so it is not in its list; no dialog opens for it.
  EXPECT_TRUE(bench.host.Questions().empty());
  EXPECT_EQ(bench.Count(kCoreErase), 0);
  EXPECT_EQ(bench.radio.ReportedDateCode(UnitId::ControlHead), kControlHeadStandInDateCode);
}

TEST(PatchRun, ForeignRadioIsRefused) {
  RadioSetup setup;
  setup.foreignProbeAnswer = 0x41;
  RadioBench bench(setup);
  EXPECT_EQ(bench.Run(), PatchOutcome::ForeignRadio);
  ExpectOneMessage(bench, "This program only works with TAV radios.", "Sorel Radio",
                   MessageIcon::Information);
  EXPECT_EQ(bench.PcEvents().back().bytes, (Bytes{0x01}));
  ExpectIdleAndClosed(bench);
}

TEST(PatchRun, NoAnswerAsksForBothCodesThroughTheTalkThrough) {
  // A control head whose question is cancelled (1) or whose code is not compatible (2) is
  // left in its monitor without a program: never a success message.
  const std::string kNoProgram =
      "The control head has no working program and was not patched.\nRun the patch again and "
      "enter its date code, or contact Sorel customer service.";
  const struct {
    int coreAnswer, controlAnswer;
    PatchOutcome outcome;
    bool coreFlashed, controlFlashed;
    std::string message;
  } cases[] = {
      {0, 0, PatchOutcome::Completed, true, true, "Flash Write complete."},
      {0, 1, PatchOutcome::Failed, true, false, kNoProgram},
      {0, 2, PatchOutcome::Failed, true, false, kNoProgram},
      {1, 0, PatchOutcome::Completed, false, true, "Flash Write complete."},
      {2, 1, PatchOutcome::Failed, false, false, kNoProgram},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.coreAnswer << c.controlAnswer);
    RadioSetup setup;
    setup.controlHeadInMonitor = true;
    RadioBench bench(setup);
    bench.host.AnswerDateCode(DateCodeQuestion::Core, c.coreAnswer);
    bench.host.AnswerDateCode(DateCodeQuestion::ControlHead, c.controlAnswer);
    EXPECT_EQ(bench.Run(), c.outcome);
    EXPECT_EQ(bench.host.Questions(), (std::vector<DateCodeQuestion>{
                                          DateCodeQuestion::Core, DateCodeQuestion::ControlHead}));
    ASSERT_EQ(bench.MessageTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(bench.host.Messages()[0].caption, "Sorel Radio");
    EXPECT_EQ(bench.host.Messages()[0].icon,
              c.controlFlashed ? MessageIcon::Information : MessageIcon::Warning);
    EXPECT_EQ(bench.report.control.leftErased, !c.controlFlashed);

    // The talk-through goes in at 9600 baud right after the probe; no second security code.
    const std::vector<WireEvent> pc = bench.PcEvents();
    const int probeEnd = bench.Find({0x00, 0x0A, 0x14, 0x28}) + 5;
    EXPECT_EQ(pc[probeEnd].bytes, (Bytes{0x49}));
    EXPECT_EQ(pc[probeEnd].baud, 9600u);
    EXPECT_EQ(bench.Count(kControlHeadErase), 0);
    EXPECT_EQ(bench.host.Element(StatusElement::CoreDateText).text, "");
    bool noteShown = false;
    for (const auto& e : bench.host.Events()) {
      noteShown |= e.element == StatusElement::DateCodeNote && e.flag;
    }
    EXPECT_FALSE(noteShown);

    // Without the core, a 500 ms break ends the relay before anything else.
    const int talkThroughRun = probeEnd + 328;
    if (!c.coreFlashed) {
      ASSERT_EQ(pc[talkThroughRun + 1].kind, WireKind::BreakOn);
      EXPECT_EQ(pc[talkThroughRun + 2].time - pc[talkThroughRun + 1].time, Millis(500));
    }
    if (c.coreFlashed) {
      EXPECT_EQ(bench.FlashOf(UnitId::Core), test::FlashAfterWriting(kCoreFirmwareResource));
    }
    if (c.controlFlashed) {
      EXPECT_EQ(bench.FlashOf(UnitId::ControlHead),
                test::FlashAfterWriting(kControlHeadFirmwareResource));
      EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::NormalFirmware);
    }
    ExpectIdleAndClosed(bench);
  }
}

TEST(PatchRun, NothingConnectedCannotBeContacted) {
  RadioSetup setup;
  setup.nothingConnected = true;
  RadioBench bench(setup);
  EXPECT_EQ(bench.Run(), PatchOutcome::NoContact);
  ExpectOneMessage(bench, "Unable to contact radio.", "Sorel Radio", MessageIcon::Warning);
  EXPECT_TRUE(bench.host.Questions().empty());
  ExpectIdleAndClosed(bench);
}

TEST(PatchRun, PortThatCannotBeOpenedLeavesTheWindowIdle) {
  RadioSetup setup;
  setup.portMissing = true;
  RadioBench bench(setup);
  EXPECT_EQ(bench.Run(), PatchOutcome::PortNotOpened);
  EXPECT_EQ(bench.MessageTexts(),
            std::vector<std::string>{"Unable to open COM1\nPort unavailable."});
  for (const auto& e : bench.host.Events()) EXPECT_NE(e.kind, ScriptedHost::EventKind::Text);
  EXPECT_TRUE(bench.radio.WireEvents().empty());
}

}  // namespace
}  // namespace tav
