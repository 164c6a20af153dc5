// The measuring rules of skinned menus: item kinds by caption, item sizes, picture places and
// how a drop-down window made by the system lines up with its background bitmap.

#include "skin/controls/menu_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrune::skin {
namespace {

TEST(MenuItemKinds, CaptionDecidesTheKind) {
  const struct {
    const char* caption;
    TacMenuItemType kind;
    const char* div_text;
  } cases[] = {
      {"-", smDivider, ""},         {"-Links-", smCaption, "Links"}, {"--", smCaption, ""},
      {"-Links", smNormal, "Link"}, {"Links-", smNormal, "inks"},    {"", smNormal, ""},
      {"Github", smNormal, "ithu"}, {"---", smCaption, "-"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(MenuItemKind(c.caption), c.kind);
    EXPECT_EQ(DivText(c.caption), c.div_text);
  }
}

TEST(MenuItemKinds, AmpersandsAreRemovedForTheBand) {
  EXPECT_EQ(StripAmpersands("&About"), "About");
  EXPECT_EQ(StripAmpersands("A&&b&"), "Ab");
  EXPECT_EQ(StripAmpersands(""), "");
}

TEST(MenuItemSizes, DropDownItemsAtTwoDensities) {
  TacItemMeasure at96;  // 16 x 16 pictures, margin 2, spacing 8
  TacItemMeasure at144;
  at144.GlyphWidth = at144.GlyphHeight = 24;
  at144.Margin = ScaleToPPI(2, 144);
  at144.Spacing = ScaleToPPI(8, 144);
  const struct {
    const char* name;
    const TacItemMeasure& m;
    TacMenuItemType kind;
    int text_width, text_height, width, height;
  } cases[] = {
      // 2 x 16 + 40 + 3 x 2 + 8; max(15, 16) + 4 + 2
      {"normal at 96", at96, smNormal, 40, 15, 86, 22},
      {"tall text at 96", at96, smNormal, 40, 19, 86, 25},
      {"caption at 96", at96, smCaption, 40, 15, 86, 22},
      {"normal at 144", at144, smNormal, 60, 20, 48 + 60 + 9 + 12, 24 + 6 + 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MenuItemWidth(c.m, true, c.text_width), c.width);
    EXPECT_EQ(MenuItemHeight(c.kind, c.m, c.text_height), c.height);
  }
  EXPECT_EQ(MenuItemHeight(smDivider, at96, 15), 2);
  EXPECT_EQ(MenuItemWidth(at96, false, 0), 46);
  EXPECT_EQ(ImageColumnWidth(at96), 26);
}

TEST(MenuItemSizes, FramelessSkinAndExtraLineChangeTheWidth) {
  TacItemMeasure m;
  m.NoBorder = true;
  EXPECT_EQ(MenuItemWidth(m, true, 40), 86 - 6);
  EXPECT_EQ(MenuItemWidth(m, false, 0), 46);  // nothing is taken from a divider
  m.NoBorder = false;
  m.ExtraWidth = 32;
  EXPECT_EQ(MenuItemWidth(m, true, 40), 86 + 32);
}

TEST(MenuItemSizes, BandItemIsTextPlusPicture) {
  EXPECT_EQ(LineItemWidth(35, 16), 57);
  EXPECT_EQ(LineItemWidth(35, 0), 35);
  EXPECT_EQ(LineItemWidth(52, 24), 82);
}

TEST(MenuFrame, SkinBorderWidthFromImageOrRadius) {
  const struct {
    bool image;
    int margin, radius, width;
  } cases[] = {{true, 0, 0, 3},  {true, 1, 0, 1},   {true, 2, 9, 2}, {true, 7, 0, 3},
               {false, 5, 6, 0}, {false, 0, 12, 2}, {false, 0, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.image << " " << c.margin << " " << c.radius);
    EXPECT_EQ(SkinBorderWidthOf(c.image, c.margin, c.radius), c.width);
  }
}

TEST(MenuFrame, BitmapLinesUpWithEitherKindOfSystemFrame) {
  // A frame outside the client area: the client starts 3 in, items at its origin.
  EXPECT_EQ(DropDownFrame({100, 200}, {103, 203}, {0, 0}), (TacDropDownFrame{{3, 3}, 3}));
  // No non-client area: client and window coincide, items start 3 in.
  EXPECT_EQ(DropDownFrame({100, 200}, {100, 200}, {3, 3}), (TacDropDownFrame{{0, 0}, 3}));
  // A wider system frame at a higher density.
  EXPECT_EQ(DropDownFrame({0, 0}, {0, 0}, {4, 4}), (TacDropDownFrame{{0, 0}, 4}));
}

TEST(MenuText, PrefixIsHiddenOnlyWhenTheSystemAsksAndTheMenusAllow) {
  EXPECT_TRUE(HidesPrefix(kStateNoAccel, false));
  EXPECT_TRUE(HidesPrefix(kStateNoAccel | 1u, false));  // selected too
  EXPECT_FALSE(HidesPrefix(kStateNoAccel, true));
  EXPECT_FALSE(HidesPrefix(0, false));
  EXPECT_FALSE(HidesPrefix(0x400, false));
}

TEST(MenuGlyphs, PicturesSitInTheirColumnOrAtTheBandItemsEdge) {
  EXPECT_EQ(MenuGlyphPos(26, 22, 16, 16, 0), (TacPoint{5, 3}));
  EXPECT_EQ(MenuGlyphPos(39, 32, 24, 24, 0), (TacPoint{7, 4}));
  EXPECT_EQ(MenuGlyphPos(26, 22, 16, 16, 32), (TacPoint{37, 3}));
  EXPECT_EQ(LineGlyphPos(57, 18, 16, 16, false), (TacPoint{3, 1}));
  EXPECT_EQ(LineGlyphPos(57, 18, 16, 16, true), (TacPoint{38, 1}));
}

std::string Describe(const TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "-" + std::to_string(r.Right) +
         "," + std::to_string(r.Bottom);
}

// "background | divider | caption text | text | shortcut"
std::string Describe(const TacItemColumns& c) {
  return Describe(c.Background) + " | " + Describe(c.Divider) + " | " + Describe(c.CaptionText) +
         " | " + Describe(c.Text) + " | " + Describe(c.ShortCut);
}

TEST(MenuColumns, ItemPartsRightOfTheExtraLine) {
  struct Case {
    const char* what;
    TacItemMeasure m;
    int width;
    int height;
    int ppi;
    std::string columns;
  };
  const TacItemMeasure at96{16, 16, 2, 8, 3, false, 0};
  const TacItemMeasure at144{24, 24, 3, 12, 3, false, 0};
  TacItemMeasure extra96 = at96;
  extra96.ExtraWidth = 20;
  TacItemMeasure big_glyph = at96;
  big_glyph.GlyphWidth = 32;
  const Case cases[] = {
      {"96 dots per inch", at96, 150, 22, 96,
       "0,0-150,22 | 28,0-148,22 | 0,4-150,18 | 28,2-150,20 | 28,2-142,20"},
      {"beside an extra line", extra96, 150, 22, 96,
       "20,0-150,22 | 48,0-148,22 | 20,4-150,18 | 48,2-150,20 | 48,2-142,20"},
      {"a wider picture moves the text, not the caption", big_glyph, 150, 22, 96,
       "0,0-150,22 | 44,0-148,22 | 0,4-150,18 | 44,2-150,20 | 44,2-142,20"},
      {"144 dots per inch", at144, 225, 33, 144,
       "0,0-225,33 | 42,0-222,33 | 0,5-225,28 | 42,3-225,30 | 42,3-213,30"},
      {"120: the shortcut gap is twice 4 scaled down", at96, 150, 22, 120,
       "0,0-150,22 | 28,0-148,22 | 0,4-150,18 | 28,2-150,20 | 28,2-140,20"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Describe(MenuItemColumns(c.m, c.width, c.height, c.ppi)), c.columns);
  }
}

}  // namespace
}  // namespace kestrune::skin
