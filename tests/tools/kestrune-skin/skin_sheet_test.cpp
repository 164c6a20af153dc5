#include "tools/kestrune-skin/skin_sheet.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "platform/error.h"
#include "skin/paint/png_decode.h"
#include "tests/support/temp_dir.h"
#include "tools/kestrune-skin/skin_tool.h"

namespace kestrune::skin_tool {
namespace {

skin::Bytes BuiltinArchive() {
  const auto bytes = skin::BuiltinSkinArchive();
  return skin::Bytes(bytes.begin(), bytes.end());
}

TEST(SkinSheetTest, EveryEntryOfTheBuiltInSkinOnADecodablePicture) {
  for (const int ppi : {96, 144}) {
    SCOPED_TRACE(ppi);
    const ContactSheet sheet = MakeContactSheet(BuiltinArchive(), ppi);
    EXPECT_TRUE(sheet.problems.empty());
    EXPECT_EQ(sheet.entries, 26);
    const DecodedPng png = DecodePng(sheet.png);
    EXPECT_GT(png.width, 400);
    EXPECT_GT(png.height, 100);
  }
}

TEST(SkinSheetTest, PngEncodingKeepsEveryByte) {
  skin::Bitmap bmp = skin::CreateBmp32(3, 2);
  const std::vector<std::uint32_t> pixels = {0x00FF00FFu, 0xFF102030u, 0x80FFFFFFu,
                                             0x01020304u, 0xFFFFFFFFu, 0x00000000u};
  for (int i = 0; i < 6; ++i) {
    bmp.Row32(i / 3)[i % 3] = pixels[static_cast<std::size_t>(i)];
  }
  const DecodedPng png = DecodePng(EncodePng(bmp));
  ASSERT_EQ(png.width, 3);
  ASSERT_EQ(png.height, 2);
  for (std::size_t i = 0; i < 6; ++i) {
    std::uint32_t p = 0;
    for (std::size_t b = 0; b < 4; ++b) {
      p |= std::uint32_t{png.bgra[i * 4 + b]} << (8 * b);
    }
    EXPECT_EQ(p, pixels[i]) << i;
  }
}

TEST(SkinSheetTest, NumbersOutsideTheirRangeAreUsageErrors) {
  std::FILE* sink = std::tmpfile();
  ASSERT_NE(sink, nullptr);
  struct Case {
    const char* option;
    const char* value;
  };
  for (const Case c :
       {Case{"--dpi", "12"}, Case{"--dpi", "abc"}, Case{"--dpi", "481"}, Case{"--dpi", ""},
        Case{"--dpi", "-96"}, Case{"--hue", "361"}, Case{"--hue", "-361"}, Case{"--hue", "1e2"},
        Case{"--saturation", "101"}, Case{"--brightness", "-101"}, Case{"--brightness", "-"},
        Case{"--brightness", "--hue"}}) {
    SCOPED_TRACE(std::string(c.option) + " " + c.value);
    EXPECT_EQ(RunSkinTool({"sheet", "a.asz", "b.png", c.option, c.value}, sink, sink), kExitUsage);
  }
  EXPECT_EQ(RunSkinTool({"sheet", "a.asz", "--dpi"}, sink, sink), kExitUsage);
  EXPECT_EQ(RunSkinTool({"sheet", "a.asz", "b.png", "--hue", "5", "--hue", "6"}, sink, sink),
            kExitUsage);
  std::fclose(sink);
}

TEST(SkinSheetTest, AdjustedColoursReachThePictures) {
  const test::TempDir folder;
  const skin::Bytes archive = BuiltinArchive();
  const std::string archive_path =
      folder.Write("skin.asz", std::string(archive.begin(), archive.end()));
  const std::string plain_path = folder.Folder() + "plain.png";
  const std::string adjusted_path = folder.Folder() + "adjusted.png";
  std::FILE* sink = std::tmpfile();
  ASSERT_NE(sink, nullptr);
  ASSERT_EQ(RunSkinTool({"sheet", archive_path, plain_path}, sink, sink), kExitOk);
  ASSERT_EQ(RunSkinTool({"sheet", archive_path, adjusted_path, "--hue", "120", "--saturation",
                         "-50", "--brightness", "-40"},
                        sink, sink),
            kExitOk);
  std::fclose(sink);
  const std::string plain = test::ReadFileBytes(plain_path);
  const std::string adjusted = test::ReadFileBytes(adjusted_path);
  const DecodedPng a = DecodePng(skin::Bytes(plain.begin(), plain.end()));
  const DecodedPng b = DecodePng(skin::Bytes(adjusted.begin(), adjusted.end()));
  EXPECT_EQ(a.width, b.width);  // The same entries in the same places,
  EXPECT_EQ(a.height, b.height);
  EXPECT_NE(a.bgra, b.bgra);  // in other colours.
}

TEST(SkinSheetTest, AnArchiveWithoutOptionsIsRefused) {
  EXPECT_THROW((void)MakeContactSheet(skin::Bytes{'A', 'S', 'z', 'f', 0, 0, 0, 0}, 96), Error);
}

}  // namespace
}  // namespace kestrune::skin_tool
