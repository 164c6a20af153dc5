// The caption buttons' rules without a window: the whole frame's hit test, the command a release
// gives after a press (for every button, not only minimise) and the opacity steps of a fade.

#include <gtest/gtest.h>

#include <vector>

#include "skin/controls/caption_rules.h"

namespace kestrune::skin {
namespace {

TsCaptionButton Button(unsigned hit, TRect r) {
  TsCaptionButton b;
  b.cpHitCode = hit;
  b.cpRect = r;
  return b;
}

// The main window under Wine at 96 dots per inch: 422 x 322, a 3-pixel single frame, the title
// down to row 21, a one-row menu band from row 22 to the client top at 41, the icon at the left
// and close and minimise flush with the top right; no maximise or help button.
TacHitFrame MainWindow() {
  TacHitFrame f;
  f.Window = TSize{422, 322};
  f.Client = TRect{3, 41, 419, 319};
  f.MenuTop = 22;
  f.CornerSize = 19;
  f.Layout.IconRect = TRect{3, 2, 19, 18};
  f.Layout.Buttons.Close = Button(kHitClose, TRect{373, 0, 418, 20});
  f.Layout.Buttons.Min = Button(kHitMinButton, TRect{328, 0, 373, 20});
  f.Layout.Buttons.Max = Button(kHitMaxButton, TRect{328, 0, 328, 0});
  f.Layout.Buttons.Help = Button(kHitHelp, TRect{328, 0, 328, 0});
  return f;
}

// A sizeable window with all four buttons: help, minimise, maximise, close from left to right.
TacHitFrame SizeableWindow() {
  TacHitFrame f = MainWindow();
  f.ThickFrame = true;
  f.Client = TRect{4, 42, 418, 318};
  f.MenuTop = 42;
  f.Layout.Buttons.Close = Button(kHitClose, TRect{373, 0, 418, 20});
  f.Layout.Buttons.Max = Button(kHitMaxButton, TRect{328, 0, 373, 20});
  f.Layout.Buttons.Min = Button(kHitMinButton, TRect{283, 0, 328, 20});
  f.Layout.Buttons.Help = Button(kHitHelp, TRect{234, 0, 279, 20});
  return f;
}

struct HitCase {
  const char* what;
  TPoint p;
  unsigned code;
};

void ExpectHits(const TacHitFrame& frame, const std::vector<HitCase>& cases) {
  for (const HitCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.what << " at " << c.p.X << "," << c.p.Y);
    EXPECT_EQ(HTProcess(frame, c.p), c.code);
  }
}

TEST(CaptionHitTest, MainWindowAnswersEveryPartOfItsFrame) {
  ExpectHits(MainWindow(), {
                               {"close, top right corner", {417, 0}, kHitClose},
                               {"close, bottom left", {373, 19}, kHitClose},
                               {"minimise", {372, 10}, kHitMinButton},
                               {"minimise, left edge", {328, 5}, kHitMinButton},
                               {"caption left of the buttons", {327, 5}, kHitCaption},
                               {"caption right of close", {418, 5}, kHitCaption},
                               {"caption under close", {373, 20}, kHitCaption},
                               {"caption where the system puts maximise", {300, 8}, kHitCaption},
                               {"icon", {10, 10}, kHitSysMenu},
                               {"caption beside the icon", {19, 10}, kHitCaption},
                               {"title over the left frame", {0, 5}, kHitCaption},
                               {"title's last row", {200, 21}, kHitCaption},
                               {"menu band", {200, 22}, kHitMenu},
                               {"menu band over the left frame", {0, 30}, kHitMenu},
                               {"menu band's last row", {200, 40}, kHitMenu},
                               {"client", {200, 41}, kHitClient},
                               {"client's corner", {418, 318}, kHitClient},
                               {"left frame", {2, 100}, kHitBorder},
                               {"right frame", {419, 100}, kHitBorder},
                               {"bottom frame", {200, 321}, kHitBorder},
                               {"left of the window", {-1, 5}, kHitNowhere},
                               {"right of the window", {422, 5}, kHitNowhere},
                               {"below the window", {10, 322}, kHitNowhere},
                           });
}

TEST(CaptionHitTest, SizeableWindowSizesAtItsEdgesAndCornersOnly) {
  TacHitFrame f = SizeableWindow();
  ExpectHits(f, {
                    {"close wins over the top right corner", {417, 0}, kHitClose},
                    {"maximise", {350, 10}, kHitMaxButton},
                    {"minimise", {300, 10}, kHitMinButton},
                    {"help", {250, 10}, kHitHelp},
                    {"gap before help", {280, 10}, kHitCaption},
                    {"top edge", {200, 2}, kHitTop},
                    {"top left corner", {2, 2}, kHitTopLeft},
                    {"top left corner down the side", {2, 18}, kHitTopLeft},
                    {"left edge", {2, 100}, kHitLeft},
                    {"bottom left along the bottom", {18, 320}, kHitBottomLeft},
                    {"bottom edge", {200, 320}, kHitBottom},
                    {"bottom right", {420, 320}, kHitBottomRight},
                    {"right edge", {419, 100}, kHitRight},
                    {"right edge below the corner", {419, 25}, kHitRight},
                    // The corner codes reach 19 pixels (CornerSize) in from each corner.
                    {"bottom right from its first pixel", {403, 320}, kHitBottomRight},
                    {"bottom just left of the corner", {402, 320}, kHitBottom},
                    {"bottom left to its last pixel", {18, 320}, kHitBottomLeft},
                    {"bottom just right of the corner", {19, 320}, kHitBottom},
                    {"left edge just below the top corner", {2, 19}, kHitLeft},
                    {"bottom left up to its first row", {2, 303}, kHitBottomLeft},
                    {"left edge just above the bottom corner", {2, 302}, kHitLeft},
                    {"top right from its first row down", {420, 18}, kHitTopRight},
                    {"right edge just below the top corner", {420, 19}, kHitRight},
                    {"caption", {200, 10}, kHitCaption},
                    {"client", {200, 100}, kHitClient},
                });
  f.Maximized = true;
  ExpectHits(f, {{"a maximised window does not size", {2, 100}, kHitClient},
                 {"nor at its top", {200, 2}, kHitClient},
                 {"its buttons still answer", {350, 10}, kHitMaxButton}});
  f.Maximized = false;
  f.Grip = TRect{400, 300, 418, 318};
  ExpectHits(f, {{"grip", {405, 305}, kHitBottomRight},
                 {"grip's top left", {400, 300}, kHitBottomRight},
                 {"left of the grip", {399, 305}, kHitClient}});
}

TEST(CaptionHitTest, DisabledButtonsAreCaption) {
  TacHitFrame f = SizeableWindow();
  f.CloseEnabled = false;
  f.MaxEnabled = false;
  f.MinEnabled = false;
  ExpectHits(f, {{"close", {400, 10}, kHitCaption},
                 {"maximise", {350, 10}, kHitCaption},
                 {"minimise", {300, 10}, kHitCaption},
                 {"help has no switch", {250, 10}, kHitHelp}});
  f.Minimized = true;
  ExpectHits(f, {{"a minimised window's minimise still answers", {300, 10}, kHitMinButton}});
}

// Every button acts only on a release over itself: moving off the button cancels the press.
TEST(CaptionRelease, OnlyAReleaseOverThePressedButtonActs) {
  struct ReleaseCase {
    const char* what;
    unsigned pressed;
    TPoint released;
    unsigned command;
  };
  const ReleaseCase cases[] = {
      {"close over close", kHitClose, {400, 10}, kScClose},
      {"close over maximise", kHitClose, {350, 10}, 0},
      {"close over the caption", kHitClose, {200, 10}, 0},
      {"close over the client", kHitClose, {200, 100}, 0},
      {"close outside the window", kHitClose, {500, 10}, 0},
      {"close just below itself", kHitClose, {400, 20}, 0},
      {"maximise over maximise", kHitMaxButton, {350, 10}, kScMaximize},
      {"maximise over close", kHitMaxButton, {400, 10}, 0},
      {"maximise over the client", kHitMaxButton, {350, 100}, 0},
      {"minimise over minimise", kHitMinButton, {300, 10}, kScMinimize},
      {"minimise over maximise", kHitMinButton, {350, 10}, 0},
      {"minimise above the window", kHitMinButton, {300, -5}, 0},
      {"help over help", kHitHelp, {250, 10}, kScContextHelp},
      {"help over minimise", kHitHelp, {300, 10}, 0},
      {"not a button", kHitCaption, {200, 10}, 0},
  };
  const TacHitFrame f = SizeableWindow();
  for (const ReleaseCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReleaseCommand(f, c.pressed, c.released), c.command);
  }
}

TEST(CaptionRelease, CommandFollowsTheWindowState) {
  TacHitFrame f = SizeableWindow();
  f.Maximized = true;
  EXPECT_EQ(ReleaseCommand(f, kHitMaxButton, TPoint{350, 10}), kScRestore);
  f.Maximized = false;
  f.Minimized = true;
  f.MainForm = false;
  EXPECT_EQ(ReleaseCommand(f, kHitMinButton, TPoint{300, 10}), kScRestore);
  f.MainForm = true;
  EXPECT_EQ(ReleaseCommand(f, kHitMinButton, TPoint{300, 10}), kScMinimize);
  f.Minimized = false;
  f.CloseEnabled = false;
  EXPECT_EQ(ReleaseCommand(f, kHitClose, TPoint{400, 10}), 0u) << "a disabled close never acts";
}

TEST(CaptionFade, StepsPerChangeOfLook) {
  EXPECT_EQ(SBFadeSteps(1, true), 10);
  EXPECT_EQ(SBFadeSteps(0, true), 10);
  EXPECT_EQ(SBFadeSteps(2, true), 1);
  EXPECT_EQ(SBFadeSteps(1, false), 1);
  EXPECT_EQ(SBFadeSteps(0, false), 1);
}

std::vector<int> Alphas(TacSBFade& fade, int limit = 50) {
  std::vector<int> alphas;
  for (int i = 0; i < limit; ++i) {
    const bool done = fade.Step();
    alphas.push_back(fade.Alpha());
    if (done)
      break;
  }
  return alphas;
}

TEST(CaptionFade, OpacityMovesBy255DivStepsWithinItsRange) {
  TacSBFade in;
  in.Start(true, 10);
  EXPECT_EQ(in.Alpha(), 0);
  EXPECT_EQ(Alphas(in), (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 250}));
  EXPECT_TRUE(in.Done());
  EXPECT_TRUE(in.Step()) << "a finished fade stays finished";
  EXPECT_EQ(in.Alpha(), 250);

  TacSBFade out;
  out.Start(false, 10);
  EXPECT_EQ(out.Alpha(), 255);
  EXPECT_EQ(Alphas(out), (std::vector<int>{230, 205, 180, 155, 130, 105, 80, 55, 30, 5}));

  TacSBFade once;
  once.Start(true, 1);
  EXPECT_EQ(Alphas(once), (std::vector<int>{255}));
  once.Start(false, 0);  // no frames at all still means one
  EXPECT_EQ(Alphas(once), (std::vector<int>{0}));
}

TEST(CaptionFade, TurningRoundKeepsTheOpacityReached) {
  TacSBFade fade;
  fade.Start(true, 10);
  Alphas(fade, 4);
  ASSERT_EQ(fade.Alpha(), 100);
  fade.Turn(false, 10);
  EXPECT_FALSE(fade.FadingIn());
  EXPECT_EQ(Alphas(fade), (std::vector<int>{75, 50, 25, 0})) << "ends on reaching transparency";
  EXPECT_TRUE(fade.Done());
  fade.Turn(true, 3);
  EXPECT_EQ(Alphas(fade), (std::vector<int>{85, 170, 255}));
}

}  // namespace
}  // namespace kestrune::skin
