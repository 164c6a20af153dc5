#pragma once
// Colour adjustment of a loaded skin: a hue rotation, a saturation and a brightness change
// applied once to the loaded data (master image, cached pictures, section state colours, part
// of the palette) so that painting needs no per-pixel work.
//
// Each piece of data is adjusted exactly once per load. The master image and Shadow1Color are
// shared by all density copies: they are adjusted with the load that read them, and cut-outs
// that a later copy rescales from the adjusted master image already carry the adjustment
// (TacBmpData::Adjusted). Mask rows and the transparent fuchsia value are never changed, the
// -1 and 0xFF00FF "none" values of section colours neither.
//
// Nothing here throws.

#include <array>
#include <string_view>

#include "skin/data/skin_records.h"

namespace kestrune::skin {

class TsSkinManager;
class TacSkinData;

// The palette colours that follow hue and saturation changes.
inline constexpr std::array<TacPaletteColors, 29> ChangeableColors = {
    pcMainColor,
    pcLabelText,
    pcWebText,
    pcEditText,
    pcEditBG,
    pcSelectionBG,
    pcSelectionText,
    pcSelectionBG_Focused,
    pcSelectionText_Focused,
    pcEditBG_Inverted,
    pcEditText_Inverted,
    pcEditBG_OddRow,
    pcEditBG_EvenRow,
    pcBtnColor1Active,
    pcBtnColor2Active,
    pcBtnBorderActive,
    pcBtnFontActive,
    pcBtnColor1Normal,
    pcBtnColor2Normal,
    pcBtnBorderNormal,
    pcBtnFontNormal,
    pcBtnColor1Pressed,
    pcBtnColor2Pressed,
    pcBtnBorderPressed,
    pcBtnFontPressed,
    pcBorder,
    pcGrid,
    pcHintBG,
    pcHintText,
};

// The brightness a manager stores: limited to -100 ... 100.
[[nodiscard]] int LimitBrightness(int value);
// The value the saturation operations take: saturation * 255 div 100, limited to -255 ... 255.
[[nodiscard]] int SaturationValue(int saturation);

// The three operations on the loaded copy for `ppi` (nothing when there is none or the value is
// 0), with the master image and Shadow1Color while manager.MasterAdjusted is false. The manager
// runs them in this order at the end of building a copy's palette.
// Hue in degrees; with the skin's BIKEEPHUE above 0 the close glyphs (with 1 every title-bar
// glyph) keep their colours, in the master image and in pictures of their own.
void ChangeSkinHue(TsSkinManager& manager, int value, int ppi);
// Saturation in percent of full; mask rows are kept.
void ChangeSkinSaturation(TsSkinManager& manager, int value, int ppi);
// Brightness as the pixel operation takes it; mask rows are kept, the palette is not changed, and
// a brightened PNG picture has its alpha prepared again as loading would have done.
void ChangeSkinBrightness(TsSkinManager& manager, int value, int ppi);

// The manager's three adjustments in order on a separate picture that is not part of a load (a
// mask record built on demand for entry `key` of `section`): mask rows of `mask_type` and
// fuchsia kept, kept title-bar glyphs not rotated.
void AdjustPicture(const TsSkinManager& manager, std::string_view section, std::string_view key,
                   Bitmap& bmp, int mask_type);

}  // namespace kestrune::skin
