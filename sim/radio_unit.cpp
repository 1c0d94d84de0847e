#include "sim/radio_unit.h"

#include "sim/flash_loader.h"
#include "sim/radio_timing.h"
#include "sim/rom_monitor.h"
#include "sim/talk_through.h"

namespace tav {
namespace {

// The firmware busy erasing itself: its serial interface still runs, nothing is read.
class ErasingFirmware final : public UnitBehaviour {
 public:
  explicit ErasingFirmware(std::uint32_t baud) : baud_(baud) {}
  std::uint32_t Baud() const override { return baud_; }

 private:
  std::uint32_t baud_;
};

// A RAM program that never answers: unrecognised code, or a program told to stay silent.
class SilentProgram final : public UnitBehaviour {
 public:
  std::uint32_t Baud() const override { return kMonitorBaud; }
};

// A processor without power, or one running garbage: its serial interface takes nothing.
class DeafProcessor final : public UnitBehaviour {
 public:
  std::uint32_t Baud() const override { return 0; }
};

}  // namespace

RadioUnit::RadioUnit(UnitId id, const UnitSetup& setup, UnitMemory memory, EventSchedule& schedule,
                     LineNoise& noise, const RamProgramCatalogue& programs, TransmitSink sink)
    : id_(id),
      setup_(setup),
      memory_(memory),
      schedule_(schedule),
      noise_(noise),
      programs_(programs),
      sink_(std::move(sink)),
      behaviour_(std::make_unique<SilentProgram>()) {
  if (setup_.flashStaysDirty) memory_.SetFlash(kStuckFlashAddress, 0x00);
}

void RadioUnit::PowerUp(FirmwareFactory firmware, std::optional<FlashBytes> patched) {
  firmware_ = std::move(firmware);
  startingFlash_ = memory_.flash;
  patchedFlash_ = std::move(patched);
  Reset();
}

void RadioUnit::PowerOff() {
  if (operation_) operation_->Interrupt(memory_, Now());
  operation_.reset();
  ++powerFailures_;
  Become(UnitState::PoweredOff, std::nullopt, std::make_unique<DeafProcessor>());
}

void RadioUnit::PowerOn(std::uint32_t ramSeed) {
  ForgetRam(memory_, ramSeed);
  transmitterFree_ = Now();
  Reset();
}

void RadioUnit::Receive(SerialByte byte) {
  // A byte at another rate is a framing error; the serial interface drops it. Every byte to
  // and from the unit crosses the cable, and with it the line's noise.
  if (byte.baud != behaviour_->Baud()) return;
  behaviour_->OnByte(noise_.Pass(byte.value));
}

void RadioUnit::Break(bool on) { behaviour_->OnBreak(on); }

Micros RadioUnit::Send(std::span<const std::uint8_t> bytes, Micros delay) {
  const std::uint32_t baud = behaviour_->Baud();
  Micros start = std::max(Now() + delay, transmitterFree_);
  for (std::uint8_t byte : bytes) {
    const std::uint8_t value = noise_.Pass(byte);
    const Micros end = start + ByteTime(baud);
    schedule_.At(end, [this, value, baud, start, power = powerFailures_] {
      if (power == powerFailures_) sink_(id_, SerialByte{value, baud}, start);
    });
    start = end;
  }
  transmitterFree_ = start;
  return start;
}

void RadioUnit::After(Micros delay, std::function<void()> action) {
  schedule_.At(Now() + delay, [this, epoch = epoch_, action = std::move(action)] {
    if (epoch == epoch_) action();
  });
}

void RadioUnit::Reset() {
  if (memory_.ResetVectorBlank()) {
    Become(UnitState::RomMonitor, std::nullopt, std::make_unique<RomMonitor>(*this));
  } else if (HoldsWholeFirmware()) {
    Become(UnitState::NormalFirmware, std::nullopt, firmware_(*this));
  } else {
    Become(UnitState::Garbage, std::nullopt, std::make_unique<DeafProcessor>());
  }
}

bool RadioUnit::HoldsWholeFirmware() const {
  return memory_.flash == startingFlash_ || (patchedFlash_ && memory_.flash == *patchedFlash_);
}

void RadioUnit::EraseOwnProgram(Micros duration) {
  operation_ = FlashOperation::ErasePages(memory_, setup_.eraseOrder, Now(), duration);
  EraseAll(setup_.securityLockOut);
  Become(UnitState::Erasing, std::nullopt, std::make_unique<ErasingFirmware>(behaviour_->Baud()));
  After(duration, [this] { Reset(); });
}

std::uint8_t RadioUnit::ReadFlash(std::uint16_t address) const {
  constexpr std::uint8_t kHiddenFlash = 0xAD;
  return memory_.SecurityPassed() ? memory_.FlashAt(address) : kHiddenFlash;
}

void RadioUnit::MassErase() {
  if (!memory_.SecurityPassed()) return;
  operation_ = FlashOperation::MassErase(memory_, Now(), kMassEraseTime);
  EraseAll(false);
}

void RadioUnit::ProgramFlash(std::uint16_t address, std::span<const std::uint8_t> bytes) {
  if (!memory_.SecurityPassed()) return;
  programmed_.push_back({address, std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
  operation_ = FlashOperation::ProgramRow(memory_, address, bytes.size(), Now(), kRowProgramTime);
  for (std::uint8_t byte : bytes) {
    memory_.SetFlash(address, memory_.FlashAt(address) & byte);
    ++address;
  }
}

void RadioUnit::StartRamProgram(std::uint16_t programCounter) {
  const RamProgram program = programs_.Recognise(memory_, programCounter);
  std::unique_ptr<UnitBehaviour> behaviour;
  if (program == RamProgram::Unrecognised || setup_.silentProgram == program) {
    behaviour = std::make_unique<SilentProgram>();
  } else if (program == RamProgram::TalkThrough) {
    behaviour = std::make_unique<TalkThrough>(*this);
  } else {
    behaviour = std::make_unique<FlashLoader>(*this, program);
  }
  Become(UnitState::RamProgram, program, std::move(behaviour));
}

void RadioUnit::EraseAll(bool keepSecurityBytes) {
  std::array<std::uint8_t, 8> security{};
  for (std::size_t i = 0; i < security.size(); ++i) {
    security[i] = memory_.FlashAt(static_cast<std::uint16_t>(kSecurityBytesAddress + i));
  }
  memory_.flash.fill(0xFF);
  if (keepSecurityBytes) {
    for (std::size_t i = 0; i < security.size(); ++i) {
      memory_.SetFlash(static_cast<std::uint16_t>(kSecurityBytesAddress + i), security[i]);
    }
  }
  if (setup_.flashStaysDirty) memory_.SetFlash(kStuckFlashAddress, 0x00);
}

void RadioUnit::Become(UnitState state, std::optional<RamProgram> program,
                       std::unique_ptr<UnitBehaviour> behaviour) {
  ++epoch_;
  state_ = state;
  program_ = program;
  retired_ = std::move(behaviour_);
  behaviour_ = std::move(behaviour);
  behaviour_->Start();
}

}  // namespace tav
