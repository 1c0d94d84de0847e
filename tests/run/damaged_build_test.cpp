// Builds with a damaged resource: each of the five missing, and each cut short, on every path.
// The run must not crash, must not claim success, and must say what happened; the table also
// records which unit a damaged build leaves without its firmware.

#include <gtest/gtest.h>

#include "image/stand_in_date_codes.h"
#include "radio_bench.h"
#include "run/typed_date_code.h"

namespace tav {
namespace {

using test::RadioBench;

enum class Damage { Missing, CutShort };

// The built-in resources with one of them missing, or holding only the first half of its text
// (no S9 record, the last record likely broken).
MapResourceSource Damaged(std::uint16_t resource, Damage damage) {
  MapResourceSource resources = test::ResourcesWithout(resource);
  if (damage == Damage::CutShort) {
    const auto text = *BuiltInResources().FindS19(resource);
    resources.Set(resource, text.first(text.size() / 2));
  }
  return resources;
}

std::string WhatItSays(std::uint16_t resource, Damage damage) {
  switch (resource) {
    case kTalkThroughResource:
      return "Unable to open TALKTHRU.S19";
    case kCoreLoaderResource:
      return "Unable to open CORFLASH.S19";
    case kControlHeadLoaderResource:
      return "Unable to open CTLFLASH.S19";
    default:
      return damage == Damage::Missing ? "Unable to load resource" : "Invalid hex file";
  }
}

RadioSetup PathSetup(const std::string& path) {
  RadioSetup setup;
  if (path == "core only") setup.controlHead.dateCode = kControlHeadStandInDateCode;
  if (path == "control only") setup.core.dateCode = kCoreStandInDateCode;
  if (path == "no answer") setup.controlHeadInMonitor = true;
  return setup;
}

// What a damaged build leaves without firmware; NotKnownErased: the control head stays erased,
// as it was found, but the run never made contact and cannot tell it from an empty port.
enum Left { None, ControlHeadErased, NotKnownErased };

TEST(DamagedBuild, NoCrashNoSuccessAndTheMessageSaysWhatHappened) {
  const struct {
    std::string path;
    std::uint16_t resource;
    bool needed;  // the path loads this resource
    // The control head is erased before the talk-through relay is loaded, and before the core
    // is written on the both-units paths: a build whose talk-through, control-head loader or
    // control-head firmware is damaged leaves it erased. The core is never erased by a damaged
    // build: its loader and firmware load before its erase command.
    Left left;
  } cases[] = {
      {"both", kTalkThroughResource, true, ControlHeadErased},
      {"both", kCoreLoaderResource, true, None},
      {"both", kCoreFirmwareResource, true, None},
      {"both", kControlHeadLoaderResource, true, ControlHeadErased},
      {"both", kControlHeadFirmwareResource, true, ControlHeadErased},
      {"core only", kTalkThroughResource, false, None},
      {"core only", kCoreLoaderResource, true, None},
      {"core only", kCoreFirmwareResource, true, None},
      {"core only", kControlHeadLoaderResource, false, None},
      {"core only", kControlHeadFirmwareResource, false, None},
      {"control only", kTalkThroughResource, false, None},
      {"control only", kCoreLoaderResource, false, None},
      {"control only", kCoreFirmwareResource, false, None},
      {"control only", kControlHeadLoaderResource, true, None},
      {"control only", kControlHeadFirmwareResource, true, None},
      // The control head was found erased: it stays so unless its own image goes in.
      {"no answer", kTalkThroughResource, true, NotKnownErased},
      {"no answer", kCoreLoaderResource, true, None},
      {"no answer", kCoreFirmwareResource, true, None},
      {"no answer", kControlHeadLoaderResource, true, ControlHeadErased},
      {"no answer", kControlHeadFirmwareResource, true, ControlHeadErased},
  };
  for (const auto& c : cases) {
    for (Damage damage : {Damage::Missing, Damage::CutShort}) {
      SCOPED_TRACE(c.path + ", resource " + std::to_string(c.resource) +
                   (damage == Damage::Missing ? " missing" : " cut short"));
      RadioBench bench(PathSetup(c.path));
      for (int i = 0; i < 2; ++i) {
        bench.host.AnswerDateCode(DateCodeQuestion::Core, kDateCodeEligible);
        bench.host.AnswerDateCode(DateCodeQuestion::ControlHead, kDateCodeEligible);
      }
      const test::Bytes coreBefore = bench.FlashOf(UnitId::Core);
      const PatchOutcome outcome = bench.Run(Damaged(c.resource, damage));
      const std::vector<std::string> texts = bench.MessageTexts();
      EXPECT_FALSE(bench.link.IsOpen());
      if (!c.needed) {
        EXPECT_EQ(outcome, PatchOutcome::Completed);
        EXPECT_EQ(texts, std::vector<std::string>{"Flash Write complete."});
        continue;
      }
      EXPECT_NE(outcome, PatchOutcome::Completed);
      EXPECT_EQ(std::count(texts.begin(), texts.end(), "Flash Write complete."), 0);
      ASSERT_FALSE(texts.empty());
      EXPECT_EQ(texts[0], WhatItSays(c.resource, damage));
      EXPECT_EQ(bench.radio.State(UnitId::ControlHead) != UnitState::NormalFirmware,
                c.left != None);
      // The run's own account agrees with the radio.
      EXPECT_EQ(bench.report.control.leftErased, c.left == ControlHeadErased);
      EXPECT_FALSE(bench.report.core.leftErased);
      // The core either got its new image or kept its old firmware.
      EXPECT_EQ(bench.radio.State(UnitId::Core), UnitState::NormalFirmware);
      if (bench.Find(test::kCoreErase) < 0) {
        EXPECT_EQ(bench.FlashOf(UnitId::Core), coreBefore);
      }
    }
  }
}

}  // namespace
}  // namespace tav
