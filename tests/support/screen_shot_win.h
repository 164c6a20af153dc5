#pragma once
// Pictures taken from a device context or from the screen, and kept as PNG files for a person to
// look at, for tests that check what really reached the display.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kestrune::test {

// 32-bit pixels, 0x00RRGGBB, top row first.
struct ScreenShot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  [[nodiscard]] std::uint32_t At(int x, int y) const { return pixels[Index(x, y)]; }
  [[nodiscard]] std::uint32_t& At(int x, int y) { return pixels[Index(x, y)]; }

 private:
  [[nodiscard]] std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(x);
  }
};

// The screen's pixels inside `area` (black where they cannot be read).
[[nodiscard]] ScreenShot ShootScreen(const RECT& area);

// The pixels of `source` from (x, y), `width` by `height` (black where they cannot be read).
[[nodiscard]] ScreenShot Grab(HDC source, int x, int y, int width, int height);

// Writes `shot` as `name`.png into the folder KESTRUNE_SHOT_DIR names; nothing when it is unset.
void SaveShot(const ScreenShot& shot, const std::string& name);

// Writes `shot` as a PNG file at `path` (a Windows path); false when it could not be written.
bool SaveShotTo(const ScreenShot& shot, const std::string& path);

}  // namespace kestrune::test
