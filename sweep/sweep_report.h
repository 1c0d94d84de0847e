#pragma once
// The sweep's figures: one row per case, and per erase order, path and way the count of cases
// tried, finished by the cut run itself, by the first rerun, by the second (after a power
// cycle), not recovered (with their reasons), those that needed a date code the cut run had not
// shown, and the broken rules. Both as CSV.

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "sweep/interruption_case.h"

namespace tav::sweep {

struct CaseRow {
  EraseOrder order = EraseOrder::VectorsLast;
  SweepPath path = SweepPath::BothUnits;
  CutWay way = CutWay::PowerLoss;
  CutPoint point;
  Step step;
  CaseResult result;
};

struct Tally {
  int tried = 0;
  int byCutRun = 0;
  int byFirstRerun = 0;
  int bySecondRerun = 0;
  int notRecovered = 0;
  int neededOriginalCodes = 0;
  int ruleBreaks = 0;
  std::map<std::string, int> reasons;
};

std::map<std::string, Tally> TallyByGroup(const std::vector<CaseRow>& rows);
// The group key a row is tallied under: "erase order,path,way".
std::string GroupOf(const CaseRow& row);

void WriteCasesCsv(std::ostream& out, const std::vector<CaseRow>& rows);
void WriteSummaryCsv(std::ostream& out, const std::map<std::string, Tally>& tallies);

}  // namespace tav::sweep
