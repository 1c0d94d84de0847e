// The sweep's cut points: every send and wait of the program is a step, each cut where the
// sweep says, on simulated time.

#include <gtest/gtest.h>

#include "sweep/cut_points.h"

namespace tav::sweep {
namespace {

using namespace std::chrono_literals;

// Three steps: a 10 ms sleep, an instant one (no time), a 4 ms sleep.
void ThreeSteps(CountingClock& clock) {
  clock.Sleep(10ms);
  clock.Sleep(0ms);
  clock.Sleep(4ms);
}

TEST(CutPoints, EveryStepHasItsStartAndAStepThatTakesTimeItsMiddle) {
  SweepClock clock;
  StepCounter steps(clock);
  CountingClock program(clock, steps);
  ThreeSteps(program);
  const std::vector<CutPoint> points = CutPointsOf(steps.Steps());
  ASSERT_EQ(points.size(), 5u);
  const std::vector<std::pair<std::size_t, Micros>> expected = {
      {0, 0us}, {0, 5ms}, {1, 0us}, {2, 0us}, {2, 2ms}};
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_EQ(points[i].step, expected[i].first) << i;
    EXPECT_EQ(points[i].offset, expected[i].second) << i;
  }
  // Every second one of them.
  EXPECT_EQ(CutPointsOf(steps.Steps(), 2).size(), 3u);
}

TEST(CutPoints, ACutHappensAtItsPointOnTheClock) {
  struct Case {
    CutPoint point;
    Micros at;
  };
  for (const Case& c :
       {Case{{0, 0us}, 0us}, Case{{0, 5ms}, 5ms}, Case{{1, 0us}, 10ms}, Case{{2, 2ms}, 12ms}}) {
    SweepClock clock;
    StepCounter steps(clock);
    CountingClock program(clock, steps);
    std::optional<Micros> cutAt;
    std::size_t stepsBegun = 0;
    steps.Arm(c.point, [&] {
      cutAt = clock.Now();
      stepsBegun = steps.Steps().size();
    });
    ThreeSteps(program);
    ASSERT_TRUE(cutAt) << c.point.step;
    EXPECT_EQ(*cutAt, c.at) << c.point.step;
    // The cut comes once its step is numbered: at its start, before it does anything.
    EXPECT_EQ(stepsBegun, c.point.step + 1) << c.point.step;
    EXPECT_EQ(clock.Now(), 14ms);
  }
}

}  // namespace
}  // namespace tav::sweep
