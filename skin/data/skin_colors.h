#pragma once
// Colour values that may name a system colour or one of the skin's pseudo colours, resolved
// through the active skin first: painting code asks acColorToRGB for its tint colours so that a
// "button face" or "red button" follows the skin rather than the desktop scheme.
//
// Never throws; every value resolves to a colour.

#include <cstdint>

#include "skin/pixels/colors.h"

namespace kestrune::skin {

class TsSkinManager;

// System colours: 0xFF000000 plus the platform's colour index.
constexpr TColor SystemColor(std::uint8_t index) {
  return static_cast<TColor>(kSystemColorFlag | index);
}
inline constexpr TColor clScrollBar = SystemColor(0);
inline constexpr TColor clBackground = SystemColor(1);
inline constexpr TColor clActiveCaption = SystemColor(2);
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenu = SystemColor(4);
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clCaptionText = SystemColor(9);
inline constexpr TColor clActiveBorder = SystemColor(10);
inline constexpr TColor clInactiveBorder = SystemColor(11);
inline constexpr TColor clAppWorkSpace = SystemColor(12);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clInactiveCaptionText = SystemColor(19);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor cl3DDkShadow = SystemColor(21);
inline constexpr TColor cl3DLight = SystemColor(22);
inline constexpr TColor clInfoText = SystemColor(23);
inline constexpr TColor clInfoBk = SystemColor(24);
inline constexpr TColor clHotLight = SystemColor(26);
inline constexpr TColor clGradientActiveCaption = SystemColor(27);
inline constexpr TColor clGradientInactiveCaption = SystemColor(28);
inline constexpr TColor clMenuHighlight = SystemColor(29);
inline constexpr TColor clMenuBar = SystemColor(30);

// Skin pseudo colours. Below the high byte each carries the colour it stands for when no skin
// is active, so that a control drawn without a skin still gets a sensible tint.
constexpr TColor PseudoColor(std::uint32_t value) {
  return static_cast<TColor>(value);
}
inline constexpr TColor slMainColor = PseudoColor(0xF1000001u);
inline constexpr TColor slBtnRed = PseudoColor(0xFF9E9EFFu);
inline constexpr TColor slBtnRedActive = PseudoColor(0xFF7E7EFFu);
inline constexpr TColor slBtnRedText = PseudoColor(0xFF0000B4u);
inline constexpr TColor slBtnRedTextActive = PseudoColor(0xFF0000A2u);
inline constexpr TColor slBtnGreen = PseudoColor(0xFF7BD098u);
inline constexpr TColor slBtnGreenActive = PseudoColor(0xFF3EE275u);
inline constexpr TColor slBtnGreenText = PseudoColor(0xFF28851Au);
inline constexpr TColor slBtnGreenTextActive = PseudoColor(0xFF008E00u);
inline constexpr TColor slBtnBlue = PseudoColor(0xFFFFEDC9u);
inline constexpr TColor slBtnBlueActive = PseudoColor(0xFFFFE9BEu);
inline constexpr TColor slBtnBlueText = PseudoColor(0xFFAE7400u);
inline constexpr TColor slBtnBlueTextActive = PseudoColor(0xFF916000u);
inline constexpr TColor slBtnYellow = PseudoColor(0xFFCAF3FFu);
inline constexpr TColor slBtnYellowActive = PseudoColor(0xFFBAEFFFu);
inline constexpr TColor slBtnYellowText = PseudoColor(0xFF0079B5u);
inline constexpr TColor slBtnYellowTextActive = PseudoColor(0xFF0098C6u);
inline constexpr TColor slEditRed = PseudoColor(0xFFDBDBFFu);
inline constexpr TColor slEditGreen = PseudoColor(0xFFC9FFD2u);
inline constexpr TColor slEditYellow = PseudoColor(0xFFBAFFFFu);
inline constexpr TColor slEditRedText = PseudoColor(0xFF00006Cu);
inline constexpr TColor slEditGreenText = PseudoColor(0xFF003E0Au);
inline constexpr TColor slEditYellowText = PseudoColor(0xFF004C4Cu);

// A non-negative colour comes back unchanged. A negative one is looked up in the skin of
// `manager` (the default manager when null) while that skin is active or being changed: system
// colours map to palette colours, the form title's and hint's state colours or blends of them,
// pseudo colours to their palette colours; anything not listed goes to the platform
// (ColorToRGB). Without an active manager a value whose low 24 bits exceed 100 (the pseudo
// colours) loses its high byte and the rest go to the platform.
[[nodiscard]] TColor acColorToRGB(TColor color, const TsSkinManager* manager = nullptr);

}  // namespace kestrune::skin
