// tavpatch-sweep: cuts patch runs against the simulated radio at every point where the program
// sends or waits, in every way, plays the technician's recovery and counts how each ended.
//
//   tavpatch-sweep [--every N] [--jobs J] [--summary FILE] [--cases FILE] [--windows]
//
// --every N keeps every Nth cut point of each path (1, the default, is all of them); --jobs J
// shares the cases among J threads (default 2). The summary is printed and written to FILE as
// CSV, every case to --cases FILE. --windows also measures, for each unit and erase order, how
// long the windows are in which a power failure leaves the unit running garbage. The firmware's
// erase order is swept both ways for power losses, the only cut that can fall into that erase; the
// other ways use one order. Exit status 1 when a run broke a rule ("Flash Write complete." over a
// wrong flash, an erase command after a stop request), 2 on a bad option, else 0.

#include <atomic>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "image/built_in_resources.h"
#include "sweep/sweep_report.h"

namespace {

using namespace tav;
using namespace tav::sweep;

struct Options {
  std::size_t every = 1;
  unsigned jobs = 2;
  std::string summaryFile;
  std::string casesFile;
  bool windows = false;
};

bool ParseCount(std::string_view text, std::size_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value > 0;
}

bool Parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--windows") {
      options.windows = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const std::string_view value = argv[++i];
    std::size_t count = 0;
    if (option == "--every" && ParseCount(value, count)) {
      options.every = count;
    } else if (option == "--jobs" && ParseCount(value, count)) {
      options.jobs = static_cast<unsigned>(count);
    } else if (option == "--summary") {
      options.summaryFile = value;
    } else if (option == "--cases") {
      options.casesFile = value;
    } else {
      return false;
    }
  }
  return true;
}

// Every case to try, its step as recorded in the uncut run.
std::vector<CaseRow> PlanCases(std::size_t every) {
  std::vector<CaseRow> rows;
  for (EraseOrder order : {EraseOrder::VectorsLast, EraseOrder::VectorsFirst}) {
    for (SweepPath path : kAllPaths) {
      const std::vector<Step> steps = RecordSteps(BuiltInResources(), path, order);
      for (const CutPoint& point : CutPointsOf(steps, every)) {
        for (CutWay way : kAllWays) {
          if (order == EraseOrder::VectorsFirst && way != CutWay::PowerLoss) continue;
          rows.push_back(CaseRow{order, path, way, point, steps[point.step], {}});
        }
      }
    }
  }
  return rows;
}

void RunAll(std::vector<CaseRow>& rows, unsigned jobs) {
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> done{0};
  const auto work = [&] {
    for (std::size_t i = next++; i < rows.size(); i = next++) {
      CaseRow& row = rows[i];
      row.result = RunCase(BuiltInResources(), row.path, row.order, row.point, row.way);
      const std::size_t finished = ++done;
      if (finished % 1000 == 0) std::fprintf(stderr, "%zu of %zu cases\n", finished, rows.size());
    }
  };
  std::vector<std::thread> threads;
  for (unsigned j = 1; j < jobs; ++j) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: tavpatch-sweep [--every N] [--jobs J] [--summary FILE] [--cases FILE] "
                 "[--windows]\n");
    return 2;
  }
  std::vector<CaseRow> rows = PlanCases(options.every);
  std::fprintf(stderr, "%zu cases\n", rows.size());
  RunAll(rows, options.jobs);

  const auto tallies = TallyByGroup(rows);
  WriteSummaryCsv(std::cout, tallies);
  if (!options.summaryFile.empty()) {
    std::ofstream file(options.summaryFile);
    WriteSummaryCsv(file, tallies);
  }
  if (!options.casesFile.empty()) {
    std::ofstream file(options.casesFile);
    WriteCasesCsv(file, rows);
  }
  for (UnitId unit : {UnitId::ControlHead, UnitId::Core}) {
    if (!options.windows) break;
    for (EraseOrder order : {EraseOrder::VectorsLast, EraseOrder::VectorsFirst}) {
      const GarbageWindows windows = MeasureGarbageWindows(BuiltInResources(), unit, order);
      std::printf(
          "%s, firmware erasing %s: a power loss leaves it running garbage for %lld ms of "
          "its own erase and %lld us of its last row\n",
          unit == UnitId::Core ? "core" : "control head", EraseOrderName(order),
          static_cast<long long>(windows.duringOwnErase.count() / 1000),
          static_cast<long long>(windows.duringLastRow.count()));
    }
  }
  int broken = 0;
  for (const CaseRow& row : rows) {
    for (const std::string& violation : row.result.violations) {
      if (++broken <= 20) {
        std::fprintf(stderr, "rule broken: %s, %s, %s, step %zu +%lld us: %s\n",
                     EraseOrderName(row.order), PathName(row.path), WayName(row.way),
                     row.point.step, static_cast<long long>(row.point.offset.count()),
                     violation.c_str());
      }
    }
  }
  return broken > 0 ? 1 : 0;
}
