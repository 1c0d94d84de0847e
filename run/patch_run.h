#pragma once
// The whole procedure behind the Program button.

#include "image/resource_source.h"
#include "link/serial_link.h"
#include "run/patch_report.h"

namespace tav {

PatchReport RunPatch(SerialLink& link, const ResourceSource& resources);

}  // namespace tav
