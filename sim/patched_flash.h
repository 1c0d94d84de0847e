#pragma once
// The flash a finished patch leaves in a unit: its firmware image's bytes, erased flash (0xFF)
// wherever the image has none.

#include <optional>

#include "image/resource_source.h"
#include "sim/radio_setup.h"
#include "sim/unit_memory.h"

namespace tav {

// Nothing when the unit's firmware resource does not load.
std::optional<FlashBytes> PatchedFlash(const ResourceSource& resources, UnitId unit);

}  // namespace tav
