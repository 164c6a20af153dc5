#pragma once
// Integer points, sizes and rectangles of the painting code. A rectangle covers Left..Right-1 and
// Top..Bottom-1 unless a routine says otherwise.

namespace kestrune::skin {

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  [[nodiscard]] constexpr int Width() const { return Right - Left; }
  [[nodiscard]] constexpr int Height() const { return Bottom - Top; }
  [[nodiscard]] constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

[[nodiscard]] constexpr TRect Rect(int left, int top, int right, int bottom) {
  return TRect{left, top, right, bottom};
}

}  // namespace kestrune::skin
