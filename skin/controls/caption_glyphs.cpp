#include "skin/controls/caption_glyphs.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "skin/controls/system_menu_glyphs.h"
#include "skin/paint/item_paint.h"
#include "skin/paint/masked_copy.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

constexpr std::uint32_t kKeyColour = 0xFF00FFu;

// A glyph whose picture carries its own alpha (anti-aliased edges over transparent pixels)
// rather than the fuchsia key, though its entry does not say so.
bool DrawnWithAlpha(const TsMaskData& md, const Bitmap* master) {
  const Bitmap* picture = EntryPicture(md, master);
  if (picture == nullptr)
    return false;
  TRect cell = FrameCell(md, 0);
  if (!ClipToBitmap(*picture, cell))
    return false;
  for (int y = cell.Top; y < cell.Bottom; ++y) {
    const std::uint32_t* row = picture->Row32(y);
    for (int x = cell.Left; x < cell.Right; ++x) {
      if ((row[x] >> 24) != 0xFF && (row[x] & 0xFFFFFFu) != kKeyColour)
        return true;
    }
  }
  return false;
}

// The system menu's glyph that stands for a caption button; empty for help and user buttons.
std::string_view BuiltInGlyph(TacTitleGlyph glyph) {
  switch (glyph) {
    case tgCloseAlone:
    case tgClose:
    case tgSmallClose:
      return "acIC";
    case tgMax:
    case tgSmallMax:
      return "acIX";
    case tgMin:
    case tgSmallMin:
      return "acIN";
    case tgNormal:
    case tgSmallNormal:
      return "acIR";
    default:
      return {};
  }
}

void PaintBuiltIn(Bitmap& target, TRect box, TacTitleGlyph glyph, const TsCaptionLook& look) {
  if (look.State > 0) {
    // Hot and pressed show a plate: red behind close, the text colour faintly behind the rest.
    const bool close = BuiltInGlyph(glyph) == "acIC";
    const TColor plate = close ? TColor{0x2311E8} : look.Text;
    BlendRect32(target, box, plate,
                static_cast<std::uint8_t>(close ? (look.State > 1 ? 60 : 0)
                                                : (look.State > 1 ? 180 : 210)));
  }
  const TColor ink = look.Faded ? BlendColors(look.Text, look.Background, 128) : look.Text;
  DrawSysMenuGlyph(target, box, BuiltInGlyph(glyph),
                   look.State > 0 && BuiltInGlyph(glyph) == "acIC" ? TColor{0xFFFFFF} : ink);
}

}  // namespace

void PaintCaptionGlyph(Bitmap& target, TRect box, TacTitleGlyph glyph, const TsCaptionLook& look,
                       const TacSkinData& sd) {
  if (glyph >= tgNone || box.IsEmpty())
    return;
  const int index = sd.TitleGlyphs[glyph];
  if (!CaptionGlyphUsable(sd, index)) {
    PaintBuiltIn(target, box, glyph, look);
    return;
  }
  const int state = std::max(look.State, 0);
  const int transparency = look.Faded ? 2 : 1;
  const TPoint at{box.Left, box.Top};
  const TsMaskData& entry = sd.ma[static_cast<std::size_t>(index)];
  if (!HasOwnAlpha(entry) && DrawnWithAlpha(entry, sd.MasterBmp)) {
    // Blended by the picture's alpha; copied by the key, its transparent pixels would show.
    TsMaskData with_alpha = entry;
    with_alpha.DrawMode = static_cast<std::int16_t>(with_alpha.DrawMode | 0x10);
    DrawSkinGlyph(target, at, state, transparency, with_alpha, sd.MasterBmp, MakeCacheInfo(target));
    return;
  }
  DrawSkinGlyph(target, at, state, transparency, entry, sd.MasterBmp, MakeCacheInfo(target));
}

}  // namespace kestrune::skin
