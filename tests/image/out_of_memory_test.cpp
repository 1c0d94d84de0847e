// An image whose memory cannot be had fails its load with result 1 instead of crashing. The
// program's array allocations that may fail are nothrow ones; this test makes them fail.

#include <gtest/gtest.h>

#include <new>

#include "image/map_resource_source.h"
#include "image/resource_ids.h"
#include "image/s19_image.h"
#include "tests/image/s19_text.h"

namespace {
bool failNothrowArrays = false;
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (failNothrowArrays) return nullptr;
  try {
    return ::operator new[](size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

namespace tav {
namespace {

TEST(LoadWithoutMemory, GivesResultOneAndHoldsNoArrays) {
  MapResourceSource resources;
  resources.Set(kCoreFirmwareResource, test::S1(0x8000, test::Bytes(4)) + test::kS9);
  S19Image image;
  failNothrowArrays = true;
  const int result = image.Load(resources, kCoreFirmwareResource, 0x8000, 0x8000);
  failNothrowArrays = false;
  EXPECT_EQ(result, 1);
  EXPECT_EQ(image.bytes.get(), nullptr);
  EXPECT_EQ(image.usedMask.get(), nullptr);
  EXPECT_EQ(image.windowSize, 0u);
  EXPECT_EQ(image.usedCount, 0u);

  EXPECT_EQ(image.Load(resources, kCoreFirmwareResource, 0x8000, 0x8000), 0);
  EXPECT_EQ(image.usedCount, 4u);
}

}  // namespace
}  // namespace tav
