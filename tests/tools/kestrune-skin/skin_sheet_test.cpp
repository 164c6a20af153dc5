#include "tools/kestrune-skin/skin_sheet.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "platform/error.h"
#include "skin/data/skin_archive_writer.h"
#include "skin/paint/png_decode.h"
#include "tests/support/png_writer.h"
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

TEST(SkinSheetTest, DensityOutsideTheRangeIsAUsageError) {
  std::FILE* sink = std::tmpfile();
  ASSERT_NE(sink, nullptr);
  for (const char* dpi : {"12", "abc", "481", ""}) {
    SCOPED_TRACE(dpi);
    EXPECT_EQ(RunSkinTool({"sheet", "a.asz", "b.png", "--dpi", dpi}, sink, sink), kExitUsage);
  }
  EXPECT_EQ(RunSkinTool({"sheet", "a.asz", "--dpi"}, sink, sink), kExitUsage);
  std::fclose(sink);
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
