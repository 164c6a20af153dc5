#include "skin/data/system_color_substitution.h"

#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {

namespace {

// Platform colour indexes.
constexpr int kWindow = 5;
constexpr int kWindowFrame = 6;
constexpr int kWindowText = 8;
constexpr int kInactiveBorder = 11;
constexpr int kHighlight = 13;
constexpr int kHighlightText = 14;
constexpr int kBtnFace = 15;
constexpr int kBtnShadow = 16;
constexpr int k3DDkShadow = 21;
constexpr int k3DLight = 22;

TColor Shadow(const TacPalette& p) {
  return BlendColors(p[pcMainColor], clBlack, 205);
}

TColor Light(const TacPalette& p) {
  return BlendColors(p[pcMainColor], clWhite, 205);
}

}  // namespace

std::optional<TColor> SubstituteSysColor(int index, const TsSubstitutionColors& colors) {
  const TacPalette& p = colors.Palette;
  switch (index) {
    case kWindow:
      return p[pcEditBG];
    case kWindowFrame:
      return p[pcBorder];
    case kWindowText:
      return p[pcEditText];
    case kInactiveBorder:
      return colors.InactiveBorder;
    case kHighlight:
      return p[pcSelectionBG_Focused];
    case kHighlightText:
      return p[pcSelectionText_Focused];
    case kBtnShadow:
    case k3DDkShadow:
      return Shadow(p);
    case k3DLight:
      return Light(p);
    default:
      return std::nullopt;
  }
}

std::optional<TacPaletteColors> SubstituteSysColorBrush(int index) {
  switch (index) {
    case kWindow:
      return pcEditBG;
    case kWindowText:
      return pcEditText;
    case kHighlight:
      return pcSelectionBG_Focused;
    case kHighlightText:
      return pcSelectionText_Focused;
    default:
      return std::nullopt;
  }
}

std::optional<TColor> SubstitutePenColor(std::uint32_t requested,
                                         const TsSubstitutionColors& colors) {
  const TacPalette& p = colors.Palette;
  switch (requested) {
    case kWindow:
      return p[pcEditBG];
    case kWindowFrame:
      return p[pcBorder];
    case kInactiveBorder:
      return colors.InactiveBorder;
    case kHighlight:
      return p[pcSelectionBG_Focused];
    case kHighlightText:
      return p[pcSelectionText_Focused];
    case kBtnFace:
      return p[pcMainColor];
    case kBtnShadow:
    case k3DDkShadow:
      return Shadow(p);
    case k3DLight:
      return Light(p);
    case 0x00C0C0C0u:
    case 0x00F0F0F0u:
      if (requested == static_cast<std::uint32_t>(colors.SystemBtnFace)) {
        return BlendColors(p[pcEditText], p[pcEditBG], 38);
      }
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace kestrune::skin
