#include "link/platform.h"
#include "link/posix_clock.h"
#include "link/posix_port.h"

namespace tav {

std::unique_ptr<PortOpener> MakeSystemPortOpener() { return std::make_unique<PosixPortOpener>(); }

Clock& SystemClock() {
  static PosixClock clock;
  return clock;
}

}  // namespace tav
