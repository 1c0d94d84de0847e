#include "sim/simulated_radio.h"

#include "sim/control_head_firmware.h"
#include "sim/core_firmware.h"
#include "sim/patched_flash.h"
#include "sim/simulated_port.h"

namespace tav {
namespace {

constexpr std::uint32_t kControlHeadMemorySeed = 0xC0;
constexpr std::uint32_t kCoreMemorySeed = 0xC1;

UnitMemory ControlHeadMemory(const RadioSetup& setup, const std::optional<FlashBytes>& patched) {
  if (setup.controlHeadInMonitor) return ErasedMemory(kControlHeadMemorySeed);
  return setup.controlHead.startsPatched && patched
             ? PatchedMemory(*patched, kControlHeadMemorySeed)
             : OldFirmwareMemory(0xB100, 0xE300, setup.controlHead.dateCode,
                                 kControlHeadMemorySeed);
}

UnitMemory CoreMemory(const RadioSetup& setup, const std::optional<FlashBytes>& patched) {
  return setup.core.startsPatched && patched
             ? PatchedMemory(*patched, kCoreMemorySeed)
             : OldFirmwareMemory(0xB000, 0xC400, setup.core.dateCode, kCoreMemorySeed);
}

}  // namespace

SimulatedRadio::SimulatedRadio(Clock& clock, const ResourceSource& resources,
                               const RadioSetup& setup)
    : setup_(setup),
      schedule_(clock.Now()),
      noise_(setup.noiseRate, setup.noiseSeed),
      programs_(resources),
      pc_(
          clock, schedule_, log_, clock.Now(), [this](SerialByte byte) { FromPc(byte); },
          [this](bool on) { BreakFromPc(on); }),
      controlHeadPatched_(PatchedFlash(resources, UnitId::ControlHead)),
      corePatched_(PatchedFlash(resources, UnitId::Core)),
      controlHead_(
          UnitId::ControlHead, setup.controlHead, ControlHeadMemory(setup, controlHeadPatched_),
          schedule_, noise_, programs_,
          [this](UnitId unit, SerialByte byte, Micros start) { FromUnit(unit, byte, start); }),
      core_(UnitId::Core, setup.core, CoreMemory(setup, corePatched_), schedule_, noise_, programs_,
            [this](UnitId unit, SerialByte byte, Micros start) { FromUnit(unit, byte, start); }) {
  core_.PowerUp([](RadioUnit& unit) { return std::make_unique<CoreFirmware>(unit); }, corePatched_);
  controlHead_.PowerUp(
      [this](RadioUnit& unit) {
        return std::make_unique<ControlHeadFirmware>(
            unit,
            [this] {
              return core_.State() == UnitState::NormalFirmware ? CoreFirmware::DateCodeReply(core_)
                                                                : std::vector<std::uint8_t>{};
            },
            setup_.foreignProbeAnswer);
      },
      controlHeadPatched_);
}

OpenResult SimulatedRadio::CableOpener::Open(const std::string& /*deviceName*/) {
  if (radio_.setup_.portMissing) return {nullptr, OpenFailure::Unavailable};
  if (radio_.portOpen_) return {nullptr, OpenFailure::InUse};
  radio_.portOpen_ = true;
  radio_.pc_.Open();
  SimulatedRadio& radio = radio_;
  return {std::make_unique<SimulatedPort>(radio.pc_,
                                          [&radio] {
                                            radio.pc_.Close();
                                            radio.portOpen_ = false;
                                          }),
          OpenFailure::None};
}

RadioUnit& SimulatedRadio::Unit(UnitId unit) {
  pc_.CatchUp();
  return unit == UnitId::ControlHead ? controlHead_ : core_;
}

UnitState SimulatedRadio::State(UnitId unit) { return Unit(unit).State(); }

std::optional<RamProgram> SimulatedRadio::Program(UnitId unit) { return Unit(unit).Program(); }

std::uint32_t SimulatedRadio::ListeningBaud(UnitId unit) { return Unit(unit).ListeningBaud(); }

std::span<const std::uint8_t> SimulatedRadio::Flash(UnitId unit) {
  return Unit(unit).Memory().flash;
}

std::span<const std::uint8_t> SimulatedRadio::Ram(UnitId unit) { return Unit(unit).Memory().ram; }

std::optional<std::uint32_t> SimulatedRadio::ReportedDateCode(UnitId unit) {
  const RadioUnit& radioUnit = Unit(unit);
  if (radioUnit.State() != UnitState::NormalFirmware) return std::nullopt;
  return radioUnit.Memory().DateCode();
}

void SimulatedRadio::FromPc(SerialByte byte) {
  if (setup_.nothingConnected || !cableIn_) return;
  if (controlHead_.Relaying()) {
    core_.Receive(byte);
  } else {
    controlHead_.Receive(byte);
  }
}

void SimulatedRadio::BreakFromPc(bool on) {
  // The core only ever sees a break through the relay, and it ignores breaks.
  if (!setup_.nothingConnected && cableIn_) controlHead_.Break(on);
}

void SimulatedRadio::FromUnit(UnitId unit, SerialByte byte, Micros start) {
  if (!cableIn_) return;
  if (unit == UnitId::ControlHead || controlHead_.Relaying()) pc_.Arrive(byte, start);
}

}  // namespace tav
