#include "app/main_window_host.h"

#include <commctrl.h>

#include <string>

#include "app/datecode/date_code_dialog.h"

namespace tav {
namespace {

UINT MessageBoxStyle(MessageIcon icon, MessageButtons buttons) {
  UINT style = MB_OK;
  if (buttons == MessageButtons::OkCancel) style = MB_OKCANCEL;
  if (buttons == MessageButtons::RetryCancel) style = MB_RETRYCANCEL;
  if (icon == MessageIcon::Warning) style |= MB_ICONWARNING;
  if (icon == MessageIcon::Information) style |= MB_ICONINFORMATION;
  return style;
}

MessageAnswer MessageBoxAnswer(int result, MessageButtons buttons) {
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (result == IDOK) return MessageAnswer::Ok;
  if (result == IDRETRY) return MessageAnswer::Retry;
  // Cancel, Escape, or a box that could not be shown.
  return MessageAnswer::Cancel;
}

}  // namespace

MessageAnswer MainWindowHost::ShowMessage(std::string_view text, std::string_view caption,
                                          MessageIcon icon, MessageButtons buttons) {
  const int result = MessageBoxA(window_, std::string(text).c_str(), std::string(caption).c_str(),
                                 MessageBoxStyle(icon, buttons));
  return MessageBoxAnswer(result, buttons);
}

HWND MainWindowHost::Element(StatusElement element) const {
  return GetDlgItem(window_, static_cast<int>(element));
}

void MainWindowHost::SetElementText(StatusElement element, std::string_view text) {
  const HWND control = Element(element);
  SetWindowTextA(control, std::string(text).c_str());
  // During a flash write one message is dispatched per packet, too few to repaint the percent
  // text before it changes again: it is painted at once, so it never shows blank.
  if (element == StatusElement::PercentText) UpdateWindow(control);
}

void MainWindowHost::ShowElement(StatusElement element, bool visible) {
  ShowWindow(Element(element), visible ? SW_SHOW : SW_HIDE);
}

void MainWindowHost::EnableElement(StatusElement element, bool enabled) {
  EnableWindow(Element(element), enabled);
}

void MainWindowHost::SetProgressRange(std::uint16_t maximum) {
  SendDlgItemMessageA(window_, static_cast<int>(StatusElement::ProgressBar), PBM_SETRANGE, 0,
                      MAKELPARAM(0, maximum));
}

void MainWindowHost::SetProgressPosition(std::uint16_t position) {
  SendDlgItemMessageA(window_, static_cast<int>(StatusElement::ProgressBar), PBM_SETPOS, position,
                      0);
  // Painted at once, as the percent text is; this dispatches nothing else.
  UpdateWindow(Element(StatusElement::ProgressBar));
}

int MainWindowHost::AskDateCode(DateCodeQuestion unit) {
  return AskDateCodeDialog(instance_, unit);
}

void MainWindowHost::Beep() { MessageBeep(0); }

// The run's waits keep the window alive with these two pumps. They dispatch as they take:
// no key translation and no dialog keyboard handling, so only the mouse and posted requests
// (the close box above all) act during a run.
void MainWindowHost::DispatchPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

void MainWindowHost::DispatchOne() {
  MSG message;
  if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

}  // namespace tav
