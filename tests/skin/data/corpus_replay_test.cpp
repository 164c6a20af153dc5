// Every input of the fuzzer's seed corpus (and every fault it found, kept there) replayed as an
// ordinary test: each either reads or fails with a kestrune::Error.

#include <gtest/gtest.h>

#include "tests/support/build_path.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/skin_archive_input.h"

namespace kestrune {
namespace {

std::filesystem::path CorpusFolder() {
  return std::filesystem::path(test::BuildPath(KESTRUNE_FUZZ_CORPUS_DIR));
}

TEST(SkinArchiveCorpus, EveryInputReadsOrFailsWithAnError) {
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusFolder())) {
    SCOPED_TRACE(entry.path().filename().string());
    std::ifstream in(entry.path(), std::ios::binary);
    const skin::Bytes data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    try {
      fuzz::ReadArchiveInput(data);
    } catch (const Error&) {
    }
    ++count;
  }
  EXPECT_GE(count, 10u) << "the seed corpus is missing";
}

}  // namespace
}  // namespace kestrune
