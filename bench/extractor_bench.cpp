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

enum class Path { kWorkers, kInMemory, kInline };

// One block of N addresses each way a run can write it, to place the size below which a block is
// written on the run's thread: through the worker tasks, temp files and merge (workers), formed in
// memory by the worker tasks and written in one piece (in_memory, as kestrune-cli does), or as
// text gathered on the run's thread and written to the output (inline).
void BM_BlockPath(benchmark::State& state, Path path) {
  const kestrune::platform::SystemServices services;
  const auto folder = std::filesystem::temp_directory_path() / "kestrune-bench-path";
  std::filesystem::create_directories(folder);
  kestrune::TExtractRunState run;
  run.FinalFile = (folder / "out.txt").string();
  kestrune::platform::OpenFile(run.FinalFile, kestrune::platform::OpenMode::kCreateExclusive)
      ->Close();
  const auto count = static_cast<std::uint64_t>(state.range(0));
  std::string text;
  kestrune::platform::ByteBuffer block_text;
  kestrune::TSpareTempFiles spares;
  std::uint64_t written = 0;
  for (auto _ : state) {
    if ((written += count * 14) > (std::uint64_t{64} << 20)) {  // keep the file small
      state.PauseTiming();
      kestrune::CloseOutput(run);
      kestrune::platform::OpenFile(run.FinalFile, kestrune::platform::OpenMode::kCreateExclusive)
          ->Close();
      written = 0;
      state.ResumeTiming();
    }
    if (path == Path::kWorkers) {
      kestrune::RunBlockTasks(run, 0x0A000000u, count, services);
      kestrune::MergeTempFiles(run, services);
    } else if (path == Path::kInMemory) {
      kestrune::TFormedBlock block =
          kestrune::FormBlockInMemory(run, block_text, spares, 0x0A000000u, count, services);
      kestrune::AppendFormedBlock(run, block, spares, services);
    } else {
      text.clear();
      kestrune::AppendBlockText(text, 0x0A000000u, count);
      kestrune::OutputStream(run, services).Write(text.data(), text.size());
    }
  }
  kestrune::CloseOutput(run);
  std::filesystem::remove_all(folder);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}
BENCHMARK_CAPTURE(BM_BlockPath, workers, Path::kWorkers)
    ->RangeMultiplier(4)
    ->Range(1, 65536)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_BlockPath, in_memory, Path::kInMemory)
    ->RangeMultiplier(4)
    ->Range(1, 65536)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_BlockPath, inline, Path::kInline)
    ->RangeMultiplier(4)
    ->Range(1, 65536)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
