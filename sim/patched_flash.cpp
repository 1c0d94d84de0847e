#include "sim/patched_flash.h"

#include "image/resource_ids.h"
#include "image/s19_image.h"

namespace tav {

std::optional<FlashBytes> PatchedFlash(const ResourceSource& resources, UnitId unit) {
  const std::uint16_t id =
      unit == UnitId::ControlHead ? kControlHeadFirmwareResource : kCoreFirmwareResource;
  S19Image image;
  if (image.Load(resources, id, kFlashWindowBase, kFlashWindowSize) != 0) return std::nullopt;
  FlashBytes flash;
  flash.fill(0xFF);
  for (std::uint32_t i = 0; i < image.windowSize && i < flash.size(); ++i) {
    if (image.usedMask[i] != 0) flash[i] = image.bytes[i];
  }
  return flash;
}

}  // namespace tav
