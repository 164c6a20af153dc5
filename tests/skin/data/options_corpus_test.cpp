// Every input of the options fuzzer's seed corpus (and every fault it found, kept there) replayed
// as an ordinary test: each either loads or fails with a kestrune::Error.

#include <gtest/gtest.h>

#include "tests/support/build_path.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/skin_options_input.h"

namespace kestrune {
namespace {

std::filesystem::path CorpusFolder() {
  return std::filesystem::path(test::BuildPath(KESTRUNE_OPTIONS_CORPUS_DIR));
}

TEST(SkinOptionsCorpus, EveryInputLoadsOrFailsWithAnError) {
  std::size_t count = 0;
  std::size_t errors = 0;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusFolder())) {
    SCOPED_TRACE(entry.path().filename().string());
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
    try {
      fuzz::LoadOptionsInput(data);
    } catch (const Error&) {
      ++errors;
    }
    ++count;
  }
  EXPECT_GE(count, 10u) << "the seed corpus is missing";
  EXPECT_GE(errors, 2u) << "the seeds with bad numbers no longer fail";
}

}  // namespace
}  // namespace kestrune
