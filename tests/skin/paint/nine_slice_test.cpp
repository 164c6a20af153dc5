// Nine-slice geometry on its own: margins fitted to small destinations, piece placement, tiling.

#include "skin/paint/nine_slice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrune::skin {
namespace {

TEST(FitSliceMargins, ShrinksBothSidesAndTheOddPixelFromTheFarSide) {
  struct Case {
    TSliceMargins in;
    int width, height;
    TSliceMargins expected;
  };
  const Case cases[] = {
      {{8, 3, 8, 3}, 20, 10, {8, 3, 8, 3}},    // fits: nothing shrinks
      {{12, 3, 9, 3}, 20, 10, {12, 3, 8, 3}},  // d = 1: the right margin gives the pixel
      {{6, 6, 6, 6}, 10, 10, {5, 5, 5, 5}},    // d = 2: one from each side
      {{6, 7, 6, 6}, 20, 10, {6, 6, 6, 4}},    // d = 3 vertically: 1 and 2
      {{3, 0, 30, 0}, 10, 10, {0, 0, 18, 0}},  // oversized: never below 0
      {{4, 4, 4, 4}, 0, 0, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.in.Left) + "/" + std::to_string(c.in.Right) + " in " +
                 std::to_string(c.width));
    EXPECT_EQ(FitSliceMargins(c.in, c.width, c.height), c.expected);
  }
}

TEST(NineSlice, PlacesCornersEdgesAndCentreInDrawingOrder) {
  // A 10 x 8 cell at (100, 50) with margins 2, 1, 3, 2 over a 30 x 20 rectangle at (5, 6).
  TSliceLayout layout;
  ASSERT_TRUE(NineSlice(Rect(5, 6, 35, 26), Rect(100, 50, 110, 58), {2, 1, 3, 2}, true, layout));
  struct Expected {
    TSlicePart part;
    TRect src, dst;
  };
  const Expected expected[] = {
      {spTopLeft, Rect(100, 50, 102, 51), Rect(5, 6, 7, 7)},
      {spLeft, Rect(100, 51, 102, 56), Rect(5, 7, 7, 24)},
      {spTop, Rect(102, 50, 107, 51), Rect(7, 6, 32, 7)},
      {spBottomLeft, Rect(100, 56, 102, 58), Rect(5, 24, 7, 26)},
      {spBottom, Rect(102, 56, 107, 58), Rect(7, 24, 32, 26)},
      {spBottomRight, Rect(107, 56, 110, 58), Rect(32, 24, 35, 26)},
      {spTopRight, Rect(107, 50, 110, 51), Rect(32, 6, 35, 7)},
      {spRight, Rect(107, 51, 110, 56), Rect(32, 7, 35, 24)},
      {spCentre, Rect(102, 51, 107, 56), Rect(7, 7, 32, 24)},
  };
  ASSERT_EQ(layout.Count, 9);
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(layout.Pieces[static_cast<std::size_t>(i)].Part, expected[i].part);
    EXPECT_EQ(layout.Pieces[static_cast<std::size_t>(i)].Src, expected[i].src);
    EXPECT_EQ(layout.Pieces[static_cast<std::size_t>(i)].Dst, expected[i].dst);
  }
  // Without the centre flag, and with margins wider than the cell.
  ASSERT_TRUE(NineSlice(Rect(0, 0, 30, 20), Rect(0, 0, 10, 8), {2, 1, 3, 2}, false, layout));
  EXPECT_EQ(layout.Count, 8);
  EXPECT_FALSE(NineSlice(Rect(0, 0, 30, 20), Rect(0, 0, 10, 8), {6, 1, 5, 2}, true, layout));
  EXPECT_EQ(layout.Count, 0);
}

TEST(NineSlice, ZeroSizeCentreLeavesOutTheEdgesThatHaveNothingToTile) {
  // Margins equal to the cell width: the top, bottom and centre tiles are 0 wide.
  TSliceLayout layout;
  ASSERT_TRUE(NineSlice(Rect(0, 0, 40, 20), Rect(0, 0, 4, 6), {2, 2, 2, 2}, true, layout));
  for (const TSlicePiece& piece : layout) {
    EXPECT_FALSE(piece.Src.IsEmpty());
    EXPECT_NE(piece.Part, spTop);
    EXPECT_NE(piece.Part, spCentre);
  }
}

TEST(OuterSlice, CoversOnlyTheBandsOutsideTheControl) {
  // Cell 20 x 20 with margins 8; visible widths 3, 2, 4, 5 leave the inner rectangle alone.
  const TRect r = Rect(0, 0, 50, 40);
  const TSliceMargins visible{3, 2, 4, 5};
  const TRect inner = Rect(3, 2, 46, 35);
  TSliceLayout layout;
  ASSERT_TRUE(OuterSlice(r, Rect(0, 0, 20, 20), {8, 8, 8, 8}, visible, layout));
  std::vector<int> covered(50 * 40, 0);
  for (const TSlicePiece& piece : layout) {
    EXPECT_LE(piece.Src.Width(), 20);
    for (int y = piece.Dst.Top; y < piece.Dst.Bottom; ++y)
      for (int x = piece.Dst.Left; x < piece.Dst.Right; ++x)
        ++covered[static_cast<std::size_t>(y * 50 + x)];
  }
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 50; ++x) {
      const bool inside = x >= inner.Left && x < inner.Right && y >= inner.Top && y < inner.Bottom;
      SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
      EXPECT_EQ(covered[static_cast<std::size_t>(y * 50 + x)], inside ? 0 : 1);
    }
  }
  ASSERT_TRUE(OuterSlice(r, Rect(0, 0, 20, 20), {8, 8, 8, 8}, {0, 0, 0, 0}, layout));
  EXPECT_EQ(layout.Count, 0);
}

TEST(ForEachTile, CutsTheLastTilesAndDrawsNothingForEmptyTiles) {
  std::vector<TRect> tiles;
  const auto collect = [&](int x, int y, int w, int h) {
    tiles.push_back(Rect(x, y, x + w, y + h));
  };
  ForEachTile(Rect(1, 2, 8, 5), 3, 2, collect);
  const std::vector<TRect> expected = {Rect(1, 2, 4, 4), Rect(4, 2, 7, 4), Rect(7, 2, 8, 4),
                                       Rect(1, 4, 4, 5), Rect(4, 4, 7, 5), Rect(7, 4, 8, 5)};
  EXPECT_EQ(tiles, expected);
  for (const auto& [w, h] : {std::pair{0, 2}, {3, 0}, {-1, 2}}) {
    tiles.clear();
    ForEachTile(Rect(0, 0, 100, 100), w, h, collect);
    EXPECT_TRUE(tiles.empty());
  }
}

}  // namespace
}  // namespace kestrune::skin
