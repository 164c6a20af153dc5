#pragma once
// The main window's stored description, for the tests that read its layout or build the window.
// Their targets define KESTRUNE_MAIN_FORM_LAYOUT as the path of app/main_form.layout.

#include <string>

#include "platform/form_description.h"
#include "tests/support/build_path.h"
#include "tests/support/temp_dir.h"

namespace kestrune::test {

// The file's bytes; "<missing>" when it cannot be read.
inline std::string MainLayoutText() {
  return ReadFileBytes(BuildPath(KESTRUNE_MAIN_FORM_LAYOUT));
}

inline platform::FormDescription MainDescription() {
  return platform::ParseFormDescription(MainLayoutText());
}

}  // namespace kestrune::test
