#include "skin/paint/skin_text_win.h"

#include <algorithm>
#include <vector>

#include "platform/error.h"
#include "platform/gdi_win.h"
#include "skin/pixels/bitmap_win.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

// Remembers the alpha bytes of r and marks them nonzero, so that the pixels GDI draws into
// (which it leaves at alpha 0) can be told apart afterwards.
class AlphaGuard {
 public:
  AlphaGuard(Bitmap& bmp, TRect r) : bmp_(bmp) {
    r_ = Rect(std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, bmp.Width()),
              std::min(r.Bottom, bmp.Height()));
    if (r_.IsEmpty() || bmp.PixelFormat() != TPixelFormat::pf32bit)
      return;
    ::GdiFlush();
    saved_.reserve(static_cast<std::size_t>(r_.Width()) * static_cast<std::size_t>(r_.Height()));
    for (int y = r_.Top; y < r_.Bottom; ++y) {
      std::uint32_t* row = bmp.Row32(y);
      for (int x = r_.Left; x < r_.Right; ++x) {
        saved_.push_back(static_cast<std::uint8_t>(row[x] >> 24));
        row[x] |= 0xFF000000u;
      }
    }
  }
  AlphaGuard(const AlphaGuard&) = delete;
  AlphaGuard& operator=(const AlphaGuard&) = delete;
  // Drawn pixels become opaque; the others get their alpha back.
  ~AlphaGuard() {
    if (saved_.empty())
      return;
    ::GdiFlush();
    std::size_t i = 0;
    for (int y = r_.Top; y < r_.Bottom; ++y) {
      std::uint32_t* row = bmp_.Row32(y);
      for (int x = r_.Left; x < r_.Right; ++x, ++i) {
        const std::uint32_t alpha = (row[x] >> 24) == 0 ? 0xFFu : saved_[i];
        row[x] = (row[x] & 0x00FFFFFFu) | (alpha << 24);
      }
    }
  }

 private:
  Bitmap& bmp_;
  TRect r_;
  std::vector<std::uint8_t> saved_;
};

TRect ToRect(const RECT& r) {
  return Rect(r.left, r.top, r.right, r.bottom);
}

TColor Tinted(TColor color, const TsTextStyle& style) {
  color = ColorToRGB(color);
  if (style.ColorTone != clNone)
    color = ChangeTone(color, ColorToRGB(style.ColorTone));
  if (style.HueOffset != 0)
    color = ChangeHue(style.HueOffset, color);
  if (style.Saturation != 0)
    color = ChangeSaturation(std::clamp(style.Saturation * 255 / 100, -255, 255), color);
  return color;
}

void DrawIn(HDC dc, std::wstring_view text, RECT r, UINT flags, TColor color, int dx, int dy,
            Bitmap* bmp) {
  ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
  ::OffsetRect(&r, dx, dy);
  acDrawText(dc, text, r, flags, bmp);
}

}  // namespace

int acDrawText(HDC dc, std::wstring_view text, RECT& r, UINT flags, Bitmap* bmp) {
  if (dc == nullptr)
    return 0;
  const bool alpha = (flags & DT_ALPHATEXT) != 0;
  flags &= ~DT_ALPHATEXT;
  const int length = static_cast<int>(std::min(text.size(), kMaxDrawTextLength));
  if (!alpha || bmp == nullptr || (flags & DT_CALCRECT) != 0 || BitmapDC(*bmp) != dc)
    return ::DrawTextW(dc, text.data(), length, &r, flags);
  // Clipped to r unless asked not to: what lies outside keeps its alpha as well.
  RECT area = r;
  if ((flags & DT_NOCLIP) != 0) {
    area = RECT{0, 0, bmp->Width(), bmp->Height()};
  }
  const AlphaGuard guard(*bmp, ToRect(area));
  return ::DrawTextW(dc, text.data(), length, &r, flags);
}

void WriteText32(Bitmap& bmp, std::wstring_view text, RECT r, UINT flags, TColor color) {
  const HDC dc = BitmapDC(bmp);
  if (dc == nullptr || text.empty())
    return;
  const int saved = ::SaveDC(dc);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
  acDrawText(dc, text, r, flags | DT_ALPHATEXT, &bmp);
  ::RestoreDC(dc, saved);
}

void WriteTextEx(HDC dc, std::wstring_view text, bool enabled, RECT r, UINT flags,
                 const TsTextStyle& style) {
  if (dc == nullptr || text.empty())
    return;
  const int saved = ::SaveDC(dc);
  ::SetBkMode(dc, TRANSPARENT);
  platform::UniqueFont underlined;
  if (style.HotLink) {
    LOGFONTW font{};
    if (::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof font, &font) != 0) {
      font.lfUnderline = TRUE;
      underlined = platform::UniqueFont(::CreateFontIndirectW(&font));
      if (underlined.Get() != nullptr)
        ::SelectObject(dc, underlined.Get());
    }
  }
  Bitmap* bmp = style.Cache != nullptr && BitmapDC(*style.Cache) == dc ? style.Cache : nullptr;
  if (bmp != nullptr)
    flags |= DT_ALPHATEXT;
  if (style.Section == nullptr) {
    if (!enabled) {
      DrawIn(dc, text, r, flags, clBtnHighlight, 1, 1, bmp);
      DrawIn(dc, text, r, flags, clBtnShadow, 0, 0, bmp);
    } else {
      DrawIn(dc, text, r, flags, static_cast<TColor>(::GetTextColor(dc)), 0, 0, bmp);
    }
    ::RestoreDC(dc, saved);
    return;
  }
  const TsGenState& props =
      style.Section->Props[static_cast<std::size_t>(std::clamp(style.Hot, 0, 2))];
  if (style.CanGlow && bmp != nullptr && props.GlowSize > 0) {
    std::unique_ptr<Bitmap> own_mask;
    std::unique_ptr<Bitmap>& mask = style.GlowMask != nullptr ? *style.GlowMask : own_mask;
    RECT clip = r;
    RECT bounds{0, 0, bmp->Width(), bmp->Height()};
    ::IntersectRect(&clip, &clip, &bounds);
    acDrawGlowForText(*bmp, std::wstring(text).c_str(), ToRect(clip), mask,
                      Tinted(props.GlowColor, style), props.GlowSize, 0, flags & ~DT_ALPHATEXT);
  }
  if (!enabled) {
    const TColor color = BlendColors(ColorToRGB(props.FontColor.Color),
                                     ColorToRGB(style.GlobalColor), TsDisabledLook{}.Blend);
    DrawIn(dc, text, r, flags, Tinted(color, style), 0, 0, bmp);
  } else {
    const TsFontColor& fc = props.FontColor;
    const std::pair<TColor, POINT> contour[] = {
        {fc.Left, {-1, 0}}, {fc.Top, {0, -1}}, {fc.Right, {1, 0}}, {fc.Bottom, {0, 1}}};
    for (const auto& [color, offset] : contour)
      if (color != -1)
        DrawIn(dc, text, r, flags, Tinted(color, style), offset.x, offset.y, bmp);
    DrawIn(dc, text, r, flags, Tinted(fc.Color, style), 0, 0, bmp);
  }
  ::RestoreDC(dc, saved);
}

}  // namespace kestrune::skin
