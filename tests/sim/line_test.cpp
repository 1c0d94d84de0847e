// The cable: rates, line time, reads with a total time-out, breaks, the wire log, opening
// the port, and the catalogue of named radios.

#include <gtest/gtest.h>

#include "sim/scenarios.h"
#include "tests/sim/radio_bench.h"

namespace tav::testing {
namespace {

TEST(Line, AProbeAtTheWrongRateIsNeverHeard) {
  RadioBench bench;
  bench.Baud(9600);
  EXPECT_TRUE(bench.Exchange(kProbe).empty());
  bench.Baud(4800);
  EXPECT_EQ(bench.Exchange(kProbe), Bytes{0x22});
}

TEST(Line, AReplyArrivingAfterThePcChangedRateIsLost) {
  RadioBench bench;
  bench.Baud(4800);
  bench.Write(kCoreDateCodeQuery);
  bench.Baud(9600);
  EXPECT_TRUE(bench.Read(4).empty());
}

TEST(Line, SecurityBytesAtTheWrongRateNeverReachTheMonitor) {
  RadioBench bench({.controlHeadInMonitor = true});
  bench.Baud(4800);
  bench.SendPaced(kSecurityCode);
  // The monitor takes the download's first eight bytes for its security code instead.
  EXPECT_TRUE(bench.StartRamProgram(kTalkThroughResource, {}).empty());
}

TEST(Line, WritesTakeTheirLineTimeAndReadsEndAtMaximumOrDeadline) {
  RadioBench bench;
  bench.Baud(4800);
  const Micros start = bench.clock.Now();
  bench.Write(kProbe);
  // Ten bits per byte at 4800 baud.
  EXPECT_EQ(bench.clock.Now() - start, 4 * Micros{2083});
  const Micros written = bench.clock.Now();
  EXPECT_EQ(bench.Read(1), Bytes{0x22});
  const Micros answered = bench.clock.Now() - written;
  EXPECT_GT(answered, Micros{2083});
  EXPECT_LT(answered, 10ms);
  // Nothing more comes: the read runs to its total time-out.
  EXPECT_TRUE(bench.Read(1, 500ms).empty());
  EXPECT_EQ(bench.clock.Now() - written - answered, 500ms);
}

TEST(Line, TransmitImmediateDoesNotWaitAndPurgeDropsWhatWasNotRead) {
  RadioBench bench;
  bench.Baud(4800);
  const Micros start = bench.clock.Now();
  for (std::uint8_t byte : kProbe) bench.port->TransmitImmediate(byte);
  EXPECT_EQ(bench.clock.Now(), start);
  bench.Wait(50ms);
  bench.port->PurgeReceive();
  EXPECT_TRUE(bench.Read(1).empty());
}

TEST(WireLog, RecordsBothDirectionsWithRatesTimesAndBreaks) {
  RadioBench bench;
  std::vector<WireEvent> observed;
  bench.radio.SetWireObserver([&observed](const WireEvent& event) { observed.push_back(event); });
  bench.Baud(4800);
  bench.Exchange(kProbe);
  bench.Wait(100ms);
  bench.Break(50ms);

  const auto& events = bench.radio.WireEvents();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].direction, WireDirection::PcToRadio);
  EXPECT_EQ(events[0].baud, 4800u);
  EXPECT_EQ(events[0].bytes, kProbe);
  EXPECT_EQ(events[1].direction, WireDirection::RadioToPc);
  EXPECT_EQ(events[1].bytes, Bytes{0x22});
  EXPECT_EQ(events[1].baud, 4800u);
  EXPECT_GE(events[1].time, events[0].time + 4 * Micros{2083});
  EXPECT_EQ(events[2].kind, WireKind::BreakOn);
  EXPECT_EQ(events[3].kind, WireKind::BreakOff);
  EXPECT_EQ(events[3].time - events[2].time, 50ms);
  EXPECT_EQ(observed.size(), events.size());
  EXPECT_EQ(BytesSent(events, WireDirection::PcToRadio), kProbe);
}

TEST(Port, OpensUnderAnyNameOnceAtATimeUnlessMissing) {
  VirtualClock clock;
  SimulatedRadio radio(clock, BuiltInResources());
  {
    OpenResult first = radio.Opener().Open("COM3");
    ASSERT_TRUE(first.port);
    EXPECT_EQ(radio.Opener().Open("/dev/ttyUSB0").failure, OpenFailure::InUse);
  }
  EXPECT_TRUE(radio.Opener().Open("/dev/ttyUSB0").port);

  SimulatedRadio missing(clock, BuiltInResources(), {.portMissing = true});
  const OpenResult result = missing.Opener().Open("COM1");
  EXPECT_FALSE(result.port);
  EXPECT_EQ(result.failure, OpenFailure::Unavailable);
}

TEST(Scenarios, EachNamedRadioCanBeFound) {
  for (const char* name : {"both", "core-only", "control-only", "neither", "no-answer", "foreign",
                           "lockout", "noisy", "stops-answering"}) {
    const Scenario* scenario = FindScenario(name);
    ASSERT_NE(scenario, nullptr) << name;
    EXPECT_FALSE(scenario->description.empty());
  }
  EXPECT_EQ(Scenarios().front().name, "both");
  EXPECT_EQ(FindScenario("bogus"), nullptr);
}

}  // namespace
}  // namespace tav::testing
