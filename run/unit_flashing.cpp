#include "run/unit_flashing.h"

#include <string_view>

#include "image/resource_ids.h"
#include "link/flash_writer.h"
#include "link/monitor_loader.h"
#include "run/radio_commands.h"
#include "run/status_area.h"

namespace tav {

namespace {

constexpr std::string_view kCaption = "Sorel Radio";
constexpr std::string_view kLockOutText =
    "CPU security lock out.\nCycle radio power and try again.";

bool LoadFlashLoader(SerialLink& link, const ResourceSource& resources, S19Image& loader,
                     std::uint16_t resourceId, std::string_view failureText) {
  if (loader.Load(resources, resourceId, kRamWindowBase, kRamWindowSize) == 0) return true;
  link.UserInterface().ShowMessage(failureText, kCaption, MessageIcon::Warning, MessageButtons::Ok);
  return false;
}

// The loader's failure to start, told to the technician unless they asked to stop.
void ReportLoaderFailure(SerialLink& link, int started, std::string_view silentText) {
  if (link.AbortRequested()) return;
  const std::string_view text = started == kRamProgramLockedOut ? kLockOutText : silentText;
  link.UserInterface().ShowMessage(text, kCaption, MessageIcon::Information, MessageButtons::Ok);
}

}  // namespace

UnitFlashResult FlashCore(SerialLink& link, const ResourceSource& resources,
                          const S19Image& firmware) {
  S19Image loader;
  if (!LoadFlashLoader(link, resources, loader, kCoreLoaderResource,
                       "Unable to open CORFLASH.S19")) {
    // While the control head relays the line to the core (its own firmware is not running),
    // the closing break is still due: it resets the relay, so that the control head's own
    // sequence reaches its monitor and not the core.
    if (!link.State().controlHeadMode) SendBreak(link, 500);
    return {};
  }
  Host& host = link.UserInterface();
  // A stop asked for before the erase leaves the core alone; the closing break still ends
  // the talk-through relay as the sequence would. The security bytes dispatch nothing, so a
  // stop asked for while they go out is let through once more right before the erase.
  const auto stopBeforeErase = [&link] {
    if (!link.StopRequestedNow()) return false;
    SendBreak(link, 500);
    return true;
  };
  if (stopBeforeErase()) return {};
  SendSecurityBytes(link);
  if (stopBeforeErase()) return {};

  link.SetLinkBaud(38400);
  ShowStatus(host, "Erasing Core OS");
  link.SendBytes(kCoreEraseCommand.data(), kCoreEraseCommand.size());
  UnitFlashResult result{.written = false, .eraseSent = true};
  link.Sleep(1000);

  link.SetLinkBaud(9600);
  SendSecurityBytes(link);
  const int started = LoadRamApplication(link, loader);
  if (started == kRamProgramRunning) {
    ShowStatus(host, "Writing Core Program");
    result.written = WriteFlashImage(link, firmware) == 1;
  } else {
    ReportLoaderFailure(link, started, "No response from core.");
  }
  SendBreak(link, 500);
  return result;
}

UnitFlashResult FlashControlHead(SerialLink& link, const ResourceSource& resources,
                                 const S19Image& firmware) {
  S19Image loader;
  if (!LoadFlashLoader(link, resources, loader, kControlHeadLoaderResource,
                       "Unable to open CTLFLASH.S19")) {
    return {};
  }
  Host& host = link.UserInterface();
  UnitFlashResult result;
  if (link.State().controlHeadMode) {
    if (link.StopRequestedNow()) return result;  // the control head is left alone
    link.SetLinkBaud(4800);
    ShowStatus(host, "Erasing Control Head Program");
    link.SendBytes(kControlHeadEraseCommand.data(), kControlHeadEraseCommand.size());
    result.eraseSent = true;
    link.PumpWait(1000);
    link.SetLinkBaud(9600);
  }
  SendSecurityBytes(link);
  if (link.AbortRequested()) return result;

  ShowStatus(host, "Writing to RAM");
  const int started = LoadRamApplication(link, loader);
  if (started != kRamProgramRunning) {
    ReportLoaderFailure(link, started, "No response from radio.");
    return result;
  }
  host.SetElementText(StatusElement::Headline, "RAM Application running");
  ShowStatus(host, "Writing Control Head Program");
  result.written = WriteFlashImage(link, firmware) == 1;
  return result;
}

}  // namespace tav
