#include "skin/data/skin_colors.h"

#include <optional>

#include "skin/data/skin_manager.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {

namespace {

constexpr std::uint32_t kLowBits = 0x00FFFFFFu;
// Pseudo colours carry a colour in their low bits; system colour indexes stay at or below this.
constexpr std::uint32_t kLargestIndex = 100;

// A standard section of the 96-PPI copy, without loading anything.
const TsGeneralData* StandardSection(const TsSkinManager& manager, TacSection section) {
  if (manager.SkinDataArray.empty() || !manager.SkinDataArray[0]) {
    return nullptr;
  }
  const std::vector<TsGeneralData>& gd = manager.SkinDataArray[0]->gd;
  const int index = manager.SkinCommonInfo.Sections[section];
  return index >= 0 && static_cast<std::size_t>(index) < gd.size()
             ? &gd[static_cast<std::size_t>(index)]
             : nullptr;
}

std::optional<TColor> SkinColorOf(TColor color, const TsSkinManager& manager) {
  const TacPalette& p = manager.Palette;
  const TsGeneralData* title = StandardSection(manager, ssFormTitle);
  const TsGeneralData* hint = StandardSection(manager, ssHint);
  const auto title_color = [&](std::size_t state) {
    return title != nullptr ? title->Props[state].Color : p[pcMainColor];
  };
  const auto title_font = [&](std::size_t state) {
    return title != nullptr ? title->Props[state].FontColor.Color : p[pcLabelText];
  };
  switch (color) {
    case slMainColor:
    case clScrollBar:
    case clBackground:
    case clMenu:
    case clAppWorkSpace:
    case clBtnFace:
    case clMenuBar:
      return p[pcMainColor];
    case clActiveCaption:
    case clGradientActiveCaption:
      return title_color(1);
    case clInactiveCaption:
    case clGradientInactiveCaption:
      return title_color(0);
    case clCaptionText:
      return title_font(1);
    case clInactiveCaptionText:
      return title_font(0);
    case clMenuText:
    case clBtnText:
      return p[pcLabelText];
    case clWindowText:
      return p[pcEditText];
    case clWindow:
      return p[pcEditBG];
    case clInfoText:
      return hint != nullptr ? hint->Props[0].FontColor.Color : p[pcEditText];
    case clInfoBk:
      return hint != nullptr ? hint->Props[0].Color : p[pcEditBG];
    case clWindowFrame:
    case clActiveBorder:
    case clInactiveBorder:
      return p[pcBorder];
    case clHighlight:
    case clMenuHighlight:
      return p[pcSelectionBG_Focused];
    case clHighlightText:
      return p[pcSelectionText_Focused];
    case clHotLight:
      return p[pcWebTextHot];
    case clBtnShadow:
      return BlendColors(p[pcMainColor], clBlack, 230);
    case cl3DDkShadow:
      return BlendColors(p[pcMainColor], clBlack, 210);
    case cl3DLight:
      return BlendColors(p[pcMainColor], clWhite, 180);
    case clGrayText:
      return BlendColors(p[pcMainColor], p[pcLabelText], 127);
    case clBtnHighlight:
      return BlendColors(p[pcMainColor], p[pcSelectionBG_Focused], 127);
    case slBtnRed:
      return p[pcBtnToneRed];
    case slBtnGreen:
      return p[pcBtnToneGreen];
    case slBtnBlue:
      return p[pcBtnToneBlue];
    case slBtnYellow:
      return p[pcBtnToneYellow];
    case slBtnRedActive:
      return p[pcBtnToneRedActive];
    case slBtnGreenActive:
      return p[pcBtnToneGreenActive];
    case slBtnBlueActive:
      return p[pcBtnToneBlueActive];
    case slBtnYellowActive:
      return p[pcBtnToneYellowActive];
    case slBtnRedText:
      return p[pcBtnRedText];
    case slBtnGreenText:
      return p[pcBtnGreenText];
    case slBtnBlueText:
      return p[pcBtnBlueText];
    case slBtnYellowText:
      return p[pcBtnYellowText];
    case slBtnRedTextActive:
      return p[pcBtnRedTextActive];
    case slBtnGreenTextActive:
      return p[pcBtnGreenTextActive];
    case slBtnBlueTextActive:
      return p[pcBtnBlueTextActive];
    case slBtnYellowTextActive:
      return p[pcBtnYellowTextActive];
    case slEditRed:
      return p[pcEditBG_Alert];
    case slEditGreen:
      return p[pcEditBG_Ok];
    case slEditYellow:
      return p[pcEditBG_Warning];
    case slEditRedText:
      return p[pcEditText_Alert];
    case slEditGreenText:
      return p[pcEditText_Ok];
    case slEditYellowText:
      return p[pcEditText_Warning];
    default:
      return std::nullopt;
  }
}

}  // namespace

TColor acColorToRGB(TColor color, const TsSkinManager* manager) {
  if (color >= 0) {
    return color;
  }
  const TsSkinManager* used = manager != nullptr ? manager : DefaultManager();
  const bool active =
      used != nullptr && (used->IsActive() || (used->ManagerState & msSkinChanging) != 0);
  if (!active) {
    const auto low = static_cast<std::uint32_t>(color) & kLowBits;
    return low > kLargestIndex ? static_cast<TColor>(low) : ColorToRGB(color);
  }
  const std::optional<TColor> skin_color = SkinColorOf(color, *used);
  return skin_color ? *skin_color : ColorToRGB(color);
}

}  // namespace kestrune::skin
