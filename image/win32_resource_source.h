#pragma once
// The S19 resources of a Windows module: the program's own resources.

#include <windows.h>

#include "image/resource_source.h"

namespace tav {

class Win32ResourceSource final : public ResourceSource {
 public:
  explicit Win32ResourceSource(HMODULE module) : module_(module) {}
  std::optional<std::span<const std::uint8_t>> FindS19(std::uint16_t id) const override;

 private:
  HMODULE module_;
};

}  // namespace tav
