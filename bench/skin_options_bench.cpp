// Loading the built-in skin's options at 96 and 192 pixels per inch, and files with long parent
// chains, which must stay linear in their size (100,000 sections in well under a second).

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

#include "skin/data/ini_store.h"
#include "skin/data/skin_options.h"

namespace {

using kestrune::skin::IniStore;
using kestrune::skin::LoadSkinOptions;
using kestrune::skin::TsOptionsContext;

std::string BuiltInOptions() {
  std::ifstream in(std::string(KESTRUNE_SKIN_ASSETS_DIR) + "/Options.dat", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void BM_LoadBuiltInOptions(benchmark::State& state) {
  const std::string text = BuiltInOptions();
  TsOptionsContext context;
  context.PPI = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const IniStore ini(text);
    benchmark::DoNotOptimize(LoadSkinOptions(ini, context));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_LoadBuiltInOptions)->Arg(96)->Arg(192);

// Every section names the next as its parent; the last closes the loop.
void BM_LoadParentChain(benchmark::State& state) {
  const auto sections = static_cast<int>(state.range(0));
  std::string text;
  for (int i = 0; i < sections; ++i) {
    text +=
        "[S" + std::to_string(i) + "]\nPARENTCLASS=S" + std::to_string((i + 1) % sections) + "\n";
  }
  text += "[S0]\nCOLOR=5\n";
  const IniStore ini(text);
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadSkinOptions(ini, TsOptionsContext{}));
  }
  state.SetComplexityN(sections);
}
BENCHMARK(BM_LoadParentChain)->RangeMultiplier(4)->Range(256, 16384)->Complexity();

// A hostile options file of 100,000 sections, each naming the next as its parent, read from its
// text as a skin tool reads it: parsed and loaded (argument 1), or only loaded from the parsed
// file (argument 0). It must take well under a second.
void BM_ReadHostileParentChain(benchmark::State& state) {
  constexpr int kSections = 100000;
  const bool parse = state.range(0) != 0;
  std::string text;
  for (int i = 0; i < kSections; ++i)
    text += "[S" + std::to_string(i) + "]\nPARENTCLASS=S" + std::to_string(i + 1) + "\n";
  const IniStore parsed(text);
  for (auto _ : state) {
    if (parse) {
      const IniStore ini(text);
      benchmark::DoNotOptimize(LoadSkinOptions(ini, TsOptionsContext{}));
    } else {
      benchmark::DoNotOptimize(LoadSkinOptions(parsed, TsOptionsContext{}));
    }
  }
}
BENCHMARK(BM_ReadHostileParentChain)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
