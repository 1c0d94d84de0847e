#include "image/built_in_resources.h"

#include "image/built_in_resource_table.h"

namespace tav {
namespace {

class BuiltInResourceSource final : public ResourceSource {
 public:
  std::optional<std::span<const std::uint8_t>> FindS19(std::uint16_t id) const override {
    for (const BuiltInResource& resource : kBuiltInResourceTable) {
      if (resource.id == id) return resource.text;
    }
    return std::nullopt;
  }
};

}  // namespace

const ResourceSource& BuiltInResources() {
  static const BuiltInResourceSource source;
  return source;
}

}  // namespace tav
