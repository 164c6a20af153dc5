#include "skin/data/stored_skin.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "tests/support/temp_dir.h"

namespace kestrune::skin {
namespace {

TsStoredSkin Skin(const std::string& name, const std::string& data) {
  TsStoredSkin skin;
  skin.Name = name;
  skin.PackedData.assign(data.begin(), data.end());
  return skin;
}

TEST(StoredSkins, FindsNamesExactly) {
  TsStoredSkins skins;
  skins.Items = {Skin("Windows 11 dark (internal)", "a"), Skin("Light", "b"), Skin("Light", "c")};
  EXPECT_EQ(skins.IndexOf("Windows 11 dark (internal)"), 0);
  EXPECT_EQ(skins.IndexOf("Light"), 1);
  EXPECT_EQ(skins.IndexOf("light"), -1);
  EXPECT_EQ(skins.IndexOf(""), -1);
  const TsStoredSkin copy = skins.Items[0];
  EXPECT_EQ(copy.PackedData, skins.Items[0].PackedData);
  EXPECT_EQ(copy.Shadow1Blur, -1);
  EXPECT_EQ(copy.BorderColor, 0xFF00FFu);
}

TEST(StoredSkins, ExportsArchivesUnchanged) {
  kestrune::test::TempDir folder;
  TsStoredSkins skins;
  skins.Items = {Skin("Dark", std::string("ASzf\0\0\0\0", 8)), Skin("Empty", "")};
  std::vector<std::string> shown;
  const auto show = [&shown](const std::string& text) { shown.push_back(text); };

  ExtractInternalSkin(skins, "Dark", folder.Folder(), show);
  EXPECT_EQ(kestrune::test::ReadFileBytes(folder.path() / "Dark extracted.asz"),
            std::string("ASzf\0\0\0\0", 8));
  ExtractInternalSkin(skins, "Empty", folder.Folder(), show);
  EXPECT_EQ(kestrune::test::FileNames(folder.path()),
            std::vector<std::string>{"Dark extracted.asz"})
      << "an item without data writes nothing";
  EXPECT_TRUE(shown.empty());

  ExtractInternalSkin(skins, "dark", folder.Folder(), show);
  ExtractInternalSkin(skins, "Dark", folder.Folder() + "missing", show);
  EXPECT_EQ(shown,
            (std::vector<std::string>{"Skin does not exists.", "Directory does not exists."}));

  // Exporting by index makes the folder.
  const std::string nested = (folder.path() / "made" / "here").string();
  ExtractByIndex(skins, 0, nested, show);
  EXPECT_EQ(kestrune::test::FileNames(folder.path() / "made" / "here"),
            std::vector<std::string>{"Dark extracted.asz"});
  EXPECT_THROW(ExtractByIndex(skins, 2, folder.Folder(), show), Error);

  // A file standing where the folder should be.
  shown.clear();
  const std::string blocked = folder.Write("blocked", "x");
  ExtractByIndex(skins, 0, blocked + "/sub", show);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], NormalizeSkinDirectory(blocked + "/sub") + " directory creation error.");
}

TEST(StoredSkins, NormalizesDirectories) {
#ifdef _WIN32
  EXPECT_EQ(NormalizeSkinDirectory("C"), "C:\\");
  EXPECT_EQ(NormalizeSkinDirectory("C:\\Skins/"), "C:\\Skins\\");
  EXPECT_EQ(NormalizeSkinDirectory("C:\\Skins"), "C:\\Skins\\");
#else
  EXPECT_EQ(NormalizeSkinDirectory("/skins/"), "/skins/");
  EXPECT_EQ(NormalizeSkinDirectory("/skins"), "/skins/");
  EXPECT_EQ(NormalizeSkinDirectory("s"), "s/");
#endif
}

}  // namespace
}  // namespace kestrune::skin
