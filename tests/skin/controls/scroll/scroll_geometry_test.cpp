// Slider size and place, the part under the mouse, drag offsets, the bar's activity and the
// non-client layout of a window with skinned scroll bars.

#include "skin/controls/scroll_geometry.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrune::skin {
namespace {

TacScrollInfo Info(int min, int max, unsigned page, int pos) {
  return TacScrollInfo{min, max, page, pos, pos};
}

TEST(ScrollGeometry, SliderLengthAndOffset) {
  struct Case {
    std::string name;
    int start, end, arrow;
    TacScrollInfo si;
    int length, start_at;
  };
  const Case cases[] = {
      // A 177-pixel bar without arrows, 300 lines of which 10 show.
      {"proportional at the top", 0, 177, 0, Info(0, 299, 10, 0), 19, 0},
      {"proportional at the end", 0, 177, 0, Info(0, 299, 10, 290), 19, 158},
      {"half a page shows half the bar", 0, 200, 0, Info(0, 99, 50, 50), 100, 100},
      {"page 0 takes the minimum, then 19 without arrows", 0, 100, 0, Info(0, 50, 0, 0), 19, 0},
      {"page 0 with arrows takes the arrow length", 0, 100, 20, Info(0, 50, 0, 0), 20, 20},
      {"a range too large: no proportion, offset 0", 0, 100, 0,
       Info(-0x40000000, 0x40000000, 10, 5), 19, 0},
      {"a range too large with arrows: the minimum", 0, 100, 10,
       Info(-0x40000000, 0x40000000, 10, 5), 16, 10},
      {"18 or less becomes 19 without arrows", 0, 100, 0, Info(0, 999, 10, 0), 19, 0},
      {"above 18 it stays proportional", 0, 200, 0, Info(0, 99, 10, 0), 20, 0},
      {"with arrows a short slider grows only to the minimum", 0, 132, 16, Info(0, 999, 10, 0), 16,
       16},
      {"a bar shorter than 19 keeps the slider at the track start", 5, 17, 0, Info(0, 99, 10, 90),
       19, 5},
      {"position beyond the range is kept on the track", 0, 177, 0, Info(0, 299, 10, 5000), 19,
       158},
      {"position below min is kept on the track", 0, 177, 0, Info(10, 309, 10, 0), 19, 0},
      {"offset counted from the bar's start", 30, 207, 0, Info(0, 299, 10, 290), 19, 188},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TacThumb t = Ac_CalcThumbSize(c.start, c.end, c.arrow, c.si);
    EXPECT_EQ(t.Length, c.length);
    EXPECT_EQ(t.Start, c.start_at);
    EXPECT_EQ(t.TrackStart, c.start + c.arrow);
    EXPECT_EQ(t.TrackLength, c.end - c.start - 2 * c.arrow);
  }
}

TEST(ScrollGeometry, PartUnderTheMouse) {
  const TRect bar{100, 10, 110, 187};
  // No arrows: the slider from 50 to 69.
  const TacThumb no_arrows = Ac_CalcThumbSize(bar.Top, bar.Bottom, 0, Info(0, 299, 10, 73));
  ASSERT_EQ(no_arrows.Start, 50);
  ASSERT_EQ(no_arrows.Length, 19);
  const TacThumb arrows = Ac_CalcThumbSize(bar.Top, bar.Bottom, 16, Info(0, 299, 10, 0));
  const TacThumb fills = Ac_CalcThumbSize(bar.Top, bar.Bottom, 0, Info(0, 9, 10, 0));
  const TRect tiny{100, 10, 110, 30};  // 20 long: two arrows of 16 take half each
  struct Case {
    std::string name;
    TRect bar;
    const TacThumb* thumb;
    int arrow;
    TPoint pt;
    bool shift;
    int part;
  };
  const Case cases[] = {
      {"above the slider", bar, &no_arrows, 0, {105, 49}, false, scPageUp},
      {"first pixel of the slider", bar, &no_arrows, 0, {105, 50}, false, scThumbTrack},
      {"last pixel of the slider", bar, &no_arrows, 0, {105, 68}, false, scThumbTrack},
      {"below the slider", bar, &no_arrows, 0, {105, 69}, false, scPageDown},
      {"first pixel of the bar", bar, &no_arrows, 0, {100, 10}, false, scPageUp},
      {"last pixel of the bar", bar, &no_arrows, 0, {109, 186}, false, scPageDown},
      {"Shift above the slider", bar, &no_arrows, 0, {105, 20}, true, scThumbPosition},
      {"Shift below the slider", bar, &no_arrows, 0, {105, 150}, true, scThumbPosition},
      {"Shift on the slider still drags", bar, &no_arrows, 0, {105, 55}, true, scThumbTrack},
      {"left of the bar", bar, &no_arrows, 0, {99, 60}, false, scNone},
      {"right of the bar", bar, &no_arrows, 0, {110, 60}, false, scNone},
      {"below the bar", bar, &no_arrows, 0, {105, 187}, false, scNone},
      {"up arrow", bar, &arrows, 16, {105, 25}, false, scLineUp},
      {"down arrow", bar, &arrows, 16, {105, 171}, false, scLineDown},
      {"just past the up arrow", bar, &arrows, 16, {105, 26}, false, scThumbTrack},
      {"a slider filling the track leaves nothing", bar, &fills, 0, {105, 100}, false, scNone},
      {"tiny bar: upper half is the up arrow", tiny, &arrows, 16, {105, 19}, false, scLineUp},
      {"tiny bar: lower half is the down arrow", tiny, &arrows, 16, {105, 20}, false, scLineDown},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Ac_GetVertScrollPortion(c.bar, c.pt, c.arrow, *c.thumb, c.shift), c.part);
  }
  // A horizontal bar answers along x.
  const TRect horz{10, 100, 187, 110};
  const TacThumb h = Ac_CalcThumbSize(horz.Left, horz.Right, 0, Info(0, 299, 10, 73));
  EXPECT_EQ(Ac_GetHorzScrollPortion(horz, {49, 105}, 0, h, false), scPageUp);
  EXPECT_EQ(Ac_GetHorzScrollPortion(horz, {55, 105}, 0, h, false), scThumbTrack);
  EXPECT_EQ(Ac_GetHorzScrollPortion(horz, {55, 110}, 0, h, false), scNone);
}

TEST(ScrollGeometry, DragOffsets) {
  // 177-pixel track, slider of 19: 158 pixels of travel; 300 lines, 10 a page: positions 0..290.
  const TacScrollInfo si = Info(0, 299, 10, 0);
  const TacThumb t = Ac_CalcThumbSize(0, 177, 0, si);
  ASSERT_EQ(Ac_LastOffset(si), 290);
  struct Case {
    std::string name;
    int mouse, grab;
    int slider_start, offset;
  };
  const Case cases[] = {
      {"at the start", 5, 5, 0, 0},
      {"dragged above the bar stays at the start", -40, 5, 0, 0},
      {"half way", 84, 5, 79, 146},
      {"one pixel before the end", 162, 5, 157, 289},
      {"at the end: the last valid position, not one past it", 163, 5, 158, 290},
      {"dragged below the bar stays at the end", 900, 5, 158, 290},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int p = Ac_DragSliderStart(c.mouse, c.grab, t);
    EXPECT_EQ(p, c.slider_start);
    EXPECT_EQ(Ac_DragOffset(p, t, si), c.offset);
  }
  // The slider fills the whole track (T - L is 0): no division by zero, offset 0.
  const TacScrollInfo exact = Info(0, 299, 10, 0);
  const TacThumb full{0, 19, 0, 19};
  EXPECT_EQ(Ac_DragSliderStart(50, 3, full), 0);
  EXPECT_EQ(Ac_DragOffset(0, full, exact), 0);
  // A bar shorter than its slider: the same.
  const TacThumb short_bar = Ac_CalcThumbSize(0, 12, 0, exact);
  EXPECT_EQ(Ac_DragOffset(Ac_DragSliderStart(30, 0, short_bar), short_bar, exact), 0);
  // No range: the pixel offset, never past the last position.
  EXPECT_EQ(Ac_DragOffset(40, t, Info(0, 0, 0, 0)), 0);
  // Page 0: every position up to max is valid.
  EXPECT_EQ(Ac_LastOffset(Info(0, 50, 0, 0)), 50);
  EXPECT_EQ(Ac_LastOffset(Info(0, 5, 10, 0)), 0);
}

TEST(ScrollGeometry, BarActivity) {
  struct Case {
    std::string name;
    std::uint16_t flags;
    TacScrollInfo si;
    bool available;
    bool active;
  };
  const Case cases[] = {
      {"overflowing text", kSfHasStyle, Info(0, 299, 10, 0), true, true},
      {"text that fits", kSfHasStyle, Info(0, 4, 10, 0), true, false},
      {"exactly one page", kSfHasStyle, Info(0, 9, 10, 0), true, false},
      {"one line more than a page", kSfHasStyle, Info(0, 10, 10, 0), true, true},
      {"empty range", kSfHasStyle, Info(0, 0, 0, 0), true, false},
      {"the system reports it unavailable", kSfHasStyle, Info(0, 299, 10, 0), false, false},
      {"both arrows disabled", kSfHasStyle | 3, Info(0, 299, 10, 0), true, false},
      {"one arrow disabled", kSfHasStyle | 1, Info(0, 299, 10, 0), true, true},
      {"a bar without the style trusts the system", 0, Info(0, 0, 0, 0), true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Ac_ScrollBarActive(c.flags, c.si, c.available), c.active);
  }
}

std::string Describe(const TacBarPart& part) {
  if (part.Rect.IsEmpty())
    return "-";
  const TRect& r = part.Rect;
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "-" + std::to_string(r.Right) +
         "," + std::to_string(r.Bottom) + " s" + std::to_string(part.State);
}

// "track | track | button | button [arrows] [| slider]"
std::string Describe(const TacBarPaint& p) {
  std::string text = Describe(p.TrackBefore) + " | " + Describe(p.TrackAfter) + " | " +
                     Describe(p.ButtonBefore) + " | " + Describe(p.ButtonAfter);
  if (p.Arrows)
    text += " arrows";
  if (p.ShowSlider)
    text += " | " + Describe(p.Slider);
  return text;
}

// A vertical bar 17 x 100 starting at window row 30, arrows of 17, the slider 20 long at 50.
TacBarPaintIn VerticalBar() {
  TacBarPaintIn in;
  in.Width = 17;
  in.Height = 100;
  in.Arrow = 17;
  in.Origin = 30;
  in.Thumb = TacThumb{50, 20, 47, 66};
  return in;
}

TEST(ScrollGeometry, BarPictureParts) {
  struct Case {
    std::string name;
    void (*change)(TacBarPaintIn&);
    std::string parts;
  };
  const std::string buttons = "0,0-17,17 s0 | 0,83-17,100 s0 arrows";
  const Case cases[] = {
      {"split under the slider's middle", [](TacBarPaintIn&) {},
       "0,0-17,30 s0 | 0,30-17,100 s0 | " + buttons + " | 0,20-17,40 s0"},
      {"inactive: no slider, split at the middle", [](TacBarPaintIn& in) { in.Active = false; },
       "0,0-17,50 s0 | 0,50-17,100 s0 | " + buttons},
      {"a slider as long as its track is not shown",
       [](TacBarPaintIn& in) { in.Thumb.Length = 66; },
       "0,0-17,50 s0 | 0,50-17,100 s0 | " + buttons},
      {"one shorter than its track is", [](TacBarPaintIn& in) { in.Thumb.Length = 65; },
       "0,0-17,52 s0 | 0,52-17,100 s0 | " + buttons + " | 0,20-17,85 s0"},
      {"no slider for a range too large", [](TacBarPaintIn& in) { in.Thumb.Length = 0; },
       "0,0-17,50 s0 | 0,50-17,100 s0 | " + buttons},
      {"page up held", [](TacBarPaintIn& in) { in.PressedPart = scPageUp; },
       "0,0-17,30 s2 | 0,30-17,100 s0 | " + buttons + " | 0,20-17,40 s0"},
      {"page down held, page up hot",
       [](TacBarPaintIn& in) {
         in.PressedPart = scPageDown;
         in.HotPart = scPageUp;
       },
       "0,0-17,30 s0 | 0,30-17,100 s2 | " + buttons + " | 0,20-17,40 s0"},
      {"line up held, line down hot",
       [](TacBarPaintIn& in) {
         in.PressedPart = scLineUp;
         in.HotPart = scLineDown;
       },
       "0,0-17,30 s0 | 0,30-17,100 s0 | 0,0-17,17 s2 | 0,83-17,100 s1 arrows | 0,20-17,40 s0"},
      {"held wins over hot",
       [](TacBarPaintIn& in) {
         in.PressedPart = scLineDown;
         in.HotPart = scLineDown;
       },
       "0,0-17,30 s0 | 0,30-17,100 s0 | 0,0-17,17 s0 | 0,83-17,100 s2 arrows | 0,20-17,40 s0"},
      {"slider hot", [](TacBarPaintIn& in) { in.HotPart = scThumbTrack; },
       "0,0-17,30 s0 | 0,30-17,100 s0 | " + buttons + " | 0,20-17,40 s1"},
      {"slider held", [](TacBarPaintIn& in) { in.PressedPart = scThumbTrack; },
       "0,0-17,30 s0 | 0,30-17,100 s0 | " + buttons + " | 0,20-17,40 s2"},
      {"slider dragged with the mouse over a button",
       [](TacBarPaintIn& in) {
         in.Dragging = true;
         in.HotPart = scLineUp;
       },
       "0,0-17,30 s0 | 0,30-17,100 s0 | 0,0-17,17 s1 | 0,83-17,100 s0 arrows | 0,20-17,40 s2"},
      {"a thinner skin slider is centred", [](TacBarPaintIn& in) { in.ThumbWidth = 9; },
       "0,0-17,30 s0 | 0,30-17,100 s0 | " + buttons + " | 4,20-13,40 s0"},
      {"one pixel thinner: the odd pixel goes right", [](TacBarPaintIn& in) { in.ThumbWidth = 16; },
       "0,0-17,30 s0 | 0,30-17,100 s0 | " + buttons + " | 0,20-16,40 s0"},
      {"as thick as the bar", [](TacBarPaintIn& in) { in.ThumbWidth = 17; },
       "0,0-17,30 s0 | 0,30-17,100 s0 | " + buttons + " | 0,20-17,40 s0"},
      {"thicker than the bar", [](TacBarPaintIn& in) { in.ThumbWidth = 30; },
       "0,0-17,30 s0 | 0,30-17,100 s0 | " + buttons + " | 0,20-17,40 s0"},
      {"no arrow buttons", [](TacBarPaintIn& in) { in.Arrow = 0; },
       "0,0-17,30 s0 | 0,30-17,100 s0 | - | - | 0,20-17,40 s0"},
      {"one pixel longer than both buttons",
       [](TacBarPaintIn& in) {
         in.Height = 35;
         in.Thumb = TacThumb{47, 0, 47, 1};
       },
       "0,0-17,17 s0 | 0,17-17,35 s0 | 0,0-17,17 s0 | 0,18-17,35 s0 arrows"},
      {"as long as both buttons: halves, nothing pressed on the track",
       [](TacBarPaintIn& in) {
         in.Height = 34;
         in.PressedPart = scPageUp;
         in.HotPart = scLineDown;
       },
       "0,0-17,17 s0 | 0,17-17,34 s0 | 0,0-17,17 s0 | 0,17-17,34 s1"},
      {"short with a button held",
       [](TacBarPaintIn& in) {
         in.Height = 21;
         in.PressedPart = scLineUp;
       },
       "0,0-17,10 s0 | 0,10-17,21 s0 | 0,0-17,10 s2 | 0,10-17,21 s0"},
      {"horizontal",
       [](TacBarPaintIn& in) {
         in.Vertical = false;
         in.Width = 100;
         in.Height = 17;
         in.ThumbWidth = 9;
       },
       "0,0-30,17 s0 | 30,0-100,17 s0 | 0,0-17,17 s0 | 83,0-100,17 s0 arrows | 20,4-40,13 s0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TacBarPaintIn in = VerticalBar();
    c.change(in);
    EXPECT_EQ(Describe(Ac_BarPaint(in)), c.parts);
  }
}

TEST(ScrollGeometry, NonClientLayout) {
  struct Case {
    std::string name;
    TacNCLayoutIn in;
    TRect client;
    bool horz, vert;
    TRect vbar;
  };
  // A memo of 397 x 177 with a 2-pixel system frame at (10, 22).
  const TRect window{10, 22, 407, 199};
  const TRect client{12, 24, 405, 197};
  const Case cases[] = {
      {"vertical bar at the right",
       {window, client, false, true, false, 10, 0},
       {12, 24, 395, 197},
       false,
       true,
       {385, 2, 395, 175}},
      {"vertical bar at the left",
       {window, client, false, true, true, 10, 0},
       {22, 24, 405, 197},
       false,
       true,
       {2, 2, 12, 175}},
      {"both bars",
       {window, client, true, true, false, 10, 0},
       {12, 24, 395, 187},
       true,
       true,
       {385, 2, 395, 165}},
      {"no styles", {window, client, false, false, false, 10, 0}, client, false, false, {}},
      {"client narrower than the bar",
       {window, {12, 24, 20, 197}, false, true, false, 10, 0},
       {12, 24, 20, 197},
       false,
       false,
       {}},
      {"a thin skin border grows the client on a thick frame",
       {window, client, false, true, false, 10, -1},
       {11, 23, 396, 198},
       false,
       true,
       {386, 1, 396, 176}},
      {"a one-pixel frame is not grown",
       {window, {11, 23, 406, 198}, false, true, false, 10, -1},
       {11, 23, 396, 198},
       false,
       true,
       {386, 1, 396, 176}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TacNCLayout l = Ac_NCCalcSize(c.in);
    EXPECT_EQ(l.Client, c.client);
    EXPECT_EQ(l.HorzVisible, c.horz);
    EXPECT_EQ(l.VertVisible, c.vert);
    EXPECT_EQ(Ac_VertBarRect(window.Width(), window.Height(), l, 10, c.in.LeftScrollbar), c.vbar);
  }
  TacNCLayoutIn both{window, client, true, true, false, 10, 0};
  EXPECT_EQ(Ac_HorzBarRect(window.Width(), window.Height(), Ac_NCCalcSize(both), 10, false),
            (TRect{2, 165, 385, 175}));
}

TEST(ScrollGeometry, Metrics) {
  // Thickness: manager, then skin, then system.
  EXPECT_EQ(Ac_ScrollThickness(-1, 10, 17), 10);
  EXPECT_EQ(Ac_ScrollThickness(-1, -1, 26), 26);
  EXPECT_EQ(Ac_ScrollThickness(8, 10, 17), 8);
  // Arrows: control, manager, skin's setting.
  EXPECT_EQ(Ac_ArrowLength(-1, -1, 0, 16, 20, 10), 0);
  EXPECT_EQ(Ac_ArrowLength(-1, -1, 1, 24, 20, 10), 24);
  EXPECT_EQ(Ac_ArrowLength(-1, -1, 1, 16, 20, 10), 20);
  EXPECT_EQ(Ac_ArrowLength(-1, -1, -1, 16, 20, 10), 10);
  EXPECT_EQ(Ac_ArrowLength(-1, 12, 0, 16, 20, 10), 12);
  EXPECT_EQ(Ac_ArrowLength(7, 12, 0, 16, 20, 10), 7);
}

TEST(ScrollGeometry, MulDivRoundsLikeTheSystem) {
  EXPECT_EQ(AcMulDiv(10, 177, 300), 6);  // 5.9
  EXPECT_EQ(AcMulDiv(1, 1, 2), 1);       // half away from zero
  EXPECT_EQ(AcMulDiv(-1, 1, 2), -1);
  EXPECT_EQ(AcMulDiv(5, 7, 0), -1);
  EXPECT_EQ(AcMulDiv(0x7FFFFFFF, 2, 4), 0x3FFFFFFF + 1);  // no overflow in the product
}

}  // namespace
}  // namespace kestrune::skin
