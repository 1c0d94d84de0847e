#pragma once
// Copies a RAM program into a processor's RAM through its ROM monitor, starts it and judges
// its start-up reply.

#include "image/s19_image.h"
#include "link/serial_link.h"

namespace tav {

// The start-up reply's verdicts.
inline constexpr int kRamProgramRunning = 1;     // ends in O K
inline constexpr int kRamProgramLockedOut = -1;  // ends in O X: the flash stays locked
inline constexpr int kRamProgramSilent = 0;      // anything else

// Expects the link at 9600 baud with the monitor's security bytes already sent. Drives the
// progress bar over the download; dispatches no window messages. While the abort flag is set
// every monitor command is cut short after its first byte, but the walk, Run and the reply
// read still take place.
int LoadRamApplication(SerialLink& link, const S19Image& image);

}  // namespace tav
