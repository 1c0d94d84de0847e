#include "cli/terminal_host.h"

#include <algorithm>
#include <iomanip>
#include <utility>

#include "cli/interrupt.h"
#include "cli/power_cycle_hint.h"
#include "cli/typed_date_line.h"
#include "link/open_failure.h"
#include "run/date_code.h"
#include "run/typed_date_code.h"

namespace tav {

namespace {

// The note's text is fixed in the main window; the run only shows or hides it.
constexpr std::string_view kDateCodeNoteText =
    "Please record these date codes in case you need to manually enter them later.";
constexpr std::string_view kUnprogrammedText = "An unprogrammed CPU has been detected.";
constexpr int kBarWidth = 30;

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  });
  return lowered;
}

}  // namespace

TerminalHost::TerminalHost(ProcessState& state, std::ostream& out, std::ostream& errors,
                           LineReader& in, bool outputIsTerminal, bool inputIsTerminal)
    : state_(state),
      out_(out),
      errors_(errors),
      in_(in),
      outputIsTerminal_(outputIsTerminal),
      inputIsTerminal_(inputIsTerminal) {}

void TerminalHost::EndProgressLine() {
  if (!progressOnLine_) return;
  out_ << '\n';
  progressOnLine_ = false;
}

void TerminalHost::PrintLine(std::string_view text) {
  EndProgressLine();
  out_ << text << '\n';
  out_.flush();
}

std::optional<std::string> TerminalHost::Ask(std::string_view prompt) {
  EndProgressLine();
  std::optional<std::string> line;
  if (!InterruptRequested()) {
    out_ << prompt;
    out_.flush();
    line = in_.ReadLine();
    if (!line || !inputIsTerminal_) out_ << (line ? *line : std::string()) << '\n';
    out_.flush();
  }
  // A Ctrl-C ends every prompt at once, and reaches the run as a close request made while a
  // dialog is open does.
  if (!line) DeliverPendingInterrupt(state_);
  return line;
}

MessageAnswer TerminalHost::ShowMessage(std::string_view text, std::string_view caption,
                                        MessageIcon, MessageButtons buttons) {
  // "[caption] first line", further lines aligned under the first.
  std::string shown = "[";
  shown.append(caption).append("] ");
  const std::string indent(shown.size(), ' ');
  for (char c : text) {
    shown += c;
    if (c == '\n') shown += indent;
  }
  if (caption == kOpenFailureCaption) {
    // The port that cannot be opened is the command line's error, not the run's output.
    EndProgressLine();
    out_.flush();
    errors_ << shown << '\n';
    errors_.flush();
  } else {
    PrintLine(shown);
  }
  powerCycleAdvised_ = powerCycleAdvised_ || EndingNeedsPowerCycle(text);
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;

  const bool retry = buttons == MessageButtons::RetryCancel;
  const MessageAnswer first = retry ? MessageAnswer::Retry : MessageAnswer::Ok;
  const std::string_view prompt = retry ? "Retry or Cancel? [R/c] " : "OK or Cancel? [O/c] ";
  while (true) {
    const std::optional<std::string> answer = Ask(prompt);
    if (!answer) return MessageAnswer::Cancel;
    const std::string word = Lowered(*answer);
    if (word.empty() || word == (retry ? "r" : "o") || word == (retry ? "retry" : "ok")) {
      return first;
    }
    if (word == "c" || word == "cancel") return MessageAnswer::Cancel;
  }
}

TerminalHost::Element* TerminalHost::Printed(StatusElement element) {
  switch (element) {
    case StatusElement::Headline:
      return &headline_;
    case StatusElement::StatusLine:
      return &statusLine_;
    case StatusElement::CoreDateText:
      return &coreDate_;
    case StatusElement::ControlDateText:
      return &controlDate_;
    default:
      return nullptr;  // the percent text is the progress bar's; the button is not printed
  }
}

void TerminalHost::PrintIfChanged(StatusElement element) {
  Element* slot = Printed(element);
  const bool dateText =
      element == StatusElement::CoreDateText || element == StatusElement::ControlDateText;
  // The date texts are printed with the note that asks to record them.
  if (slot == nullptr || (dateText && !noteVisible_)) return;
  if (!slot->visible || slot->text.empty() || slot->text == slot->printed) return;
  slot->printed = slot->text;
  PrintLine(dateText ? "  " + slot->text : slot->text);
}

void TerminalHost::SetElementText(StatusElement element, std::string_view text) {
  Element* slot = Printed(element);
  if (slot == nullptr) return;
  slot->text = std::string(text);
  PrintIfChanged(element);
}

void TerminalHost::ShowElement(StatusElement element, bool visible) {
  if (element == StatusElement::DateCodeNote) {
    const bool appears = visible && !noteVisible_;
    noteVisible_ = visible;
    if (!appears) return;
    PrintLine(kDateCodeNoteText);
    coreDate_.printed.clear();
    controlDate_.printed.clear();
    PrintIfChanged(StatusElement::CoreDateText);
    PrintIfChanged(StatusElement::ControlDateText);
    return;
  }
  Element* slot = Printed(element);
  if (slot == nullptr) return;
  slot->visible = visible;
  if (visible) {
    PrintIfChanged(element);
  } else {
    slot->printed.clear();
  }
}

void TerminalHost::EnableElement(StatusElement, bool) {}

void TerminalHost::SetProgressRange(std::uint16_t maximum) {
  progressMaximum_ = maximum;
  progressShown_ = -1;
}

void TerminalHost::SetProgressPosition(std::uint16_t position) {
  if (position == 0 || progressMaximum_ == 0) {
    progressShown_ = -1;
    return;
  }
  const int percent = static_cast<int>(std::min<std::uint32_t>(position, progressMaximum_) * 100u /
                                       progressMaximum_);
  if (outputIsTerminal_) {
    if (percent == progressShown_) return;
    progressShown_ = percent;
    const int filled = percent * kBarWidth / 100;
    out_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] " << std::setw(3)
         << percent << '%';
    out_.flush();
    progressOnLine_ = true;
    return;
  }
  const int tens = percent / 10;
  if (tens <= progressShown_ || tens == 0) return;
  progressShown_ = tens;
  PrintLine("  " + std::to_string(tens * 10) + "%");
}

int TerminalHost::AskDateCode(DateCodeQuestion unit) {
  const bool core = unit == DateCodeQuestion::Core;
  const std::string prompt =
      std::string(core ? "Enter CORE Date Code" : "Enter Control Head Date Code") +
      " (MM/DD/YYYY hh:mm:ss, empty to cancel): ";
  PrintLine(kUnprogrammedText);
  while (true) {
    const std::optional<std::string> line = Ask(prompt);
    if (!line || line->find_first_not_of(" \t") == std::string::npos) return kDateCodeCancelled;
    const auto fields = SplitTypedDateLine(*line);
    TypedDateResult typed{TypedDateVerdict::Invalid, 0};
    if (fields) {
      const std::array<std::string_view, 6> views = {(*fields)[0], (*fields)[1], (*fields)[2],
                                                     (*fields)[3], (*fields)[4], (*fields)[5]};
      typed = CheckTypedDate(views, EligibleDateCodesFor(unit));
    }
    switch (typed.verdict) {
      case TypedDateVerdict::Eligible:
        typedCodes_[core ? 0 : 1] = typed.code;
        return kDateCodeEligible;
      case TypedDateVerdict::Invalid:
        // Cancel here stops the question, as the technician asked to.
        if (ShowMessage(kInvalidDateText, kInvalidDateCaption, MessageIcon::Warning,
                        MessageButtons::OkCancel) != MessageAnswer::Ok) {
          return kDateCodeCancelled;
        }
        break;
      case TypedDateVerdict::NotEligible:
        if (ShowMessage(kNotCompatibleText, kNotCompatibleCaption, MessageIcon::Information,
                        MessageButtons::RetryCancel) != MessageAnswer::Retry) {
          typedCodes_[core ? 0 : 1] = typed.code;
          return kDateCodeNotEligible;
        }
        break;
    }
  }
}

std::optional<DateCode> TerminalHost::TakeTypedCode(DateCodeQuestion unit) {
  std::optional<DateCode>& typed = typedCodes_[unit == DateCodeQuestion::Core ? 0 : 1];
  return std::exchange(typed, std::nullopt);
}

bool TerminalHost::TakePowerCycleAdvice() { return std::exchange(powerCycleAdvised_, false); }

void TerminalHost::Beep() {
  if (!outputIsTerminal_) return;
  out_ << '\a';
  out_.flush();
}

void TerminalHost::DispatchPending() { DeliverPendingInterrupt(state_); }

void TerminalHost::DispatchOne() { DeliverPendingInterrupt(state_); }

}  // namespace tav
