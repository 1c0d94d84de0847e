// bench_floor: a both-units patch run on the real clock against the simulated radio, beside
// the least time the protocol allows for each of its phases.
//
//   bench_floor [--runs N] [--smoke] [--adapter MS]
//
// Prints per phase the computed floor, the same run on simulated time, and over N real-clock
// runs (default 3) the median of wall time over floor and of CPU time over wall time.
// --smoke skips the real-clock runs. --adapter puts a USB adapter whose latency timer ticks
// every MS milliseconds into the simulated cable.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "bench/run_floor.h"
#include "bench/timed_run.h"
#include "image/built_in_resources.h"
#include "link/posix_clock.h"
#include "sim/simulated_radio.h"
#include "sim/virtual_clock.h"

namespace tav {
namespace {

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int Run(int runs, std::optional<Micros> latencyTimer) {
  const auto floor = BothUnitsFloor(BuiltInResources());
  const auto line = [latencyTimer](SimulatedRadio& radio) {
    if (latencyTimer) radio.InsertUsbAdapter(*latencyTimer);
  };
  VirtualClock virtualClock;
  const auto simulated = TimedBothUnitsRun(
      virtualClock,
      [&virtualClock] {
        return TimeMark{static_cast<double>(virtualClock.Now().count()) / 1e6, 0};
      },
      line);
  if (!simulated) {
    std::fprintf(stderr, "bench_floor: the run on simulated time did not complete\n");
    return 1;
  }

  // Per phase (and, last, in total): wall/floor and cpu/wall of each real-clock run.
  constexpr std::size_t kRows = kBothUnitsPhases.size() + 1;
  std::vector<std::vector<double>> overFloor(kRows), cpuShare(kRows);
  PosixClock clock;
  for (int run = 0; run < runs; ++run) {
    const auto real = TimedBothUnitsRun(
        clock,
        [&clock] {
          return TimeMark{static_cast<double>(clock.Now().count()) / 1e6, CpuSeconds()};
        },
        line);
    if (!real) {
      std::fprintf(stderr, "bench_floor: real-clock run %d did not complete\n", run + 1);
      return 1;
    }
    TimeMark total;
    double totalFloor = 0;
    for (std::size_t i = 0; i < real->size(); ++i) {
      overFloor[i].push_back((*real)[i].wall / floor[i]);
      cpuShare[i].push_back((*real)[i].cpu / (*real)[i].wall);
      total.wall += (*real)[i].wall;
      total.cpu += (*real)[i].cpu;
      totalFloor += floor[i];
    }
    overFloor[kRows - 1].push_back(total.wall / totalFloor);
    cpuShare[kRows - 1].push_back(total.cpu / total.wall);
    std::printf("run %d: %.3f s wall, %.3f s CPU\n", run + 1, total.wall, total.cpu);
  }

  std::printf("\n%-26s %10s %12s", "phase", "floor s", "simulated s");
  if (runs > 0) std::printf(" %12s %10s", "wall/floor", "cpu/wall");
  std::printf("\n");
  double floorTotal = 0, simulatedTotal = 0;
  for (std::size_t i = 0; i < kRows; ++i) {
    const bool last = i == kRows - 1;
    const double f = last ? floorTotal : floor[i];
    const double s = last ? simulatedTotal : (*simulated)[i].wall;
    floorTotal += last ? 0 : f;
    simulatedTotal += last ? 0 : s;
    std::printf("%-26s %10.3f %12.3f",
                last ? "total" : std::string(kBothUnitsPhases[i].name).c_str(), f, s);
    if (runs > 0) {
      std::printf(" %12.4f %9.2f%%", Median(overFloor[i]), 100 * Median(cpuShare[i]));
    }
    std::printf("\n");
  }
  if (runs > 0) std::printf("(medians of %d real-clock runs)\n", runs);
  return 0;
}

}  // namespace
}  // namespace tav

int main(int argc, char** argv) {
  int runs = 3;
  std::optional<tav::Micros> latencyTimer;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--smoke") {
      runs = 0;
    } else if (arg == "--runs" && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else if (arg == "--adapter" && i + 1 < argc) {
      latencyTimer = tav::Micros(1000 * std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: bench_floor [--runs N] [--smoke] [--adapter MS]\n");
      return 2;
    }
  }
  return tav::Run(runs, latencyTimer);
}
