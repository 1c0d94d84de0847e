// Feeds arbitrary text to the S-record loader as a resource, in both windows the program uses,
// and checks what every load must keep true whatever the text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/map_resource_source.h"
#include "image/resource_ids.h"
#include "image/s19_image.h"

namespace {

void LoadAndCheck(const tav::ResourceSource& resources, std::uint16_t base, std::uint16_t size) {
  tav::S19Image image;
  const int result = image.Load(resources, 1, base, size);
  if (result < 0 || result > 4) std::abort();
  if (image.windowSize != size || image.baseAddress != base) std::abort();
  std::uint32_t marked = 0;
  for (std::uint32_t i = 0; i < image.windowSize; ++i) {
    if (image.usedMask[i] > 1) std::abort();
    marked += image.usedMask[i];
  }
  if (marked != image.usedCount) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tav::MapResourceSource resources;
  resources.Set(1, std::span<const std::uint8_t>(data, size));
  LoadAndCheck(resources, tav::kRamWindowBase, tav::kRamWindowSize);
  LoadAndCheck(resources, tav::kFlashWindowBase, tav::kFlashWindowSize);
  return 0;
}
