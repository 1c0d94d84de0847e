// A whole patch run against a "radio" whose every reply comes from the fuzzer's input, on the
// virtual clock. The input is a series of replies, one per read the program makes: a header
// byte whose low seven bits are how many of the following bytes arrive (0: the read times
// out), then those bytes. Once the input is used up every read times out. The first byte is
// the technician: how he answers the two date code questions.
//
// Whatever the replies, the run must end without a crash or sanitizer report, within a bound
// on the simulated clock: each read either takes a reply from the input or times out, and
// between reads the program sends and waits only a bounded while.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

#include "image/built_in_resources.h"
#include "link/process_state.h"
#include "link/serial_link.h"
#include "run/patch_run.h"
#include "sim/scripted_host.h"
#include "sim/serial_byte.h"
#include "sim/virtual_clock.h"

namespace {

using tav::Micros;

// The longest a run may take on the simulated clock: a whole both-units run against a radio
// that answers everything takes about 35 s and one that answers nothing far less; each reply
// header buys at most one read's time-out plus the longest send between two reads (a 69-byte
// packet at 9600 baud).
constexpr Micros kRunBound = std::chrono::seconds(120);
constexpr Micros kPerReplyBound = std::chrono::milliseconds(600);

class Replies {
 public:
  explicit Replies(std::span<const std::uint8_t> input) : input_(input) {}

  // Up to maximum bytes of the next reply; nothing once the input is used up or the reply is
  // silent.
  std::size_t Next(std::uint8_t* buffer, std::size_t maximum) {
    if (input_.empty()) return 0;
    const std::size_t announced = input_[0] & 0x7Fu;
    input_ = input_.subspan(1);
    const std::size_t n = std::min({announced, maximum, input_.size()});
    std::copy_n(input_.begin(), n, buffer);
    input_ = input_.subspan(n);
    return n;
  }

 private:
  std::span<const std::uint8_t> input_;
};

class FuzzedPort final : public tav::Port {
 public:
  FuzzedPort(tav::Clock& clock, Replies& replies) : clock_(clock), replies_(replies) {}

  bool SetBaud(std::uint32_t bitsPerSecond) override {
    baud_ = bitsPerSecond;
    return true;
  }
  tav::OpenFailure SetQueueSizes(std::size_t, std::size_t) override {
    return tav::OpenFailure::None;
  }
  void SetEventMaskAll() override {}
  bool Write(const std::uint8_t*, std::size_t count) override {
    clock_.Sleep(tav::ByteTime(baud_) * static_cast<long>(count));
    return true;
  }
  bool TransmitImmediate(std::uint8_t) override { return true; }
  std::size_t Read(std::uint8_t* buffer, std::size_t maximum, tav::Millis totalTimeout) override {
    const std::size_t n = replies_.Next(buffer, maximum);
    clock_.Sleep(n == 0 ? Micros(totalTimeout) : tav::ByteTime(baud_) * static_cast<long>(n));
    return n;
  }
  void PurgeReceive() override {}
  void SetBreak(bool) override {}

 private:
  tav::Clock& clock_;
  Replies& replies_;
  std::uint32_t baud_ = 9600;
};

class FuzzedRadio final : public tav::PortOpener {
 public:
  FuzzedRadio(tav::Clock& clock, Replies& replies) : clock_(clock), replies_(replies) {}
  tav::OpenResult Open(const std::string&) override {
    return {std::make_unique<FuzzedPort>(clock_, replies_), tav::OpenFailure::None};
  }

 private:
  tav::Clock& clock_;
  Replies& replies_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  tav::VirtualClock clock;
  tav::ProcessState state;
  tav::ScriptedHost host(state, clock);
  // End codes 0 eligible, 1 cancelled, 2 not eligible, for each question in turn.
  host.AnswerDateCode(tav::DateCodeQuestion::Core, data[0] % 3);
  host.AnswerDateCode(tav::DateCodeQuestion::ControlHead, (data[0] / 3) % 3);

  Replies replies(std::span<const std::uint8_t>(data + 1, size - 1));
  FuzzedRadio radio(clock, replies);
  tav::SerialLink link(state, radio, clock, host);
  const tav::PatchOutcome outcome = tav::RunPatch(link, tav::BuiltInResources()).outcome;

  if (outcome == tav::PatchOutcome::PortNotOpened) std::abort();
  if (link.IsOpen()) std::abort();
  if (clock.Now() > kRunBound + kPerReplyBound * static_cast<long>(size)) std::abort();
  // "Flash Write complete." exactly when the run says it completed.
  bool saidComplete = false;
  for (const auto& m : host.Messages()) saidComplete |= m.text == "Flash Write complete.";
  if (saidComplete != (outcome == tav::PatchOutcome::Completed)) std::abort();
  return 0;
}
