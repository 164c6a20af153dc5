#pragma once
// Skinned text on a device context. GDI leaves alpha 0 on every pixel it draws into a 32-bit
// bitmap, so text drawn for a 32-bit target has its alpha made right at once: the pixels GDI
// touched become opaque, the others keep their alpha. Include only from Windows sources.

#include <windows.h>

#include <memory>
#include <string_view>

#include "skin/data/skin_colors.h"
#include "skin/data/skin_records.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

class TsSkinManager;

// The text-drawing flag that asks for a correct alpha channel in a 32-bit target.
inline constexpr UINT DT_ALPHATEXT = 0x40000000;
// Longer texts are cut to this many characters before the platform draws them.
inline constexpr std::size_t kMaxDrawTextLength = 5460;

// Draws or (with DT_CALCRECT) measures text in dc's font and text colour. With DT_ALPHATEXT and
// bmp (the bitmap behind dc) the drawn pixels become opaque. Returns the platform's height.
int acDrawText(HDC dc, std::wstring_view text, RECT& r, UINT flags, Bitmap* bmp = nullptr);

// Text drawn by GDI into the 32-bit bitmap bmp (its own DC) inside r, alpha made right.
void WriteText32(Bitmap& bmp, std::wstring_view text, RECT r, UINT flags, TColor color);

// What skinned text needs of its control.
struct TsTextStyle {
  const TsGeneralData* Section = nullptr;  // null: an unskinned or custom-font control
  int Hot = 0;                             // paint state; the section's state is min(Hot, 2)
  bool HotLink = false;                    // the manager's web-button section: underlined
  TColor GlobalColor = clBtnFace;          // the skin's main colour, for disabled text
  TColor ColorTone = clNone;               // the control's tint, applied to every colour
  int HueOffset = 0;
  int Saturation = 0;       // percent
  Bitmap* Cache = nullptr;  // the bitmap behind dc, for glow and alpha; may be null
  bool CanGlow = false;
  std::unique_ptr<Bitmap>* GlowMask = nullptr;  // reused between calls when given
};

// Skinned text: disabled text once in the font colour blended with the global colour (or,
// unskinned, twice: highlight one pixel right and down, shadow in place); enabled text with its
// glow, its contour colours one pixel left, up, right and down, then in its colour.
void WriteTextEx(HDC dc, std::wstring_view text, bool enabled, RECT r, UINT flags,
                 const TsTextStyle& style);

}  // namespace kestrune::skin
