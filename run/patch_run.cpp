#include "run/patch_run.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "image/resource_ids.h"
#include "image/s19_image.h"
#include "link/monitor_loader.h"
#include "run/date_code.h"
#include "run/radio_commands.h"
#include "run/radio_identification.h"
#include "run/status_area.h"
#include "run/typed_date_code.h"
#include "run/unit_flashing.h"

namespace tav {

namespace {

constexpr std::string_view kRadioCaption = "Sorel Radio";
constexpr std::string_view kPatchCaption = "TAV Patch";
constexpr std::uint8_t kReleaseByte = 0x01;      // ends the conversation without patching
constexpr std::uint8_t kPassThroughByte = 0xF3;  // the control head relays the line to the core

// What the run knows about one unit, and what it did to it.
struct UnitFacts {
  DateCode code = 0;
  std::string text;  // display text, empty until read from the radio
  bool read = false;
  bool needsPatch = false;
  // Patched or Failed once its sequence has run.
  UnitWork work = UnitWork::NotRequired;
  // Told to erase its program, or found in its monitor without one.
  bool erased = false;

  void Decide(bool needs) {
    needsPatch = needs;
    work = needs ? UnitWork::Skipped : UnitWork::NotRequired;
  }
  UnitReport Report() const {
    return {.codeText = text,
            .codeRead = read,
            .work = work,
            .leftErased = erased && work != UnitWork::Patched};
  }
};

// One run over an open link. Each preparation either ends the run with its outcome, or returns
// nothing once the radio is ready for the unit sequences.
class PatchRun {
 public:
  PatchRun(SerialLink& link, const ResourceSource& resources)
      : link_(link), resources_(resources), host_(link.UserInterface()), state_(link.State()) {}

  PatchReport Execute() {
    PatchOutcome outcome = Patch();
    // A run the technician stopped says so, unless every unit it was to write was written.
    if (link_.AbortRequested() && outcome != PatchOutcome::Completed) {
      outcome = PatchOutcome::Stopped;
    }
    return {.outcome = outcome, .core = core_.Report(), .control = control_.Report()};
  }

 private:
  PatchOutcome Patch() {
    SetBusy(host_, true);
    state_.abortFlag = false;
    state_.controlHeadMode = false;
    SendSecurityBytes(link_);
    link_.SetLinkBaud(4800);

    std::optional<PatchOutcome> ended;
    switch (ProbeRadio(link_)) {
      case ProbeAnswer::ControlHead:
        ended = PrepareThroughControlHead();
        break;
      case ProbeAnswer::ForeignRadio:
        return RefuseForeignRadio();
      case ProbeAnswer::NoAnswer:
        ended = PrepareFromMonitor();
        break;
    }
    return ended ? *ended : FlashUnits();
  }

  // The control head runs its own firmware: both date codes can be read through it.
  std::optional<PatchOutcome> PrepareThroughControlHead() {
    state_.controlHeadMode = true;
    host_.SetElementText(StatusElement::Headline, "Control Head Detected");
    core_.read = ReadDateCode(link_, UnitIndex::Core, core_.code, &core_.text);
    control_.read = ReadDateCode(link_, UnitIndex::ControlHead, control_.code, &control_.text);
    core_.Decide(IsEligible(core_.code, kCoreEligibleDateCodes));
    control_.Decide(IsEligible(control_.code, kControlHeadEligibleDateCodes));
    if (!core_.read) core_.Decide(AskDateCode(DateCodeQuestion::Core));
    if (!control_.read) control_.Decide(AskDateCode(DateCodeQuestion::ControlHead));

    if (!core_.needsPatch && !control_.needsPatch) {
      link_.SendImmediateNoWait(kReleaseByte);
      const std::string text =
          "Core " + core_.text + "\nCntl " + control_.text + "\nPatch not required for this radio.";
      host_.ShowMessage(text, kPatchCaption, MessageIcon::Information, MessageButtons::Ok);
      return PatchOutcome::NotRequired;
    }
    ShowDateCodes();
    if (!control_.needsPatch) {
      // Only the core: the control head passes the line through and is left untouched.
      link_.SendBytes(&kPassThroughByte, 1);
      link_.Sleep(50);
      link_.SetLinkBaud(9600);
      return std::nullopt;
    }
    if (!core_.needsPatch) {
      // Only the control head: its own sequence erases it, since control-head mode is set.
      link_.SetLinkBaud(9600);
      return std::nullopt;
    }
    // Both: erase the control head now and run the talk-through relay in its RAM, so the core
    // is reached through it; the control head is reprogrammed from its monitor afterwards. A
    // stop asked for by now releases the radio untouched, as a run that patches nothing does.
    if (link_.StopRequestedNow()) {
      link_.SendImmediateNoWait(kReleaseByte);
      return PatchOutcome::Stopped;
    }
    link_.SendBytes(kControlHeadEraseCommand.data(), kControlHeadEraseCommand.size());
    control_.erased = true;
    state_.controlHeadMode = false;
    link_.PumpWait(1000);
    link_.SetLinkBaud(9600);
    SendSecurityBytes(link_);
    if (!LoadTalkThrough()) return PatchOutcome::NoContact;
    LoadRamApplication(link_, talkThrough_);
    link_.SetLinkBaud(9600);
    return std::nullopt;
  }

  PatchOutcome RefuseForeignRadio() {
    link_.SendImmediateNoWait(kReleaseByte);
    host_.ShowMessage("This program only works with TAV radios.", kRadioCaption,
                      MessageIcon::Information, MessageButtons::Ok);
    return PatchOutcome::ForeignRadio;
  }

  // Nothing answered: the control head waits in its ROM monitor, erased. The security bytes
  // sent at the start were at 9600 baud, so the talk-through relay goes in at once, and the
  // technician is asked for both date codes.
  std::optional<PatchOutcome> PrepareFromMonitor() {
    link_.SetLinkBaud(9600);
    if (!LoadTalkThrough()) return PatchOutcome::NoContact;
    if (LoadRamApplication(link_, talkThrough_) != kRamProgramRunning) {
      host_.ShowMessage("Unable to contact radio.", kRadioCaption, MessageIcon::Warning,
                        MessageButtons::Ok);
      return PatchOutcome::NoContact;
    }
    // The relay runs in the control head's RAM: it waits in its monitor without a program.
    control_.erased = true;
    core_.Decide(AskDateCode(DateCodeQuestion::Core));
    control_.Decide(AskDateCode(DateCodeQuestion::ControlHead));
    // A control head whose question was cancelled still has no program, and gets none.
    if (!control_.needsPatch) control_.work = UnitWork::Skipped;
    if (core_.needsPatch || control_.needsPatch) ShowDateCodes();
    // Without the core, the long break resets the control head out of the relay into its
    // monitor.
    if (!core_.needsPatch) SendBreak(link_, 500);
    return std::nullopt;
  }

  // "Flash Write complete." only when every unit sequence that ran succeeded and no unit is
  // left without a program: a failed unit has told the technician what went wrong.
  PatchOutcome FlashUnits() {
    if (core_.needsPatch) Record(core_, FlashCoreUnit());
    if (control_.needsPatch) Record(control_, FlashControlHeadUnit());
    // Every unit to be patched has had its sequence: only a control head found in its monitor
    // and not to be patched is still waiting for a program.
    const bool controlHeadUnprogrammed = control_.work == UnitWork::Skipped;
    if (controlHeadUnprogrammed) {
      host_.ShowMessage(
          "The control head has no working program and was not patched.\nRun the patch again "
          "and enter its date code, or contact Sorel customer service.",
          kRadioCaption, MessageIcon::Warning, MessageButtons::Ok);
    }
    if (controlHeadUnprogrammed || core_.work == UnitWork::Failed ||
        control_.work == UnitWork::Failed) {
      return PatchOutcome::Failed;
    }
    host_.ShowMessage("Flash Write complete.", kRadioCaption, MessageIcon::Information,
                      MessageButtons::Ok);
    return PatchOutcome::Completed;
  }

  // The codes of the units to be patched, with the note asking to record them when they came
  // from the radio: on screen before anything is erased, so that a run cut short leaves the
  // technician the codes the next run will ask for.
  void ShowDateCodes() {
    if (control_.needsPatch) host_.SetElementText(StatusElement::ControlDateText, control_.text);
    if (core_.needsPatch) host_.SetElementText(StatusElement::CoreDateText, core_.text);
    if (core_.read || control_.read) host_.ShowElement(StatusElement::DateCodeNote, true);
  }

  // A unit whose firmware image does not load is not erased and counts as failed.
  // LoadFlashImage has shown why.
  UnitFlashResult FlashCoreUnit() {
    const std::unique_ptr<S19Image> firmware =
        LoadFlashImage(host_, resources_, kCoreFirmwareResource);
    if (firmware) return FlashCore(link_, resources_, *firmware);
    // Leave the line as the core sequence would: the long break ends the relay, so a control
    // head that follows is reached in its monitor.
    SendBreak(link_, 500);
    return {};
  }

  UnitFlashResult FlashControlHeadUnit() {
    const std::unique_ptr<S19Image> firmware =
        LoadFlashImage(host_, resources_, kControlHeadFirmwareResource);
    if (!firmware) return {};
    return FlashControlHead(link_, resources_, *firmware);
  }

  static void Record(UnitFacts& unit, const UnitFlashResult& result) {
    unit.work = result.written ? UnitWork::Patched : UnitWork::Failed;
    unit.erased = unit.erased || result.eraseSent;
  }

  bool LoadTalkThrough() {
    if (talkThrough_.Load(resources_, kTalkThroughResource, kRamWindowBase, kRamWindowSize) == 0) {
      return true;
    }
    host_.ShowMessage("Unable to open TALKTHRU.S19", kRadioCaption, MessageIcon::Warning,
                      MessageButtons::Ok);
    return false;
  }

  // The unit needs the patch only when the technician typed an eligible code.
  bool AskDateCode(DateCodeQuestion unit) { return host_.AskDateCode(unit) == kDateCodeEligible; }

  SerialLink& link_;
  const ResourceSource& resources_;
  Host& host_;
  ProcessState& state_;
  UnitFacts core_;
  UnitFacts control_;
  S19Image talkThrough_;
};

}  // namespace

PatchReport RunPatch(SerialLink& link, const ResourceSource& resources) {
  if (link.OpenLink() != 0) return {};
  const PatchReport report = PatchRun(link, resources).Execute();
  SetBusy(link.UserInterface(), false);
  link.CloseLink();
  return report;
}

}  // namespace tav
