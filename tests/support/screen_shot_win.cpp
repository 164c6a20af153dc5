#include "tests/support/screen_shot_win.h"

#include <cstdlib>
#include <fstream>

#include "platform/gdi_win.h"
#include "tests/support/build_path.h"
#include "tests/support/png_writer.h"

namespace kestrune::test {

ScreenShot ShootScreen(const RECT& area) {
  const platform::WindowDc screen(nullptr);
  return Grab(screen.Get(), area.left, area.top, area.right - area.left, area.bottom - area.top);
}

ScreenShot Grab(HDC source, int x, int y, int width, int height) {
  ScreenShot shot;
  if (width <= 0 || height <= 0)
    return shot;
  shot.width = width;
  shot.height = height;
  shot.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const platform::DibSection dib = platform::DibSection::TopDown32(width, height);
  const platform::MemoryDc memory;
  if (dib.Get() == nullptr || memory.Get() == nullptr)
    return shot;
  const platform::SelectedObject selected(memory.Get(), dib.Get());
  ::BitBlt(memory.Get(), 0, 0, width, height, source, x, y, SRCCOPY);
  ::GdiFlush();
  const auto* bits = static_cast<const std::uint32_t*>(dib.Bits());
  for (std::size_t i = 0; i < shot.pixels.size(); ++i)
    shot.pixels[i] = bits[i] & 0xFFFFFFu;
  return shot;
}

void SaveShot(const ScreenShot& shot, const std::string& name) {
  const char* folder = std::getenv("KESTRUNE_SHOT_DIR");
  if (folder == nullptr || *folder == '\0')
    return;
  SaveShotTo(shot, BuildPath(std::string(folder) + "/" + name + ".png"));
}

bool SaveShotTo(const ScreenShot& shot, const std::string& path) {
  std::vector<std::uint32_t> argb(shot.pixels.size());
  for (std::size_t i = 0; i < argb.size(); ++i)
    argb[i] = 0xFF000000u | shot.pixels[i];
  const Bytes png = RgbaPng(static_cast<std::uint32_t>(shot.width),
                            static_cast<std::uint32_t>(shot.height), argb);
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return file.good();
}

}  // namespace kestrune::test
