#include "tools/kestrune-skin/skin_sheet.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "platform/error.h"
#include "skin/paint/png_decode.h"
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
    EXPECT_GT(png.width * png.height, sheet.sections * 3 * (96 * 28) * ppi * ppi / (96 * 96));
  }
  EXPECT_THROW(static_cast<void>(MakePaintSheet(skin::Bytes{1, 2, 3}, 96)), Error);
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

TEST(SkinSheetTest, DensityOutsideTheRangeIsAUsageError) {
  std::FILE* sink = std::tmpfile();
  ASSERT_NE(sink, nullptr);
  for (const char* dpi : {"12", "abc", "481", ""}) {
    SCOPED_TRACE(dpi);
    EXPECT_EQ(RunSkinTool({"sheet", "a.asz", "b.png", "--dpi", dpi}, sink, sink), kExitUsage);
    EXPECT_EQ(RunSkinTool({"paint", "a.asz", "b.png", "--dpi", dpi}, sink, sink), kExitUsage);
  }
  EXPECT_EQ(RunSkinTool({"sheet", "a.asz", "--dpi"}, sink, sink), kExitUsage);
  std::fclose(sink);
}

TEST(SkinSheetTest, AnArchiveWithoutOptionsIsRefused) {
  EXPECT_THROW((void)MakeContactSheet(skin::Bytes{'A', 'S', 'z', 'f', 0, 0, 0, 0}, 96), Error);
}

}  // namespace
}  // namespace kestrune::skin_tool
