// The cost of one PaintAll of the main window's form provider: the whole window bitmap (frame,
// title, icon, caption text, caption buttons and menu band) painted from the skin. The density
// is the Wine prefix's or the screen's; run it once per density.
//   provider_paint_bench [ROUNDS]

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/main_form_win.h"
#include "platform/form_description.h"
#include "tests/support/build_path.h"

int wmain(int argc, wchar_t** argv) {
  using Clock = std::chrono::steady_clock;
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 200;
  std::ifstream file(kestrune::test::BuildPath(KESTRUNE_MAIN_FORM_LAYOUT), std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  kestrune::platform::Application application("Kestrune");
  const kestrune::platform::SystemServices services;
  kestrune::TMainForm form(application, kestrune::platform::ParseFormDescription(text.str()),
                           services);
  form.Show();
  if (form.SkinProvider == nullptr) {
    std::fprintf(stderr, "the main window has no skin provider\n");
    return 1;
  }
  kestrune::skin::TsSkinProvider& provider = *form.SkinProvider;
  std::vector<double> times;
  times.reserve(static_cast<std::size_t>(rounds));
  for (int i = 0; i < rounds + 10; ++i) {
    provider.SkinData().BGChanged = true;
    const auto start = Clock::now();
    provider.PaintAll();
    const auto end = Clock::now();
    if (i >= 10)  // the first rounds make the fonts and pictures
      times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  std::sort(times.begin(), times.end());
  const auto& bmp = provider.WindowBitmap();
  std::printf(
      "PaintAll of the main window at %u PPI, %d x %d pixels: median %.1f us, "
      "fastest %.1f us, %d rounds\n",
      ::GetDpiForWindow(form.Handle()), bmp.Width(), bmp.Height(), times[times.size() / 2],
      times.front(), rounds);
  return 0;
}
