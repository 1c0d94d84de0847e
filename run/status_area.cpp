#include "run/status_area.h"

namespace tav {

namespace {

// The elements the busy layout shows and the idle layout hides.
constexpr StatusElement kBusyElements[] = {
    StatusElement::Headline,     StatusElement::StatusLine,  StatusElement::ControlDateText,
    StatusElement::CoreDateText, StatusElement::PercentText, StatusElement::ProgressBar,
};

}  // namespace

void SetBusy(Host& host, bool busy) {
  if (busy) {
    host.SetElementText(StatusElement::Headline, "Waiting for Radio");
    host.SetElementText(StatusElement::ControlDateText, "");
    host.SetElementText(StatusElement::CoreDateText, "");
    host.SetElementText(StatusElement::PercentText, "");
    host.SetElementText(StatusElement::StatusLine, "");
    host.SetProgressPosition(0);
  }
  host.EnableElement(StatusElement::ProgramButton, !busy);
  for (StatusElement element : kBusyElements) host.ShowElement(element, busy);
  host.ShowElement(StatusElement::DateCodeNote, false);
}

void ShowStatus(Host& host, std::string_view text) {
  host.SetElementText(StatusElement::StatusLine, text);
}

}  // namespace tav
