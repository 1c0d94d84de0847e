#include "sim/talk_through.h"

#include "sim/radio_timing.h"
#include "sim/ram_programs.h"

namespace tav {

void TalkThrough::Start() {
  const auto reply = StartUpReply(true);
  const Micros sent = unit_.Send(reply, kTalkThroughStartTime);
  unit_.After(sent - unit_.Now(), [this] { relaying_ = true; });
}

}  // namespace tav
