// Setting the skin name of a manager with the built-in skin: finding the skin, unpacking the
// archive and building the tables, at 96 pixels per inch (one copy) and at 144 (two copies).

#include <benchmark/benchmark.h>

#include <string>

#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_manager.h"

namespace {

using namespace kestrune::skin;

void BM_LoadBuiltInSkin(benchmark::State& state) {
  HeadlessSkinPlatform platform(static_cast<int>(state.range(0)));
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
}
BENCHMARK(BM_LoadBuiltInSkin)->Arg(96)->Arg(144)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
