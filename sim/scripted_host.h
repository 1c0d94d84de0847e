#pragma once
// A Host for tests that plays a technician from a script and records everything the run
// showed: the status area as it stands and as an ordered log, message boxes, date code
// questions. A close request (the main window's close box) is delivered the way the real
// window gets it: while a message pump runs, by setting the abort flag.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/clock.h"
#include "link/host.h"
#include "link/process_state.h"

namespace tav {

class ScriptedHost final : public Host {
 public:
  struct ElementState {
    std::string text;
    bool visible = false;
    bool enabled = true;
  };

  enum class EventKind {
    Text,
    Visibility,
    Enable,
    ProgressRange,
    ProgressPosition,
    Message,
    DateCodeQuestion,
    Close,
    Beep
  };

  // One thing the run did to the interface, at a time on the clock.
  struct Event {
    Micros time{0};
    EventKind kind = EventKind::Text;
    StatusElement element = StatusElement::Headline;
    std::string text;   // Text, Message (its text)
    bool flag = false;  // Visibility, Enable
    int value = 0;      // ProgressRange, ProgressPosition, DateCodeQuestion (the unit)
  };

  struct ShownMessage {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer answer = MessageAnswer::Ok;
    Micros time{0};
  };

  ScriptedHost(ProcessState& state, Clock& clock);

  // Script. Date code questions take the queued end codes of their unit in turn, then 1
  // (Cancel). Message box number n (counted from 1) gets the scripted answer, others Ok.
  void AnswerDateCode(DateCodeQuestion unit, int endCode);
  void AnswerMessage(int boxNumber, MessageAnswer answer);
  // The close request reaches the run at the first pump, message box or date code question at
  // or after this time on the clock.
  void CloseAtTime(Micros time);
  // The close request reaches the run at the nth call of a pump (counted from 1).
  void CloseAtPump(int pumpCall);

  // What was shown.
  const ElementState& Element(StatusElement element) const;
  // Every text set to the element, in order (empty texts included).
  std::vector<std::string> TextsOf(StatusElement element) const;
  const std::vector<Event>& Events() const { return events_; }
  const std::vector<ShownMessage>& Messages() const { return messages_; }
  const std::vector<DateCodeQuestion>& Questions() const { return questions_; }
  std::uint16_t ProgressRange() const { return progressRange_; }
  std::uint16_t ProgressPosition() const { return progressPosition_; }
  int PumpCalls() const { return pumpCalls_; }
  int Beeps() const { return beeps_; }
  // When the close request was delivered, if it was.
  std::optional<Micros> ClosedAt() const { return closedAt_; }

  // Host.
  void SetElementText(StatusElement element, std::string_view text) override;
  void ShowElement(StatusElement element, bool visible) override;
  void EnableElement(StatusElement element, bool enabled) override;
  void SetProgressRange(std::uint16_t maximum) override;
  void SetProgressPosition(std::uint16_t position) override;
  int AskDateCode(DateCodeQuestion unit) override;
  void Beep() override;
  void DispatchPending() override;
  void DispatchOne() override;
  MessageAnswer ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                            MessageButtons buttons) override;

 private:
  Event& Record(EventKind kind);
  // A modal loop or pump runs: deliver the close request when it is due.
  void DeliverDueClose(bool isPump);

  ProcessState& state_;
  Clock& clock_;
  std::map<StatusElement, ElementState> elements_;
  std::vector<Event> events_;
  std::vector<ShownMessage> messages_;
  std::vector<DateCodeQuestion> questions_;
  std::map<DateCodeQuestion, std::deque<int>> dateCodeAnswers_;
  std::map<int, MessageAnswer> messageAnswers_;
  std::optional<Micros> closeTime_;
  std::optional<int> closePump_;
  std::optional<Micros> closedAt_;
  std::uint16_t progressRange_ = 100;  // a progress bar's range before anyone sets it
  std::uint16_t progressPosition_ = 0;
  int pumpCalls_ = 0;
  int beeps_ = 0;
};

}  // namespace tav
