#pragma once
// What the platform's colour functions answer while the default manager substitutes system
// colours (its ChangeSysColors option): the answers as pure functions of the skin's colours, so
// that the table holds without any platform. The patching of the functions themselves is on the
// Windows side (system_color_hooks_win.h). A value the table does not list (nullopt) is left to
// the platform function.

#include <cstdint>
#include <optional>

#include "skin/data/skin_records.h"

namespace kestrune::skin {

// The skin colours the answers are made of.
struct TsSubstitutionColors {
  TacPalette Palette{};
  TColor InactiveBorder = 0;  // The skin's SysInactiveBorderColor.
  // The desktop's own button face colour: the only grey pen colour that is substituted.
  TColor SystemBtnFace = 0x00F0F0F0;
};

// The system colour of platform colour index `index`.
[[nodiscard]] std::optional<TColor> SubstituteSysColor(int index,
                                                       const TsSubstitutionColors& colors);

// The palette colour whose brush answers a system colour brush of `index`.
[[nodiscard]] std::optional<TacPaletteColors> SubstituteSysColorBrush(int index);

// The colour of a pen asked for with colour value `requested` (red in the low byte). Small
// values stand for platform colour indexes passed where a colour belongs; they are dark reds that
// a real pen practically never uses. The grey 0xC0C0C0 or 0xF0F0F0 is taken as a button face line
// only when it is the desktop's button face colour, so that other grey pens keep their colour.
[[nodiscard]] std::optional<TColor> SubstitutePenColor(std::uint32_t requested,
                                                       const TsSubstitutionColors& colors);

}  // namespace kestrune::skin
