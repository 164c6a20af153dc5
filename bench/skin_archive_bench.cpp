// Reading a skin archive the size of the built-in one, and a large one, and the preview search.

#include <benchmark/benchmark.h>

#include <string>

#include "skin/data/skin_archive.h"
#include "skin/data/skin_archive_writer.h"

namespace {

using kestrune::skin::Bytes;

Bytes Noise(std::size_t size, std::uint32_t seed) {
  Bytes out(size);
  for (auto& byte : out) {
    seed = seed * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(seed >> 24);
  }
  return out;
}

Bytes OptionsText(std::size_t size) {
  std::string text;
  for (int i = 0; text.size() < size; ++i)
    text += "[SECTION" + std::to_string(i) + "]\r\nCOLOR=0x202020\r\nIMAGEFILE=MASTER COPY.PNG\r\n";
  text.resize(size);
  return Bytes(text.begin(), text.end());
}

// Members of the built-in skin's sizes, times `scale`; pictures are noise, as PNG data is.
Bytes MakeArchive(std::size_t scale) {
  const std::vector<kestrune::skin::PackedMember> members = {
      {"OPTIONS.DAT", OptionsText(19337 * scale)},
      {"GLOWEDIT.PNG", Noise(2867 * scale, 1)},
      {"MASTER COPY.PNG", Noise(34960 * scale, 2)},
  };
  const Bytes preview = Noise(28691, 3);
  return kestrune::skin::PackSkinArchive(members, preview);
}

void BM_ExtractPackedData(benchmark::State& state) {
  const Bytes archive = MakeArchive(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    kestrune::skin::TacSkinConvertor convertor;
    convertor.PackedData = archive;
    benchmark::DoNotOptimize(kestrune::skin::ExtractPackedData(convertor, {}));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(archive.size()));
}
BENCHMARK(BM_ExtractPackedData)->Arg(1)->Arg(256);

void BM_GetPreviewStream(benchmark::State& state) {
  const Bytes archive = MakeArchive(static_cast<std::size_t>(state.range(0)));
  Bytes preview;
  for (auto _ : state)
    benchmark::DoNotOptimize(kestrune::skin::GetPreviewStream(preview, archive));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(archive.size()));
}
BENCHMARK(BM_GetPreviewStream)->Arg(1)->Arg(256);

}  // namespace

BENCHMARK_MAIN();
