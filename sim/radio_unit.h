#pragma once
// One processor of the radio (control head or core): its memory, what it runs, the rate its
// serial interface listens at, and the services its programs use: sending bytes, timers,
// erasing and programming the flash, reset, and starting a RAM program.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "sim/event_schedule.h"
#include "sim/flash_operation.h"
#include "sim/line_noise.h"
#include "sim/radio_setup.h"
#include "sim/ram_programs.h"
#include "sim/serial_byte.h"
#include "sim/unit_behaviour.h"
#include "sim/unit_memory.h"

namespace tav {

// Garbage: the reset vector points into a flash that holds no whole firmware (a cut while it
// was programmed or erased); the processor runs whatever it finds and never answers.
enum class UnitState { NormalFirmware, Erasing, RomMonitor, RamProgram, Garbage, PoweredOff };

struct ProgrammedBytes {
  std::uint16_t address = 0;
  std::vector<std::uint8_t> bytes;
};

inline constexpr std::uint32_t kMonitorBaud = 9600;

class RadioUnit {
 public:
  // Called at the moment each sent byte has fully left the unit.
  using TransmitSink = std::function<void(UnitId, SerialByte, Micros start)>;
  using FirmwareFactory = std::function<std::unique_ptr<UnitBehaviour>(RadioUnit&)>;

  RadioUnit(UnitId id, const UnitSetup& setup, UnitMemory memory, EventSchedule& schedule,
            LineNoise& noise, const RamProgramCatalogue& programs, TransmitSink sink);

  // Starts the unit from reset; its normal firmware is made by `firmware`. The unit runs its
  // firmware only while its flash holds the one it started with or `patched` (the flash a
  // finished patch leaves).
  void PowerUp(FirmwareFactory firmware, std::optional<FlashBytes> patched);
  // The supply fails: a flash operation under way stops where it is, and the unit does nothing
  // until PowerOn.
  void PowerOff();
  // The supply comes back: RAM holds garbage from the seed, and the unit starts from reset.
  void PowerOn(std::uint32_t ramSeed);

  // The unit's receive line.
  void Receive(SerialByte byte);
  void Break(bool on);
  bool Relaying() const { return behaviour_->Relaying(); }

  UnitId Id() const { return id_; }
  const UnitSetup& Setup() const { return setup_; }
  UnitMemory& Memory() { return memory_; }
  const UnitMemory& Memory() const { return memory_; }
  UnitState State() const { return state_; }
  std::optional<RamProgram> Program() const { return program_; }
  std::uint32_t ListeningBaud() const { return behaviour_->Baud(); }

  // Services for the unit's programs.
  Micros Now() const { return schedule_.Now(); }
  // Sends the bytes at the program's rate, the first after `delay` (or when the transmitter is
  // free); returns the time the last byte has left.
  Micros Send(std::span<const std::uint8_t> bytes, Micros delay);
  // Runs the action after the delay, unless the unit has switched program by then.
  void After(Micros delay, std::function<void()> action);
  // Restarts the processor: a blank reset vector enters the ROM monitor, else the firmware runs.
  void Reset();
  // The firmware erases its own flash, taking `duration`, then resets.
  void EraseOwnProgram(Micros duration);
  // A flash byte as a program in RAM reads it: while the monitor's security check has failed,
  // the processor hides its flash and every read gives an invalid value, until a power-on
  // reset.
  std::uint8_t ReadFlash(std::uint16_t address) const;
  // A loader's mass erase and row programming; both do nothing while the monitor's security
  // check has failed (the flash stays protected). Programming clears bits only.
  void MassErase();
  void ProgramFlash(std::uint16_t address, std::span<const std::uint8_t> bytes);
  // Every programming done, in order: what the loaders took, right or wrong.
  const std::vector<ProgrammedBytes>& Programmed() const { return programmed_; }
  // The monitor's Run: starts the program in RAM that begins at programCounter.
  void StartRamProgram(std::uint16_t programCounter);

 private:
  void EraseAll(bool keepSecurityBytes);
  bool HoldsWholeFirmware() const;
  void Become(UnitState state, std::optional<RamProgram> program,
              std::unique_ptr<UnitBehaviour> behaviour);

  UnitId id_;
  UnitSetup setup_;
  UnitMemory memory_;
  EventSchedule& schedule_;
  LineNoise& noise_;
  const RamProgramCatalogue& programs_;
  TransmitSink sink_;
  FirmwareFactory firmware_;
  FlashBytes startingFlash_;
  std::optional<FlashBytes> patchedFlash_;
  std::optional<FlashOperation> operation_;
  // Counts the power failures; a byte still on its way from before one is never sent.
  std::uint64_t powerFailures_ = 0;
  UnitState state_ = UnitState::RomMonitor;
  std::optional<RamProgram> program_;
  std::unique_ptr<UnitBehaviour> behaviour_;
  // The program just replaced, kept until the next switch since it may still be on the stack.
  std::unique_ptr<UnitBehaviour> retired_;
  std::uint64_t epoch_ = 0;
  Micros transmitterFree_{0};
  std::vector<ProgrammedBytes> programmed_;
};

}  // namespace tav
