#include "cli/radio_check.h"

#include <string>

#include "run/date_code.h"
#include "run/radio_commands.h"
#include "run/radio_identification.h"
#include "run/status_area.h"

namespace tav {

namespace {

constexpr std::uint8_t kReleaseByte = 0x01;

void ReportUnit(SerialLink& link, TerminalHost& host, UnitIndex unit) {
  DateCode code = 0;
  std::string text;
  const std::string_view name = UnitDisplayName(unit);
  if (!ReadDateCode(link, unit, code, &text)) {
    host.PrintLine(std::string(name) +
                   ": no date code came back; a patch run would ask for it to be typed.");
    return;
  }
  const DateCode* list =
      unit == UnitIndex::Core ? kCoreEligibleDateCodes : kControlHeadEligibleDateCodes;
  host.PrintLine(text + (IsEligible(code, list) ? ": needs the patch." : ": patch not required."));
}

CheckOutcome Identify(SerialLink& link, TerminalHost& host) {
  SendSecurityBytes(link);
  link.SetLinkBaud(4800);
  switch (ProbeRadio(link)) {
    case ProbeAnswer::ControlHead:
      host.SetElementText(StatusElement::Headline, "Control Head Detected");
      // Core first, then the control head, as a run asks them.
      ReportUnit(link, host, UnitIndex::Core);
      ReportUnit(link, host, UnitIndex::ControlHead);
      link.SendImmediateNoWait(kReleaseByte);
      return CheckOutcome::Identified;
    case ProbeAnswer::ForeignRadio:
      link.SendImmediateNoWait(kReleaseByte);
      host.PrintLine("This program only works with TAV radios.");
      return CheckOutcome::ForeignRadio;
    case ProbeAnswer::NoAnswer:
      break;
  }
  host.PrintLine(
      "No answer at 4800 baud. The control head may be waiting in its ROM monitor after an\n"
      "interrupted patch; a patch run loads the talk-through program into it and asks for\n"
      "both date codes.");
  return CheckOutcome::NoAnswer;
}

}  // namespace

CheckOutcome CheckRadio(SerialLink& link, TerminalHost& host) {
  if (link.OpenLink() != 0) return CheckOutcome::PortNotOpened;
  SetBusy(host, true);
  link.State().abortFlag = false;
  link.State().controlHeadMode = false;
  const CheckOutcome outcome = Identify(link, host);
  SetBusy(host, false);
  link.CloseLink();
  return outcome;
}

}  // namespace tav
