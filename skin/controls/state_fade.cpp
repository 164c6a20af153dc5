#include "skin/controls/state_fade.h"

#include <algorithm>

namespace kestrune::skin {

int FadeStepCount(int to_state, const TacFadeProgress& running) {
  const int base = to_state == 0 ? kFadeOutSteps : kFadeInSteps;
  if (!running.Running())
    return base;
  const int done = std::max(0, running.Step);
  // Rounded up, so a fade turned back at once still has its one frame.
  return std::max(1, (base * done + running.Steps - 1) / running.Steps);
}

std::uint8_t FadeWeight(int step, int steps) {
  if (steps <= 0 || step >= steps)
    return 255;
  if (step <= 0)
    return 0;
  return static_cast<std::uint8_t>(255 * step / steps);
}

void CrossFade(Bitmap& out, const Bitmap& from, const Bitmap& to, std::uint8_t weight) {
  const auto fits = [&](const Bitmap& b) {
    return !b.Empty() && b.PixelFormat() == TPixelFormat::pf32bit && b.Width() == out.Width() &&
           b.Height() == out.Height();
  };
  if (out.Empty() || out.PixelFormat() != TPixelFormat::pf32bit || !fits(to))
    return;
  const bool mix = fits(from);
  for (int y = 0; y < out.Height(); ++y) {
    std::uint32_t* o = out.Row32(y);
    const std::uint32_t* t = to.Row32(y);
    if (!mix || weight == 255) {
      std::copy_n(t, out.Width(), o);
      continue;
    }
    const std::uint32_t* f = from.Row32(y);
    for (int x = 0; x < out.Width(); ++x) {
      std::uint32_t pixel = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t a = (f[x] >> shift) & 0xFFu;
        const std::uint32_t b = (t[x] >> shift) & 0xFFu;
        pixel |= ((a * (255u - weight) + b * weight + 127u) / 255u) << shift;
      }
      o[x] = pixel;
    }
  }
}

}  // namespace kestrune::skin
