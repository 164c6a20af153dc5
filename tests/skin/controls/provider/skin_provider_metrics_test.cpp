// The frame rules of the form provider for the metric sets it meets: Windows 10 and Wine at 96
// dots per inch and Wine at 144, with the built-in skin's title glyphs.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "skin/controls/skin_provider_metrics.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/round_masks.h"

namespace kestrune::skin {
namespace {

// The title skin of the built-in skin at `ppi`.
TacTitleSkin BuiltinTitleSkin(int ppi) {
  HeadlessSkinPlatform platform(ppi);
  TsSkinManager manager(platform);
  manager.InternalSkins = BuiltinStoredSkins();
  manager.SetSkinName(std::string(kBuiltinSkinName));
  TacSkinData& data = manager.CommonSkinData(ppi);
  return TitleSkinOf(data, manager.SkinCommonInfo.BIVAlign,
                     manager.GetSkinIndex("CAPTION", &data) >= 0);
}

// The main window: single border, system menu and minimise, a one-row menu bar, client
// 416 x 278 at 96 (624 x 417 at 144).
TacFrameInput MainWindow(const TacSystemMetrics& sys, int frame, const TacTitleSkin& skin) {
  TacFrameInput in;
  in.Sys = sys;
  in.Skin = skin;
  TacFormFrame& f = in.Form;
  f.BorderStyle = bsSingle;
  f.VisibleMin = true;
  f.MenuBarVisible = true;
  f.MenuLines = 1;
  f.ClientWidth = sys.Dpi == 96 ? 416 : 624;
  f.ClientHeight = sys.Dpi == 96 ? 278 : 417;
  f.Width = f.ClientWidth + 2 * frame;
  f.Height = f.ClientHeight + 2 * frame + sys.CyCaption + sys.CyMenu;
  return in;
}

struct MetricCase {
  const char* name;
  TacSystemMetrics sys;
  int frame;  // the real frame the system gives the window
  // Expected:
  int sys_border;
  int caption;
  int menu_height;
  int offset_x;
  TRect icon;
  TRect close;
  TRect min;
  int text_left;
  int text_right;
  int buttons_width;
};

TEST(ProviderMetrics, MainWindowTitleLayoutPerMetricSet) {
  const TacTitleSkin skin96 = BuiltinTitleSkin(96);
  const TacTitleSkin skin144 = BuiltinTitleSkin(144);
  ASSERT_EQ(skin96.Glyphs[tgClose], (TSize{45, 20}));
  ASSERT_EQ(skin96.Glyphs[tgMin], (TSize{45, 20}));
  ASSERT_EQ(skin96.BIRightMargin, -3);
  ASSERT_EQ(skin96.BISpacing, 0);
  ASSERT_EQ(skin96.BIVAlign, 1);
  const TSize close144 = skin144.Glyphs[tgClose];
  const int buttons144 = skin144.BIRightMargin + 2 * close144.cx;

  // Windows 10 at 96: fixed frame 3 plus the 5 the rule adds above version 6.
  const TacSystemMetrics win10{4, 3, 4, 23, 17, 20, 96, 10};
  const TacSystemMetrics wine96{4, 3, 0, 19, 15, 19, 96, 6};
  // Wine at 144 reports no padded border, which the fixed-frame answer uses off 96.
  const TacSystemMetrics wine144{4, 3, 0, 28, 22, 28, 144, 6};
  const int w144 = 624 + 6;
  const MetricCase cases[] = {
      {"Windows 10 at 96", win10, 8, 8, 23, 19, 8, TRect{8, 7, 24, 23}, TRect{379, 0, 424, 20},
       TRect{334, 0, 379, 20}, 28, 432 - 87 - 8 - 4, 87},
      {"Wine at 96", wine96, 3, 3, 19, 18, 3, TRect{3, 2, 19, 18}, TRect{373, 0, 418, 20},
       TRect{328, 0, 373, 20}, 23, 422 - 87 - 3 - 4, 87},
      {"Wine at 144", wine144, 3, 0, 28, 27, 3, TRect{3, 2, 27, 26},
       TRect{w144 - 4 - close144.cx, 0, w144 - 4, close144.cy},
       TRect{w144 - 4 - 2 * close144.cx, 0, w144 - 4 - close144.cx, close144.cy},
       27 + skin144.Spacing, w144 - buttons144 - 0 - skin144.Spacing, buttons144},
  };
  for (const MetricCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TacFrameInput in = MainWindow(c.sys, c.frame, c.sys.Dpi == 96 ? skin96 : skin144);
    const TacFrameMetrics m(in);
    EXPECT_EQ(m.SysBorderWidth(), c.sys_border);
    EXPECT_EQ(m.CaptionHeight(), c.caption);
    EXPECT_EQ(m.MenuHeight(), c.menu_height);
    EXPECT_EQ(m.OffsetX(), c.offset_x);
    EXPECT_EQ(m.OffsetY(), in.Form.Height - in.Form.ClientHeight - c.sys_border);
    EXPECT_EQ(m.HeaderHeight(), in.Form.Height - in.Form.ClientHeight - c.sys_border);
    EXPECT_EQ(m.SysButtonsCount(), 2);

    TacCaptionButtons buttons;
    UpdateIconsIndexes(in.Form, buttons);
    const TacTitleLayout layout = m.CalcItems(buttons);
    EXPECT_EQ(layout.VCenter, c.caption / 2 + c.sys_border / 2);
    EXPECT_EQ(layout.HeaderHeight, c.sys_border + c.caption);
    EXPECT_EQ(layout.IconRect, c.icon);
    EXPECT_EQ(layout.Buttons.Close.cpRect, c.close);
    EXPECT_EQ(layout.Buttons.Min.cpRect, c.min);
    EXPECT_FALSE(layout.Buttons.Max.Present());
    EXPECT_FALSE(layout.Buttons.Help.Present());
    EXPECT_EQ(m.TitleBtnsWidth(layout.Buttons), c.buttons_width);
    EXPECT_EQ(layout.TextLeft, c.text_left);
    EXPECT_EQ(layout.TextRight, c.text_right);
    // The text line is centred on the title's centre line, one pixel up.
    const TRect text = CaptionTextRect(layout, 16);
    EXPECT_EQ(text.Top, layout.VCenter - 9);
    EXPECT_EQ(text.Height(), 16);
  }
}

TEST(ProviderMetrics, GlyphChoiceFollowsTheVisibleButtons) {
  struct GlyphCase {
    const char* name;
    TacBorderStyle style;
    bool min;
    bool max;
    TacTitleGlyph close;
    TacTitleGlyph minimise;
    bool aligned;
  };
  const GlyphCase cases[] = {
      {"main window: close and minimise", bsSingle, true, false, tgClose, tgMin, true},
      {"close only", bsSingle, false, false, tgCloseAlone, tgMin, true},
      {"sizeable with maximise", bsSizeable, false, true, tgClose, tgMin, true},
      {"tool window", bsToolWindow, true, false, tgSmallClose, tgSmallMin, false},
  };
  const TacTitleSkin skin = BuiltinTitleSkin(96);
  for (const GlyphCase& c : cases) {
    SCOPED_TRACE(c.name);
    TacFrameInput in = MainWindow(TacSystemMetrics{}, 3, skin);
    in.Form.BorderStyle = c.style;
    in.Form.VisibleMin = c.min;
    in.Form.VisibleMax = c.max;
    TacCaptionButtons buttons;
    UpdateIconsIndexes(in.Form, buttons);
    EXPECT_EQ(buttons.Close.cpGlyphType, c.close);
    EXPECT_EQ(buttons.Min.cpGlyphType, c.minimise);
    EXPECT_EQ(buttons.Close.cpHaveAlignment, c.aligned);
    EXPECT_EQ(buttons.Close.cpHitCode, kHitClose);
    EXPECT_EQ(buttons.Min.cpHitCode, kHitMinButton);
    EXPECT_EQ(buttons.Max.cpHitCode, kHitMaxButton);
    const TacTitleLayout layout = TacFrameMetrics(in).CalcItems(buttons);
    EXPECT_EQ(layout.Buttons.Min.Present(), c.min);
    EXPECT_EQ(layout.Buttons.Max.Present(), c.max);
  }
  // The skin has no picture of the lone close button: it lends the close button's.
  EXPECT_EQ(skin.Glyphs[tgCloseAlone], skin.Glyphs[tgClose]);
}

TEST(ProviderMetrics, MaximisedWindowShowsTheRestoreGlyphBelowTheFrame) {
  TacFrameInput in =
      MainWindow(TacSystemMetrics{8, 3, 4, 23, 17, 20, 96, 10}, 8, BuiltinTitleSkin(96));
  in.Form.BorderStyle = bsSizeable;
  in.Form.ThickFrame = true;
  in.Form.VisibleMax = true;
  in.Form.Maximized = true;
  TacCaptionButtons buttons;
  UpdateIconsIndexes(in.Form, buttons);
  const TacTitleLayout layout = TacFrameMetrics(in).CalcItems(buttons);
  EXPECT_EQ(layout.Buttons.Max.cpGlyphType, tgNormal);
  EXPECT_EQ(layout.Buttons.Close.cpRect.Top, 7);  // SM_CXFRAME - 1
  EXPECT_EQ(layout.Buttons.Max.cpRect.Right, layout.Buttons.Close.cpRect.Left);
}

// A skin's radius rounds the window's corners within its header; a huge one never cuts the
// window into an ellipse over its controls.
TEST(ProviderMetrics, CornerRadiusStaysWithinTheHeader) {
  const TacSystemMetrics wine96{4, 3, 0, 19, 15, 19, 96, 6};
  TacFrameInput in = MainWindow(wine96, 3, BuiltinTitleSkin(96));
  const int title = 3 + 19;  // the frame above the title bar and the caption
  const struct {
    int radius, expected;
  } cases[] = {{5, 5}, {0, 0}, {-3, 0}, {title, title}, {255, title}, {510, title}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.radius);
    EXPECT_EQ(TacFrameMetrics(in).CornerRadius(c.radius), c.expected);
  }
  // The same while the window is still being laid out (no size yet).
  in.Form.Width = in.Form.Height = in.Form.ClientWidth = in.Form.ClientHeight = 0;
  EXPECT_EQ(TacFrameMetrics(in).CornerRadius(5), 5);
  EXPECT_EQ(TacFrameMetrics(in).CornerRadius(255), title);
  // Without a title bar: the frame's width.
  in.Form.BorderStyle = bsNone;
  EXPECT_EQ(TacFrameMetrics(in).CornerRadius(255), TacFrameMetrics(in).BorderWidth());
}

TEST(ProviderMetrics, FrameAnswerPerArgument) {
  struct AnswerCase {
    const char* name;
    TacBorderStyle style;
    int dpi;
    int border_width_prop;
    int window_width;
    int argument;
    int high_word;
    int expected;
  };
  // Frame 4, fixed frame 3, padded border 4; client 400 wide.
  const AnswerCase cases[] = {
      {"thick frame, sizeable adds the padded border", bsSizeable, 96, 0, 416, 1, 0, 8},
      {"thick frame, single has none", bsSingle, 96, 0, 416, 1, 0, 4},
      {"fixed frame at 96", bsSingle, 96, 0, 416, 2, 0, 3},
      {"fixed frame off 96 is the padded border", bsSingle, 144, 0, 416, 2, 0, 4},
      {"real frame", bsSingle, 96, 0, 416, 3, 0, 8},
      {"real frame less the form's border width", bsSingle, 96, 2, 416, 3, 0, 6},
      {"no real frame: the high word picks the thick frame", bsSizeable, 96, 0, 400, 3, 1, 8},
      {"no real frame and no choice, sizeable: the padded border", bsSizeable, 96, 0, 400, 3, 0, 4},
      {"no real frame: the high word picks the fixed frame", bsSingle, 96, 0, 400, 3, 2, 3},
      {"no real frame and no choice", bsSingle, 96, 0, 400, 3, 7, 0},
      {"unknown argument", bsSingle, 96, 0, 416, 9, 0, 0},
  };
  for (const AnswerCase& c : cases) {
    SCOPED_TRACE(c.name);
    TacFrameInput in;
    in.Sys = TacSystemMetrics{4, 3, 4, 23, 17, 20, c.dpi, 10};
    in.Form.BorderStyle = c.style;
    in.Form.BorderWidthProp = c.border_width_prop;
    in.Form.Width = c.window_width;
    in.Form.ClientWidth = 400;
    EXPECT_EQ(TacFrameMetrics(in).FrameAnswer(c.argument, c.high_word), c.expected);
  }
}

TEST(ProviderMetrics, CaptionHeightAndIconSizeRules) {
  TacFrameInput in;
  in.Sys = TacSystemMetrics{4, 3, 0, 23, 17, 20, 96, 10};
  in.Form.BorderStyle = bsDialog;
  EXPECT_EQ(TacFrameMetrics(in).CaptionHeight(), 17);  // small caption from Windows 10 on
  in.Sys.OSMajor = 6;
  EXPECT_EQ(TacFrameMetrics(in).CaptionHeight(), 23);
  EXPECT_EQ(TacFrameMetrics(in).TitleIconWidth(), 0);  // dialogs show no icon
  in.Form.BorderStyle = bsNone;
  in.Form.CaptionStyle = false;
  EXPECT_EQ(TacFrameMetrics(in).CaptionHeight(), 0);
  EXPECT_EQ(TacFrameMetrics(in).CalcItems({}).Buttons.Close.Present(), false);
  in.Form.BorderStyle = bsToolWindow;
  in.Form.Minimized = true;
  in.Form.MainForm = false;
  EXPECT_EQ(TacFrameMetrics(in).CaptionHeight(), 23);
  EXPECT_EQ(TacFrameMetrics(in).CaptionWidth(), 160);

  for (const auto& [n, size] : {std::pair{-100, 16}, std::pair{47, 16}, std::pair{48, 24},
                                std::pair{64, 24}, std::pair{65, 32}, std::pair{-101, 32}}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(GetNearestSize(n), size);
  }
}

// The window region's rounded corners on a window 100 rows tall: which rows lose pixels at both
// ends, and how many.
TEST(ProviderCorners, RowsCutFromTheRoundMask) {
  using Rows = std::vector<TacCornerRow>;
  const Rows top1{{0, 2}, {1, 1}};
  const Rows bottom1{{99, 2}, {98, 1}};
  const Rows top4{{0, 5}, {1, 2}, {2, 1}, {3, 1}, {4, 1}};
  const Rows bottom4{{99, 5}, {98, 2}, {97, 1}, {96, 1}, {95, 1}};
  const auto join = [](Rows a, const Rows& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  struct CornerCase {
    const char* what;
    int form_radius;
    int title_radius;
    Rows rows;
  };
  const CornerCase cases[] = {
      {"square corners", 0, 0, {}},
      {"a negative radius cuts nothing", -3, 0, {}},
      {"radius 1: the edge row loses two, the centre row one", 1, 0, join(top1, bottom1)},
      {"radius 4: the edge row loses r + 1, never more", 4, 0, join(top4, bottom4)},
      {"a rounder title rounds the top only", 1, 4, join(top4, bottom1)},
      {"a flatter title leaves the form's radius on top", 4, 1, join(top4, bottom4)},
      {"a square form under a round title", 0, 4, top4},
      {"past the largest mask nothing is cut", kMaxRoundMaskRadius + 1, 0, {}},
  };
  for (const CornerCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CornerRows(c.form_radius, c.title_radius, 100), c.rows);
  }
  EXPECT_EQ(CornerRows(kMaxRoundMaskRadius, 0, 4000).size(), 2u * (kMaxRoundMaskRadius + 1))
      << "the largest mask cuts every row of both corners";
}

// A frame picture of two 8 x 6 states with margins 3, 2, 3, 2; '.' is transparent. The second
// state is transparent all over, so that a cut from any state but the first shows. The top edge
// holds a transparent pixel between the corners, which the frame's edge piece draws, not a
// corner; the top left corner one (at 2, 1) that the frame encloses, which is the form's inside.
constexpr const char* kFrameRows[] = {
    "..##.#..", ".#.#####", "########", "########", "#######.", "..######",
};

enum class Transparency { OwnAlpha, KeyColour, Mask };

TsMaskData FrameFixture(Transparency kind) {
  constexpr int kW = 8, kH = 6;
  const bool masked = kind == Transparency::Mask;
  auto picture = std::make_shared<Bitmap>(CreateBmp32(2 * kW, masked ? 2 * kH : kH));
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < 2 * kW; ++x) {
      const bool clear = x >= kW || kFrameRows[y][x] == '.';
      std::uint32_t pixel = 0xFF336699u;
      if (clear && kind == Transparency::OwnAlpha)
        pixel = 0x00000000u;
      if (clear && kind == Transparency::KeyColour)
        pixel = 0xFFFF00FFu;
      picture->Row32(y)[x] = pixel;
      if (masked)
        picture->Row32(kH + y)[x] = clear ? 0xFFFFFFFFu : 0xFF000000u;
    }
  }
  TsMaskData md;
  md.Bmp = picture;
  md.R = TRect{0, 0, 2 * kW, picture->Height()};
  md.ImageCount = 2;
  md.MaskType = masked ? 1 : 0;
  md.DrawMode = kind == Transparency::OwnAlpha ? 0x11 : 1;
  md.WL = 3;
  md.WT = 2;
  md.WR = 3;
  md.WB = 2;
  md.Width = kW;
  md.Height = kH;
  return md;
}

// The window region's corners from a frame picture: the transparent pixels of its corner pieces,
// at the places the frame draws them, for each way a picture says what is transparent.
TEST(ProviderCorners, CutsFromTheFramePicturesTransparentCorners) {
  using Cuts = std::vector<TacRegionCut>;
  // On a window 20 x 10: top right at x 17, bottom corners at y 8.
  const Cuts top{{0, 0, 2}, {1, 0, 1}, {0, 18, 20}};
  Cuts all = top;
  all.insert(all.end(), {{9, 0, 2}, {8, 19, 20}});
  struct CutCase {
    const char* what;
    Transparency kind;
    int width, height;
    bool bottom;
    Cuts cuts;
  };
  const CutCase cases[] = {
      {"own alpha: alpha 0", Transparency::OwnAlpha, 20, 10, true, all},
      {"key colour", Transparency::KeyColour, 20, 10, true, all},
      {"white mask below the picture", Transparency::Mask, 20, 10, true, all},
      {"a title's frame: top corners only", Transparency::OwnAlpha, 20, 10, false, top},
      {"a window narrower than the margins: corners of 2",
       Transparency::KeyColour,
       4,
       10,
       false,
       {{0, 0, 2}, {1, 0, 1}, {0, 2, 4}}},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(MaskCornerCuts(FrameFixture(c.kind), nullptr, c.width, c.height, c.bottom), c.cuts);
  }
}

TEST(ProviderCorners, AnEntryOutsideItsPictureCutsNothing) {
  for (const TRect r : {TRect{9, 0, 25, 6}, TRect{-1, 0, 15, 6}, TRect{0, 1, 16, 7}}) {
    SCOPED_TRACE(::testing::Message() << r.Left << "," << r.Top << "," << r.Right);
    TsMaskData md = FrameFixture(Transparency::KeyColour);
    md.R = r;
    EXPECT_EQ(MaskCornerCuts(md, nullptr, 20, 10, true), std::vector<TacRegionCut>{});
  }
  TsMaskData no_picture = FrameFixture(Transparency::KeyColour);
  no_picture.Bmp = nullptr;
  EXPECT_EQ(MaskCornerCuts(no_picture, nullptr, 20, 10, true), std::vector<TacRegionCut>{});
}

}  // namespace
}  // namespace kestrune::skin
