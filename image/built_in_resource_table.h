#pragma once
// The table the build generates from resources/*.s19 (cmake/EmbedResources.cmake).

#include <cstdint>
#include <span>

namespace tav {

struct BuiltInResource {
  std::uint16_t id;
  std::span<const std::uint8_t> text;
};

extern const std::span<const BuiltInResource> kBuiltInResourceTable;

}  // namespace tav
