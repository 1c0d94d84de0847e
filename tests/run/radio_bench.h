#pragma once
// A patch run against the simulated radio on the virtual clock, with a scripted technician,
// and what the tests look at afterwards: the wire, the flash, what was shown.

#include <cstdint>
#include <string>
#include <vector>

#include "image/built_in_resources.h"
#include "image/map_resource_source.h"
#include "image/resource_ids.h"
#include "image/s19_image.h"
#include "link/process_state.h"
#include "link/serial_link.h"
#include "run/patch_run.h"
#include "sim/scripted_host.h"
#include "sim/simulated_radio.h"
#include "sim/virtual_clock.h"

namespace tav::test {

using Bytes = std::vector<std::uint8_t>;

inline const Bytes kControlHeadErase = {0xA7, 0x5C, 0x0E, 0x91, 0x3B};
inline const Bytes kCoreErase = {0x20, 0xA7, 0x5C, 0x0E, 0xC6};
inline const Bytes kClosingPacket = {0x02, 0x55, 0xAA, 0x00, 0x01};

struct RadioBench {
  explicit RadioBench(const RadioSetup& setup = {}) : radio(clock, BuiltInResources(), setup) {}

  // The run's outcome; the whole report stays in `report`.
  PatchOutcome Run(const ResourceSource& resources = BuiltInResources()) {
    report = RunPatch(link, resources);
    return report.outcome;
  }

  // The PC's side of the wire: writes, single bytes and breaks, in order.
  std::vector<WireEvent> PcEvents() const {
    std::vector<WireEvent> pc;
    for (const WireEvent& e : radio.WireEvents()) {
      if (e.direction == WireDirection::PcToRadio) pc.push_back(e);
    }
    return pc;
  }

  // Index of the first PC event at or after `from` that carries exactly these bytes, or -1.
  int Find(const Bytes& bytes, int from = 0) const {
    const std::vector<WireEvent> pc = PcEvents();
    for (int i = from; i < static_cast<int>(pc.size()); ++i) {
      if (pc[i].kind == WireKind::Bytes && pc[i].bytes == bytes) return i;
    }
    return -1;
  }

  int Count(const Bytes& bytes) const {
    int n = 0;
    for (const WireEvent& e : PcEvents()) n += e.kind == WireKind::Bytes && e.bytes == bytes;
    return n;
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : host.Messages()) texts.push_back(m.text);
    return texts;
  }

  Bytes FlashOf(UnitId unit) {
    const auto flash = radio.Flash(unit);
    return Bytes(flash.begin(), flash.end());
  }

  VirtualClock clock;
  SimulatedRadio radio;
  ProcessState state;
  ScriptedHost host{state, clock};
  SerialLink link{state, radio.Opener(), clock, host};
  PatchReport report;
};

// The moment of a reference run's nth PC event that carries these bytes.
inline Micros TimeOf(const Bytes& bytes, const RadioSetup& setup = {}, int occurrence = 1) {
  RadioBench reference(setup);
  reference.Run();
  int from = 0;
  for (int k = 0; k < occurrence; ++k) from = reference.Find(bytes, from) + 1;
  return reference.PcEvents()[from - 1].time;
}

// The PC event index of the first break at or after `from`, or -1.
inline int FindBreak(const std::vector<WireEvent>& pc, int from) {
  for (int i = from; i < static_cast<int>(pc.size()); ++i) {
    if (pc[i].kind == WireKind::BreakOn) return i;
  }
  return -1;
}

// What a unit's flash holds after its image was written: the image's bytes, erased flash
// everywhere else.
inline Bytes FlashAfterWriting(std::uint16_t firmwareResource) {
  S19Image image;
  image.Load(BuiltInResources(), firmwareResource, kFlashWindowBase, kFlashWindowSize);
  Bytes flash(kFlashWindowSize, 0xFF);
  for (std::uint32_t i = 0; i < kFlashWindowSize; ++i) {
    if (image.usedMask[i]) flash[i] = image.bytes[i];
  }
  return flash;
}

inline std::unique_ptr<S19Image> Firmware(std::uint16_t resource) {
  auto image = std::make_unique<S19Image>();
  image->Load(BuiltInResources(), resource, kFlashWindowBase, kFlashWindowSize);
  return image;
}

// The built-in resources with one of them left out.
inline MapResourceSource ResourcesWithout(std::uint16_t missing) {
  MapResourceSource resources;
  for (std::uint16_t id : {kControlHeadLoaderResource, kControlHeadFirmwareResource,
                           kCoreLoaderResource, kTalkThroughResource, kCoreFirmwareResource}) {
    if (id != missing) resources.Set(id, *BuiltInResources().FindS19(id));
  }
  return resources;
}

}  // namespace tav::test
