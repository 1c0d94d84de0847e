#pragma once
// What a patch run knows and did, as a whole and per unit, for callers that report it after
// the fact: the terminal program's exit status and closing lines, a depot's patch log. The
// technician has already been told everything through the host.

#include <string>

namespace tav {

// How a run ended.
enum class PatchOutcome {
  PortNotOpened,  // OpenLink failed; nothing else happened
  Completed,      // "Flash Write complete."
  NotRequired,    // a patch-not-required message
  ForeignRadio,
  NoContact,  // talk-through did not start, or a RAM program resource failed to load
  Failed,     // a unit sequence failed, a firmware image did not load, or a unit was left
              // without its program
  Stopped,    // the technician asked to stop and the run did not complete
};

// What became of one unit.
enum class UnitWork {
  NotRequired,  // not known to need the patch
  Patched,      // its flash write finished
  Failed,       // its sequence ran and did not finish, or its firmware image did not load
  Skipped,      // it needed the patch (or a program) but its sequence never ran
};

struct UnitReport {
  std::string codeText;  // the date code's display text as shown; empty when not read
  bool codeRead = false;
  UnitWork work = UnitWork::NotRequired;
  // The unit was told to erase its program (or was found in its monitor without one) and its
  // flash write did not finish: it has no working program now.
  bool leftErased = false;

  bool operator==(const UnitReport&) const = default;
};

struct PatchReport {
  PatchOutcome outcome = PatchOutcome::PortNotOpened;
  UnitReport core;
  UnitReport control;
};

}  // namespace tav
