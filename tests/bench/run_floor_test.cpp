// The computed floor of a both-units run against the same run on simulated time: the
// simulated run takes exactly what the protocol demands, so the two agree phase by phase. A
// wait or pace that the run gains or loses, or a floor that forgets one, shows here.

#include <gtest/gtest.h>

#include "bench/run_floor.h"
#include "bench/timed_run.h"
#include "image/built_in_resources.h"
#include "sim/virtual_clock.h"

namespace tav {
namespace {

TEST(RunFloor, EachPhaseOfASimulatedRunTakesItsFloor) {
  VirtualClock clock;
  const auto times = TimedBothUnitsRun(clock, [&clock] {
    return TimeMark{static_cast<double>(clock.Now().count()) / 1e6, 0};
  });
  ASSERT_TRUE(times.has_value());
  const auto floor = BothUnitsFloor(BuiltInResources());
  double total = 0;
  for (std::size_t i = 0; i < floor.size(); ++i) {
    SCOPED_TRACE(kBothUnitsPhases[i].name);
    // The simulated line rounds each byte's time to a whole microsecond: 1042 us at 9600 baud
    // against 1041.7, 0.03 % longer.
    EXPECT_NEAR((*times)[i].wall, floor[i], 0.001 + floor[i] * 4e-4);
    total += floor[i];
  }
  // A both-units run of the built-in images lasts about 34 seconds.
  EXPECT_GT(total, 30.0);
  EXPECT_LT(total, 40.0);
}

}  // namespace
}  // namespace tav
