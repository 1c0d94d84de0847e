#pragma once
// The port the simulated radio hands out: every operation goes to the PC's end of its cable.

#include <functional>

#include "link/port.h"
#include "sim/pc_end.h"

namespace tav {

class SimulatedPort final : public Port {
 public:
  SimulatedPort(PcEnd& end, std::function<void()> onClose) : end_(end), onClose_(onClose) {}
  ~SimulatedPort() override { onClose_(); }
  SimulatedPort(const SimulatedPort&) = delete;
  SimulatedPort& operator=(const SimulatedPort&) = delete;

  bool SetBaud(std::uint32_t bitsPerSecond) override { return end_.SetBaud(bitsPerSecond); }
  OpenFailure SetQueueSizes(std::size_t, std::size_t) override { return OpenFailure::None; }
  void SetEventMaskAll() override {}
  bool Write(const std::uint8_t* bytes, std::size_t count) override {
    return end_.Write(bytes, count);
  }
  bool TransmitImmediate(std::uint8_t byte) override { return end_.TransmitImmediate(byte); }
  std::size_t Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) override {
    return end_.Read(buffer, maximum, totalTimeout);
  }
  void PurgeReceive() override { end_.PurgeReceive(); }
  void SetBreak(bool on) override { end_.SetBreak(on); }

 private:
  PcEnd& end_;
  std::function<void()> onClose_;
};

}  // namespace tav
