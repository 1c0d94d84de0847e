#pragma once
// Bytes and line signals the run sends to the radio's firmware and ROM monitors.

#include <array>
#include <cstdint>

#include "link/serial_link.h"

namespace tav {

// Makes the control head's firmware erase its program and fall back into its ROM monitor.
inline constexpr std::array<std::uint8_t, 5> kControlHeadEraseCommand = {0xA7, 0x5C, 0x0E, 0x91,
                                                                         0x3B};
// The same for the core, relayed to it by the control head.
inline constexpr std::array<std::uint8_t, 5> kCoreEraseCommand = {0x20, 0xA7, 0x5C, 0x0E, 0xC6};

// The ROM monitor's security code of a processor whose flash has just been erased: eight 0xFF,
// each about 5 ms apart.
inline void SendSecurityBytes(SerialLink& link) {
  for (int i = 0; i < 8; ++i) link.SendImmediate(0xFF);
}

// Holds the line in the break state for a plain (non-dispatching) wait; 500 ms resets the
// control head out of the talk-through relay.
inline void SendBreak(SerialLink& link, std::uint32_t milliseconds) {
  link.SetBreak();
  link.Sleep(milliseconds);
  link.ClearBreak();
}

}  // namespace tav
