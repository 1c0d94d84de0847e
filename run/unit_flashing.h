#pragma once
// Reprogramming one unit: erase it into its ROM monitor, pass the monitor's security check,
// start the unit's flash loader in its RAM, then write the firmware image through it.

#include "image/resource_source.h"
#include "image/s19_image.h"
#include "link/serial_link.h"

namespace tav {

// How a unit sequence ended.
struct UnitFlashResult {
  bool written = false;    // the flash write finished
  bool eraseSent = false;  // the sequence told the unit to erase its program
};

// Whatever happens after the loader resource has loaded, the sequence ends with a 500 ms
// break, which also resets the control head out of the talk-through relay; so does a loader
// resource that does not load while the relay runs. A stop requested before the erase command
// sends nothing but that break. Leaves the link at 9600 baud.
UnitFlashResult FlashCore(SerialLink& link, const ResourceSource& resources,
                          const S19Image& firmware);

// Sends the control head its erase command itself only while it still runs its own firmware
// (the process state's control-head mode); a stop requested by then ends the sequence before
// anything is sent.
UnitFlashResult FlashControlHead(SerialLink& link, const ResourceSource& resources,
                                 const S19Image& firmware);

}  // namespace tav
