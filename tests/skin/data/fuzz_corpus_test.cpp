// Every input of the fuzzers' seed corpora (and every fault they found, kept there) replayed
// with the outcome it must have: accepted, refused as no archive, or the error text. A file
// without a row fails, so an input copied into a corpus gets its outcome written down here.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "fuzz/skin_archive_input.h"
#include "fuzz/skin_options_input.h"
#include "fuzz/skin_paint_input.h"
#include "tests/support/build_path.h"
#include "tests/support/temp_dir.h"

namespace kestrune {
namespace {

constexpr std::string_view kAccepted = "accepted";
constexpr std::string_view kNoArchive = "no archive";

struct Seed {
  std::string_view corpus;
  std::string_view file;
  std::string_view outcome;
};

constexpr Seed kSeeds[] = {
    {"skin_archive", "ansi_name.asz", kAccepted},
    {"skin_archive", "empty.asz", kAccepted},
    {"skin_archive", "empty_name.asz", kAccepted},
    {"skin_archive", "false_size.asz",
     "The skin archive member \"OPTIONS.DAT\" unpacks to 76 bytes instead of its declared 77."},
    {"skin_archive", "full.asz", kAccepted},
    {"skin_archive", "huge_count.asz",
     "The skin archive is damaged: its member count 4294967295 runs past the end of the data."},
    {"skin_archive", "no_options.asz", kAccepted},
    {"skin_archive", "options_only.asz", kAccepted},
    {"skin_archive", "prev_checksum.asz", kAccepted},
    {"skin_archive", "preview_only.asz", kAccepted},
    {"skin_archive", "short.asz", kAccepted},
    {"skin_archive", "stored_block.asz", kAccepted},
    {"skin_archive", "truncated.asz",
     "The skin archive is damaged: member 3 runs past the end of the data."},
    {"skin_archive", "two_options.asz", kAccepted},
    {"skin_archive", "wrong_signature.asz", kNoArchive},
    {"skin_options", "bad_digit", "'01X7' is not a valid integer value"},
    {"skin_options", "builtin_144", kAccepted},
    {"skin_options", "builtin_96", kAccepted},
    {"skin_options", "builtin_shadow_only", kAccepted},
    {"skin_options", "common_sections", kAccepted},
    {"skin_options", "encodings", kAccepted},
    {"skin_options", "huge_numbers", kAccepted},
    {"skin_options", "loops", kAccepted},
    {"skin_options", "palette", "'grey' is not a valid integer value"},
    {"skin_options", "variants", kAccepted},
    {"skin_paint", "builtin", kAccepted},
    {"skin_paint", "far_rectangles", kAccepted},
    {"skin_paint", "frames_without_master", kAccepted},
    {"skin_paint", "glow_as_master", kAccepted},
    {"skin_paint", "hostile_numbers", kAccepted},
    {"skin_paint", "no_master", kAccepted},
    {"skin_paint", "small", kAccepted},
};

std::string Outcome(std::string_view corpus, const std::string& text) {
  const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(text.data()),
                                           text.size());
  try {
    if (corpus == "skin_archive") {
      skin::TacSkinConvertor convertor;
      convertor.PackedData = data;
      const bool archive = skin::ExtractPackedData(convertor, {});
      fuzz::ReadArchiveInput(data);
      return std::string(archive ? kAccepted : kNoArchive);
    }
    if (corpus == "skin_paint") {
      fuzz::PaintOptionsInput(data);
    } else {
      fuzz::LoadOptionsInput(data);
    }
    return std::string(kAccepted);
  } catch (const Error& e) {
    return e.what();
  }
}

TEST(FuzzCorpus, EverySeedHasItsOutcome) {
  std::set<std::string> found;
  for (const std::string_view corpus : {"skin_archive", "skin_options", "skin_paint"}) {
    const std::filesystem::path folder =
        std::filesystem::path(test::BuildPath(KESTRUNE_FUZZ_CORPUS_DIR)) / corpus;
    for (const std::string& name : test::FileNames(folder)) {
      SCOPED_TRACE(std::string(corpus) + "/" + name);
      const Seed* seed = nullptr;
      for (const Seed& s : kSeeds) {
        if (s.corpus == corpus && s.file == name) {
          seed = &s;
        }
      }
      const std::string outcome = Outcome(corpus, test::ReadFileBytes(folder / name));
      ASSERT_NE(seed, nullptr) << "no row for this input; its outcome is: " << outcome;
      EXPECT_EQ(outcome, seed->outcome);
      found.insert(std::string(corpus) + "/" + name);
    }
  }
  for (const Seed& s : kSeeds) {
    EXPECT_EQ(found.count(std::string(s.corpus) + "/" + std::string(s.file)), 1u)
        << s.corpus << "/" << s.file << " is missing from its corpus";
  }
}

}  // namespace
}  // namespace kestrune
