#include "sim/ram_programs.h"

#include "image/resource_ids.h"

namespace tav {
namespace {

std::unique_ptr<S19Image> LoadRamImage(const ResourceSource& resources, std::uint16_t id) {
  auto image = std::make_unique<S19Image>();
  if (image->Load(resources, id, kRamWindowBase, kRamWindowSize) != 0) return nullptr;
  return image;
}

bool Holds(const UnitMemory& memory, const S19Image& image) {
  for (std::uint32_t i = 0; i < image.windowSize; ++i) {
    if (image.usedMask[i] == 0) continue;
    const auto address = static_cast<std::uint16_t>(image.baseAddress + i);
    if (!UnitMemory::InRam(address) || memory.RamAt(address) != image.bytes[i]) return false;
  }
  return true;
}

}  // namespace

RamProgramCatalogue::RamProgramCatalogue(const ResourceSource& resources)
    : entries_{
          Entry{RamProgram::TalkThrough, LoadRamImage(resources, kTalkThroughResource)},
          Entry{RamProgram::ControlHeadLoader, LoadRamImage(resources, kControlHeadLoaderResource)},
          Entry{RamProgram::CoreLoader, LoadRamImage(resources, kCoreLoaderResource)}} {}

RamProgram RamProgramCatalogue::Recognise(const UnitMemory& memory,
                                          std::uint16_t programCounter) const {
  if (programCounter != kRamProgramEntry) return RamProgram::Unrecognised;
  for (const Entry& entry : entries_) {
    if (entry.image && entry.image->usedCount > 0 && Holds(memory, *entry.image)) {
      return entry.program;
    }
  }
  return RamProgram::Unrecognised;
}

}  // namespace tav
