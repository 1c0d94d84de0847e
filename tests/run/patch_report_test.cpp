// What a run reports per unit once it has ended: the codes it showed, what it did to each unit
// and which units it left without a program.

#include <gtest/gtest.h>

#include "image/stand_in_date_codes.h"
#include "radio_bench.h"

namespace tav {
namespace {

using test::RadioBench;

const std::string kCoreText = "Core Date Code = 12/15/2000  11:55:38";
const std::string kControlText = "Control Date Code = 7/16/2001  9:09:08";

// The moment a reference run (of the default radio) sends its nth flash packet to the core.
Micros CorePacketTime(int packet) {
  RadioBench reference;
  reference.Run();
  int seen = 0;
  for (const WireEvent& e : reference.PcEvents()) {
    if (e.bytes.size() > 5 && e.bytes[0] == 0x02 && ++seen == packet) return e.time;
  }
  ADD_FAILURE() << "no packet " << packet;
  return Micros(0);
}

UnitReport Unit(const std::string& codeText, UnitWork work, bool leftErased) {
  return {
      .codeText = codeText, .codeRead = !codeText.empty(), .work = work, .leftErased = leftErased};
}

TEST(PatchReport, TellsPerUnitWhatTheRunKnewAndDid) {
  const UnitReport corePatched = Unit(kCoreText, UnitWork::Patched, false);
  const UnitReport controlPatched = Unit(kControlText, UnitWork::Patched, false);
  RadioSetup upToDate;
  upToDate.core.dateCode = kCoreStandInDateCode;
  upToDate.controlHead.dateCode = kControlHeadStandInDateCode;
  RadioSetup coreLockOut;
  coreLockOut.core.securityLockOut = true;
  RadioSetup inMonitor;
  inMonitor.controlHeadInMonitor = true;
  constexpr std::uint16_t kNothingMissing = 0xFFFF;
  constexpr Micros kNoClose = Micros::max();
  const struct {
    const char* name;
    RadioSetup setup;
    std::uint16_t missingResource;
    Micros closeAt;
    PatchOutcome outcome;
    UnitReport core, control;
  } cases[] = {
      {"both units patched",
       {},
       kNothingMissing,
       kNoClose,
       PatchOutcome::Completed,
       corePatched,
       controlPatched},
      {"neither needs the patch", upToDate, kNothingMissing, kNoClose, PatchOutcome::NotRequired,
       Unit("Core Date Code = 2/20/2002  14:37:46", UnitWork::NotRequired, false),
       Unit("Control Date Code = 3/14/2002  10:21:34", UnitWork::NotRequired, false)},
      {"core locked out after its erase", coreLockOut, kNothingMissing, kNoClose,
       PatchOutcome::Failed, Unit(kCoreText, UnitWork::Failed, true), controlPatched},
      {"core image missing: the core is never erased",
       {},
       kCoreFirmwareResource,
       kNoClose,
       PatchOutcome::Failed,
       Unit(kCoreText, UnitWork::Failed, false),
       controlPatched},
      {"relay missing after the control head's erase",
       {},
       kTalkThroughResource,
       kNoClose,
       PatchOutcome::NoContact,
       Unit(kCoreText, UnitWork::Skipped, false),
       Unit(kControlText, UnitWork::Skipped, true)},
      {"stopped during the core's image",
       {},
       kNothingMissing,
       CorePacketTime(20),
       PatchOutcome::Stopped,
       Unit(kCoreText, UnitWork::Failed, true),
       Unit(kControlText, UnitWork::Failed, true)},
      {"control head in its monitor, both typed in", inMonitor, kNothingMissing, kNoClose,
       PatchOutcome::Completed, Unit("", UnitWork::Patched, false),
       Unit("", UnitWork::Patched, false)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RadioBench bench(c.setup);
    bench.host.AnswerDateCode(DateCodeQuestion::Core, 0);
    bench.host.AnswerDateCode(DateCodeQuestion::ControlHead, 0);
    bench.host.CloseAtTime(c.closeAt);
    EXPECT_EQ(bench.Run(test::ResourcesWithout(c.missingResource)), c.outcome);
    EXPECT_EQ(bench.report.core, c.core);
    EXPECT_EQ(bench.report.control, c.control);
  }
}

}  // namespace
}  // namespace tav
