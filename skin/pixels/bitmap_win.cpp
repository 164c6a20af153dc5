#include "skin/pixels/bitmap_win.h"

#include <algorithm>
#include <array>
#include <string>

#include "platform/error.h"
#include "skin/pixels/blur.h"
#include "skin/pixels/gdiplus_win.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

platform::DibSection MakeDib(int width, int height, TPixelFormat format) {
  struct {
    BITMAPINFOHEADER header;
    std::array<RGBQUAD, 256> colors;
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = std::max(width, 1);
  info.header.biHeight = std::max(height, 1);
  info.header.biPlanes = 1;
  info.header.biCompression = BI_RGB;
  if (format == TPixelFormat::pf32bit) {
    info.header.biBitCount = 32;
  } else {
    // Grey palette: index i is grey i, so GDI's black and white land on 0 and 255.
    info.header.biBitCount = 8;
    info.header.biClrUsed = 256;
    for (std::size_t i = 0; i < 256; ++i) {
      const auto g = static_cast<BYTE>(i);
      info.colors[i] = RGBQUAD{g, g, g, 0};
    }
  }
  return platform::DibSection(*reinterpret_cast<const BITMAPINFO*>(&info));
}

// A DIB section selected into its own memory DC. Bottom-up, as the platform's bitmaps are.
class DibStorage : public BitmapStorage {
 public:
  DibStorage(int width, int height, TPixelFormat format)
      : dib_(MakeDib(width, height, format)), selected_(dc_.Get(), dib_.Get()) {
    if (dib_.Bits() == nullptr || dc_.Get() == nullptr)
      throw Error("Cannot create a bitmap of " + std::to_string(width) + " x " +
                  std::to_string(height));
    if (width > 0 && height > 0) {
      const auto stride = static_cast<std::ptrdiff_t>(StorageStride(width, format));
      first_row = static_cast<std::uint8_t*>(dib_.Bits()) + stride * (height - 1);
      row_delta = height == 1 ? 0 : -stride;
    }
  }

  HDC Dc() const { return dc_.Get(); }
  HBITMAP Handle() const { return dib_.Get(); }

 private:
  // Destroyed from the bottom: the DC lets the bitmap go, then the DC and the bitmap are deleted.
  platform::DibSection dib_;
  platform::MemoryDc dc_;
  platform::SelectedObject selected_;
};

const DibStorage* Dib(const Bitmap& bmp) {
  return dynamic_cast<const DibStorage*>(bmp.Storage());
}

using platform::BindProc;

using UpdateLayeredWindowProc = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                              BLENDFUNCTION*, DWORD);
using DwmIsCompositionEnabledProc = HRESULT(WINAPI*)(BOOL*);

}  // namespace

std::unique_ptr<BitmapStorage> AllocateStorage(int width, int height, TPixelFormat format) {
  CheckBitmapSize(width, height, format);
  return std::make_unique<DibStorage>(width, height, format);
}

TColor ColorToRGB(TColor color) {
  if (color >= 0)
    return color;
  return static_cast<TColor>(
      ::GetSysColor(static_cast<int>(static_cast<std::uint32_t>(color) & 0xFFu)));
}

bool DesktopCompositionEnabled() {
  static const auto proc =
      BindProc<DwmIsCompositionEnabledProc>(L"dwmapi.dll", "DwmIsCompositionEnabled");
  BOOL enabled = FALSE;
  return proc != nullptr && SUCCEEDED(proc(&enabled)) && enabled != FALSE;
}

HDC BitmapDC(const Bitmap& bmp) {
  const DibStorage* dib = Dib(bmp);
  return dib != nullptr ? dib->Dc() : nullptr;
}

HBITMAP BitmapHandle(const Bitmap& bmp) {
  const DibStorage* dib = Dib(bmp);
  return dib != nullptr ? dib->Handle() : nullptr;
}

platform::UniqueIcon MakeIcon32(Bitmap& img, bool /*update_alpha_channel*/) {
  try {
    if (img.Empty())
      return platform::UniqueIcon();
    img.SetPixelFormat(TPixelFormat::pf32bit);
    Bitmap mask(img.Width(), img.Height(), TPixelFormat::pf8bit);
    for (int y = 0; y < img.Height(); ++y) {
      const std::uint32_t* src = img.Row32(y);
      std::uint8_t* dst = mask.Row8(y);
      for (int x = 0; x < img.Width(); ++x)
        dst[x] = static_cast<std::uint8_t>(255u - (src[x] >> 24));
    }
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = BitmapHandle(img);
    info.hbmMask = BitmapHandle(mask);
    if (info.hbmColor == nullptr || info.hbmMask == nullptr)
      return platform::UniqueIcon();
    ::GdiFlush();
    return platform::UniqueIcon(::CreateIconIndirect(&info));
  } catch (const Error&) {
    return platform::UniqueIcon();
  }
}

void FillDC(HDC dc, TRect r, TColor color, std::uint8_t alpha) {
  if (dc == nullptr || r.IsEmpty())
    return;
  if (alpha == 0) {
    const platform::UniqueBrush brush(::CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(color))));
    const RECT rect{r.Left, r.Top, r.Right, r.Bottom};
    ::FillRect(dc, &rect, brush.Get());
  } else {
    acgpFillRect(dc, r, color, alpha);
  }
  ::GdiFlush();
}

bool UpdateLayeredWnd(HWND handle, const Bitmap& bmp, SIZE size, BLENDFUNCTION blend, POINT point) {
  static const auto update =
      BindProc<UpdateLayeredWindowProc>(L"user32.dll", "UpdateLayeredWindow");
  const HDC source = BitmapDC(bmp);
  if (update == nullptr || source == nullptr)
    return false;
  ::GdiFlush();
  const platform::WindowDc screen(nullptr);
  POINT origin{0, 0};
  return update(handle, screen.Get(), &point, &size, source, &origin, 0, &blend, ULW_ALPHA) !=
         FALSE;
}

bool SetFormBlendValue(HWND handle, const Bitmap* bmp, std::uint8_t value, const POINT* point) {
  const LONG_PTR ex_style = ::GetWindowLongPtrW(handle, GWL_EXSTYLE);
  if ((ex_style & WS_EX_LAYERED) == 0) {
    const bool composition = DesktopCompositionEnabled();
    const LONG_PTR style = ::GetWindowLongPtrW(handle, GWL_STYLE);
    const bool hide = !composition && (style & WS_VISIBLE) != 0;
    if (hide)
      ::SetWindowLongPtrW(handle, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    ::SetWindowLongPtrW(handle, GWL_EXSTYLE, ex_style | WS_EX_LAYERED);
    if (hide) {
      ::SetWindowLongPtrW(handle, GWL_STYLE, style);
      RECT area{};
      ::GetWindowRect(handle, &area);
      ::RedrawWindow(nullptr, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
  }
  RECT window{};
  ::GetWindowRect(handle, &window);
  Bitmap empty;
  if (bmp == nullptr) {
    empty = CreateBmp32(window.right - window.left, window.bottom - window.top);
    bmp = &empty;
  }
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, value, AC_SRC_ALPHA};
  const POINT at = point != nullptr ? *point : POINT{window.left, window.top};
  return UpdateLayeredWnd(handle, *bmp, SIZE{bmp->Width(), bmp->Height()}, blend, at);
}

void acDrawGlowForText(Bitmap& dst_bmp, const wchar_t* text, TRect r,
                       std::unique_ptr<Bitmap>& glow_mask, TColor color, int size, unsigned sides,
                       UINT flags) {
  const HDC dst_dc = BitmapDC(dst_bmp);
  if (dst_dc == nullptr || text == nullptr)
    return;
  size = std::max(size, 0);
  const TRect moved = Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
  const TRect area = GlowMaskRect(r, size);
  try {
    if (!glow_mask || glow_mask->Width() != area.Width() || glow_mask->Height() != area.Height() ||
        glow_mask->PixelFormat() != TPixelFormat::pf8bit) {
      glow_mask = std::make_unique<Bitmap>(area.Width(), area.Height(), TPixelFormat::pf8bit);
      const HDC mask_dc = BitmapDC(*glow_mask);
      if (mask_dc == nullptr)
        return;
      ::PatBlt(mask_dc, 0, 0, area.Width(), area.Height(), WHITENESS);
      const platform::SelectedObject font(mask_dc, ::GetCurrentObject(dst_dc, OBJ_FONT));
      ::SetBkMode(mask_dc, TRANSPARENT);
      ::SetTextColor(mask_dc, RGB(0, 0, 0));
      const int inset = size + 4;
      const auto draw = [&](int dx, int dy) {
        RECT place{inset + dx, inset + dy, inset + dx + moved.Width(), inset + dy + moved.Height()};
        ::DrawTextW(mask_dc, text, -1, &place, flags);
      };
      draw(0, 0);
      if ((sides & 1) != 0)
        draw(-1, 0);
      if ((sides & 2) != 0)
        draw(0, -1);
      if ((sides & 4) != 0)
        draw(1, 0);
      if ((sides & 8) != 0)
        draw(0, 1);
      ::GdiFlush();
      Blur8(*glow_mask, size);
    }
    ::GdiFlush();
    ApplyGlowMask(dst_bmp, *glow_mask, {area.Left, area.Top}, color);
  } catch (const Error&) {
    // Painting never raises: no memory for the mask means no glow.
  }
}

}  // namespace kestrune::skin
