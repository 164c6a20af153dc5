#pragma once
// Image entries: the one-line descriptions of a skin's pictures, and their canonical "&" form.
//
// Canonical form, positions from 1: "&", then the rectangle left, top, right, bottom (2-17) and
// the margins left, top, right, bottom (18-33) as four digits each, the frame count (34), mask
// type (35) and image type (36) as one digit each, the draw mode (37-38), six reserved digits
// (39-44) and the file name of a separate picture (45-, empty for the master image).

#include <string>
#include <string_view>

#include "skin/data/skin_records.h"

namespace kestrune::skin {

// Whether an upper-cased value is an image entry: it starts with "!", "&", "@", "^" or "~", or
// it names a ".JPG" or ".BMP" file.
[[nodiscard]] bool IsImageEntry(std::string_view upper_value);

// The canonical form of an upper-cased entry in any encoding. A digit field that has to be
// read to build it and is not a number throws kestrune::Error
// "'field' is not a valid integer value".
[[nodiscard]] std::string CanonicalImageEntry(std::string_view upper_value);

// Reads the fields of a canonical entry into `mask` (R, margins, ImageCount, MaskType, ImgType,
// DrawMode, FileName, Canonical, Width, Height). A digit field that is not a number throws as
// above.
void ReadCanonicalEntry(std::string_view canonical, TsMaskData& mask);

}  // namespace kestrune::skin
