#pragma once
// What a patch run needs from its user interface. The Win32 host is the main window, the
// terminal host prints and prompts, the test host is a script that records what was shown.

#include <cstdint>
#include <string_view>

#include "image/message_box.h"

namespace tav {

// The main window's status area elements, by control id.
enum class StatusElement : int {
  ProgramButton = 1004,
  Headline = 1006,
  PercentText = 1007,
  StatusLine = 1008,
  ProgressBar = 1010,
  CoreDateText = 1012,
  DateCodeNote = 1014,
  ControlDateText = 1017,
};

// Which unit a date code question is for, as the dialog's unit choice numbers it.
enum class DateCodeQuestion : int { Core = 0, ControlHead = 1 };

class Host : public MessageBoxHost {
 public:
  // Status area primitives; SetBusy and ShowStatus are built on them.
  virtual void SetElementText(StatusElement element, std::string_view text) = 0;
  virtual void ShowElement(StatusElement element, bool visible) = 0;
  virtual void EnableElement(StatusElement element, bool enabled) = 0;
  virtual void SetProgressRange(std::uint16_t maximum) = 0;  // minimum is always 0
  virtual void SetProgressPosition(std::uint16_t position) = 0;

  // Asks the technician for one unit's date code; returns the dialog's end code:
  // 0 the typed code is eligible, 1 cancelled, 2 not eligible and retry declined.
  virtual int AskDateCode(DateCodeQuestion unit) = 0;

  // The default beep.
  virtual void Beep() = 0;

  // Dispatches every pending window message (a close request sets the abort flag here).
  virtual void DispatchPending() = 0;
  // Dispatches at most one pending window message.
  virtual void DispatchOne() = 0;
};

}  // namespace tav
