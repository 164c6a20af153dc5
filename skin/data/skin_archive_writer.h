#pragma once
// The writer side of the packed skin archive, used by our own build and by kestrune-skin.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "skin/data/skin_archive.h"

namespace kestrune::skin {

// An archive holding `members` in the given order, each compressed with zlib, followed by a
// preview block when `preview` is given. Throws when a name cannot be stored or the members
// unpack to more than kMaxUnpackedTotal bytes, since a reader would refuse such an archive.
[[nodiscard]] Bytes PackSkinArchive(std::span<const PackedMember> members,
                                    std::optional<std::span<const std::uint8_t>> preview);

// Packs the regular files directly in `folder` (UTF-8): its options file first, then every other
// file in the byte order of the names. Symbolic links, subfolders and other entries are not
// packed; when `skipped` is given, each gets a line there: its name and what it is. Throws when
// the folder has no options file, cannot be read, or holds two names that differ only in case
// (readers take member names without regard to case).
[[nodiscard]] Bytes PackSkinFolder(const std::string& folder,
                                   std::optional<std::span<const std::uint8_t>> preview,
                                   std::vector<std::string>* skipped = nullptr);

}  // namespace kestrune::skin
