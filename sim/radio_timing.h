#pragma once
// How long the radio's processors take for what they do. The figures are those of a 68HC08
// at a 4.9152 MHz bus clock running small programs; the PC's waits leave ample room for each.

#include "link/clock.h"

namespace tav {

// From a complete command to the firmware's first reply byte.
inline constexpr Micros kFirmwareReplyDelay{2000};
// The control head asking the core for its date code over their own line and relaying it.
inline constexpr Micros kCoreDateRelayDelay{30000};
// The control head's firmware switching its serial port over to the core after 0xF3; bytes
// in that time are lost.
inline constexpr Micros kPassThroughSwitchTime{20000};
// The firmware erasing its own program, page by page, before the processor resets.
inline constexpr Micros kFirmwareEraseTime{300000};
// A break held this long resets the talk-through (64 x 1920 bus cycles) and ends the
// firmware's pass-through.
inline constexpr Micros kLongBreak{25000};
// The ROM monitor echoing a byte on its one-wire line and acting on it; a byte that arrives
// sooner after the one before collides with the echo and is lost.
inline constexpr Micros kMonitorByteTime{2000};
// From the monitor's Run to a RAM program's first reply byte; the flash loaders spend it on
// their blank check and mass erase.
inline constexpr Micros kTalkThroughStartTime{1000};
inline constexpr Micros kLoaderStartTime{40000};
// A loader's mass erase of the whole flash, the last part of its start.
inline constexpr Micros kMassEraseTime{4000};
// Programming one row of up to 64 bytes.
inline constexpr Micros kRowProgramTime{3000};
// A loader abandons a packet whose next byte is this late and hunts for 0x02 again.
inline constexpr Micros kPacketByteTimeout{100000};

}  // namespace tav
