#pragma once
// How a simulated radio starts out: each unit's firmware date code and the faults it is to
// show. The defaults are a radio whose two units both carry firmware that needs the patch.

#include <cstdint>
#include <optional>

namespace tav {

enum class UnitId { ControlHead, Core };

// The RAM programs the radio knows by their downloaded bytes.
enum class RamProgram { TalkThrough, ControlHeadLoader, CoreLoader, Unrecognised };

// The order in which a unit's firmware erases its own program, page by page. Which one the
// radio's firmware uses is not known; it matters only when the power fails during that erase.
enum class EraseOrder {
  VectorsLast,   // from 0x8000 upwards: the page with the reset vector goes last
  VectorsFirst,  // from 0xFFFF downwards: the page with the reset vector goes first
};

struct UnitSetup {
  // The date code in the starting firmware (little-endian number of the bytes at 0xFDFC..).
  std::uint32_t dateCode = 0;
  // The firmware's erase leaves the security bytes 0xFFF6..0xFFFD programmed, so the monitor's
  // check of eight 0xFF fails and the flash stays protected from the loaders.
  bool securityLockOut = false;
  // One flash cell (kStuckFlashAddress) reads 0x00 whatever is erased.
  bool flashStaysDirty = false;
  // The flash loader acknowledges this many data packets and then hangs.
  std::optional<int> loaderStopsAfterPackets{};
  // The flash loader answers 0x15 to the first nakTries good tries of the packet at this address.
  std::optional<std::uint16_t> nakPacketAddress{};
  int nakTries = 0;
  // Bytes of the date code the unit sends when asked (the core's relayed answer may come
  // short: 1 to 3); 4 is the whole code.
  int dateCodeReplyBytes = 4;
  // This RAM program, once started in the unit, never sends its reply and does nothing.
  std::optional<RamProgram> silentProgram{};
  // The unit's flash holds the firmware image the PC carries, as after a finished patch (its
  // date code is then the image's, whatever dateCode says).
  bool startsPatched = false;
  EraseOrder eraseOrder = EraseOrder::VectorsLast;
};

// A flash cell that a dirty flash cannot erase.
inline constexpr std::uint16_t kStuckFlashAddress = 0xC000;

struct RadioSetup {
  UnitSetup controlHead{.dateCode = 0x2449F02A};
  UnitSetup core{.dateCode = 0xF35E8F29};
  // The control head waits in its ROM monitor with its flash erased, as an interrupted patch
  // leaves it.
  bool controlHeadInMonitor = false;
  // No radio on the cable: nothing the PC sends is heard.
  bool nothingConnected = false;
  // The control head's firmware answers the probe with this byte instead of 0x22.
  std::optional<std::uint8_t> foreignProbeAnswer{};
  // Each byte on the cable, either way and at every stage, is hit by noise (a burst of flipped
  // bits, see line_noise.h) with this probability, drawn from a generator seeded with
  // noiseSeed.
  double noiseRate = 0.0;
  std::uint32_t noiseSeed = 1;
  // Opening the port fails as for a device that does not exist.
  bool portMissing = false;
};

}  // namespace tav
