#pragma once
// A simulated radio on the end of a serial cable: a control head and a core, each a 68HC08
// with 32 KiB of flash (0x8000..0xFFFF, 64-byte rows, erased = 0xFF), 512 bytes of RAM
// (0x0040..0x023F), a program it runs and the rate its serial interface listens at.
//
// What it models:
// - the control head's firmware at 4800 baud (probe, date code bytes, relaying the core's
//   date code, release, pass-through to the core, erase command) and the core's at 38400 (date
//   code, erase command), each answering from its own flash; the date code is always the four
//   bytes at 0xFDFC..0xFDFF, b0 first;
// - the ROM monitor at 9600 baud (security code, Write, Write next, Run from the saved program
//   counter), entered from reset whenever the reset vector 0xFFFE/0xFFFF is blank;
// - the three RAM programs the PC downloads, recognised by their bytes in RAM: the talk-through
//   relay (reset by a long break) and the two flash loaders (start-up check, packets, closing
//   packet and reset into the new firmware);
// - the line: a byte takes ten bit times at its sender's rate, a receiver listening at another
//   rate drops it, as a serial interface does with a framing error; breaks have a start and an
//   end and a unit sees how long they last; the PC's 0x00 bytes reach the radio like any other;
// - faults chosen in the RadioSetup, and a wire log of everything on the cable;
// - the supply and the cable (power_and_cable.cpp): a power failure stops each unit where it
//   is, with a flash operation under way left half done (flash_operation.h); when the power
//   comes back RAM holds garbage and each unit starts from reset: its ROM monitor when the
//   reset vector is blank, its firmware when the flash holds a whole one (the one it started
//   with or the patched one), else garbage that never answers. A pulled cable carries nothing
//   either way, the radio keeping its state, until it is plugged in again.
//
// Where the inner working was ours to choose, it follows the 68HC08: the monitor compares the
// eight security bytes with the flash at 0xFFF6..0xFFFD and leaves the result in bit 6 of RAM
// 0x0040; a failed check hides the flash from programs in RAM (every read gives an invalid
// value) and protects it until a power-on reset; programming only clears bits; mass erase
// and row programming take a few milliseconds; a 4.9152 MHz bus clock makes the talk-through's
// break timer (64 x 1920 cycles) 25 ms. The monitor's echo of each byte costs its time but never
// reaches the PC (see rom_monitor.h). The timings are in radio_timing.h.
//
// The radio keeps no thread. Every port operation first brings the radio up to clock.Now()
// from its time line, so it runs as well on a real clock (a demo) as on a VirtualClock (tests).

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "image/resource_source.h"
#include "link/clock.h"
#include "link/port.h"
#include "sim/event_schedule.h"
#include "sim/line_noise.h"
#include "sim/pc_end.h"
#include "sim/radio_setup.h"
#include "sim/radio_unit.h"
#include "sim/ram_programs.h"
#include "sim/wire_log.h"

namespace tav {

class SimulatedRadio {
 public:
  // The resources are those the PC carries: the radio knows the RAM programs by their bytes.
  SimulatedRadio(Clock& clock, const ResourceSource& resources, const RadioSetup& setup = {});
  SimulatedRadio(const SimulatedRadio&) = delete;
  SimulatedRadio& operator=(const SimulatedRadio&) = delete;

  // Opens a port on the cable to the radio under any name: fails with Unavailable when the
  // setup says the port is missing, and with InUse while a port from it is still open. Every
  // port it opens must be closed (destroyed) before the radio is.
  PortOpener& Opener() { return opener_; }

  // Each unit as it is now (the radio is brought up to the clock first).
  UnitState State(UnitId unit);
  // The RAM program running, when State is RamProgram.
  std::optional<RamProgram> Program(UnitId unit);
  std::uint32_t ListeningBaud(UnitId unit);
  // Flash 0x8000..0xFFFF (index = address - 0x8000) and RAM 0x0040..0x023F (index = address -
  // 0x0040).
  std::span<const std::uint8_t> Flash(UnitId unit);
  std::span<const std::uint8_t> Ram(UnitId unit);
  // The date code the unit's firmware would report now: its flash at 0xFDFC..0xFDFF as a
  // little-endian number; nothing while it does not run its firmware.
  std::optional<std::uint32_t> ReportedDateCode(UnitId unit);

  // Every row programming the unit's loaders did, in order, with the bytes they took.
  const std::vector<ProgrammedBytes>& Programmed(UnitId unit) { return Unit(unit).Programmed(); }
  // Bytes the line's noise has changed so far, either way.
  std::uint64_t NoiseHits() const { return noise_.Hits(); }
  // The supply fails / comes back.
  void PowerOff();
  void PowerOn();
  bool Powered() const { return powered_; }
  // The cable comes out of the radio / goes back in.
  void PullCable();
  void PlugInCable();

  const std::vector<WireEvent>& WireEvents() const { return log_.Events(); }
  void SetWireObserver(WireLog::Observer observer) { log_.SetObserver(std::move(observer)); }
  // From now on the PC reaches the cable through a USB adapter with this latency timer.
  void InsertUsbAdapter(Micros latencyTimer) { pc_.InsertUsbAdapter(latencyTimer); }

 private:
  class CableOpener final : public PortOpener {
   public:
    explicit CableOpener(SimulatedRadio& radio) : radio_(radio) {}
    OpenResult Open(const std::string& deviceName) override;

   private:
    SimulatedRadio& radio_;
  };

  RadioUnit& Unit(UnitId unit);
  void FromPc(SerialByte byte);
  void BreakFromPc(bool on);
  void FromUnit(UnitId unit, SerialByte byte, Micros start);

  RadioSetup setup_;
  EventSchedule schedule_;
  WireLog log_;
  LineNoise noise_;
  RamProgramCatalogue programs_;
  PcEnd pc_;
  // What each unit's flash holds once patched; nothing when its firmware resource does not
  // load.
  std::optional<FlashBytes> controlHeadPatched_;
  std::optional<FlashBytes> corePatched_;
  RadioUnit controlHead_;
  RadioUnit core_;
  CableOpener opener_{*this};
  bool portOpen_ = false;
  bool powered_ = true;
  bool cableIn_ = true;
  std::uint32_t powerCycles_ = 0;
};

}  // namespace tav
