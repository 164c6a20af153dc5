#pragma once
// Every Windows test program reports the state of the session at the first failed check of a
// test: the cursor, the windows on the screen and a picture of it. Tests that hold pictures of
// their own put them beside it.

#include <string>

namespace kestrune::test {

// The folder failure pictures go to, made if missing: KESTRUNE_FAILURE_DIR, or "failures"
// beside the test program.
[[nodiscard]] std::string FailureFolder();

}  // namespace kestrune::test
