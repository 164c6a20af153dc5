#include "skin/controls/system_menu_glyphs.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

// A stroke from (x0, y0) to (x1, y1) in the units of a 16 x 16 box, one unit wide (whole
// pixels when drawn).
struct Stroke {
  float x0, y0, x1, y1;
};

std::vector<Stroke> StrokesOf(std::string_view name) {
  if (name == "acIN")
    return {{3.5f, 8.5f, 12.5f, 8.5f}};
  if (name == "acIX")
    return {{3.5f, 3.5f, 12.5f, 3.5f},
            {12.5f, 3.5f, 12.5f, 12.5f},
            {12.5f, 12.5f, 3.5f, 12.5f},
            {3.5f, 12.5f, 3.5f, 3.5f}};
  if (name == "acIR")  // a window in front of another one
    return {{3.5f, 5.5f, 10.5f, 5.5f},   {10.5f, 5.5f, 10.5f, 12.5f}, {10.5f, 12.5f, 3.5f, 12.5f},
            {3.5f, 12.5f, 3.5f, 5.5f},   {5.5f, 5.5f, 5.5f, 3.5f},    {5.5f, 3.5f, 12.5f, 3.5f},
            {12.5f, 3.5f, 12.5f, 10.5f}, {12.5f, 10.5f, 10.5f, 10.5f}};
  if (name == "acIC")
    return {{4, 4, 12, 12}, {12, 4, 4, 12}};
  if (name == "acIM")  // a cross with four arrow heads
    return {{8, 2, 8, 14},   {2, 8, 14, 8}, {8, 2, 6, 4},  {8, 2, 10, 4},  {8, 14, 6, 12},
            {8, 14, 10, 12}, {2, 8, 4, 6},  {2, 8, 4, 10}, {14, 8, 12, 6}, {14, 8, 12, 10}};
  return {};
}

float DistanceToStroke(float px, float py, const Stroke& s) {
  const float dx = s.x1 - s.x0;
  const float dy = s.y1 - s.y0;
  const float length2 = dx * dx + dy * dy;
  float t = length2 > 0 ? ((px - s.x0) * dx + (py - s.y0) * dy) / length2 : 0;
  t = std::clamp(t, 0.0f, 1.0f);
  const float ex = px - (s.x0 + t * dx);
  const float ey = py - (s.y0 + t * dy);
  return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

void DrawSysMenuGlyph(Bitmap& bmp, TRect box, std::string_view item_name, TColor color) noexcept {
  std::vector<Stroke> strokes = StrokesOf(item_name);
  const int side = std::min(box.Width(), box.Height());
  if (strokes.empty() || side <= 0)
    return;
  const float unit = static_cast<float>(side) / 16.0f;
  const int left = box.Left + (box.Width() - side) / 2;
  const int top = box.Top + (box.Height() - side) / 2;
  // Whole pixels wide, with the stroke centres snapped so that straight strokes cover whole
  // pixels: on a pixel's centre for an odd width, between two pixels for an even one.
  const int width = std::max(1, static_cast<int>(std::lround(unit)));
  const float offset = width % 2 != 0 ? 0.5f : 0.0f;
  const auto snap = [&](float units) { return std::floor(units * unit - offset + 0.5f) + offset; };
  for (Stroke& s : strokes)
    s = {snap(s.x0), snap(s.y0), snap(s.x1), snap(s.y1)};
  const float half = static_cast<float>(width) / 2.0f;
  constexpr int kSamples = 4;
  for (int y = std::max(top, 0); y < std::min(top + side, bmp.Height()); ++y) {
    for (int x = std::max(left, 0); x < std::min(left + side, bmp.Width()); ++x) {
      int inside = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const float px =
              static_cast<float>(x - left) + (static_cast<float>(sx) + 0.5f) / kSamples;
          const float py = static_cast<float>(y - top) + (static_cast<float>(sy) + 0.5f) / kSamples;
          for (const Stroke& s : strokes) {
            if (DistanceToStroke(px, py, s) <= half) {
              ++inside;
              break;
            }
          }
        }
      }
      if (inside == 0)
        continue;
      const int cover = inside * 255 / (kSamples * kSamples);
      if (cover == 255)
        FillRect32(bmp, Rect(x, y, x + 1, y + 1), color);
      else
        BlendRect32(bmp, Rect(x, y, x + 1, y + 1), color, static_cast<std::uint8_t>(255 - cover));
    }
  }
}

}  // namespace kestrune::skin
