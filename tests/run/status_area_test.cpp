#include "run/status_area.h"

#include <gtest/gtest.h>

#include "sim/scripted_host.h"
#include "sim/virtual_clock.h"

namespace tav {
namespace {

constexpr StatusElement kBusyElements[] = {
    StatusElement::Headline,     StatusElement::StatusLine,  StatusElement::ControlDateText,
    StatusElement::CoreDateText, StatusElement::PercentText, StatusElement::ProgressBar,
};

TEST(SetBusy, SwitchesBetweenTheTwoLayouts) {
  VirtualClock clock;
  ProcessState state;
  ScriptedHost host(state, clock);

  // What an earlier run left behind.
  host.SetElementText(StatusElement::CoreDateText, "Core Date Code = 12/15/2000  11:55:38");
  host.SetElementText(StatusElement::PercentText, "100%");
  host.SetProgressRange(12725);
  host.SetProgressPosition(12725);
  host.ShowElement(StatusElement::DateCodeNote, true);

  SetBusy(host, true);
  EXPECT_EQ(host.Element(StatusElement::Headline).text, "Waiting for Radio");
  for (StatusElement e : {StatusElement::ControlDateText, StatusElement::CoreDateText,
                          StatusElement::PercentText, StatusElement::StatusLine}) {
    EXPECT_EQ(host.Element(e).text, "") << static_cast<int>(e);
  }
  EXPECT_EQ(host.ProgressPosition(), 0);
  EXPECT_EQ(host.ProgressRange(), 12725);  // the range stays from the last transfer
  EXPECT_FALSE(host.Element(StatusElement::ProgramButton).enabled);
  for (StatusElement e : kBusyElements) EXPECT_TRUE(host.Element(e).visible);
  EXPECT_FALSE(host.Element(StatusElement::DateCodeNote).visible);

  ShowStatus(host, "Erasing Core OS");
  EXPECT_EQ(host.Element(StatusElement::StatusLine).text, "Erasing Core OS");

  SetBusy(host, false);
  EXPECT_TRUE(host.Element(StatusElement::ProgramButton).enabled);
  for (StatusElement e : kBusyElements) EXPECT_FALSE(host.Element(e).visible);
  EXPECT_FALSE(host.Element(StatusElement::DateCodeNote).visible);
  // Going idle changes no text.
  EXPECT_EQ(host.Element(StatusElement::StatusLine).text, "Erasing Core OS");
}

}  // namespace
}  // namespace tav
