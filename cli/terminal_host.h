#pragma once
// The terminal program's face: the status area printed as it changes, a progress bar (redrawn
// in place on a terminal, a line every 10 per cent otherwise), message boxes as their caption
// and text with a prompt where they offer a choice, and the date code question as one prompt.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/line_reader.h"
#include "link/host.h"
#include "link/process_state.h"
#include "run/date_code.h"

namespace tav {

class TerminalHost final : public Host {
 public:
  // out: the run's own output; errors: the port's open failure, with the command line's
  // errors. outputIsTerminal: redraw the progress bar in place and beep; inputIsTerminal: the
  // terminal echoes what is typed (otherwise each answer read is echoed after its prompt).
  TerminalHost(ProcessState& state, std::ostream& out, std::ostream& errors, LineReader& in,
               bool outputIsTerminal, bool inputIsTerminal);

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

  // A prompt answered by one line; nothing at end of input or on Ctrl-C.
  std::optional<std::string> Ask(std::string_view prompt);
  // A line of its own, after ending a progress bar left on the current line.
  void PrintLine(std::string_view text);
  // Ends a progress bar left on the current line, so that what follows starts a line.
  void EndProgressLine();
  // The date code the technician gave for the unit (eligible or not) since the last call;
  // nothing when he was not asked or cancelled.
  std::optional<DateCode> TakeTypedCode(DateCodeQuestion unit);
  // Whether the run since the last call ended in a way that only a power cycle of the radio
  // lets the next run finish.
  bool TakePowerCycleAdvice();

 private:
  struct Element {
    std::string text;
    bool visible = false;
    std::string printed;  // last text printed for it while visible
  };
  // The element's printed state; nothing for elements the terminal does not print as text.
  Element* Printed(StatusElement element);
  void PrintIfChanged(StatusElement element);

  ProcessState& state_;
  std::ostream& out_;
  std::ostream& errors_;
  LineReader& in_;
  bool outputIsTerminal_;
  bool inputIsTerminal_;
  Element headline_, statusLine_, coreDate_, controlDate_;
  bool noteVisible_ = false;
  bool powerCycleAdvised_ = false;  // this run showed an ending that needs a power cycle
  std::uint16_t progressMaximum_ = 0;
  int progressShown_ = -1;  // the percent (terminal) or tens of per cent (log) last printed
  bool progressOnLine_ = false;
  std::optional<DateCode> typedCodes_[2];  // core, control head
};

}  // namespace tav
