// What a run reports per unit once it has ended: the codes it showed, what it did to each unit
// and which units it left without a program.

#include <gtest/gtest.h>

#include <functional>
#include <optional>

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

TEST(PatchReport, TellsPerUnitWhatTheRunKnewAndDid) {
  const UnitReport corePatched{kCoreText, true, UnitWork::Patched, false};
  const UnitReport controlPatched{kControlText, true, UnitWork::Patched, false};
  const struct {
    const char* name;
    std::function<void(RadioSetup&)> setup;
    std::optional<std::uint16_t> missingResource;
    std::optional<Micros> closeAt;
    PatchOutcome outcome;
    UnitReport core, control;
  } cases[] = {
      {"both units patched", {}, {}, {}, PatchOutcome::Completed, corePatched, controlPatched},
      {"neither needs the patch",
       [](RadioSetup& s) {
         s.core.dateCode = kCoreStandInDateCode;
         s.controlHead.dateCode = kControlHeadStandInDateCode;
       },
       {},
       {},
       PatchOutcome::NotRequired,
       {"Core Date Code = 2/20/2002  14:37:46", true, UnitWork::NotRequired, false},
       {"Control Date Code = 3/14/2002  10:21:34", true, UnitWork::NotRequired, false}},
      {"core locked out after its erase",
       [](RadioSetup& s) { s.core.securityLockOut = true; },
       {},
       {},
       PatchOutcome::Failed,
       {kCoreText, true, UnitWork::Failed, true},
       controlPatched},
      {"core image missing: the core is never erased",
       {},
       kCoreFirmwareResource,
       {},
       PatchOutcome::Failed,
       {kCoreText, true, UnitWork::Failed, false},
       controlPatched},
      {"relay missing after the control head's erase",
       {},
       kTalkThroughResource,
       {},
       PatchOutcome::NoContact,
       {kCoreText, true, UnitWork::Skipped, false},
       {kControlText, true, UnitWork::Skipped, true}},
      {"stopped during the core's image",
       {},
       {},
       CorePacketTime(20),
       PatchOutcome::Stopped,
       {kCoreText, true, UnitWork::Failed, true},
       {kControlText, true, UnitWork::Failed, true}},
      {"control head in its monitor, both typed in",
       [](RadioSetup& s) { s.controlHeadInMonitor = true; },
       {},
       {},
       PatchOutcome::Completed,
       {"", false, UnitWork::Patched, false},
       {"", false, UnitWork::Patched, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RadioSetup setup;
    if (c.setup) c.setup(setup);
    RadioBench bench(setup);
    bench.host.AnswerDateCode(DateCodeQuestion::Core, 0);
    bench.host.AnswerDateCode(DateCodeQuestion::ControlHead, 0);
    if (c.closeAt) bench.host.CloseAtTime(*c.closeAt);
    const MapResourceSource resources = test::ResourcesWithout(c.missingResource.value_or(0xFFFF));
    EXPECT_EQ(bench.Run(resources), c.outcome);
    EXPECT_EQ(bench.report.core, c.core);
    EXPECT_EQ(bench.report.control, c.control);
  }
}

}  // namespace
}  // namespace tav
