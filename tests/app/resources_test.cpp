// What tavpatch.exe carries: its dialog templates, icons, S19 resources, version information
// and manifest, read from the built file.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "resources/dialog_ids.h"
#include "tests/app/gui_driver.h"

namespace tav::gui {
namespace {

class ProgramResources : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  // The resource's bytes, empty when it is missing.
  std::string Bytes(LPCSTR type, int id) const {
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) return {};
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
    return std::string(data, SizeofResource(module_, found));
  }

  HMODULE module_ = nullptr;
};

TEST_F(ProgramResources, AreAllCarried) {
  for (int id : {IDD_MAIN_WINDOW, IDD_INTRO, IDD_DATE_CODE}) {
    EXPECT_FALSE(Bytes(MAKEINTRESOURCEA(5), id).empty()) << "dialog " << id;  // RT_DIALOG
  }
  for (int id : {IDI_PROGRAM, IDI_INTRO_PICTURE}) {
    EXPECT_FALSE(Bytes(MAKEINTRESOURCEA(14), id).empty()) << "icon group " << id;
  }
  const std::pair<int, std::size_t> s19[] = {
      {107, 1032}, {109, 40832}, {114, 932}, {115, 452}, {116, 12364}};
  for (const auto& [id, size] : s19) EXPECT_EQ(Bytes("S19", id).size(), size) << "S19 " << id;
}

TEST_F(ProgramResources, ManifestRunsWithTheTechniciansRights) {
  const std::string manifest = Bytes(MAKEINTRESOURCEA(24), 1);
  EXPECT_NE(manifest.find("requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}

std::string Wide(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    out += '\0';
  }
  return out;
}

// The version block holds its strings in UTF-16, each name followed, after its terminator and
// the padding to a 4-byte boundary, by its value.
bool HasEntry(const std::string& version, const std::string& name, const std::string& value) {
  auto at = version.find(Wide(name) + std::string(2, '\0'));
  if (at == std::string::npos) return false;
  at += Wide(name).size();
  while (at < version.size() && version[at] == '\0') ++at;
  return version.compare(at, Wide(value).size(), Wide(value)) == 0;
}

TEST_F(ProgramResources, VersionInformation) {
  const std::string version = Bytes(MAKEINTRESOURCEA(16), 1);
  ASSERT_FALSE(version.empty());
  EXPECT_NE(version.find(Wide("040904B0")), std::string::npos);
  EXPECT_TRUE(HasEntry(version, "FileVersion", "1, 0, 0, 65"));
  EXPECT_TRUE(HasEntry(version, "ProductVersion", "1, 0, 0, 65"));
  EXPECT_TRUE(HasEntry(version, "InternalName", "TAVPatch"));
  EXPECT_TRUE(HasEntry(version, "OriginalFilename", "TAVPatch.exe"));
  EXPECT_TRUE(HasEntry(version, "FileDescription", "TAV Patch 4412-30551-002"));
  // VS_FIXEDFILEINFO: file version 1.0 / 0.65.
  const std::string fixed("\xBD\x04\xEF\xFE", 4);
  const auto at = version.find(fixed);
  ASSERT_NE(at, std::string::npos);
  DWORD fileVersion[2];
  std::memcpy(fileVersion, version.data() + at + 8, sizeof fileVersion);
  EXPECT_EQ(fileVersion[0], 0x00010000u);
  EXPECT_EQ(fileVersion[1], 0x00000041u);
}

}  // namespace
}  // namespace tav::gui
