#include "sweep/interruption_case.h"

#include <functional>
#include <span>

#include "link/flash_writer.h"
#include "link/process_state.h"
#include "link/serial_link.h"
#include "run/patch_run.h"
#include "run/radio_commands.h"
#include "run/typed_date_code.h"
#include "sim/patched_flash.h"
#include "sim/scripted_host.h"
#include "sim/serial_byte.h"
#include "sim/simulated_radio.h"

namespace tav::sweep {
namespace {

using namespace std::chrono_literals;

constexpr std::string_view kComplete = "Flash Write complete.";
constexpr std::string_view kNotRequired = "Patch not required for this radio.";
// How long the technician takes between runs, and how long the radio stays off.
constexpr Micros kBetweenRuns = 5s;
constexpr Micros kPowerOffTime = 2s;

// The program died: nothing more is sent, and its port is closed as the process ends.
struct ProgramDied {};

struct RunRecord {
  std::vector<std::string> messages;
  std::vector<DateCodeQuestion> questions;
  bool showedCoreCode = false;
  bool showedControlCode = false;
};

bool Showed(const ScriptedHost& host, StatusElement element) {
  for (const std::string& text : host.TextsOf(element)) {
    if (!text.empty()) return true;
  }
  return false;
}

// The radio, its image flash, and the technician's answers, for every run of a case.
class Workshop {
 public:
  Workshop(const ResourceSource& resources, SweepPath path, EraseOrder order)
      : resources_(resources),
        setup_(SetupFor(path, order)),
        radio_(clock_, resources, setup_),
        controlImage_(PatchedFlash(resources, UnitId::ControlHead)),
        coreImage_(PatchedFlash(resources, UnitId::Core)) {}

  SweepClock& Clock() { return clock_; }
  SimulatedRadio& Radio() { return radio_; }

  // When the last run's stop request reached its abort flag, if it did.
  std::optional<Micros> LastClosedAt() const { return lastClosedAt_; }

  // One start of the program. `before` may arm a cut on the step counter.
  RunRecord Run(const std::function<void(StepCounter&, ScriptedHost&)>& before = {}) {
    ProcessState state;
    ScriptedHost host(state, clock_);
    for (int i = 0; i < 4; ++i) {
      host.AnswerDateCode(DateCodeQuestion::Core, EndCodeFor(setup_.core));
      host.AnswerDateCode(DateCodeQuestion::ControlHead, EndCodeFor(setup_.controlHead));
    }
    StepCounter steps(clock_);
    if (before) before(steps, host);
    CountingClock programClock(clock_, steps);
    CountingOpener opener(radio_.Opener(), steps);
    try {
      SerialLink link(state, opener, programClock, host);
      RunPatch(link, resources_);
    } catch (const ProgramDied&) {
    }
    lastSteps_ = steps.Steps();
    lastClosedAt_ = host.ClosedAt();
    RunRecord record;
    for (const auto& shown : host.Messages()) record.messages.push_back(shown.text);
    record.questions = host.Questions();
    record.showedCoreCode = Showed(host, StatusElement::CoreDateText);
    record.showedControlCode = Showed(host, StatusElement::ControlDateText);
    return record;
  }

  const std::vector<Step>& LastSteps() const { return lastSteps_; }

  bool FlashIsImage(UnitId unit) {
    const auto& image = unit == UnitId::Core ? coreImage_ : controlImage_;
    const auto flash = radio_.Flash(unit);
    return image && std::equal(flash.begin(), flash.end(), image->begin());
  }

  bool Finished(const RunRecord& run) {
    if (run.messages.empty()) return false;
    const std::string& last = run.messages.back();
    const bool goodEnding = last == kComplete || last.ends_with(kNotRequired);
    return goodEnding && FlashIsImage(UnitId::Core) && FlashIsImage(UnitId::ControlHead);
  }

  // The first rule: "Flash Write complete." only over flash that holds the images.
  void CheckCompletion(const RunRecord& run, const char* which, CaseResult& result) {
    bool saidComplete = false;
    for (const std::string& message : run.messages) saidComplete |= message == kComplete;
    if (!saidComplete) return;
    if (!FlashIsImage(UnitId::Core)) {
      result.violations.push_back(std::string(which) + " said complete over a wrong core flash");
    }
    if (!FlashIsImage(UnitId::ControlHead)) {
      result.violations.push_back(std::string(which) +
                                  " said complete over a wrong control-head flash");
    }
  }

  // The second rule: no erase command once a stop was requested. The run looks for a stop
  // request right before each erase command, so one made at the very moment the command goes
  // out, after that look, is the only one it may miss; any earlier one, whether or not a pump
  // had delivered it yet, must keep the erase from being sent.
  void CheckNoEraseAfter(Micros stopAt, std::optional<Micros> deliveredAt, CaseResult& result) {
    for (const WireEvent& event : radio_.WireEvents()) {
      if (event.direction != WireDirection::PcToRadio || event.kind != WireKind::Bytes) continue;
      const bool afterRequest = event.time > stopAt || (deliveredAt && *deliveredAt <= event.time);
      if (!afterRequest) continue;
      const bool controlErase = std::ranges::equal(event.bytes, kControlHeadEraseCommand);
      const bool coreErase = std::ranges::equal(event.bytes, kCoreEraseCommand);
      if (controlErase || coreErase) {
        result.violations.push_back(std::string(controlErase ? "control-head" : "core") +
                                    " erase command sent after the stop request");
      }
    }
  }

  std::string Describe() {
    std::string text;
    for (UnitId unit : {UnitId::ControlHead, UnitId::Core}) {
      if (!text.empty()) text += "; ";
      text += unit == UnitId::Core ? "core " : "control head ";
      text += StateName(radio_.State(unit));
      text += FlashIsImage(unit) ? ", flash = image" : ", flash differs";
    }
    return text;
  }

 private:
  static int EndCodeFor(const UnitSetup& unit) {
    // Typing a code not in the list, he declines to type another.
    return unit.startsPatched ? kDateCodeNotEligible : kDateCodeEligible;
  }

  static const char* StateName(UnitState state) {
    switch (state) {
      case UnitState::NormalFirmware:
        return "runs its firmware";
      case UnitState::Erasing:
        return "erasing";
      case UnitState::RomMonitor:
        return "in its ROM monitor";
      case UnitState::RamProgram:
        return "runs a RAM program";
      case UnitState::Garbage:
        return "runs garbage";
      case UnitState::PoweredOff:
        return "off";
    }
    return "";
  }

  const ResourceSource& resources_;
  RadioSetup setup_;
  SweepClock clock_;
  SimulatedRadio radio_;
  std::optional<FlashBytes> controlImage_;
  std::optional<FlashBytes> coreImage_;
  std::vector<Step> lastSteps_;
  std::optional<Micros> lastClosedAt_;
};

// The moment the PC's first write of these bytes ended.
std::optional<Micros> EndOfFirstWrite(const std::vector<WireEvent>& events,
                                      std::span<const std::uint8_t> bytes) {
  for (const WireEvent& event : events) {
    if (event.direction == WireDirection::PcToRadio && event.kind == WireKind::Bytes &&
        std::ranges::equal(event.bytes, bytes)) {
      return event.time + static_cast<long>(bytes.size()) * ByteTime(event.baud);
    }
  }
  return std::nullopt;
}

// The end of the last data packet, the write just before the first closing packet.
std::optional<Micros> EndOfLastPacket(const std::vector<WireEvent>& events) {
  const FlashPacket closingPacket = ClosingPacket();
  const std::span<const std::uint8_t> closing(closingPacket.bytes.data(), closingPacket.size);
  const WireEvent* last = nullptr;
  for (const WireEvent& event : events) {
    if (event.direction != WireDirection::PcToRadio || event.kind != WireKind::Bytes) continue;
    if (std::ranges::equal(event.bytes, closing)) break;
    if (event.bytes.size() > 5 && event.bytes[0] == 0x02) last = &event;
  }
  if (last == nullptr) return std::nullopt;
  return last->time + static_cast<long>(last->bytes.size()) * ByteTime(last->baud);
}

// Total time in [from, from + span) at which a power failure leaves the unit running garbage.
Micros GarbageTime(const ResourceSource& resources, SweepPath path, EraseOrder order, UnitId unit,
                   Micros from, Micros span, Micros step) {
  Micros garbage{0};
  for (Micros at = from; at < from + span; at += step) {
    Workshop workshop(resources, path, order);
    workshop.Clock().ArmAt(at, [&workshop] { workshop.Radio().PowerOff(); });
    workshop.Run();
    workshop.Clock().Sleep(kPowerOffTime);
    workshop.Radio().PowerOn();
    workshop.Clock().Sleep(kBetweenRuns);
    if (workshop.Radio().State(unit) == UnitState::Garbage) garbage += step;
  }
  return garbage;
}

std::string Ending(const RunRecord& run) {
  return run.messages.empty() ? "-" : run.messages.back();
}

}  // namespace

const char* PathName(SweepPath path) {
  switch (path) {
    case SweepPath::BothUnits:
      return "both units";
    case SweepPath::CoreOnly:
      return "core only";
    case SweepPath::ControlHeadOnly:
      return "control head only";
    case SweepPath::NoAnswerBothUnits:
      return "no answer both units";
    case SweepPath::NoAnswerControlHead:
      return "no answer control head";
  }
  return "";
}

const char* WayName(CutWay way) {
  switch (way) {
    case CutWay::PowerLoss:
      return "power loss";
    case CutWay::CablePulled:
      return "cable pulled";
    case CutWay::TechnicianStops:
      return "technician stops";
    case CutWay::ProgramDies:
      return "program dies";
  }
  return "";
}

const char* EraseOrderName(EraseOrder order) {
  return order == EraseOrder::VectorsLast ? "vectors last" : "vectors first";
}

const char* FinishName(Finish finish) {
  switch (finish) {
    case Finish::CutRun:
      return "cut run";
    case Finish::FirstRerun:
      return "first rerun";
    case Finish::SecondRerun:
      return "second rerun";
    case Finish::Never:
      return "not recovered";
  }
  return "";
}

RadioSetup SetupFor(SweepPath path, EraseOrder order) {
  RadioSetup setup;
  setup.controlHead.eraseOrder = order;
  setup.core.eraseOrder = order;
  switch (path) {
    case SweepPath::BothUnits:
      break;
    case SweepPath::CoreOnly:
      setup.controlHead.startsPatched = true;
      break;
    case SweepPath::ControlHeadOnly:
      setup.core.startsPatched = true;
      break;
    case SweepPath::NoAnswerBothUnits:
      setup.controlHeadInMonitor = true;
      break;
    case SweepPath::NoAnswerControlHead:
      setup.controlHeadInMonitor = true;
      setup.core.startsPatched = true;
      break;
  }
  return setup;
}

std::vector<Step> RecordSteps(const ResourceSource& resources, SweepPath path, EraseOrder order) {
  Workshop workshop(resources, path, order);
  workshop.Run();
  return workshop.LastSteps();
}

CaseResult RunCase(const ResourceSource& resources, SweepPath path, EraseOrder order,
                   CutPoint point, CutWay way) {
  Workshop workshop(resources, path, order);
  SweepClock& clock = workshop.Clock();
  SimulatedRadio& radio = workshop.Radio();
  CaseResult result;
  std::optional<Micros> stopAt;

  const RunRecord cutRun = workshop.Run([&](StepCounter& steps, ScriptedHost& host) {
    steps.Arm(point, [&, hostPointer = &host] {
      switch (way) {
        case CutWay::PowerLoss:
          radio.PowerOff();
          break;
        case CutWay::CablePulled:
          radio.PullCable();
          break;
        case CutWay::TechnicianStops:
          stopAt = clock.Now();
          hostPointer->CloseAtTime(clock.Now());
          break;
        case CutWay::ProgramDies:
          throw ProgramDied{};
      }
    });
  });
  result.endings.push_back(Ending(cutRun));
  workshop.CheckCompletion(cutRun, "the cut run", result);
  if (stopAt) workshop.CheckNoEraseAfter(*stopAt, workshop.LastClosedAt(), result);

  if (way == CutWay::PowerLoss) {
    clock.Sleep(kPowerOffTime);
    radio.PowerOn();
  }
  if (way == CutWay::CablePulled) radio.PlugInCable();

  const auto usedOriginalCodes = [&cutRun](const RunRecord& run) {
    for (DateCodeQuestion question : run.questions) {
      const bool shown =
          question == DateCodeQuestion::Core ? cutRun.showedCoreCode : cutRun.showedControlCode;
      if (!shown) return true;
    }
    return false;
  };

  if (workshop.Finished(cutRun)) {
    result.finish = Finish::CutRun;
    return result;
  }
  clock.Sleep(kBetweenRuns);
  const RunRecord first = workshop.Run();
  result.endings.push_back(Ending(first));
  result.neededOriginalCodes = usedOriginalCodes(first);
  workshop.CheckCompletion(first, "the first rerun", result);
  if (workshop.Finished(first)) {
    result.finish = Finish::FirstRerun;
    return result;
  }

  clock.Sleep(kBetweenRuns);
  radio.PowerOff();
  clock.Sleep(kPowerOffTime);
  radio.PowerOn();
  clock.Sleep(kBetweenRuns);
  const RunRecord second = workshop.Run();
  result.endings.push_back(Ending(second));
  result.neededOriginalCodes = result.neededOriginalCodes || usedOriginalCodes(second);
  workshop.CheckCompletion(second, "the second rerun", result);
  if (workshop.Finished(second)) {
    result.finish = Finish::SecondRerun;
    return result;
  }
  result.reason = workshop.Describe();
  return result;
}

GarbageWindows MeasureGarbageWindows(const ResourceSource& resources, UnitId unit,
                                     EraseOrder order) {
  const SweepPath path = unit == UnitId::Core ? SweepPath::CoreOnly : SweepPath::ControlHeadOnly;
  Workshop reference(resources, path, order);
  reference.Run();
  const auto& events = reference.Radio().WireEvents();
  GarbageWindows windows;
  const auto erase = EndOfFirstWrite(
      events, unit == UnitId::Core ? std::span<const std::uint8_t>(kCoreEraseCommand)
                                   : std::span<const std::uint8_t>(kControlHeadEraseCommand));
  if (erase) {
    windows.duringOwnErase = GarbageTime(resources, path, order, unit, *erase, 400ms, 1ms);
  }
  if (const auto row = EndOfLastPacket(events)) {
    windows.duringLastRow = GarbageTime(resources, path, order, unit, *row, 5ms, 10us);
  }
  return windows;
}

}  // namespace tav::sweep
