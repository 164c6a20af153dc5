#pragma once
// kestrune-skin check: problems in a packed skin that a skin author would want to know about
// before the program silently draws without a picture.

#include <string>
#include <vector>

#include "skin/data/skin_archive.h"

namespace kestrune::skin_tool {

// One line per problem, "SECTION KEY: what is wrong", in file order, then the PARENTCLASS loops;
// empty for a sound skin. Reported: an archive without an options file; a MASTERBITMAP that
// names no member or whose size cannot be read; image entries that cannot be read, that name a
// picture the archive lacks, or whose rectangle is empty or lies outside the master image;
// numbers outside the range the loader brings them into, or no numbers at all; PARENTCLASS
// values naming no section, and chains of them that loop through other sections. Throws
// kestrune::Error for an archive that cannot be read at all.
[[nodiscard]] std::vector<std::string> CheckSkinArchive(const skin::Bytes& archive);

}  // namespace kestrune::skin_tool
