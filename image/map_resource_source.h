#pragma once
// S19 resources held in a map, for tests and tools that put together resources of their own
// (a missing or damaged resource is one line). Each text is kept in storage of exactly its
// size, so a read past its end is a read past the allocation.

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string_view>

#include "image/resource_source.h"

namespace tav {

class MapResourceSource final : public ResourceSource {
 public:
  void Set(std::uint16_t id, std::span<const std::uint8_t> text) {
    Entry entry{std::make_unique<std::uint8_t[]>(text.size()), text.size()};
    std::copy(text.begin(), text.end(), entry.bytes.get());
    entries_[id] = std::move(entry);
  }
  void Set(std::uint16_t id, std::string_view text) {
    Set(id, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }
  void Remove(std::uint16_t id) { entries_.erase(id); }

  std::optional<std::span<const std::uint8_t>> FindS19(std::uint16_t id) const override {
    const auto found = entries_.find(id);
    if (found == entries_.end()) return std::nullopt;
    return std::span<const std::uint8_t>(found->second.bytes.get(), found->second.size);
  }

 private:
  struct Entry {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
  };
  std::map<std::uint16_t, Entry> entries_;
};

}  // namespace tav
