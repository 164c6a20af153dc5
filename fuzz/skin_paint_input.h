#pragma once
// What the paint fuzzer and the corpus replay test do with one input: the input is a skin's
// options text, packed with the built-in skin's pictures, loaded through the skin manager and
// painted section by section in every state at 96 and at 144 pixels per inch with the calls
// kestrune-skin paint makes (each cell over a parent of its own rather than on one sheet).
// Returns normally or throws kestrune::Error; any other outcome (a crash, a sanitizer report)
// is a fault.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "platform/error.h"
#include "skin/data/skin_archive.h"
#include "skin/data/skin_archive_writer.h"
#include "tools/kestrune-skin/skin_paint_sheet.h"

namespace kestrune::fuzz {

inline void PaintOptionsInput(std::span<const std::uint8_t> data) {
  static const std::vector<skin::PackedMember> kPictures = [] {
    std::vector<skin::PackedMember> pictures;
    skin::ReadPackedMembers(skin::BuiltinSkinArchive(), [&pictures](skin::PackedMember member) {
      if (!skin::IsOptionsFileName(member.name)) {
        pictures.push_back(std::move(member));
      }
    });
    return pictures;
  }();
  std::vector<skin::PackedMember> members = {
      {"OPTIONS.DAT", skin::Bytes(data.begin(), data.end())}};
  members.insert(members.end(), kPictures.begin(), kPictures.end());
  const skin::Bytes archive = skin::PackSkinArchive(members, std::nullopt);
  for (const int ppi : {96, 144}) {
    (void)skin_tool::PaintSectionCells(archive, ppi);
  }
}

}  // namespace kestrune::fuzz
