#include "sim/scripted_host.h"

namespace tav {

ScriptedHost::ScriptedHost(ProcessState& state, Clock& clock) : state_(state), clock_(clock) {}

void ScriptedHost::AnswerDateCode(DateCodeQuestion unit, int endCode) {
  dateCodeAnswers_[unit].push_back(endCode);
}

void ScriptedHost::AnswerMessage(int boxNumber, MessageAnswer answer) {
  messageAnswers_[boxNumber] = answer;
}

void ScriptedHost::CloseAtTime(Micros time) { closeTime_ = time; }

void ScriptedHost::CloseAtPump(int pumpCall) { closePump_ = pumpCall; }

const ScriptedHost::ElementState& ScriptedHost::Element(StatusElement element) const {
  static const ElementState kUntouched;
  const auto found = elements_.find(element);
  return found == elements_.end() ? kUntouched : found->second;
}

std::vector<std::string> ScriptedHost::TextsOf(StatusElement element) const {
  std::vector<std::string> texts;
  for (const Event& event : events_) {
    if (event.kind == EventKind::Text && event.element == element) texts.push_back(event.text);
  }
  return texts;
}

ScriptedHost::Event& ScriptedHost::Record(EventKind kind) {
  Event& event = events_.emplace_back();
  event.time = clock_.Now();
  event.kind = kind;
  return event;
}

void ScriptedHost::SetElementText(StatusElement element, std::string_view text) {
  elements_[element].text = std::string(text);
  Event& event = Record(EventKind::Text);
  event.element = element;
  event.text = std::string(text);
}

void ScriptedHost::ShowElement(StatusElement element, bool visible) {
  elements_[element].visible = visible;
  Event& event = Record(EventKind::Visibility);
  event.element = element;
  event.flag = visible;
}

void ScriptedHost::EnableElement(StatusElement element, bool enabled) {
  elements_[element].enabled = enabled;
  Event& event = Record(EventKind::Enable);
  event.element = element;
  event.flag = enabled;
}

void ScriptedHost::SetProgressRange(std::uint16_t maximum) {
  progressRange_ = maximum;
  Record(EventKind::ProgressRange).value = maximum;
}

void ScriptedHost::SetProgressPosition(std::uint16_t position) {
  progressPosition_ = position;
  Record(EventKind::ProgressPosition).value = position;
}

int ScriptedHost::AskDateCode(DateCodeQuestion unit) {
  questions_.push_back(unit);
  Record(EventKind::DateCodeQuestion).value = static_cast<int>(unit);
  DeliverDueClose(false);
  std::deque<int>& answers = dateCodeAnswers_[unit];
  if (answers.empty()) return 1;
  const int endCode = answers.front();
  answers.pop_front();
  return endCode;
}

void ScriptedHost::Beep() {
  ++beeps_;
  Record(EventKind::Beep);
}

void ScriptedHost::DispatchPending() { DeliverDueClose(true); }

void ScriptedHost::DispatchOne() { DeliverDueClose(true); }

MessageAnswer ScriptedHost::ShowMessage(std::string_view text, std::string_view caption,
                                        MessageIcon icon, MessageButtons buttons) {
  ShownMessage& shown = messages_.emplace_back();
  shown.text = std::string(text);
  shown.caption = std::string(caption);
  shown.icon = icon;
  shown.buttons = buttons;
  shown.time = clock_.Now();
  const auto scripted = messageAnswers_.find(static_cast<int>(messages_.size()));
  if (scripted != messageAnswers_.end()) shown.answer = scripted->second;
  Record(EventKind::Message).text = shown.text;
  DeliverDueClose(false);
  return shown.answer;
}

void ScriptedHost::DeliverDueClose(bool isPump) {
  if (isPump) ++pumpCalls_;
  if (closedAt_) return;
  const bool dueByTime = closeTime_ && clock_.Now() >= *closeTime_;
  const bool dueByPump = isPump && closePump_ && pumpCalls_ >= *closePump_;
  if (!dueByTime && !dueByPump) return;
  state_.abortFlag = true;
  closedAt_ = clock_.Now();
  Record(EventKind::Close);
}

}  // namespace tav
