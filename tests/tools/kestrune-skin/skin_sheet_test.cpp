#include "tools/kestrune-skin/skin_sheet.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "platform/error.h"
#include "skin/paint/png_decode.h"
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

TEST(SkinSheetTest, AnArchiveWithoutOptionsIsRefused) {
  EXPECT_THROW((void)MakeContactSheet(skin::Bytes{'A', 'S', 'z', 'f', 0, 0, 0, 0}, 96), Error);
}

}  // namespace
}  // namespace kestrune::skin_tool
