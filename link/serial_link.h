#pragma once
// The one serial link of a run: opening and configuring the port, the send, receive and wait
// operations the radio protocols are built from, and the pacing that is part of them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "link/clock.h"
#include "link/host.h"
#include "link/port.h"
#include "link/process_state.h"

namespace tav {

class SerialLink {
 public:
  SerialLink(ProcessState& state, PortOpener& opener, Clock& clock, Host& host);

  // 0 opened; 1 failed, after the beep and the "COMM ERROR" box. No port stays open.
  int OpenLink();
  void CloseLink();
  bool IsOpen() const;

  bool SetLinkBaud(std::uint32_t bitsPerSecond);
  bool SendBytes(const std::uint8_t* bytes, std::size_t count);
  // The byte ahead of queued output, then a plain 5 ms wait; -1 when the abort flag is set
  // after that wait, else 0.
  int SendImmediate(std::uint8_t byte);
  bool SendImmediateNoWait(std::uint8_t byte);
  // What each try does with bytes that reached the receive queue before its request had
  // left: the probe keeps them; the flash writer drops them, since a loader answers a packet
  // only after its last byte, and anything earlier answers something else.
  enum class EarlierBytes { Kept, Dropped };
  // Writes the request and awaits one reply byte, up to `tries` times (0 or less: until a byte
  // comes or the abort flag is set); the reply 0..255, or -1.
  int SendAndAwaitByte(const std::uint8_t* bytes, std::size_t count, int tries,
                       EarlierBytes earlier = EarlierBytes::Kept);
  // Up to maximum bytes within the total read time-out; received 0x00 bytes never count.
  std::size_t ReadBytes(std::uint8_t* buffer, std::size_t maximum);
  void SetReadTimeout(std::uint32_t milliseconds);
  void PurgeReceive();
  void SetBreak();
  void ClearBreak();
  // A wait in 10 ms slices that dispatches window messages and ends early on the abort flag;
  // 10 ms or less is a plain sleep.
  void PumpWait(std::uint32_t milliseconds);
  // A plain sleep that dispatches nothing.
  void Sleep(std::uint32_t milliseconds);

  bool AbortRequested() const;
  // Lets pending window messages through once (one pass of the pump the waits use, without
  // waiting), so that a stop request made while nothing was dispatched reaches the abort flag,
  // then tells whether it is set. Asked before a step that cannot be taken back.
  bool StopRequestedNow();
  ProcessState& State();
  Host& UserInterface();
  Clock& Time();

 private:
  ProcessState& state_;
  PortOpener& opener_;
  Clock& clock_;
  Host& host_;
  std::unique_ptr<Port> port_;
  Millis readTimeout_{500};
};

// "COM1" with its fourth character replaced by 0x30 + portNumber taken modulo 256.
std::string DeviceNameForPort(int portNumber);

}  // namespace tav
