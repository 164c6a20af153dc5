#pragma once
// kestrune-skin preview: one window skinned by a skin archive, holding every kind of thing the
// skin paints on a form of this program. It exists on Windows (and under Wine) only.

#include <cstdio>
#include <optional>
#include <string>

namespace kestrune::skin_tool {

struct PreviewOptions {
  std::string archive;  // the skin archive; its file name without ".asz" is the skin's name
  int dpi = 0;          // the density the window must show at; 0: the display's
  bool right_to_left = false;
  int hue = 0;  // the skin manager's colour adjustment
  int saturation = 0;
  int brightness = 0;
  std::optional<std::string> shot;  // a PNG file: the window's picture once painted, then close
};

// False where no window can be shown (the native build).
[[nodiscard]] bool CanShowPreview();

// Shows the window until the user closes it (or, with a shot, until its picture is written).
// Returns the tool's exit status; throws kestrune::Error for a skin or a shot that cannot be
// used, and where no window can be shown.
int RunPreview(const PreviewOptions& options, std::FILE* err);

}  // namespace kestrune::skin_tool
