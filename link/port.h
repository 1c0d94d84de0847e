#pragma once
// One open serial device, as the link needs it. Implementations: the Win32 port, the POSIX
// port and the simulated radio's port. Received 0x00 bytes may reach Read on any of them; the
// link discards them itself.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "link/clock.h"

namespace tav {

enum class OpenFailure { None, Unavailable, InUse, PermissionDenied, Other };

class Port {
 public:
  virtual ~Port() = default;
  // 8 data bits, no parity, discard of received 0x00 where the driver can, at this rate.
  // Everything else keeps what the port had.
  virtual bool SetBaud(std::uint32_t bitsPerSecond) = 0;
  // Requests driver queue sizes; the reason when the driver refuses (None when it took them).
  virtual OpenFailure SetQueueSizes(std::size_t input, std::size_t output) = 0;
  // Sets the event mask to all events (nothing waits on it; kept for the Win32 port).
  virtual void SetEventMaskAll() = 0;
  // Synchronous write: returns once the bytes have left (or the write failed).
  virtual bool Write(const std::uint8_t* bytes, std::size_t count) = 0;
  // One byte ahead of any queued output, without waiting for it to leave.
  virtual bool TransmitImmediate(std::uint8_t byte) = 0;
  // Reads up to maximum bytes; returns when they have arrived or when totalTimeout has run
  // out since the call began, with whatever arrived (possibly nothing).
  virtual std::size_t Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) = 0;
  // Throws away received bytes not yet read; output is not touched.
  virtual void PurgeReceive() = 0;
  // Holds the transmit line in the break state, or releases it.
  virtual void SetBreak(bool on) = 0;
  // Anything about the port worth a line in a wire trace, such as how its driver answered a
  // request made at open; empty when there is nothing to say.
  virtual std::string Note() const { return {}; }
};

struct OpenResult {
  std::unique_ptr<Port> port;  // set exactly when failure is None
  OpenFailure failure = OpenFailure::None;
};

// Opens a device by name: "COM1".."COM4" (and the other four-character names that a stored
// port number can give), or a platform device path.
class PortOpener {
 public:
  virtual ~PortOpener() = default;
  virtual OpenResult Open(const std::string& deviceName) = 0;
};

}  // namespace tav
