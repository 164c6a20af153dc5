#include "skin/controls/button_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrune::skin {
namespace {

TEST(ButtonState, ChoiceByPushHoverAndFocus) {
  struct Case {
    std::string name;
    TsButtonStateInput in;
    int state;
  };
  const Case cases[] = {
      {"idle", {}, 0},
      {"idle default button", {.IsDefault = true}, 3},
      {"hot", {.MouseAbove = true, .Active = true}, 1},
      {"hot default button", {.MouseAbove = true, .Active = true, .IsDefault = true}, 1},
      {"pushed under the mouse", {.Pushed = true, .MouseAbove = true, .Active = true}, 2},
      // The mouse was pressed on the button and dragged off it: it shows hot, not pressed.
      {"pushed, mouse dragged away", {.Pushed = true, .Active = true}, 1},
      {"pushed by the keyboard", {.Pushed = true, .HoverTracking = false}, 2},
      {"stays down", {.Down = true}, 2},
      {"drop-down open", {.DroppedDown = true, .IsDefault = true}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ButtonCurrentState(c.in), c.state);
  }
}

TEST(ButtonState, PaintStateFitsTheSection) {
  struct Case {
    int state;
    int section_states;
    int painted;
  };
  const Case cases[] = {
      {3, 3, 1}, {3, 4, 3}, {3, 1, 0}, {2, 3, 2}, {2, 2, 1}, {1, 1, 0}, {0, 3, 0}, {2, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.state) + " of " + std::to_string(c.section_states));
    EXPECT_EQ(ButtonPaintState(c.state, c.section_states), c.painted);
  }
}

TEST(ButtonImages, EachStatePicksItsOwnValidPicture) {
  const TsButtonImages all{.Count = 5,
                           .ImageIndex = 0,
                           .HotImageIndex = 1,
                           .PressedImageIndex = 2,
                           .SelectedImageIndex = 3,
                           .DisabledImageIndex = 4};
  TsButtonImages invalid = all;
  invalid.HotImageIndex = 7;
  invalid.PressedImageIndex = -1;
  invalid.SelectedImageIndex = 5;
  invalid.DisabledImageIndex = -2;
  struct Case {
    std::string name;
    bool enabled;
    int state;
    bool focused;
    int with_all;
    int with_invalid;
  };
  const Case cases[] = {
      {"normal", true, 0, false, 0, 0},         {"hot", true, 1, false, 1, 0},
      {"pressed", true, 2, true, 2, 0},         {"focused and hot", true, 1, true, 3, 0},
      {"disabled", false, 0, false, 4, 0},      {"disabled while hot", false, 1, true, 4, 0},
      {"default button", true, 3, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CurrentImageIndex(all, c.enabled, c.state, c.focused), c.with_all);
    EXPECT_EQ(CurrentImageIndex(invalid, c.enabled, c.state, c.focused), c.with_invalid);
  }
}

// The main window's button at 96 DPI: 103 x 30, a 16 x 16 picture, margins 0.
TsButtonLayoutInput MainButton() {
  TsButtonLayoutInput in;
  in.Size = {103, 30};
  in.Glyph = {16, 16};
  return in;
}

TEST(ButtonLayout, PictureLeftCaptionAfterIt) {
  int asked_width = -1;
  const TsButtonLayout layout = LayoutButton(MainButton(), [&](int width) {
    asked_width = width;
    return TSize{40, 17};
  });
  // Caption left = spacing 6 + picture 16 + margin 6; right = 103 - 6.
  EXPECT_EQ(asked_width, 103 - 6 - 28);
  EXPECT_EQ(layout.GlyphRect, Rect(6, 7, 22, 23));
  EXPECT_EQ(layout.CaptionRect, Rect(28, 6, 97, 24));
}

TEST(ButtonLayout, ShiftsBothPartsOnlyWhenAllowed) {
  TsButtonLayoutInput in = MainButton();
  in.ClickShift = true;
  const TsButtonLayout shifted = LayoutButton(in, [](int) { return TSize{40, 17}; });
  EXPECT_EQ(shifted.GlyphRect, Rect(7, 8, 23, 24));
  EXPECT_EQ(shifted.CaptionRect, Rect(29, 7, 98, 25));
}

TEST(ButtonLayout, AlignmentsAndMarginsMoveThePicture) {
  struct Case {
    std::string name;
    TacImageAlignment alignment;
    TRect margins;
    TRect glyph;
    TRect caption;
  };
  const Case cases[] = {
      {"left with margins", iaLeft, Rect(2, 1, 3, 1), Rect(8, 7, 24, 23), Rect(33, 6, 97, 24)},
      {"right", iaRight, {}, Rect(81, 7, 97, 23), Rect(6, 6, 75, 24)},
      {"centre", iaCenter, {}, Rect(43, 7, 59, 23), Rect(6, 6, 97, 24)},
      {"top", iaTop, {}, Rect(43, 6, 59, 22), Rect(6, 6, 97, 24)},
      {"bottom", iaBottom, {}, Rect(43, 8, 59, 24), Rect(6, 6, 97, 24)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TsButtonLayoutInput in = MainButton();
    in.Alignment = c.alignment;
    in.ImageMargins = c.margins;
    const TsButtonLayout layout = LayoutButton(in, [](int) { return TSize{40, 17}; });
    EXPECT_EQ(layout.GlyphRect, c.glyph);
    EXPECT_EQ(layout.CaptionRect, c.caption);
  }
}

TEST(ButtonLayout, WithoutPictureTheTextIsCentredInTheWholeButton) {
  TsButtonLayoutInput in = MainButton();
  in.Glyph = {};
  int asked_width = -1;
  const TsButtonLayout layout = LayoutButton(in, [&](int width) {
    asked_width = width;
    return TSize{41, 17};
  });
  EXPECT_EQ(asked_width, 103 - 12);
  EXPECT_TRUE(layout.GlyphRect.IsEmpty());
  EXPECT_EQ(layout.CaptionRect, Rect(31, 6, 72, 23));
}

TEST(ButtonLayout, NarrowButtonNeverAsksForANegativeWidth) {
  TsButtonLayoutInput in = MainButton();
  in.Size = {20, 10};
  int asked_width = -1;
  static_cast<void>(LayoutButton(in, [&](int width) {
    asked_width = width;
    return TSize{0, 0};
  }));
  EXPECT_EQ(asked_width, 0);
}

TEST(ButtonFocusFrame, GrowsAroundTheCaptionInsideTheEdges) {
  EXPECT_EQ(FocusFrameRect(Rect(28, 6, 97, 24), 1, 30), Rect(26, 5, 99, 25));
  // A caption as tall as the button keeps its frame 3 pixels inside.
  EXPECT_EQ(FocusFrameRect(Rect(10, 1, 50, 29), 1, 30), Rect(8, 3, 52, 27));
}

}  // namespace
}  // namespace kestrune::skin
