#include "bench/phase_host.h"

namespace tav {

PhaseHost::PhaseHost(std::vector<std::string_view> endTexts, std::function<TimeMark()> mark)
    : endTexts_(std::move(endTexts)), mark_(std::move(mark)) {
  marks_.push_back(mark_());
}

MessageAnswer PhaseHost::ShowMessage(std::string_view, std::string_view, MessageIcon,
                                     MessageButtons buttons) {
  return buttons == MessageButtons::RetryCancel ? MessageAnswer::Retry : MessageAnswer::Ok;
}

void PhaseHost::SetElementText(StatusElement element, std::string_view text) {
  if (element != StatusElement::Headline && element != StatusElement::StatusLine) return;
  const std::size_t next = marks_.size() - 1;
  if (next < endTexts_.size() && text == endTexts_[next]) marks_.push_back(mark_());
}

}  // namespace tav
