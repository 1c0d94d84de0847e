// A whole run through the wire trace: every byte that crossed the cable, each way, and every
// break is in the trace, as the simulated radio's own wire log saw them.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "image/built_in_resources.h"
#include "link/tracing_port.h"
#include "run/patch_run.h"
#include "sim/scenarios.h"
#include "sim/scripted_host.h"
#include "sim/simulated_radio.h"
#include "sim/virtual_clock.h"

namespace tav {
namespace {

struct TracedLine {
  std::vector<std::uint8_t> sent, received;
  int breaks = 0;
};

TracedLine ParseTrace(const std::string& trace) {
  TracedLine line;
  std::istringstream lines(trace);
  std::string text;
  while (std::getline(lines, text)) {
    std::istringstream fields(text);
    std::string time, event, baud, byte;
    fields >> time >> event;
    if (event == "break-on") ++line.breaks;
    if (event != "tx" && event != "tx-now" && event != "rx") continue;
    fields >> baud;
    auto& bytes = event == "rx" ? line.received : line.sent;
    while (fields >> byte) {
      if (byte != "(nothing)")
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
    }
  }
  return line;
}

class TraceOfARunTest : public testing::TestWithParam<const char*> {};

TEST_P(TraceOfARunTest, HoldsEveryByteAndBreakThatCrossedTheWire) {
  VirtualClock clock;
  SimulatedRadio radio(clock, BuiltInResources(), FindScenario(GetParam())->setup);
  ProcessState state;
  ScriptedHost host(state, clock);
  // The no-answer radio's units are typed in as needing the patch.
  host.AnswerDateCode(DateCodeQuestion::Core, 0);
  host.AnswerDateCode(DateCodeQuestion::ControlHead, 0);
  std::ostringstream out;
  WireTrace trace(out, clock);
  TracingPortOpener opener(radio.Opener(), trace);
  SerialLink link(state, opener, clock, host);

  ASSERT_EQ(RunPatch(link, BuiltInResources()).outcome, PatchOutcome::Completed);

  const TracedLine traced = ParseTrace(out.str());
  const auto& wire = radio.WireEvents();
  EXPECT_EQ(traced.sent, BytesSent(wire, WireDirection::PcToRadio));
  EXPECT_EQ(traced.received, BytesSent(wire, WireDirection::RadioToPc));
  int breaks = 0;
  for (const WireEvent& event : wire) breaks += event.kind == WireKind::BreakOn;
  EXPECT_EQ(traced.breaks, breaks);
  EXPECT_GT(breaks, 0);
  EXPECT_EQ(out.str().substr(out.str().rfind("  close\n")), "  close\n");
}

INSTANTIATE_TEST_SUITE_P(Radios, TraceOfARunTest, testing::Values("both", "no-answer"),
                         [](const testing::TestParamInfo<const char*>& param) {
                           return std::string(param.param) == "both" ? "Both" : "NoAnswer";
                         });

}  // namespace
}  // namespace tav
