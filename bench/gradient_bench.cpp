// Gradients over a whole window bitmap, the texture mix, the shadow generator and the reading
// of a gradient text.

#include <benchmark/benchmark.h>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/gradient.h"

namespace {

using namespace kestrune::skin;

constexpr int kWindowWidth = 416;
constexpr int kWindowHeight = 278;
constexpr const char* kThreePoints = "-10197916;0;12;-11250604;40;12;-13355980;100;12;C";

TsGradArray Gradient(int direction) {
  TsGradArray data;
  PrepareGradArray(kThreePoints, data);
  data.front().Mode = (data.front().Mode & ~MASK_DIRECTION) | direction;
  return data;
}

void BM_PaintGrad(benchmark::State& state) {
  const TsGradArray data = Gradient(static_cast<int>(state.range(0)));
  Bitmap bmp = CreateBmp32(kWindowWidth, kWindowHeight);
  for (auto _ : state) {
    PaintGrad(bmp, Rect(0, 0, kWindowWidth, kWindowHeight), data);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWindowWidth * kWindowHeight);
}
BENCHMARK(BM_PaintGrad)->Arg(0)->Arg(PM_VERTICAL);

void BM_PaintGradAlpha(benchmark::State& state) {
  TsGradArray data = Gradient(0);
  for (auto& p : data)
    p.Mode |= PM_TRANSPARENT;
  Bitmap bmp = CreateBmp32(kWindowWidth, kWindowHeight);
  for (auto _ : state) {
    PaintGrad(bmp, Rect(0, 0, kWindowWidth, kWindowHeight), data);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWindowWidth * kWindowHeight);
}
BENCHMARK(BM_PaintGradAlpha);

void BM_PaintGradTxt(benchmark::State& state) {
  const TsGradArray data = Gradient(static_cast<int>(state.range(0)));
  Bitmap bmp = CreateBmp32(kWindowWidth, kWindowHeight);
  const Bitmap texture = CreateBmp32(32, 32);
  for (auto _ : state) {
    PaintGradTxt(bmp, Rect(0, 0, kWindowWidth, kWindowHeight), data, texture, Rect(0, 0, 32, 32),
                 255, 128);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWindowWidth * kWindowHeight);
}
BENCHMARK(BM_PaintGradTxt)->Arg(0)->Arg(PM_VERTICAL);

void BM_MakeShadow(benchmark::State& state) {
  const auto radius = static_cast<int>(state.range(0));
  for (auto _ : state)
    benchmark::DoNotOptimize(MakeShadow({.Color = static_cast<TColor>(0x80000000u),
                                         .Radius = radius,
                                         .Offset = 2,
                                         .BodyHeight = 100,
                                         .BodyWidth = 200,
                                         .BlurSize = radius / 2,
                                         .DoUpdateAlpha = true}));
}
BENCHMARK(BM_MakeShadow)->Arg(8)->Arg(32);

void BM_PrepareGradArray(benchmark::State& state) {
  TsGradArray data;
  for (auto _ : state) {
    PrepareGradArray(kThreePoints, data);
    benchmark::DoNotOptimize(data.data());
  }
}
BENCHMARK(BM_PrepareGradArray);

}  // namespace

BENCHMARK_MAIN();
