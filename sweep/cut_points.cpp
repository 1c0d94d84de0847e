#include "sweep/cut_points.h"

namespace tav::sweep {
namespace {

class CountingPort final : public Port {
 public:
  CountingPort(std::unique_ptr<Port> inner, StepCounter& steps)
      : inner_(std::move(inner)), steps_(steps) {}

  bool SetBaud(std::uint32_t bitsPerSecond) override { return inner_->SetBaud(bitsPerSecond); }
  OpenFailure SetQueueSizes(std::size_t input, std::size_t output) override {
    return inner_->SetQueueSizes(input, output);
  }
  void SetEventMaskAll() override { inner_->SetEventMaskAll(); }
  bool Write(const std::uint8_t* bytes, std::size_t count) override {
    steps_.Begin(StepKind::Write);
    const bool written = inner_->Write(bytes, count);
    steps_.End();
    return written;
  }
  bool TransmitImmediate(std::uint8_t byte) override {
    steps_.Begin(StepKind::SingleByte);
    const bool sent = inner_->TransmitImmediate(byte);
    steps_.End();
    return sent;
  }
  std::size_t Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) override {
    steps_.Begin(StepKind::Read);
    const std::size_t got = inner_->Read(buffer, maximum, totalTimeout);
    steps_.End();
    return got;
  }
  void PurgeReceive() override { inner_->PurgeReceive(); }
  void SetBreak(bool on) override {
    steps_.Begin(StepKind::Break);
    inner_->SetBreak(on);
    steps_.End();
  }

 private:
  std::unique_ptr<Port> inner_;
  StepCounter& steps_;
};

}  // namespace

const char* StepName(StepKind kind) {
  switch (kind) {
    case StepKind::Write:
      return "write";
    case StepKind::SingleByte:
      return "single byte";
    case StepKind::Break:
      return "break";
    case StepKind::Sleep:
      return "sleep";
    case StepKind::Read:
      return "read";
  }
  return "";
}

void SweepClock::Sleep(Micros duration) {
  if (duration <= Micros::zero()) return;
  const Micros until = now_ + duration;
  if (armedAt_ && *armedAt_ <= until) {
    now_ = std::max(now_, *armedAt_);
    FireArmed();
  }
  now_ = until;
}

void SweepClock::ArmAt(Micros when, std::function<void()> action) {
  armedAt_ = when;
  armed_ = std::move(action);
}

void SweepClock::FireArmed() {
  if (!armedAt_) return;
  armedAt_.reset();
  const std::function<void()> action = std::move(armed_);
  armed_ = nullptr;
  action();
}

void StepCounter::Arm(CutPoint point, std::function<void()> cut) {
  point_ = point;
  cut_ = std::move(cut);
}

void StepCounter::Begin(StepKind kind) {
  // A cut in the middle of the step before that ended early still happens, at its end.
  if (!fired_ && point_ && point_->step + 1 == steps_.size()) clock_.FireArmed();
  const std::size_t index = steps_.size();
  steps_.push_back(Step{kind, clock_.Now(), clock_.Now()});
  if (!point_ || fired_ || point_->step != index) return;
  if (point_->offset <= Micros::zero()) {
    Fire();
  } else {
    clock_.ArmAt(clock_.Now() + point_->offset, [this] { Fire(); });
  }
}

void StepCounter::End() { steps_.back().end = clock_.Now(); }

void StepCounter::Fire() {
  if (fired_) return;
  fired_ = true;
  cut_();
}

std::vector<CutPoint> CutPointsOf(const std::vector<Step>& steps, std::size_t every) {
  std::vector<CutPoint> points;
  std::size_t n = 0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Micros duration = steps[i].end - steps[i].start;
    if (n++ % every == 0) points.push_back(CutPoint{i, Micros{0}});
    if (duration > Micros{1} && n++ % every == 0) points.push_back(CutPoint{i, duration / 2});
  }
  return points;
}

void CountingClock::Sleep(Micros duration) {
  steps_.Begin(StepKind::Sleep);
  inner_.Sleep(duration);
  steps_.End();
}

OpenResult CountingOpener::Open(const std::string& deviceName) {
  OpenResult opened = inner_.Open(deviceName);
  if (opened.port) opened.port = std::make_unique<CountingPort>(std::move(opened.port), steps_);
  return opened;
}

}  // namespace tav::sweep
