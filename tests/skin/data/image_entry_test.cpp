#include "skin/data/image_entry.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/error.h"

namespace kestrune::skin {
namespace {

const std::string kZeros16(16, '0');

TEST(ImageEntry, ConvertsEveryEncodingToTheCanonicalForm) {
  struct Case {
    const char* entry;
    std::string canonical;
  };
  const Case cases[] = {
      // The shipped examples.
      {"@0167@0089@0302@0109@3@0", "&0167008903020109000000000000000030200000000"},
      {"^0241^0000^0256^0036^0007^0006^0007^0011^1^1^1^1",
       "&0241000002560036000700060007001111001000000"},
      {"!GLOWEDIT.PNG!1!0!3!0011!0011!0011!0011!1",
       "&0000000000000000001100110011001110301000000GLOWEDIT.PNG"},
      // Border entries of 47 characters keep zero margins; longer ones take the common margin
      // or compute margins from the frame size.
      {"^0000^0000^0030^0010^0000^0000^0000^0000^3^0^01",
       "&0000000000300010000000000000000030001000000"},
      {"^0000^0000^0030^0010^0000^0000^0000^0000^3^0^01^0005",
       "&0000000000300010000500050005000530001000000"},
      {"^0010^0000^0100^0020^0000^0000^0000^0000^3^1^01^0",
       "&0010000001000020001400040014000431001000000"},
      {"^0000^0000^0002^0001^0000^0000^0000^0000^3^0^01^0000",
       "&0000000000020001000000000000000030001000000"},
      // Textures: the mask type is the 25th character; a seventh field names a file.
      {"~0010~0020~0030~0040~02~1~TILE.BMP",
       "&0010002000300040000000000000000011102000000TILE.BMP"},
      {"~0010~0020~0030~0040~00", "&0010002000300040000000000000000010100000000"},
      // Separate pictures by image type.
      {"!ARROW.PNG!2!0!4!0001!0002!0011!0012!00",
       "&0001000200110012000000000000000020400000000ARROW.PNG"},
      {"!ARROW.PNG!2!0!2!0001!0002!0011!0012!00",
       "&0001000200110012000000000000000020200000000ARROW.PNG"},
      {"!BACK.JPG!1!0!1!0005!0005!0005!0005!10", "&" + kZeros16 + kZeros16 + "10110000000BACK.JPG"},
      {"!FRAME.BMP!3!1!0!0004!0004!0004!0004!1",
       "&0000000000000000000400040004000431001000000FRAME.BMP"},
      {"!FRAME.BMP!3!1!9!0004!0004!0004!0004!1",
       "&0004000400040004000000000000000031401000000FRAME.BMP"},
      {"!GLOW.PNG!4!1!3", "&" + kZeros16 + kZeros16 + "10300000000GLOW.PNG"},
      {"!GLYPH.PNG!4!1!2", "&" + kZeros16 + kZeros16 + "41200000000GLYPH.PNG"},
      // Plain picture names are textures.
      {"BACKGROUND.JPG", "&" + kZeros16 + kZeros16 + "10100000000BACKGROUND.JPG"},
      {"C:\\SKINS\\X.BMP", "&" + kZeros16 + kZeros16 + "10100000000C:\\SKINS\\X.BMP"},
      // Values shorter than four characters.
      {"@", "&" + kZeros16 + kZeros16 + "30201000000"},
      {"^1", "&" + kZeros16 + kZeros16 + "30001000000"},
      {"~", "&" + kZeros16 + kZeros16 + "30101000000"},
      {"!AB", "&" + kZeros16 + kZeros16 + "30101000000AB"},
      // Canonical values stand as written.
      {"&0001000200030004000000000000000010100000000X.PNG",
       "&0001000200030004000000000000000010100000000X.PNG"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    EXPECT_EQ(CanonicalImageEntry(c.entry), c.canonical);
  }
}

TEST(ImageEntry, FileNamesSplitAtSpaces) {
  // The space ends the file name field, so the entry names "MY" and its fields shift.
  const std::string canonical = CanonicalImageEntry("!MY FILE.PNG!1!0!3!0011!0011!0011!0011!1");
  EXPECT_EQ(canonical.substr(canonical.size() - 8), "000000MY");
}

TEST(ImageEntry, RecognisesEntries) {
  for (const char* value : {"!A", "&", "@1", "^", "~", "X.JPG", "PICTURE.BMP.OLD"}) {
    EXPECT_TRUE(IsImageEntry(value)) << value;
  }
  for (const char* value : {"", "N/A", "X.PNG", "12", "X.bmp"}) {
    EXPECT_FALSE(IsImageEntry(value)) << value;
  }
}

TEST(ImageEntry, ReadsCanonicalFields) {
  TsMaskData glow;
  ReadCanonicalEntry(CanonicalImageEntry("!GLOWEDIT.PNG!1!0!3!0011!0011!0011!0011!1"), glow);
  EXPECT_EQ(glow.R, (TRect{0, 0, 0, 0}));
  EXPECT_EQ(glow.WL, 11);
  EXPECT_EQ(glow.WT, 11);
  EXPECT_EQ(glow.WR, 11);
  EXPECT_EQ(glow.WB, 11);
  EXPECT_EQ(glow.ImageCount, 1);
  EXPECT_EQ(glow.MaskType, 0);
  EXPECT_EQ(glow.ImgType, itisaGlow);
  EXPECT_EQ(glow.DrawMode, 1);
  EXPECT_EQ(glow.FileName, "GLOWEDIT.PNG");

  TsMaskData glyph;
  ReadCanonicalEntry("&0167008903020109000000000000000031200000000", glyph);
  EXPECT_EQ(glyph.R, (TRect{167, 89, 302, 109}));
  EXPECT_EQ(glyph.ImageCount, 3);
  EXPECT_EQ(glyph.MaskType, 1);
  EXPECT_EQ(glyph.ImgType, itisaGlyph);
  EXPECT_EQ(glyph.Width, 45);
  EXPECT_EQ(glyph.Height, 10);
  EXPECT_TRUE(glyph.FileName.empty());

  TsMaskData odd;  // Type digits above 4 count as 4; no frames counts as one for the size.
  ReadCanonicalEntry("&0000000000100010000000000000000000912000000", odd);
  EXPECT_EQ(odd.ImgType, itisaPngGlyph);
  EXPECT_EQ(odd.ImageCount, 0);
  EXPECT_EQ(odd.Width, 10);
  EXPECT_EQ(odd.DrawMode, 12);
}

TEST(ImageEntry, BadDigitFieldsAreConversionErrors) {
  struct Case {
    const char* entry;
    const char* message;
  };
  const Case cases[] = {
      {"@01X7@0089@0302@0109@3@0", "'01X7' is not a valid integer value"},
      {"&0001", "'' is not a valid integer value"},
      {"&00010002000300040000000000000000X0100000000", "'X' is not a valid integer value"},
      {"!A.PNG!1!0!Z!0001!0001!0001!0001!00", "'Z' is not a valid integer value"},
      {"^00A0^0000^0100^0020^0000^0000^0000^0000^3^1^01^0", "'00A0' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    try {
      TsMaskData mask;
      ReadCanonicalEntry(CanonicalImageEntry(c.entry), mask);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace kestrune::skin
