#include "link/platform.h"
#include "link/win32_clock.h"
#include "link/win32_port.h"

namespace tav {

std::unique_ptr<PortOpener> MakeSystemPortOpener() { return std::make_unique<Win32PortOpener>(); }

Clock& SystemClock() {
  static Win32Clock clock;
  return clock;
}

}  // namespace tav
