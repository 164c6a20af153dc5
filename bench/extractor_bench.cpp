// The extraction engine's inner loops: address formatting and the expansion of one /16 block.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "extractor/block_workers.h"
#include "extractor/ip_text.h"
#include "extractor/output_merge.h"
#include "platform/process_services.h"

namespace {

void BM_WriteIPText(benchmark::State& state) {
  char buffer[16];
  std::uint32_t address = 0x0A000000u;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kestrune::WriteIPText(address++, buffer));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteIPText);

void BM_IPToStr(benchmark::State& state) {
  std::uint32_t address = 0xC0A80000u;
  for (auto _ : state)
    benchmark::DoNotOptimize(kestrune::IPToStr(address++));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IPToStr);

// One /16 block through the workers into temp files and merged into an output file, as a run
// does it; the output is emptied between iterations.
void BM_ExpandSlash16(benchmark::State& state) {
  const kestrune::platform::SystemServices services;
  const auto folder = std::filesystem::temp_directory_path() / "kestrune-bench";
  std::filesystem::create_directories(folder);
  kestrune::TExtractRunState run;
  run.FinalFile = (folder / "out.txt").string();
  for (auto _ : state) {
    kestrune::platform::OpenFile(run.FinalFile, kestrune::platform::OpenMode::kCreateExclusive)
        ->Close();
    kestrune::RunBlockTasks(run, 0x0A000000u, 65536, services);
    kestrune::MergeTempFiles(run, services);
  }
  std::filesystem::remove_all(folder);
  state.SetItemsProcessed(state.iterations() * 65536);
}
BENCHMARK(BM_ExpandSlash16)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
