#pragma once
// The writer side of the packed skin archive, used by our own build and by kestrune-skin.

#include <optional>
#include <span>
#include <string>

#include "skin/data/skin_archive.h"

namespace kestrune::skin {

// An archive holding `members` in the given order, each compressed with zlib, followed by a
// preview block when `preview` is given. Throws when a name cannot be stored or the members
// unpack to more than kMaxUnpackedTotal bytes, since a reader would refuse such an archive.
[[nodiscard]] Bytes PackSkinArchive(std::span<const PackedMember> members,
                                    std::optional<std::span<const std::uint8_t>> preview);

// Packs the files directly in `folder` (UTF-8): its options file first, then every other file in
// the byte order of the names; subfolders are not packed. Throws when the folder has no options
// file or cannot be read.
[[nodiscard]] Bytes PackSkinFolder(const std::string& folder,
                                   std::optional<std::span<const std::uint8_t>> preview);

}  // namespace kestrune::skin
