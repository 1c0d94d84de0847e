#include "tests/noise/noise_trial.h"

#include <array>
#include <set>
#include <utility>
#include <vector>

#include "run/typed_date_code.h"
#include "sim/scenarios.h"
#include "sim/unit_memory.h"
#include "tests/run/radio_bench.h"

namespace tav::noise {
namespace {

using test::Bytes;

NoisePath PathOf(std::string_view scenario, bool core, bool controlHead) {
  return NoisePath{scenario, FindScenario(scenario)->setup, core, controlHead};
}

const std::array<NoisePath, 4>& AllPaths() {
  static const std::array<NoisePath, 4> paths = {
      PathOf("both", true, true),
      PathOf("core-only", true, false),
      PathOf("control-only", false, true),
      PathOf("no-answer", true, true),
  };
  return paths;
}

bool IsPacket(const WireEvent& e) {
  return e.direction == WireDirection::PcToRadio && e.kind == WireKind::Bytes &&
         e.bytes.size() >= 5 && e.bytes[0] == 0x02 && e.bytes.size() == 5u + e.bytes[3];
}

int PacketRetries(const std::vector<WireEvent>& events) {
  int retries = 0;
  const Bytes* previous = nullptr;
  for (const WireEvent& e : events) {
    if (!IsPacket(e)) continue;
    retries += previous != nullptr && *previous == e.bytes;
    previous = &e.bytes;
  }
  return retries;
}

// Address and data of every packet the PC sent.
std::set<std::pair<std::uint16_t, Bytes>> PacketsSent(const std::vector<WireEvent>& events) {
  std::set<std::pair<std::uint16_t, Bytes>> sent;
  for (const WireEvent& e : events) {
    if (!IsPacket(e)) continue;
    const auto address = static_cast<std::uint16_t>(e.bytes[1] << 8 | e.bytes[2]);
    sent.insert({address, Bytes(e.bytes.begin() + 4, e.bytes.end() - 1)});
  }
  return sent;
}

// What a unit's flash holds once its image is written.
const Bytes& ImageFlash(UnitId unit) {
  static const Bytes core = test::FlashAfterWriting(kCoreFirmwareResource);
  static const Bytes controlHead = test::FlashAfterWriting(kControlHeadFirmwareResource);
  return unit == UnitId::Core ? core : controlHead;
}

}  // namespace

std::span<const NoisePath> NoisePaths() { return AllPaths(); }

NoiseRun RunUnderNoise(const NoisePath& path, double rate, std::uint32_t seed) {
  RadioSetup setup = path.setup;
  setup.noiseRate = rate;
  setup.noiseSeed = seed;
  test::RadioBench bench(setup);
  // The technician types the right code as often as he is asked.
  for (int i = 0; i < 4; ++i) {
    bench.host.AnswerDateCode(DateCodeQuestion::Core,
                              path.coreNeedsPatch ? kDateCodeEligible : kDateCodeNotEligible);
    bench.host.AnswerDateCode(DateCodeQuestion::ControlHead, path.controlHeadNeedsPatch
                                                                 ? kDateCodeEligible
                                                                 : kDateCodeNotEligible);
  }
  const Bytes coreBefore = bench.FlashOf(UnitId::Core);
  const Bytes controlHeadBefore = bench.FlashOf(UnitId::ControlHead);

  NoiseRun run;
  run.outcome = bench.Run();
  const std::vector<WireEvent>& events = bench.radio.WireEvents();
  for (const auto& m : bench.host.Messages()) {
    run.saidComplete |= m.text == "Flash Write complete.";
    run.lockOutShown |= m.text.starts_with("CPU security lock out.");
  }
  run.packetRetries = PacketRetries(events);
  run.noiseHits = bench.radio.NoiseHits();
  run.simulatedTime = bench.clock.Now();

  // The erase commands show which units the run took on; a control head met in its monitor
  // was erased before this run.
  const bool coreTaken = bench.Find(test::kCoreErase) >= 0;
  const bool controlHeadTaken =
      setup.controlHeadInMonitor || bench.Find(test::kControlHeadErase) >= 0;
  // The decisions, in runs that got as far as making them: the report says which units the
  // run set out to patch.
  if (run.outcome == PatchOutcome::Completed || run.outcome == PatchOutcome::Failed ||
      run.outcome == PatchOutcome::NotRequired) {
    const bool core = bench.report.core.work != UnitWork::NotRequired;
    const bool controlHead = bench.report.control.work != UnitWork::NotRequired;
    run.leftUnpatched =
        (path.coreNeedsPatch && !core) + (path.controlHeadNeedsPatch && !controlHead);
    run.patchedNotInList =
        (!path.coreNeedsPatch && core) + (!path.controlHeadNeedsPatch && controlHead);
  }
  run.flashAsClaimed =
      bench.FlashOf(UnitId::Core) == (coreTaken ? ImageFlash(UnitId::Core) : coreBefore) &&
      bench.FlashOf(UnitId::ControlHead) ==
          (controlHeadTaken ? ImageFlash(UnitId::ControlHead) : controlHeadBefore);

  const auto securityFailed = [&bench](UnitId unit) {
    return (bench.radio.Ram(unit)[kSecurityResultAddress - kRamStart] & kSecurityPassedBit) == 0;
  };
  run.securityFailed = (coreTaken && securityFailed(UnitId::Core)) ||
                       (controlHeadTaken && securityFailed(UnitId::ControlHead));

  const auto sent = PacketsSent(events);
  for (UnitId unit : {UnitId::Core, UnitId::ControlHead}) {
    for (const ProgrammedBytes& p : bench.radio.Programmed(unit)) {
      run.checksumEscapes += sent.count({p.address, p.bytes}) == 0;
    }
  }
  return run;
}

}  // namespace tav::noise
