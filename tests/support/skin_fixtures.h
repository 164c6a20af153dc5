#pragma once
// Small skins made from the built-in one for the tests of hostile skins: its archive with one
// edit of the options text, or with its master image replaced. Targets that include this link
// kestrune_builtin_skin and kestrune_skin_data.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_archive.h"
#include "skin/data/skin_archive_writer.h"
#include "tests/support/png_writer.h"

namespace kestrune::test {

inline constexpr std::string_view kBuiltinMasterName = "MASTER COPY.PNG";

// `text` with its first `from` replaced by `to`; a test failure when `from` is not there.
inline std::string ReplacedOnce(std::string text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << "the built-in options have no \"" << from << "\"";
  if (at != std::string::npos)
    text.replace(at, from.size(), to);
  return text;
}

// A 1 x 1 opaque black picture.
inline skin::Bytes OnePixelPng() {
  PngRecipe recipe;
  recipe.rows = {0, 0, 0, 0, 255};
  const Bytes png = MakePng(recipe);
  return skin::Bytes(png.begin(), png.end());
}

// The built-in archive with the options text `from` replaced by `to` (nothing when `from` is
// empty) and, when given, the master image's bytes replaced.
inline skin::Bytes BuiltinSkinWith(std::string_view from, std::string_view to,
                                   const std::optional<skin::Bytes>& master = std::nullopt) {
  std::vector<skin::PackedMember> members;
  skin::ReadPackedMembers(skin::BuiltinSkinArchive(), [&](skin::PackedMember member) {
    if (skin::IsOptionsFileName(member.name) && !from.empty()) {
      const std::string text =
          ReplacedOnce(std::string(member.bytes.begin(), member.bytes.end()), from, to);
      member.bytes.assign(text.begin(), text.end());
    } else if (member.name == kBuiltinMasterName && master) {
      member.bytes = *master;
    }
    members.push_back(std::move(member));
  });
  return skin::PackSkinArchive(members, std::nullopt);
}

}  // namespace kestrune::test
