// The radio's supply and its cable.

#include "sim/simulated_radio.h"

namespace tav {
namespace {

constexpr std::uint32_t kRamSeedAfterPowerCycle = 0x5EED0000;

}  // namespace

void SimulatedRadio::PowerOff() {
  pc_.CatchUp();
  if (!powered_) return;
  powered_ = false;
  controlHead_.PowerOff();
  core_.PowerOff();
}

void SimulatedRadio::PowerOn() {
  pc_.CatchUp();
  if (powered_) return;
  powered_ = true;
  ++powerCycles_;
  core_.PowerOn(kRamSeedAfterPowerCycle + 2 * powerCycles_);
  controlHead_.PowerOn(kRamSeedAfterPowerCycle + 2 * powerCycles_ + 1);
  // A break the PC holds reaches the control head's fresh program as one that begins now.
  if (cableIn_ && pc_.BreakOn()) BreakFromPc(true);
}

void SimulatedRadio::PullCable() {
  pc_.CatchUp();
  if (!cableIn_) return;
  // Without the cable the control head's receive line rests idle.
  if (pc_.BreakOn()) BreakFromPc(false);
  cableIn_ = false;
}

void SimulatedRadio::PlugInCable() {
  pc_.CatchUp();
  if (cableIn_) return;
  cableIn_ = true;
  if (pc_.BreakOn()) BreakFromPc(true);
}

}  // namespace tav
