// A stop the technician asked for before an erase command keeps that unit's program: the
// request is let through by one pump pass right before each erase, and the run winds down.

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "image/stand_in_date_codes.h"
#include "radio_bench.h"

namespace tav {
namespace {

using test::Bytes;
using test::kControlHeadErase;
using test::kCoreErase;
using test::RadioBench;
using test::TimeOf;

// The PC's events as text: "F3@4800" for bytes, "break 500ms" for a break.
std::vector<std::string> Described(const std::vector<WireEvent>& pc, std::size_t from) {
  std::vector<std::string> described;
  for (std::size_t i = from; i < pc.size(); ++i) {
    if (pc[i].kind == WireKind::BreakOn && i + 1 < pc.size()) {
      const auto ms = std::chrono::duration_cast<Millis>(pc[i + 1].time - pc[i].time).count();
      described.push_back("break " + std::to_string(ms) + "ms");
      ++i;
      continue;
    }
    std::string text;
    for (std::uint8_t byte : pc[i].bytes) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%s%02X", text.empty() ? "" : " ", byte);
      text += hex;
    }
    described.push_back(text + "@" + std::to_string(pc[i].baud));
  }
  return described;
}

// Where two runs' PC events first differ.
std::size_t FirstDifference(const std::vector<WireEvent>& a, const std::vector<WireEvent>& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i].kind == b[i].kind && a[i].bytes == b[i].bytes &&
         a[i].baud == b[i].baud && a[i].time == b[i].time) {
    ++i;
  }
  return i;
}

TEST(PatchRunStops, AStopPendingBeforeAnEraseKeepsTheUnitsProgram) {
  RadioSetup coreOnly;
  coreOnly.controlHead.dateCode = kControlHeadStandInDateCode;
  RadioSetup controlOnly;
  controlOnly.core.dateCode = kCoreStandInDateCode;
  const std::vector<std::string> securityBytes(8, "FF@9600");
  std::vector<std::string> breakThenSecurityBytes = {"break 500ms"};
  breakThenSecurityBytes.insert(breakThenSecurityBytes.end(), securityBytes.begin(),
                                securityBytes.end());
  const struct {
    const char* name;
    RadioSetup setup;
    Micros closeAt;  // no pump runs between this moment and the erase's step
    // What the PC still sends from the first event that differs from an unstopped run.
    std::vector<std::string> rest;
    bool controlHeadErasedBefore;
  } cases[] = {
      // Right after the date code queries: the radio is released as when nothing is patched.
      {"both units, before the control head's erase",
       {},
       TimeOf(kControlHeadErase) - Millis(1),
       {"01@4800"},
       false},
      // The pass-through byte went out: only the core sequence's closing break follows.
      {"only the core, before its erase",
       coreOnly,
       TimeOf({0xF3}, coreOnly),
       {"break 500ms"},
       false},
      // During the relay's download: the core's break, then the control head's sequence
      // stops after its security bytes as on any stop.
      {"both units, before the core's erase",
       {},
       TimeOf(kCoreErase) - Millis(500),
       breakThenSecurityBytes,
       true},
      {"only the control head, before its own erase",
       controlOnly,
       TimeOf(kControlHeadErase, controlOnly) - Millis(1),
       {},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RadioBench reference(c.setup);
    reference.Run();
    RadioBench bench(c.setup);
    const Bytes coreFlash = bench.FlashOf(UnitId::Core);
    const Bytes controlFlash = bench.FlashOf(UnitId::ControlHead);
    bench.host.CloseAtTime(c.closeAt);
    EXPECT_EQ(bench.Run(), PatchOutcome::Stopped);

    const std::vector<WireEvent> pc = bench.PcEvents();
    EXPECT_EQ(Described(pc, FirstDifference(pc, reference.PcEvents())), c.rest);
    EXPECT_EQ(bench.Count(kCoreErase), 0);
    EXPECT_EQ(bench.Count(kControlHeadErase), c.controlHeadErasedBefore ? 1 : 0);
    EXPECT_EQ(bench.FlashOf(UnitId::Core), coreFlash);
    EXPECT_EQ(bench.radio.State(UnitId::Core), UnitState::NormalFirmware);
    if (!c.controlHeadErasedBefore) {
      EXPECT_EQ(bench.FlashOf(UnitId::ControlHead), controlFlash);
      EXPECT_EQ(bench.radio.State(UnitId::ControlHead), UnitState::NormalFirmware);
    }
    EXPECT_EQ(bench.report.control.leftErased, c.controlHeadErasedBefore);
    EXPECT_FALSE(bench.report.core.leftErased);
    // Nothing told, nothing shown of an erase.
    EXPECT_TRUE(bench.host.Messages().empty());
    for (const std::string& status : bench.host.TextsOf(StatusElement::StatusLine)) {
      EXPECT_EQ(status.find("Erasing"), std::string::npos) << status;
    }
    EXPECT_FALSE(bench.link.IsOpen());
  }
}

// When the host first showed the element (with this text, for a text).
std::optional<Micros> ShownAt(const ScriptedHost& host, StatusElement element,
                              const std::string& text = {}) {
  for (const ScriptedHost::Event& e : host.Events()) {
    if (e.element != element) continue;
    const bool shown = text.empty() ? e.kind == ScriptedHost::EventKind::Visibility && e.flag
                                    : e.kind == ScriptedHost::EventKind::Text && e.text == text;
    if (shown) return e.time;
  }
  return std::nullopt;
}

// The eight security bytes ahead of the core's erase command dispatch nothing: a stop asked
// for while they go out is still let through before the erase command.
TEST(PatchRunStops, AStopAskedForDuringTheCoresSecurityBytesKeepsTheCore) {
  for (const Millis beforeErase : {Millis(38), Millis(20), Millis(3)}) {
    SCOPED_TRACE(beforeErase.count());
    RadioBench bench;
    bench.host.CloseAtTime(TimeOf(kCoreErase) - beforeErase);
    const Bytes coreFlash = bench.FlashOf(UnitId::Core);
    bench.Run();
    EXPECT_EQ(bench.Count(kCoreErase), 0);
    EXPECT_EQ(bench.FlashOf(UnitId::Core), coreFlash);
  }
}

TEST(PatchRunStops, TheDateCodesAreOnScreenBeforeAnythingIsErased) {
  const std::string coreText = "Core Date Code = 12/15/2000  11:55:38";
  const std::string controlText = "Control Date Code = 7/16/2001  9:09:08";
  RadioSetup coreOnly;
  coreOnly.controlHead.dateCode = kControlHeadStandInDateCode;
  RadioSetup controlOnly;
  controlOnly.core.dateCode = kCoreStandInDateCode;
  const struct {
    const char* name;
    RadioSetup setup;
    Bytes firstErase;
    bool core, control;  // whose code is shown
  } cases[] = {
      {"both units", {}, kControlHeadErase, true, true},
      {"only the core", coreOnly, kCoreErase, true, false},
      {"only the control head", controlOnly, kControlHeadErase, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RadioBench bench(c.setup);
    ASSERT_EQ(bench.Run(), PatchOutcome::Completed);
    const Micros erase = bench.PcEvents()[bench.Find(c.firstErase)].time;
    const auto note = ShownAt(bench.host, StatusElement::DateCodeNote);
    ASSERT_TRUE(note);
    EXPECT_LE(*note, erase);
    const auto core = ShownAt(bench.host, StatusElement::CoreDateText, coreText);
    const auto control = ShownAt(bench.host, StatusElement::ControlDateText, controlText);
    EXPECT_EQ(core.has_value(), c.core);
    EXPECT_EQ(control.has_value(), c.control);
    EXPECT_LE(core.value_or(erase), erase);
    EXPECT_LE(control.value_or(erase), erase);
  }
}

}  // namespace
}  // namespace tav
