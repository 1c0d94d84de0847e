#pragma once
// The whole procedure behind the Program button.

#include "image/resource_source.h"
#include "link/serial_link.h"

namespace tav {

// How a run ended, for callers that report an exit status (the terminal program). The
// technician has already been told everything through the host.
enum class PatchOutcome {
  PortNotOpened,  // OpenLink failed; nothing else happened
  Completed,      // "Flash Write complete."
  NotRequired,    // a patch-not-required message
  ForeignRadio,
  NoContact,  // talk-through did not start, or a RAM program resource failed to load
  Failed,     // a unit sequence failed or a firmware image did not load
};

PatchOutcome RunPatch(SerialLink& link, const ResourceSource& resources);

}  // namespace tav
