#include "sweep/sweep_report.h"

namespace tav::sweep {
namespace {

// A CSV field: quoted, with inner quotes doubled and line breaks shown as "\n".
std::string Field(const std::string& text) {
  std::string field = "\"";
  for (char c : text) {
    if (c == '"') {
      field += "\"\"";
    } else if (c == '\n') {
      field += "\\n";
    } else {
      field += c;
    }
  }
  return field + "\"";
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty()) text += separator;
    text += part;
  }
  return text;
}

}  // namespace

std::string GroupOf(const CaseRow& row) {
  return std::string(EraseOrderName(row.order)) + "," + PathName(row.path) + "," + WayName(row.way);
}

std::map<std::string, Tally> TallyByGroup(const std::vector<CaseRow>& rows) {
  std::map<std::string, Tally> tallies;
  for (const CaseRow& row : rows) {
    Tally& tally = tallies[GroupOf(row)];
    ++tally.tried;
    switch (row.result.finish) {
      case Finish::CutRun:
        ++tally.byCutRun;
        break;
      case Finish::FirstRerun:
        ++tally.byFirstRerun;
        break;
      case Finish::SecondRerun:
        ++tally.bySecondRerun;
        break;
      case Finish::Never:
        ++tally.notRecovered;
        ++tally.reasons[row.result.reason + " after: " + row.result.endings.back()];
        break;
    }
    tally.neededOriginalCodes += row.result.neededOriginalCodes;
    tally.ruleBreaks += !row.result.violations.empty();
  }
  return tallies;
}

void WriteCasesCsv(std::ostream& out, const std::vector<CaseRow>& rows) {
  out << "erase order,path,way,step,step kind,cut offset us,cut time us,finished by,"
         "needed original codes,endings,reason,broken rules\n";
  for (const CaseRow& row : rows) {
    out << GroupOf(row) << ',' << row.point.step << ',' << StepName(row.step.kind) << ','
        << row.point.offset.count() << ',' << (row.step.start + row.point.offset).count() << ','
        << FinishName(row.result.finish) << ',' << (row.result.neededOriginalCodes ? "yes" : "no")
        << ',' << Field(Joined(row.result.endings, " / ")) << ',' << Field(row.result.reason) << ','
        << Field(Joined(row.result.violations, "; ")) << '\n';
  }
}

void WriteSummaryCsv(std::ostream& out, const std::map<std::string, Tally>& tallies) {
  out << "erase order,path,way,tried,finished by cut run,recovered by first rerun,"
         "recovered by second rerun,not recovered,needed original codes,runs breaking a rule,"
         "reasons not recovered\n";
  for (const auto& [group, tally] : tallies) {
    std::vector<std::string> reasons;
    for (const auto& [reason, count] : tally.reasons) {
      reasons.push_back(std::to_string(count) + "x " + reason);
    }
    out << group << ',' << tally.tried << ',' << tally.byCutRun << ',' << tally.byFirstRerun << ','
        << tally.bySecondRerun << ',' << tally.notRecovered << ',' << tally.neededOriginalCodes
        << ',' << tally.ruleBreaks << ',' << Field(Joined(reasons, " | ")) << '\n';
  }
}

}  // namespace tav::sweep
