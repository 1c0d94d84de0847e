// Loading a unit's firmware image and telling the technician why it could not be loaded.

#include "image/s19_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/map_resource_source.h"
#include "image/resource_ids.h"
#include "tests/image/s19_text.h"

namespace tav {
namespace {

struct Shown {
  std::string text, caption;
  MessageIcon icon;
  MessageButtons buttons;
};

class RecordingHost final : public MessageBoxHost {
 public:
  MessageAnswer ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                            MessageButtons buttons) override {
    shown.push_back({std::string(text), std::string(caption), icon, buttons});
    return MessageAnswer::Ok;
  }
  std::vector<Shown> shown;
};

TEST(LoadFlashImage, AFailedLoadShowsItsTextAndYieldsNoImage) {
  struct Case {
    const char* name;
    std::optional<std::string> resource;  // none: the id is missing
    const char* message;
  } cases[] = {
      {"missing", std::nullopt, "Unable to load resource"},
      {"malformed", "S1058000123434 \r\n" + test::kS9, "Invalid hex file"},
      {"checksum", "S1058000123435\r\n" + test::kS9, "Checksum error in hex file"},
      {"outside the flash", test::S1(0x7FF0, test::Bytes(16)) + test::kS9, "Address out of bounds"},
  };
  for (const Case& c : cases) {
    MapResourceSource resources;
    if (c.resource) resources.Set(kCoreFirmwareResource, *c.resource);
    RecordingHost host;
    EXPECT_EQ(LoadFlashImage(host, resources, kCoreFirmwareResource), nullptr) << c.name;
    ASSERT_EQ(host.shown.size(), 1u) << c.name;
    EXPECT_EQ(host.shown[0].text, c.message) << c.name;
    EXPECT_EQ(host.shown[0].caption, "Sorel Radio") << c.name;
    EXPECT_EQ(host.shown[0].icon, MessageIcon::None) << c.name;
    EXPECT_EQ(host.shown[0].buttons, MessageButtons::Ok) << c.name;
  }
}

TEST(LoadFlashImage, LoadsIntoTheFlashWindowSilently) {
  MapResourceSource resources;
  resources.Set(kControlHeadFirmwareResource,
                test::S1(0x8000, {0x11}) + test::S1(0xFFFF, {0x22}) + test::kS9);
  RecordingHost host;
  const std::unique_ptr<S19Image> image =
      LoadFlashImage(host, resources, kControlHeadFirmwareResource);
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(host.shown.empty());
  EXPECT_EQ(image->baseAddress, 0x8000);
  EXPECT_EQ(image->windowSize, 0x8000u);
  EXPECT_EQ(image->usedCount, 2u);
  EXPECT_EQ(image->bytes[0], 0x11);
  EXPECT_EQ(image->bytes[0x7FFF], 0x22);
}

}  // namespace
}  // namespace tav
