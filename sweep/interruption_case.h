#pragma once
// One case of the interruption sweep: a patch run on one path, cut at one point in one way,
// then what the technician does about it, on the same simulated radio:
// - the radio loses power, or its cable is pulled: the program runs on to its end; then the
//   power comes back, or the cable goes back in;
// - the technician stops the run (closes the window, Ctrl-C): the stop request reaches the run
//   at its next message pump;
// - the program dies: it sends nothing more and its port closes; the radio keeps power.
// Then he runs the program again, answering each date code question with the code the cut run
// showed him, or, where it showed none, with the unit's original code (from its label or the
// depot's records); when that run does not finish the patch, he switches the radio off and on
// and runs the program once more.
//
// The radio is finished when both units' flash holds their image byte for byte and the last
// run ended with "Flash Write complete." or found nothing left to patch. Every run is checked
// against two rules: it never says "Flash Write complete." while a unit's flash differs from
// its image, and it sends no erase command once a stop has been requested.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/resource_source.h"
#include "sim/radio_setup.h"
#include "sweep/cut_points.h"

namespace tav::sweep {

enum class SweepPath {
  BothUnits,
  CoreOnly,
  ControlHeadOnly,
  NoAnswerBothUnits,
  NoAnswerControlHead
};
enum class CutWay { PowerLoss, CablePulled, TechnicianStops, ProgramDies };

inline constexpr SweepPath kAllPaths[] = {SweepPath::BothUnits, SweepPath::CoreOnly,
                                          SweepPath::ControlHeadOnly, SweepPath::NoAnswerBothUnits,
                                          SweepPath::NoAnswerControlHead};
inline constexpr CutWay kAllWays[] = {CutWay::PowerLoss, CutWay::CablePulled,
                                      CutWay::TechnicianStops, CutWay::ProgramDies};

const char* PathName(SweepPath path);
const char* WayName(CutWay way);
const char* EraseOrderName(EraseOrder order);

// The radio a path starts from: a unit that is not to be patched already carries the image.
RadioSetup SetupFor(SweepPath path, EraseOrder order);

// Which run finished the radio.
enum class Finish { CutRun, FirstRerun, SecondRerun, Never };
const char* FinishName(Finish finish);

struct CaseResult {
  Finish finish = Finish::Never;
  // The reruns needed a date code the cut run had not shown.
  bool neededOriginalCodes = false;
  // The last message box of each run, in order (cut run first); "-" when a run showed none.
  std::vector<std::string> endings;
  // Why the radio was not finished: the units' states and flash after the last run.
  std::string reason;
  // Broken rules, each described; empty when every run kept them.
  std::vector<std::string> violations;
};

// The steps of the path's run when nothing cuts it.
std::vector<Step> RecordSteps(const ResourceSource& resources, SweepPath path, EraseOrder order);

CaseResult RunCase(const ResourceSource& resources, SweepPath path, EraseOrder order,
                   CutPoint point, CutWay way);

// The windows in which a power failure leaves a unit running garbage: scanned over the unit's
// own erase (from its erase command, in 1 ms steps) and over the programming of its last row
// (in 10 us steps), on the path that patches that unit alone.
struct GarbageWindows {
  Micros duringOwnErase{0};
  Micros duringLastRow{0};
};
GarbageWindows MeasureGarbageWindows(const ResourceSource& resources, UnitId unit,
                                     EraseOrder order);

}  // namespace tav::sweep
