// The resources compiled into a Windows module are the same bytes as the built-in table.

#include "image/win32_resource_source.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "image/built_in_resources.h"
#include "image/resource_ids.h"

namespace tav {
namespace {

TEST(Win32ResourceSource, FindsTheFiveResourcesOfTheModule) {
  const Win32ResourceSource module(GetModuleHandleA(nullptr));
  for (std::uint16_t id : {kControlHeadLoaderResource, kControlHeadFirmwareResource,
                           kCoreLoaderResource, kTalkThroughResource, kCoreFirmwareResource}) {
    const auto fromModule = module.FindS19(id);
    const auto builtIn = BuiltInResources().FindS19(id);
    ASSERT_TRUE(fromModule.has_value()) << id;
    ASSERT_TRUE(builtIn.has_value()) << id;
    EXPECT_TRUE(std::ranges::equal(*fromModule, *builtIn)) << id;
  }
  EXPECT_EQ(module.FindS19(108), std::nullopt);
}

}  // namespace
}  // namespace tav
