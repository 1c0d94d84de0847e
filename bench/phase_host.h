#pragma once
// A Host that answers every box with its first button and notes a time mark whenever the
// run shows the text that ends one of its phases; nothing else is shown anywhere.

#include <functional>
#include <string_view>
#include <vector>

#include "link/host.h"

namespace tav {

// Wall time and the process's CPU time, in seconds (CPU stays 0 on a simulated clock).
struct TimeMark {
  double wall = 0;
  double cpu = 0;
};

class PhaseHost final : public Host {
 public:
  // endTexts: the texts that end the phases, in order; mark: the time now.
  PhaseHost(std::vector<std::string_view> endTexts, std::function<TimeMark()> mark);

  // The mark at the start, then one at each phase's end text as it was shown.
  const std::vector<TimeMark>& Marks() const { return marks_; }
  // Marks the end of the last phase (the run has returned).
  void MarkEnd() { marks_.push_back(mark_()); }

  MessageAnswer ShowMessage(std::string_view, std::string_view, MessageIcon,
                            MessageButtons buttons) override;
  void SetElementText(StatusElement element, std::string_view text) override;
  void ShowElement(StatusElement, bool) override {}
  void EnableElement(StatusElement, bool) override {}
  void SetProgressRange(std::uint16_t) override {}
  void SetProgressPosition(std::uint16_t) override {}
  int AskDateCode(DateCodeQuestion) override { return 1; }
  void Beep() override {}
  void DispatchPending() override {}
  void DispatchOne() override {}

 private:
  std::vector<std::string_view> endTexts_;
  std::function<TimeMark()> mark_;
  std::vector<TimeMark> marks_;
};

}  // namespace tav
