#include "tools/kestrune-skin/skin_sheet.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "platform/error.h"
#include "skin/data/skin_archive_writer.h"
#include "skin/pixels/png_decode.h"
#include "tests/support/png_writer.h"
#include "tests/support/temp_dir.h"
#include "tools/kestrune-skin/skin_paint_sheet.h"
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

TEST(SkinSheetTest, EverySectionOfTheBuiltInSkinPainted) {
  for (const int ppi : {96, 144}) {
    SCOPED_TRACE(ppi);
    const PaintSheet sheet = MakePaintSheet(BuiltinArchive(), ppi);
    EXPECT_TRUE(sheet.problems.empty());
    EXPECT_GT(sheet.sections, 60);
    const DecodedPng png = DecodePng(sheet.png);
    EXPECT_GT(png.width, 400);
    const std::int64_t least_area =
        std::int64_t{sheet.sections} * 3 * (96 * 28) * ppi * ppi / (96 * 96);
    EXPECT_GT(std::int64_t{png.width} * png.height, least_area);
  }
  EXPECT_THROW(static_cast<void>(MakePaintSheet(skin::Bytes{1, 2, 3}, 96)), Error);
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

// A small archive may declare pictures far larger than itself; drawing five entries of a 2048 x
// 2048 master image would take a sheet of more than 21 million pixels.
TEST(SkinSheetTest, ASheetBeyondItsBoundIsRefused) {
  test::PngRecipe recipe;
  recipe.width = recipe.height = 2048;
  recipe.color_type = 0;
  recipe.rows.assign(std::size_t{2049} * 2048, 0);
  const test::Bytes master = test::MakePng(recipe);
  std::string options = "[GLOBALINFO]\nVERSION=2.5\nMASTERBITMAP=M.PNG\n";
  for (int i = 0; i < 5; ++i) {
    options +=
        "[S" + std::to_string(i) + "]\nBORDERSMASK=&0000000020482048000000000000000010000000000\n";
  }
  const std::vector<skin::PackedMember> members = {
      {"OPTIONS.DAT", skin::Bytes(options.begin(), options.end())},
      {"M.PNG", skin::Bytes(master.begin(), master.end())}};
  const skin::Bytes archive = skin::PackSkinArchive(members, std::nullopt);
  try {
    (void)MakeContactSheet(archive, 96);
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_NE(std::string(error.what()).find("more than the 16777216 pixels a sheet may have"),
              std::string::npos)
        << error.what();
  }
}

TEST(SkinSheetTest, AnArchiveWithoutOptionsIsRefused) {
  EXPECT_THROW((void)MakeContactSheet(skin::Bytes{'A', 'S', 'z', 'f', 0, 0, 0, 0}, 96), Error);
}

}  // namespace
}  // namespace kestrune::skin_tool
