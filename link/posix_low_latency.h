#pragma once
// Asks a serial driver to hand received bytes on at once. A USB adapter otherwise holds them
// until its latency timer runs out (16 ms by default), which every one-byte acknowledgement
// pays for. Linux offers the request as the driver's low-latency flag; a driver that does
// not (a pseudo-terminal, an on-board port's without it, another system) refuses it, and the
// port works as before. The driver's own setting is put back before the port is closed.

#include <string>

namespace tav {

class LowLatencyMode {
 public:
  explicit LowLatencyMode(int fd);
  ~LowLatencyMode() { Restore(); }
  LowLatencyMode(const LowLatencyMode&) = delete;
  LowLatencyMode& operator=(const LowLatencyMode&) = delete;

  // Puts the driver's setting back if the request changed it; once.
  void Restore();
  // What came of the request, in a few words for the wire trace.
  const std::string& Outcome() const { return outcome_; }

 private:
  int fd_;
  bool changed_ = false;
  int savedFlags_ = 0;
  std::string outcome_;
};

}  // namespace tav
