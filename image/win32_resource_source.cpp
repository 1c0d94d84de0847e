#include "image/win32_resource_source.h"

namespace tav {

// A module's resources stay mapped while the module is loaded, so nothing is released.
std::optional<std::span<const std::uint8_t>> Win32ResourceSource::FindS19(std::uint16_t id) const {
  HRSRC info = FindResourceA(module_, MAKEINTRESOURCEA(id), "S19");
  if (info == nullptr) return std::nullopt;
  HGLOBAL loaded = LoadResource(module_, info);
  if (loaded == nullptr) return std::nullopt;
  const void* text = LockResource(loaded);
  if (text == nullptr) return std::nullopt;
  const DWORD size = SizeofResource(module_, info);
  return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(text), size);
}

}  // namespace tav
