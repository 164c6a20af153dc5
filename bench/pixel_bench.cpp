// The hot routines of the pixel layer: picture copies, the Mitchell shrink of image-list
// pictures and the fills and blends of a whole window bitmap.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/pixel_ops.h"
#include "skin/pixels/stretch.h"

namespace {

using namespace kestrune::skin;

constexpr int kWindowWidth = 416;
constexpr int kWindowHeight = 278;

Bitmap Picture(int width, int height) {
  Bitmap bmp = CreateBmp32(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bmp.Row32(y)[x] = (static_cast<std::uint32_t>(x * 37 + y * 91) * 0x01030507u) | 0x80000000u;
  return bmp;
}

void BM_CopyBmp32NoParent(benchmark::State& state) {
  const auto side = static_cast<int>(state.range(0));
  const auto blend = static_cast<int>(state.range(1));
  Bitmap dst = Picture(kWindowWidth, kWindowHeight);
  Bitmap src = Picture(side, side);
  for (auto _ : state) {
    CopyBmp32(Rect(8, 8, 8 + side, 8 + side), Rect(0, 0, side, side), dst, src, EmptyCI, false,
              clNone, blend);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_CopyBmp32NoParent)->Args({32, 0})->Args({32, 50})->Args({256, 0});

void BM_StretchMitchell32To16(benchmark::State& state) {
  const Bitmap src = Picture(32, 32);
  Bitmap dst;
  for (auto _ : state) {
    Stretch(src, dst, 16, 16, ftMitchell);
    benchmark::DoNotOptimize(dst.Row32(0));
  }
  state.SetItemsProcessed(state.iterations() * 16 * 16);
}
BENCHMARK(BM_StretchMitchell32To16);

void BM_FillRect32Window(benchmark::State& state) {
  Bitmap dst = Picture(kWindowWidth, kWindowHeight);
  for (auto _ : state) {
    FillRect32(dst, Rect(0, 0, kWindowWidth, kWindowHeight), 0x00202020, 255);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWindowWidth * kWindowHeight);
}
BENCHMARK(BM_FillRect32Window);

void BM_BlendColorRectWindow(benchmark::State& state) {
  Bitmap dst = Picture(kWindowWidth, kWindowHeight);
  for (auto _ : state) {
    BlendColorRect(dst, Rect(0, 0, kWindowWidth - 1, kWindowHeight - 1), 100, 0x00303030);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWindowWidth * kWindowHeight);
}
BENCHMARK(BM_BlendColorRectWindow);

void BM_SumBmpRectWindow(benchmark::State& state) {
  Bitmap dst = Picture(kWindowWidth, kWindowHeight);
  const Bitmap src = Picture(kWindowWidth, kWindowHeight);
  for (auto _ : state) {
    SumBmpRect(dst, src, 128, Rect(0, 0, kWindowWidth - 1, kWindowHeight - 1), {0, 0});
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWindowWidth * kWindowHeight);
}
BENCHMARK(BM_SumBmpRectWindow);

void BM_PaintBmp32Window(benchmark::State& state) {
  Bitmap dst = Picture(kWindowWidth, kWindowHeight);
  const Bitmap src = Picture(kWindowWidth, kWindowHeight);
  for (auto _ : state) {
    PaintBmp32(dst, src);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWindowWidth * kWindowHeight);
}
BENCHMARK(BM_PaintBmp32Window);

}  // namespace
BENCHMARK_MAIN();
