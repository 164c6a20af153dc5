// The transitions' rules without windows: the steps of an activation change with and without
// desktop composition, when the cover may be made, and the minimize and show arithmetic.

#include "skin/controls/form_transitions.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kestrune::skin {
namespace {

TEST(ActivationSteps, WithAndWithoutComposition) {
  struct Row {
    const char* name;
    TacActivationInput in;
    TacActivationSteps want;
  };
  // Fields: Composition, CompositionLate, SecondaryOfMinimizedMain, Animating, OwnPaintHandler,
  // ShowingPhase, Initialised, MainMinimized.
  // Steps: Cover, RedrawOff, RedrawChildren, FrameFromBitmap, RedrawFrame, RedrawOnAgain,
  // InvalidateAll, KillCover.
  const Row rows[] = {
      {"no composition, settled form",
       {false, false, false, false, false, false, true, false},
       {true, false, false, false, true, false, true, true}},
      {"no composition, before the first paint",
       {false, false, false, false, false, false, false, false},
       {true, false, false, false, true, false, false, true}},
      {"no composition, while showing: no cover",
       {false, false, false, false, false, true, false, false},
       {false, false, false, false, true, false, false, false}},
      {"no composition, animating: redraw off and on again",
       {false, false, false, true, false, false, true, false},
       {false, true, false, false, false, true, true, false}},
      {"own paint handler: no cover",
       {false, false, false, false, true, false, true, false},
       {false, false, false, false, true, false, true, false}},
      {"composition from the start",
       {true, false, false, false, false, false, true, false},
       {true, false, false, true, false, false, false, true}},
      {"composition while showing still covers",
       {true, false, false, false, false, true, false, false},
       {true, false, false, true, false, false, false, true}},
      {"composition came on later: redraw off, children redrawn",
       {true, true, false, false, false, false, true, false},
       {true, true, true, true, false, false, false, true}},
      {"composition later, secondary of a minimized main window",
       {true, true, true, false, false, false, true, false},
       {true, false, false, true, false, false, false, true}},
      {"composition, animating",
       {true, false, false, true, false, false, true, false},
       {false, false, false, false, false, false, false, false}},
      // The steps after the default handling are skipped, but what was switched off comes back.
      {"main window minimized, composition later",
       {true, true, false, false, false, false, true, true},
       {true, true, false, false, false, true, false, true}},
      {"main window minimized, no composition",
       {false, false, false, false, false, false, true, true},
       {true, false, false, false, false, false, false, true}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const TacActivationSteps got = ActivationSteps(row.in);
    EXPECT_EQ(got.Cover, row.want.Cover);
    EXPECT_EQ(got.RedrawOff, row.want.RedrawOff);
    EXPECT_EQ(got.RedrawChildren, row.want.RedrawChildren);
    EXPECT_EQ(got.FrameFromBitmap, row.want.FrameFromBitmap);
    EXPECT_EQ(got.RedrawFrame, row.want.RedrawFrame);
    EXPECT_EQ(got.RedrawOnAgain, row.want.RedrawOnAgain);
    EXPECT_EQ(got.InvalidateAll, row.want.InvalidateAll);
    EXPECT_EQ(got.KillCover, row.want.KillCover);
    EXPECT_EQ(got.KillCover, got.Cover) << "a cover is always removed again";
    EXPECT_TRUE(!got.RedrawOff || got.RedrawOnAgain || got.RedrawChildren)
        << "redrawing is always switched on again";
  }
}

TEST(ActivationChangesLook, FormStatesBorderImageAndTitleBar) {
  TacSkinData sd;
  sd.gd.resize(1);
  sd.ma.resize(1);
  struct Row {
    int states;
    int border;  // image index, -1 none
    int border_images;
    bool title_bar;
    bool want;
  };
  const Row rows[] = {
      {3, -1, 1, false, true}, {2, -1, 1, false, true}, {1, -1, 1, false, false},
      {1, 0, 1, false, false}, {1, 0, 2, false, true},  {1, 5, 2, false, false},
      {1, -1, 1, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.states << " states, border " << row.border << " x"
                                      << row.border_images << ", title " << row.title_bar);
    sd.gd[0].States = row.states;
    sd.gd[0].BorderIndex = row.border;
    sd.ma[0].ImageCount = row.border_images;
    EXPECT_EQ(ActivationChangesLook(sd, 0, row.title_bar), row.want);
  }
  EXPECT_FALSE(ActivationChangesLook(sd, -1, false));
  EXPECT_FALSE(ActivationChangesLook(sd, 3, false));
}

TEST(CoverAllowed, EveryReasonAgainst) {
  EXPECT_TRUE(CoverAllowed(TacCoverInput{}));
  const auto with = [](auto change) {
    TacCoverInput in;
    change(in);
    return CoverAllowed(in);
  };
  EXPECT_FALSE(with([](TacCoverInput& in) { in.PopupOpen = true; }));
  EXPECT_FALSE(with([](TacCoverInput& in) { in.Minimized = true; }));
  EXPECT_FALSE(with([](TacCoverInput& in) { in.Showing = false; }));
  EXPECT_FALSE(with([](TacCoverInput& in) { in.Animating = true; }));
  EXPECT_FALSE(with([](TacCoverInput& in) { in.DisabledBlurred = true; }));
  EXPECT_FALSE(with([](TacCoverInput& in) { in.ModernMode = true; }));
  EXPECT_FALSE(with([](TacCoverInput& in) { in.NcPaintAllowed = false; }));
}

TEST(MinimizeTarget, ThreeQuartersCentredOnTheTaskBar) {
  const TRect window{100, 100, 500, 400};  // 400 x 300
  const TRect bar{0, 740, 1280, 780};
  EXPECT_EQ(MinimizeTarget(window, bar), (TRect{490, 648, 790, 873}));
  EXPECT_EQ(MinimizeTarget(window, TRect{}), TRect{}) << "no task bar: the origin";
}

TEST(MinimizeSteps, TimeDivSixAtLeastOne) {
  EXPECT_EQ(MinimizeSteps(kMinimizingTime), 13);
  EXPECT_EQ(MinimizeSteps(6), 1);
  EXPECT_EQ(MinimizeSteps(0), 1);
  EXPECT_EQ(MinimizeSteps(-5), 1);
}

TEST(TacMinAnimation, MovesAndFadesToTheExactEnd) {
  const TRect window{100, 100, 500, 400};
  const TRect target{490, 648, 790, 873};
  struct Row {
    bool minimizing;
    int steps;
  };
  for (const Row row : {Row{true, 13}, Row{false, 13}, Row{true, 1}, Row{false, 0}}) {
    SCOPED_TRACE(::testing::Message()
                 << (row.minimizing ? "minimizing" : "restoring") << " in " << row.steps);
    TacMinAnimation animation(window, target, row.steps, row.minimizing);
    EXPECT_EQ(animation.Current(), row.minimizing ? window : target);
    EXPECT_EQ(animation.Alpha(), row.minimizing ? 255 : 0);
    int taken = 0;
    int last_alpha = animation.Alpha();
    bool more = true;
    while (more) {
      more = animation.Step();
      ++taken;
      ASSERT_LE(taken, 20);
      if (row.minimizing)
        EXPECT_LE(animation.Alpha(), last_alpha);
      else
        EXPECT_GE(animation.Alpha(), last_alpha);
      last_alpha = animation.Alpha();
    }
    EXPECT_EQ(taken, std::max(1, row.steps));
    EXPECT_EQ(animation.Current(), row.minimizing ? target : window);
    EXPECT_EQ(animation.Alpha(), row.minimizing ? 0 : 255);
    EXPECT_FALSE(animation.Step()) << "nothing after the end";
    EXPECT_EQ(animation.Current(), row.minimizing ? target : window);
  }
}

TEST(ShowFrames, NoneForTheDefaultTime) {
  EXPECT_EQ(ShowFrames(0), 0);
  EXPECT_EQ(ShowFrames(11), 0);
  EXPECT_EQ(ShowFrames(120), 10);
  EXPECT_EQ(ShowFrames(-12), 0);
}

}  // namespace
}  // namespace kestrune::skin
