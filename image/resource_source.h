#pragma once
// Where the program's S19 resources come from: the Windows module's own resources, a table
// compiled into the native build, or a map in a test.

#include <cstdint>
#include <optional>
#include <span>

namespace tav {

class ResourceSource {
 public:
  virtual ~ResourceSource() = default;
  // The bytes of the resource of type "S19" with this id, read-only and valid for the
  // source's lifetime, or nothing when there is no such resource or it cannot be loaded.
  virtual std::optional<std::span<const std::uint8_t>> FindS19(std::uint16_t id) const = 0;
};

}  // namespace tav
