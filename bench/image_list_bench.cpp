// The image list's painting path: a cached picture costs one copy, an uncached one a decode and
// a resample. Run: build/png-native/bench/image_list_bench

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

#include "app/alpha_image_list.h"
#include "skin/pixels/png_decode.h"

namespace {

kestrune::ByteBuffer ReadPicture(const char* name) {
  std::ifstream in(std::string(KESTRUNE_PICTURES_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::unique_ptr<kestrune::TsAlphaImageList> WandList(bool use_cache) {
  auto list = std::make_unique<kestrune::TsAlphaImageList>();
  list->SetUseCache(use_cache);
  list->TryLoadFromPngStream(ReadPicture("0_wand.png"));
  return list;
}

void BM_DecodePng32(benchmark::State& state) {
  const kestrune::ByteBuffer png = ReadPicture("0_wand.png");
  for (auto _ : state)
    benchmark::DoNotOptimize(kestrune::DecodePng(png));
}
BENCHMARK(BM_DecodePng32);

void BM_CreateBitmap32_16_Cached(benchmark::State& state) {
  const auto list = WandList(true);
  for (auto _ : state)
    benchmark::DoNotOptimize(list->CreateBitmap32(0, 16, 16));
}
BENCHMARK(BM_CreateBitmap32_16_Cached);

void BM_CreateBitmap32_16_Uncached(benchmark::State& state) {
  const auto list = WandList(false);
  for (auto _ : state)
    benchmark::DoNotOptimize(list->CreateBitmap32(0, 16, 16));
}
BENCHMARK(BM_CreateBitmap32_16_Uncached);

}  // namespace

BENCHMARK_MAIN();
