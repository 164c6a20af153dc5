// Loading the built-in skin through the manager: finding it, unpacking the archive, reading the
// options and building the pictures, at 96 pixels per inch (one copy) and at 144 and 192 (two,
// the 96 copy cutting from the master image and the other rescaling every entry); then its two
// costly picture steps alone. And a hostile skin whose sections all chain through PARENTCLASS,
// which must load in time linear in its size.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_archive_writer.h"
#include "skin/data/skin_images.h"
#include "skin/data/skin_manager.h"

namespace {

using namespace kestrune::skin;

void BM_LoadBuiltInSkinPictures(benchmark::State& state) {
  const int ppi = static_cast<int>(state.range(0));
  HeadlessSkinPlatform platform(ppi);
  TsSkinManager manager(platform);
  manager.InternalSkins = BuiltinStoredSkins();
  const std::string name(kBuiltinSkinName);
  for (auto _ : state) {
    manager.SetSkinName(name);
    if (!manager.IsActive()) {
      state.SkipWithError("the built-in skin did not load");
      break;
    }
  }
  std::size_t pixels = 0;
  for (const auto& data : manager.SkinDataArray) {
    for (const TacBmpData& cached : data ? data->BmpArray : std::vector<TacBmpData>{}) {
      pixels += static_cast<std::size_t>(cached.Bmp->Width() * cached.Bmp->Height());
    }
  }
  state.counters["copies"] = static_cast<double>(manager.SkinDataArray.size() > 1 ? 2 : 1);
  state.counters["cached_kpixels"] = static_cast<double>(pixels) / 1000.0;
}
BENCHMARK(BM_LoadBuiltInSkinPictures)->Arg(96)->Arg(144)->Arg(192)->Unit(benchmark::kMicrosecond);

// The same load with and without the colour adjustment (hue 120, saturation 30, brightness 20):
// the adjustment's share of a load is the difference between the two.
void BM_LoadBuiltInSkinAdjusted(benchmark::State& state) {
  const int ppi = static_cast<int>(state.range(0));
  const bool adjusted = state.range(1) != 0;
  HeadlessSkinPlatform platform(ppi);
  TsSkinManager manager(platform);
  manager.InternalSkins = BuiltinStoredSkins();
  manager.SetHueOffset(adjusted ? 120 : 0);
  manager.SetSaturation(adjusted ? 30 : 0);
  manager.SetBrightness(adjusted ? 20 : 0);
  const std::string name(kBuiltinSkinName);
  for (auto _ : state) {
    manager.SetSkinName(name);
    if (!manager.IsActive()) {
      state.SkipWithError("the built-in skin did not load");
      break;
    }
  }
}
BENCHMARK(BM_LoadBuiltInSkinAdjusted)
    ->ArgsProduct({{96, 144}, {0, 1}})
    ->ArgNames({"ppi", "adjusted"})
    ->Unit(benchmark::kMicrosecond);

// Decoding "MASTER COPY.PNG" (373 x 455) from the unpacked archive.
void BM_DecodeMasterImage(benchmark::State& state) {
  TacSkinConvertor archive;
  archive.PackedData = BuiltinSkinArchive();
  if (!ExtractPackedData(archive, {})) {
    state.SkipWithError("the built-in skin is not an archive");
    return;
  }
  const TacPictureSource source{&archive, {}};
  for (auto _ : state) {
    Bitmap master = LoadMasterImage("MASTER COPY.PNG", source);
    benchmark::DoNotOptimize(master.Row32(0));
  }
}
BENCHMARK(BM_DecodeMasterImage)->Unit(benchmark::kMicrosecond);

// One title glyph strip (three frames of 90 x 40) from 192 to 144 pixels per inch.
void BM_ScaleTitleGlyph(benchmark::State& state) {
  HeadlessSkinPlatform platform(96);
  TsSkinManager manager(platform);
  manager.InternalSkins = BuiltinStoredSkins();
  manager.SetSkinName(std::string(kBuiltinSkinName));
  TsMaskData glyph;
  glyph.R = Rect(0, 104, 270, 144);
  glyph.ImageCount = 3;
  glyph.ImgType = itisaGlyph;
  glyph.DivPPI = 192;
  glyph.MulPPi = 144;
  for (auto _ : state) {
    TsMaskData md = glyph;
    ScaleMaskData(md, &manager.MasterBitmap, false);
    benchmark::DoNotOptimize(md.Bmp);
  }
}
BENCHMARK(BM_ScaleTitleGlyph)->Unit(benchmark::kMicrosecond);

// N sections in one ring of parents, one frame entry on the last: every section's lookups walk
// the whole ring. Loaded through the manager at 96 pixels per inch.
void BM_LoadParentChainSkin(benchmark::State& state) {
  const auto sections = static_cast<int>(state.range(0));
  std::string options = "[GLOBALINFO]\nVERSION=2.5\n";
  for (int i = 0; i < sections; ++i) {
    options +=
        "[S" + std::to_string(i) + "]\nPARENTCLASS=S" + std::to_string((i + 1) % sections) + "\n";
  }
  options += "BORDERSMASK=&0000000000300020000000000000000010000000000\n";
  const std::vector<PackedMember> members = {
      {"OPTIONS.DAT", Bytes(options.begin(), options.end())}};
  TsStoredSkin skin;
  skin.Name = "Chain";
  skin.PackedData = PackSkinArchive(members, std::nullopt);
  HeadlessSkinPlatform platform(96);
  TsSkinManager manager(platform);
  manager.InternalSkins.Items = {skin};
  for (auto _ : state) {
    manager.SetSkinName("Chain");
    if (!manager.IsActive() ||
        manager.GetMaskIndex(manager.GetSkinIndex("S0"), "BORDERSMASK") < 0) {
      state.SkipWithError("the chained skin did not load");
      break;
    }
  }
  state.SetComplexityN(sections);
}
BENCHMARK(BM_LoadParentChainSkin)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace

BENCHMARK_MAIN();
