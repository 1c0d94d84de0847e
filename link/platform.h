#pragma once
// The machine's own serial ports and clock; each platform builds its own implementation.

#include <memory>

#include "link/clock.h"
#include "link/port.h"

namespace tav {

std::unique_ptr<PortOpener> MakeSystemPortOpener();
// The process's precise real clock.
Clock& SystemClock();

}  // namespace tav
