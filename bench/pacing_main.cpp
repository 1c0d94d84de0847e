// bench_pacing: what the run's own waits take on this machine's real clock, through the same
// link operations the run uses: the 5 ms pace after each single byte (as a monitor download
// sends them) and the 1000 ms wait that dispatches messages every 10 ms. The Windows program
// holds the 1 ms timer resolution for the whole of a run, and so does this.
//
//   bench_pacing [PACED_BYTES] [PUMPED_WAITS]     (defaults 400 and 5)

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench/phase_host.h"
#include "link/platform.h"
#include "link/process_state.h"
#include "link/serial_link.h"

#if defined(_WIN32)
#include "link/win32_clock.h"
#endif

namespace tav {
namespace {

struct Spread {
  double mean = 0;
  double max = 0;
};

template <typename Wait>
Spread Measure(Clock& clock, int count, Wait wait) {
  Spread spread;
  for (int i = 0; i < count; ++i) {
    const Micros start = clock.Now();
    wait();
    const double ms = static_cast<double>((clock.Now() - start).count()) / 1000;
    spread.mean += ms / count;
    spread.max = std::max(spread.max, ms);
  }
  return spread;
}

int Run(int pacedBytes, int pumpedWaits) {
#if defined(_WIN32)
  const TimerResolutionScope preciseTimers;
#endif
  Clock& clock = SystemClock();
  ProcessState state;
  PhaseHost host({}, [] { return TimeMark{}; });
  const auto opener = MakeSystemPortOpener();  // no port is opened: only the waits run
  SerialLink link(state, *opener, clock, host);

  const Spread pace = Measure(clock, pacedBytes, [&link] { link.SendImmediate(0xFF); });
  const Spread pumped = Measure(clock, pumpedWaits, [&link] { link.PumpWait(1000); });
  std::printf("5 ms pace:           mean %8.3f ms, max %8.3f ms (%d)\n", pace.mean, pace.max,
              pacedBytes);
  std::printf("1000 ms pumped wait: mean %8.3f ms, max %8.3f ms (%d)\n", pumped.mean, pumped.max,
              pumpedWaits);
  return 0;
}

}  // namespace
}  // namespace tav

int main(int argc, char** argv) {
  const int pacedBytes = argc > 1 ? std::atoi(argv[1]) : 400;
  const int pumpedWaits = argc > 2 ? std::atoi(argv[2]) : 5;
  return tav::Run(std::max(pacedBytes, 1), std::max(pumpedWaits, 1));
}
