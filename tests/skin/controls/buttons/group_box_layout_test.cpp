#include "skin/controls/group_box_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrune::skin {
namespace {

// The main window's box at 96 DPI: "Results" 42 pixels wide, "W" 15 high.
TsGroupBoxLayoutInput Results() {
  TsGroupBoxLayoutInput in;
  in.Size = {416, 278};
  in.LetterHeight = 15;
  in.TextWidth = 42;
  return in;
}

TEST(GroupBoxLayout, MainWindowCaptionSitsSixPixelsInWithTheFrameAtItsMiddle) {
  const TsGroupBoxLayout layout = LayoutGroupBox(Results());
  EXPECT_EQ(layout.TextHeight, 17);
  EXPECT_EQ(layout.CaptionHeight, 19);
  EXPECT_EQ(layout.CaptionRect, Rect(6, 0, 48, 19));
  EXPECT_EQ(layout.TextRect, Rect(6, 1, 48, 18));
  EXPECT_EQ(layout.TopRect, Rect(0, 0, 416, 9));
  EXPECT_TRUE(layout.GlyphRect.IsEmpty());
  EXPECT_TRUE(layout.CheckBoxRect.IsEmpty());
  EXPECT_EQ(CaptionBackdropRect(layout, {}), Rect(6, 0, 48, 20));
  EXPECT_EQ(CaptionBackdropRect(layout, Rect(2, 1, 3, 4)), Rect(4, -1, 51, 24));
}

TEST(GroupBoxLayout, PlacementAndParts) {
  struct Case {
    std::string name;
    void (*change)(TsGroupBoxLayoutInput&);
    TRect caption;
    TRect text;
    TRect glyph;
    TRect check;
    TRect top;
  };
  const TRect top9 = Rect(0, 0, 416, 9);
  const Case cases[] = {
      {"top centre",
       [](TsGroupBoxLayoutInput& in) { in.Layout = clTopCenter; },
       Rect(187, 0, 229, 19),
       Rect(187, 1, 229, 18),
       {},
       {},
       top9},
      {"top right",
       [](TsGroupBoxLayoutInput& in) { in.Layout = clTopRight; },
       Rect(368, 0, 410, 19),
       Rect(368, 1, 410, 18),
       {},
       {},
       top9},
      {"top left read right to left",
       [](TsGroupBoxLayoutInput& in) { in.RightToLeft = true; },
       Rect(368, 0, 410, 19),
       Rect(368, 1, 410, 18),
       {},
       {},
       top9},
      {"top right read right to left",
       [](TsGroupBoxLayoutInput& in) {
         in.Layout = clTopRight;
         in.RightToLeft = true;
       },
       Rect(6, 0, 48, 19),
       Rect(6, 1, 48, 18),
       {},
       {},
       top9},
      {"picture before the text",
       [](TsGroupBoxLayoutInput& in) {
         in.Image = {16, 16};
       },
       Rect(6, 0, 68, 19),
       Rect(26, 1, 68, 18),
       Rect(6, 1, 22, 17),
       {},
       top9},
      {"picture mirrored",
       [](TsGroupBoxLayoutInput& in) {
         in.Image = {16, 16};
         in.RightToLeft = true;
       },
       Rect(348, 0, 410, 19),
       Rect(348, 1, 390, 18),
       Rect(394, 1, 410, 17),
       {},
       top9},
      {"fixed width with a check box",
       [](TsGroupBoxLayoutInput& in) {
         in.CaptionWidth = 100;
         in.ShowCheckBox = true;
         in.CheckBox = {13, 13};
       },
       Rect(6, 0, 123, 19),
       Rect(23, 1, 123, 18),
       {},
       Rect(6, 3, 19, 16),
       top9},
      {"tall picture raises the caption",
       [](TsGroupBoxLayoutInput& in) {
         in.Image = {24, 24};
       },
       Rect(6, 0, 76, 24),
       Rect(34, 3, 76, 20),
       Rect(6, 0, 30, 24),
       {},
       Rect(0, 0, 416, 12)},
      {"raised by a negative offset",
       [](TsGroupBoxLayoutInput& in) {
         in.CaptionYOffset = -4;
         in.CaptionMargin.Top = 2;
       },
       Rect(6, -2, 48, 13),
       Rect(6, -3, 48, 14),
       {},
       {},
       top9},
      {"card style folds the raise into the height",
       [](TsGroupBoxLayoutInput& in) {
         in.CaptionYOffset = -4;
         in.CaptionMargin.Top = 2;
         in.CardStyle = true;
       },
       Rect(6, 0, 48, 17),
       Rect(6, 0, 48, 17),
       {},
       {},
       Rect(0, 0, 416, 10)},
      {"empty caption widened by the bevel",
       [](TsGroupBoxLayoutInput& in) { in.TextWidth = 0; },
       Rect(5, 0, 7, 19),
       Rect(5, 1, 7, 18),
       {},
       {},
       top9},
      {"caption wider than the box",
       [](TsGroupBoxLayoutInput& in) {
         in.Size = {40, 30};
         in.TextWidth = 100;
       },
       Rect(6, 0, 39, 19),
       Rect(6, 1, 39, 18),
       {},
       {},
       Rect(0, 0, 40, 9)},
      {"tiny font",
       [](TsGroupBoxLayoutInput& in) { in.LetterHeight = 2; },
       Rect(6, 0, 48, 8),
       Rect(6, 1, 48, 7),
       {},
       {},
       Rect(0, 0, 416, 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TsGroupBoxLayoutInput in = Results();
    c.change(in);
    const TsGroupBoxLayout layout = LayoutGroupBox(in);
    EXPECT_EQ(layout.CaptionRect, c.caption);
    EXPECT_EQ(layout.TextRect, c.text);
    EXPECT_EQ(layout.GlyphRect, c.glyph);
    EXPECT_EQ(layout.CheckBoxRect, c.check);
    EXPECT_EQ(layout.TopRect, c.top);
  }
}

// A box waits only while its parent has no background to lend; whatever its children and clip.
TEST(GroupBoxPaint, WaitsOnlyForTheParentsBackground) {
  struct Case {
    std::string name;
    TsGroupBoxPaintInput in;
    TacBoxPaint decision;
  };
  const Case cases[] = {
      {"ready parent", {}, TacBoxPaint::Paint},
      {"parent not ready", {.ParentBackgroundReady = false}, TacBoxPaint::Defer},
      {"hidden", {.Showing = false, .ParentBackgroundReady = false}, TacBoxPaint::Skip},
      {"dying", {.Destroying = true}, TacBoxPaint::Skip},
      {"updating", {.Updating = true}, TacBoxPaint::Skip},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GroupBoxPaintDecision(c.in), c.decision);
  }
}

}  // namespace
}  // namespace kestrune::skin
