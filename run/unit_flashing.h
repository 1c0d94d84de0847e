#pragma once
// Reprogramming one unit: erase it into its ROM monitor, pass the monitor's security check,
// start the unit's flash loader in its RAM, then write the firmware image through it.

#include "image/resource_source.h"
#include "image/s19_image.h"
#include "link/serial_link.h"

namespace tav {

// True when the flash write finished. Whatever happens after the loader resource has loaded,
// the sequence ends with a 500 ms break, which also resets the control head out of the
// talk-through relay. Leaves the link at 9600 baud.
bool FlashCore(SerialLink& link, const ResourceSource& resources, const S19Image& firmware);

// True when the flash write finished. Sends the control head its erase command itself only
// while it still runs its own firmware (the process state's control-head mode).
bool FlashControlHead(SerialLink& link, const ResourceSource& resources, const S19Image& firmware);

}  // namespace tav
