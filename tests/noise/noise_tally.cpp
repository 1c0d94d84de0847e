#include "tests/noise/noise_tally.h"

#include <algorithm>
#include <cstdio>

namespace tav::noise {

void NoiseTally::Add(const NoiseRun& run) {
  NoiseTally one;
  one.runs = 1;
  one.notRequired = run.outcome == PatchOutcome::NotRequired;
  one.foreign = run.outcome == PatchOutcome::ForeignRadio;
  one.noContact = run.outcome == PatchOutcome::NoContact;
  one.failed = run.outcome == PatchOutcome::Failed;
  one.leftUnpatched = run.leftUnpatched;
  one.patchedNotInList = run.patchedNotInList;
  one.checksumEscapes = run.checksumEscapes;
  one.longest = run.simulatedTime;
  one.lockOuts = run.lockOutShown;
  if (run.saidComplete) {
    one.complete = 1;
    one.retries = run.packetRetries;
    one.wrongComplete = !run.flashAsClaimed;
    one.unexplained = !run.flashAsClaimed && run.checksumEscapes == 0;
  }
  Merge(one);
}

void NoiseTally::Merge(const NoiseTally& other) {
  runs += other.runs;
  complete += other.complete;
  notRequired += other.notRequired;
  foreign += other.foreign;
  noContact += other.noContact;
  failed += other.failed;
  retries += other.retries;
  leftUnpatched += other.leftUnpatched;
  patchedNotInList += other.patchedNotInList;
  checksumEscapes += other.checksumEscapes;
  wrongComplete += other.wrongComplete;
  lockOuts += other.lockOuts;
  unexplained += other.unexplained;
  longest = std::max(longest, other.longest);
}

std::string TallyLine(double level, std::string_view path, const NoiseTally& tally) {
  char line[200];
  std::snprintf(line, sizeof line, "%.3f,%.*s,%d,%d,%d,%d,%d,%d,%ld,%d,%d,%d,%d,%d,%d,%.1f", level,
                static_cast<int>(path.size()), path.data(), tally.runs, tally.complete,
                tally.notRequired, tally.foreign, tally.noContact, tally.failed, tally.retries,
                tally.leftUnpatched, tally.patchedNotInList, tally.checksumEscapes,
                tally.wrongComplete, tally.lockOuts, tally.unexplained,
                static_cast<double>(tally.longest.count()) / 1e6);
  return line;
}

}  // namespace tav::noise
