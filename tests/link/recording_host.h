#pragma once
// A host that records what the link showed and when it dispatched, and that can hold a close
// request which sets the stop request once a dispatch takes it.

#include <string>
#include <vector>

#include "link/clock.h"
#include "link/host.h"
#include "link/process_state.h"

namespace tav::test {

class RecordingHost final : public Host {
 public:
  RecordingHost(ProcessState& state, Clock& clock) : state_(state), clock_(clock) {}

  // The dispatch with this number (1 for the first) finds a close request in the queue,
  // which sets the stop request.
  void CloseOnDispatch(int dispatchNumber) { closeOn_ = dispatchNumber; }

  void SetElementText(StatusElement, std::string_view) override {}
  void ShowElement(StatusElement, bool) override {}
  void EnableElement(StatusElement, bool) override {}
  void SetProgressRange(std::uint16_t) override {}
  void SetProgressPosition(std::uint16_t) override {}
  int AskDateCode(DateCodeQuestion) override { return 1; }
  void Beep() override { events.push_back("beep"); }
  MessageAnswer ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                            MessageButtons buttons) override {
    events.push_back("box");
    messages.push_back({std::string(text), std::string(caption), icon, buttons});
    return MessageAnswer::Ok;
  }
  void DispatchPending() override { Dispatch(); }
  void DispatchOne() override { Dispatch(); }

  struct Shown {
    std::string text;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons;
  };
  std::vector<std::string> events;
  std::vector<Shown> messages;
  std::vector<Micros> dispatches;

 private:
  void Dispatch() {
    dispatches.push_back(clock_.Now());
    if (static_cast<int>(dispatches.size()) == closeOn_) state_.abortFlag = true;
  }

  ProcessState& state_;
  Clock& clock_;
  int closeOn_ = 0;
};

}  // namespace tav::test
