#pragma once
// The machine's serial ports, watched for two troubles a technician cannot see from the run's
// own messages: a device he is not allowed to open, and a device that goes away while in use
// (an adapter pulled out). After each run, Advice says what happened and what to do.

#include <memory>
#include <string>

#include "link/port.h"

namespace tav {

class WatchedPortOpener final : public PortOpener {
 public:
  explicit WatchedPortOpener(std::unique_ptr<PortOpener> ports);
  OpenResult Open(const std::string& deviceName) override;

  // Lines for standard error about the last run's port, each ending in '\n'; empty when there
  // is nothing to say. Forgets what it saw, ready for the next run.
  std::string TakeAdvice();

 private:
  std::unique_ptr<PortOpener> ports_;
  std::string path_;  // the device of the last open
  bool opened_ = false;
  bool denied_ = false;
  bool gone_ = false;  // set by the open port on a read or write error of a vanished device
};

// What to tell a technician who may not open path: the group that owns it and how to join it
// (groupName empty or "root" when there is no group to join).
std::string PermissionAdvice(const std::string& path, const std::string& groupName);

}  // namespace tav
