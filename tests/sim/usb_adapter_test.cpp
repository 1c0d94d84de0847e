// A USB adapter in the cable: received bytes reach the PC only at its latency timer's ticks.

#include <gtest/gtest.h>

#include <optional>

#include "sim/usb_adapter.h"
#include "tests/sim/radio_bench.h"

namespace tav::testing {
namespace {

// When the probe's answer is in the PC's hands, behind no adapter or one of the given timer.
Micros ProbeAnswered(std::optional<Micros> latencyTimer) {
  RadioBench bench;
  if (latencyTimer) bench.radio.InsertUsbAdapter(*latencyTimer);
  bench.Baud(4800);
  EXPECT_EQ(bench.Exchange(kProbe), Bytes{0x22});
  return bench.clock.Now();
}

TEST(UsbAdapter, TheAnswerWaitsForTheNextTickOfTheLatencyTimer) {
  const Micros onTheLine = ProbeAnswered(std::nullopt);
  for (Micros timer : {kDefaultLatencyTimer, kLowLatencyTimer}) {
    SCOPED_TRACE(timer.count());
    EXPECT_EQ(ProbeAnswered(timer), (onTheLine / timer + 1) * timer);
  }
}

TEST(UsbAdapter, APurgeAlsoClearsWhatTheAdapterStillHolds) {
  RadioBench bench;
  bench.radio.InsertUsbAdapter(kDefaultLatencyTimer);
  bench.Baud(4800);
  bench.Write(kProbe);
  // The answer is in the adapter (about 12.4 ms) but not yet handed on (16 ms).
  bench.clock.Sleep(Micros{13000} - bench.clock.Now());
  bench.port->PurgeReceive();
  EXPECT_TRUE(bench.Read(1, 100ms).empty());
}

}  // namespace
}  // namespace tav::testing
