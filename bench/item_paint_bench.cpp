// Painting what the main window holds from the built-in skin, as the window's caches are
// rebuilt after a skin change: the form background with its title and menu bands, the results
// group box, the memo's frame, the progress bar, and the Extract button with its shadow, each
// over its parent's picture. At 96 and 144 pixels per inch; the caches are kept between runs as
// controls keep them.

#include <benchmark/benchmark.h>

#include <string>

#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/item_paint.h"
#include "skin/paint/masked_copy.h"

namespace {

using namespace kestrune::skin;

struct Control {
  const char* section;
  TRect bounds;  // at 96 pixels per inch, in the parent's picture
};

int Scale(int v, int ppi) {
  return v * ppi / 96;
}

TRect Scale(TRect r, int ppi) {
  return Rect(Scale(r.Left, ppi), Scale(r.Top, ppi), Scale(r.Right, ppi), Scale(r.Bottom, ppi));
}

void BM_PaintMainWindow(benchmark::State& state) {
  const int ppi = static_cast<int>(state.range(0));
  HeadlessSkinPlatform platform(ppi);
  TsSkinManager manager(platform);
  manager.InternalSkins = BuiltinStoredSkins();
  manager.SetSkinName(std::string(kBuiltinSkinName));
  if (!manager.IsActive()) {
    state.SkipWithError("the built-in skin did not load");
    return;
  }
  const TacSkinData& sd = manager.CommonSkinData(ppi);
  // Frame 4, title 30, menu 20 around the 416 x 278 client area.
  const TRect window = Scale(Rect(0, 0, 424, 336), ppi);
  const TRect title = Scale(Rect(0, 0, 424, 30), ppi);
  const TRect menu = Scale(Rect(4, 30, 420, 50), ppi);
  const TPoint client{Scale(4, ppi), Scale(54, ppi)};
  const TRect group = Scale(Rect(0, 0, 416, 278), ppi);
  const Control children[] = {{"EDIT", Rect(10, 22, 407, 199)},
                              {"GAUGE", Rect(8, 205, 408, 223)},
                              {"BUTTON", Rect(304, 235, 407, 265)}};

  Bitmap form = CreateBmp32(window.Width(), window.Height());
  Bitmap group_cache = CreateBmp32(group.Width(), group.Height());
  std::vector<Bitmap> caches;
  for (const Control& c : children) {
    const TRect r = Scale(c.bounds, ppi);
    caches.push_back(CreateBmp32(r.Width(), r.Height()));
  }
  const int form_index = sd.GetSkinIndex("FORM");
  const int title_index = sd.GetSkinIndex("FORMTITLE");
  const int menu_index = sd.GetSkinIndex("MAINMENU");
  const int group_index = sd.GetSkinIndex("GROUPBOX");

  for (auto _ : state) {
    PaintItem(form_index, EmptyCI, 0, window, {}, form, sd);
    PaintItem(title_index, MakeCacheInfo(form), 0, title, {title.Left, title.Top}, form, sd);
    PaintItem(menu_index, MakeCacheInfo(form), 0, menu, {menu.Left, menu.Top}, form, sd);
    const TCacheInfo behind_group = MakeCacheInfo(form, client.X, client.Y);
    PaintItem(group_index, behind_group, 0, group, {}, group_cache, sd);
    for (std::size_t i = 0; i < caches.size(); ++i) {
      const TRect r = Scale(children[i].bounds, ppi);
      const int index = sd.GetSkinIndex(children[i].section);
      PaintOuterEffect(group_cache, r, index, sd, false);
      const TCacheInfo ci = MakeCacheInfo(group_cache, r.Left, r.Top);
      Bitmap& cache = caches[i];
      PaintItem(index, ci, 0, Rect(0, 0, r.Width(), r.Height()), {}, cache, sd);
      FillTransPixels32(cache, Rect(0, 0, r.Width(), r.Height()), ci);
    }
    benchmark::DoNotOptimize(form.Row32(0));
    benchmark::DoNotOptimize(caches.back().Row32(0));
  }
  std::size_t pixels = static_cast<std::size_t>(form.Width() * form.Height()) +
                       static_cast<std::size_t>(group_cache.Width() * group_cache.Height());
  for (const Bitmap& cache : caches)
    pixels += static_cast<std::size_t>(cache.Width() * cache.Height());
  state.counters["kpixels"] = static_cast<double>(pixels) / 1000.0;
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_PaintMainWindow)->Arg(96)->Arg(144)->Unit(benchmark::kMillisecond);

// The one-time cost of a round mask: the exact coverage of a button's corner radius and of a
// large one.
void BM_RoundMask(benchmark::State& state) {
  const int radius = static_cast<int>(state.range(0));
  for (auto _ : state) {
    ClearRoundMasks();
    benchmark::DoNotOptimize(GetRoundMask(radius));
  }
}
BENCHMARK(BM_RoundMask)->Arg(4)->Arg(6)->Arg(64)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
