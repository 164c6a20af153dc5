#include "skin/controls/state_fade.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrune::skin {
namespace {

TEST(StateFade, StepCounts) {
  struct Case {
    std::string name;
    int to_state;
    TacFadeProgress running;
    int steps;
  };
  const Case cases[] = {
      {"to hot", 1, {}, 6},
      {"to pressed", 2, {}, 6},
      {"back to normal", 0, {}, 18},
      {"finished fade counts as none", 1, {18, 18}, 6},
      // Leaving hot a third of the way: two thirds of the hot look are still there.
      {"back to hot after 6 of 18", 1, {6, 18}, 2},
      {"back to normal after 2 of 6", 0, {2, 6}, 6},
      {"turned back at once", 1, {0, 18}, 1},
      {"rounded up", 1, {1, 18}, 1},
      {"rounded up past a whole frame", 1, {4, 18}, 2},
      {"back to normal, rounded up", 0, {1, 7}, 3},
      {"nearly done", 0, {5, 6}, 15},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FadeStepCount(c.to_state, c.running), c.steps);
  }
}

TEST(StateFade, WeightsRiseToFull) {
  EXPECT_EQ(FadeWeight(0, 6), 0);
  EXPECT_EQ(FadeWeight(1, 6), 42);
  EXPECT_EQ(FadeWeight(3, 6), 127);
  EXPECT_EQ(FadeWeight(6, 6), 255);
  EXPECT_EQ(FadeWeight(9, 6), 255);
  EXPECT_EQ(FadeWeight(1, 0), 255);
  for (int step = 1; step <= 18; ++step)
    EXPECT_GT(FadeWeight(step, 18), FadeWeight(step - 1, 18)) << step;
}

Bitmap Filled(int w, int h, std::uint32_t pixel) {
  Bitmap b = Bitmap::OnHeap(w, h, TPixelFormat::pf32bit, RowOrder::TopDown);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.Row32(y)[x] = pixel;
  return b;
}

TEST(StateFade, CrossFadeMixesEveryByte) {
  const Bitmap from = Filled(3, 2, 0xFF2A2A2A);
  const Bitmap to = Filled(3, 2, 0xFF323232);
  Bitmap out = Filled(3, 2, 0);
  struct Case {
    std::uint8_t weight;
    std::uint32_t pixel;
  };
  for (const Case& c : {Case{0, 0xFF2A2A2A}, Case{255, 0xFF323232}, Case{128, 0xFF2E2E2E}}) {
    SCOPED_TRACE(c.weight);
    CrossFade(out, from, to, c.weight);
    EXPECT_EQ(out.Row32(0)[0], c.pixel);
    EXPECT_EQ(out.Row32(1)[2], c.pixel);
  }
  // A partly transparent pixel mixes its alpha as well.
  const Bitmap clear = Filled(3, 2, 0x00000000);
  CrossFade(out, clear, to, 128);
  EXPECT_EQ(out.Row32(1)[1], 0x80191919u);
}

TEST(StateFade, MismatchedSizesTakeTheNewLookOrNothing) {
  const Bitmap small = Filled(2, 2, 0xFF000000);
  const Bitmap to = Filled(3, 2, 0xFF323232);
  Bitmap out = Filled(3, 2, 0x11111111);
  CrossFade(out, small, to, 10);
  EXPECT_EQ(out.Row32(1)[2], 0xFF323232u);
  Bitmap other = Filled(4, 4, 0x11111111);
  CrossFade(other, to, to, 10);
  EXPECT_EQ(other.Row32(3)[3], 0x11111111u);
  Bitmap empty;
  CrossFade(empty, to, to, 10);
}

}  // namespace
}  // namespace kestrune::skin
