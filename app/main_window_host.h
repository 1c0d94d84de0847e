#pragma once
// The main window as the patch run's user interface: its status area controls, message boxes
// owned by it, the date code dialog and the thread's message pumps.

#include <windows.h>

#include "link/host.h"

namespace tav {

class MainWindowHost final : public Host {
 public:
  MainWindowHost(HWND window, HINSTANCE instance) : window_(window), instance_(instance) {}

  MessageAnswer ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                            MessageButtons buttons) override;
  void SetElementText(StatusElement element, std::string_view text) override;
  void ShowElement(StatusElement element, bool visible) override;
  void EnableElement(StatusElement element, bool enabled) override;
  void SetProgressRange(std::uint16_t maximum) override;
  void SetProgressPosition(std::uint16_t position) override;
  int AskDateCode(DateCodeQuestion unit) override;
  void Beep() override;
  void DispatchPending() override;
  void DispatchOne() override;

 private:
  HWND Element(StatusElement element) const;

  HWND window_;
  HINSTANCE instance_;
};

}  // namespace tav
