// kestrune-skin check on small archives made in memory, one problem at a time.

#include "tools/kestrune-skin/skin_check.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "skin/data/skin_archive_writer.h"

namespace kestrune::skin_tool {
namespace {

using skin::Bytes;

Bytes Text(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

// Only the header, which is all the check reads of a picture.
Bytes PngHeader(std::uint32_t width, std::uint32_t height) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (const std::uint32_t value : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8)
      png.push_back(static_cast<std::uint8_t>(value >> shift));
  }
  return png;
}

std::vector<std::string> Check(const std::string& options,
                               std::vector<skin::PackedMember> pictures = {
                                   {"MASTER.PNG", PngHeader(100, 50)},
                                   {"glow.png", PngHeader(32, 32)}}) {
  pictures.insert(pictures.begin(), {"OPTIONS.DAT", Text(options)});
  return CheckSkinArchive(skin::PackSkinArchive(pictures, std::nullopt));
}

constexpr std::string_view kGlobal = "[GLOBALINFO]\nMASTERBITMAP=MASTER.PNG\n";

struct Case {
  const char* name;
  std::string options;  // After kGlobal.
  std::vector<std::string> problems;
};

TEST(SkinCheck, ReportsEachProblemWithItsSectionAndKey) {
  const Case cases[] = {
      {"sound skin",
       "BICONCLOSE=@0000@0000@0090@0020@3@0\n[EDIT]\nGLOW0=!GLOW.PNG!1!0!3!0011!0011!0011!0011!1\n"
       "[MEMO]\nPARENTCLASS=EDIT\n[A]\nPARENTCLASS=?\n[B]\nPARENTCLASS=\n"
       "BORDERSMASK=^0000^0000^0100^0050^0002^0002^0002^0002^1^0^0^0\n",
       {}},
      {"rectangle outside the master image",
       "BICONCLOSE=@0000@0000@0090@0020@3@0\n[BUTTON]\nBORDERSMASK=&"
       "0000004001010050000100010001000110000000000\n",
       {"BUTTON BORDERSMASK: \"&0000004001010050000100010001000110000000000\" reaches outside the "
        "master image (100 x 50)"}},
      {"density variant outside the master image",
       "BICONCLOSE*200=@0000@0000@0180@0051@3@0\n",
       {"GLOBALINFO BICONCLOSE*200: \"@0000@0000@0180@0051@3@0\" reaches outside the master "
        "image (100 x 50)"}},
      {"empty rectangle",
       "CHECK=@0010@0010@0010@0020@1@0\n",
       {"GLOBALINFO CHECK: \"@0010@0010@0010@0020@1@0\" has an empty rectangle"}},
      {"missing picture",
       "[EDIT]\nGLOW0=!glowedt.png!1!0!3!0011!0011!0011!0011!1\n",
       {"EDIT GLOW0: names the picture \"GLOWEDT.PNG\", which the archive lacks"}},
      {"missing texture file",
       "[FORM]\nPATTERN=WOOD.JPG\n",
       {"FORM PATTERN: names the picture \"WOOD.JPG\", which the archive lacks"}},
      {"unreadable digits",
       "[FORM]\nBORDERSMASK=&00x0\n",
       {"FORM BORDERSMASK: \"&00X0\" cannot be read: '00X0' is not a valid integer value"}},
      {"parent that is no section",
       "[MEMO]\nPARENTCLASS=Edit\n[EDIT]\nSTATES=2\n",
       {"MEMO PARENTCLASS: names \"Edit\", which is no section"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Check(std::string(kGlobal) + c.options), c.problems);
  }
}

TEST(SkinCheck, MasterImageProblems) {
  EXPECT_EQ(Check("[GLOBALINFO]\nMASTERBITMAP=NONE.PNG\nCHECK=@0000@0000@0010@0010@1@0\n"),
            (std::vector<std::string>{
                "GLOBALINFO MASTERBITMAP: names \"NONE.PNG\", which the archive lacks",
                "GLOBALINFO CHECK: \"@0000@0000@0010@0010@1@0\" needs a master image, and there is "
                "none"}));
  EXPECT_EQ(Check(std::string(kGlobal), {{"MASTER.PNG", Text("GIF89a")}}),
            (std::vector<std::string>{
                "GLOBALINFO MASTERBITMAP: \"MASTER.PNG\" is neither a PNG nor a BMP picture"}));
  // A BMP master: width 100 and a negative (top-down) height of 50.
  Bytes bmp(26, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  bmp[18] = 100;
  bmp[22] = 0xCE;
  bmp[23] = bmp[24] = bmp[25] = 0xFF;
  EXPECT_EQ(
      Check("[GLOBALINFO]\nMASTERBITMAP=M.BMP\nCHECK=@0000@0000@0100@0050@1@0\n", {{"m.bmp", bmp}}),
      std::vector<std::string>{});
}

TEST(SkinCheck, ArchiveWithoutOptionsOrSignature) {
  const skin::PackedMember picture{"MASTER.PNG", PngHeader(1, 1)};
  EXPECT_EQ(CheckSkinArchive(skin::PackSkinArchive(std::span(&picture, 1), std::nullopt)),
            std::vector<std::string>{"The archive has no options file (OPTIONS.DAT)."});
  EXPECT_THROW((void)CheckSkinArchive(Text("PK\x03\x04")), Error);
}

}  // namespace
}  // namespace kestrune::skin_tool
