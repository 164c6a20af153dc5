// The Windows side of the pixel layer under the real GDI: DIB sections, GDI+ bound by name,
// icons and text glow.

#include <gtest/gtest.h>

#include "skin/pixels/bitmap_win.h"
#include "skin/pixels/gdiplus_win.h"
#include "skin/pixels/pixel_ops.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Hex;

TEST(DibSection, PixelsRoundTripThroughGdi) {
  Bitmap bmp = CreateBmp32(4, 3);
  ASSERT_EQ(bmp.Width(), 4);
  ASSERT_NE(BitmapDC(bmp), nullptr);
  EXPECT_EQ(bmp.RowDelta(), -16);  // bottom-up like every platform bitmap

  // Portable writes are what GDI reads...
  FillRect32(bmp, Rect(0, 0, 4, 3), 0x0000FF, 0xFF);
  SetAPixel(bmp, 3, 0, TsColor{0xFF00FF00});
  EXPECT_EQ(::GetPixel(BitmapDC(bmp), 0, 2), RGB(255, 0, 0));
  EXPECT_EQ(::GetPixel(BitmapDC(bmp), 3, 0), RGB(0, 255, 0));

  // ...and GDI's drawing is what the routines see, top row first.
  FillDC(BitmapDC(bmp), Rect(0, 0, 2, 1), 0xFF0000);
  EXPECT_EQ(Hex(GetAPixel(bmp, 0, 0).C & 0xFFFFFF), "000000FF");
  EXPECT_EQ(Hex(GetAPixel(bmp, 1, 0).C & 0xFFFFFF), "000000FF");
  EXPECT_EQ(Hex(GetAPixel(bmp, 2, 0).C & 0xFFFFFF), "00FF0000");

  Bitmap copy = CreateBmpLike(bmp);
  ASSERT_TRUE(::BitBlt(BitmapDC(copy), 0, 0, 4, 3, BitmapDC(bmp), 0, 0, SRCCOPY));
  ::GdiFlush();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(Hex(GetAPixel(copy, x, y).C & 0xFFFFFF), Hex(GetAPixel(bmp, x, y).C & 0xFFFFFF))
          << x << "," << y;

  EXPECT_EQ(CreateBmp32(-1, 5).Width(), 0);
  EXPECT_EQ(CreateBmp32(40000, 40000).Width(), 0);
}

TEST(GdiPlus, BoundByNameAndDrawsAntiAliased) {
  ASSERT_TRUE(GdiPlusAvailable());
  Bitmap bmp = CreateBmp32(8, 8);
  FillRect32(bmp, Rect(0, 0, 8, 8), clBlack, 0xFF);
  acgpFillRect(BitmapDC(bmp), Rect(2, 2, 6, 6), 0x0000FF);
  EXPECT_EQ(Hex(GetAPixel(bmp, 3, 3).C & 0xFFFFFF), "00FF0000");
  EXPECT_EQ(Hex(GetAPixel(bmp, 0, 0).C & 0xFFFFFF), "00000000");
  EXPECT_EQ(Hex(GetAPixel(bmp, 6, 6).C & 0xFFFFFF), "00000000");

  // Wine's graphics on a DC do not anti-alias, so only the covered and untouched parts are
  // checked here.
  Bitmap round = CreateBmp32(16, 16);
  FillRect32(round, Rect(0, 0, 16, 16), clBlack, 0xFF);
  acgpFillEllipse(BitmapDC(round), 0.5f, 0.5f, 15.0f, 15.0f, clWhite);
  EXPECT_EQ(GetAPixel(round, 8, 8).C & 0xFF, 0xFFu);
  EXPECT_EQ(GetAPixel(round, 0, 0).C & 0xFF, 0u);
  acgpDrawLine(BitmapDC(round), 0, 12, 16, 12, 0x00FF00, 1);
  int green = 0;
  for (int y = 11; y <= 13; ++y)
    green += (GetAPixel(round, 1, y).C & 0xFF00) != 0 ? 1 : 0;
  EXPECT_GT(green, 0);
}

TEST(GdiPlus, GradientsAndOutlines) {
  Bitmap bmp = CreateBmp32(32, 8);
  FillRect32(bmp, Rect(0, 0, 32, 8), clBlack, 0xFF);
  acgpGradientRectangleH(BitmapDC(bmp), Rect(0, 0, 32, 4), clBlack, 255, clWhite, 255);
  acgpGradientRectangleV(BitmapDC(bmp), Rect(0, 4, 32, 8), 0x0000FF, 255, 0xFF0000, 255);
  std::uint32_t previous = 0;
  for (int x = 0; x < 32; ++x) {
    const std::uint32_t green = (GetAPixel(bmp, x, 1).C >> 8) & 0xFF;
    EXPECT_GE(green, previous) << x;
    previous = green;
  }
  EXPECT_LT((GetAPixel(bmp, 0, 1).C >> 8) & 0xFF, 32u);
  EXPECT_GT((GetAPixel(bmp, 31, 1).C >> 8) & 0xFF, 220u);
  const std::uint32_t top = GetAPixel(bmp, 5, 4).C, bottom = GetAPixel(bmp, 5, 7).C;
  EXPECT_GT((top >> 16) & 0xFF, top & 0xFF);        // red above...
  EXPECT_GT(bottom & 0xFF, (bottom >> 16) & 0xFF);  // ...blue below

  Bitmap frame = CreateBmp32(12, 12);
  FillRect32(frame, Rect(0, 0, 12, 12), clBlack, 0xFF);
  acgpRoundRect(BitmapDC(frame), Rect(0, 0, 12, 12), clWhite, 1, 3);
  // Wine draws pens on a DC without anti-aliasing and rounds half-pixel centres; allow a pixel.
  const auto lit = [&](int x, int y) { return (GetAPixel(frame, x, y).C & 0xFFFFFF) != 0; };
  EXPECT_TRUE(lit(6, 0) || lit(6, 1));
  EXPECT_TRUE(lit(0, 6) || lit(1, 6));
  EXPECT_FALSE(lit(6, 6));
  const TPoint triangle[] = {{0, 0}, {11, 0}, {0, 11}};
  acgpFillPolygon(BitmapDC(frame), triangle, 3, 0x0000FF);
  EXPECT_EQ(Hex(GetAPixel(frame, 2, 2).C & 0xFFFFFF), "00FF0000");
  EXPECT_EQ(GetAPixel(frame, 10, 10).C & 0xFFFFFF, 0u);
}

TEST(LayeredWindow, ShowsAPremultipliedBitmap) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = ::DefWindowProcW;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"KestrunePixelTestWindow";
  ::RegisterClassW(&window_class);
  const HWND window = ::CreateWindowExW(0, window_class.lpszClassName, L"", WS_POPUP, 10, 10, 40,
                                        30, nullptr, nullptr, instance, nullptr);
  ASSERT_NE(window, nullptr);
  Bitmap bmp = CreateBmp32(40, 30);
  FillRect32(bmp, Rect(0, 0, 40, 30), 0x0000FF, 0x80);
  UpdateAlpha(bmp);
  EXPECT_TRUE(SetFormBlendValue(window, &bmp, 200, nullptr));
  EXPECT_NE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_TRUE(SetFormBlendValue(window, nullptr, 255, nullptr));
  ::DestroyWindow(window);
}

TEST(MakeIcon32, BuildsAnIconFromTheAlphaPicture) {
  Bitmap img = CreateBmp32(16, 16);
  FillRect32(img, Rect(0, 0, 16, 16), 0x0000FF, 0xFF);
  FillRect32(img, Rect(0, 0, 8, 16), 0x0000FF, 0);
  const platform::UniqueIcon icon = MakeIcon32(img);
  ASSERT_NE(icon.Get(), nullptr);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(icon.Get(), &info));
  const platform::UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
  BITMAP bm{};
  ASSERT_TRUE(::GetObjectW(color.Get(), sizeof bm, &bm));
  EXPECT_EQ(bm.bmWidth, 16);
  EXPECT_TRUE(info.fIcon);
  Bitmap empty;
  EXPECT_EQ(MakeIcon32(empty).Get(), nullptr);
}

TEST(GlowForText, DrawsAroundTheTextAndReusesTheMask) {
  Bitmap bmp = CreateBmp32(60, 30);
  std::unique_ptr<Bitmap> mask;
  acDrawGlowForText(bmp, L"Wg", Rect(10, 5, 40, 25), mask, 0x0000FF, 2, 15,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  ASSERT_TRUE(mask);
  EXPECT_EQ(mask->Width(), 30 + 2 * 6);
  EXPECT_EQ(mask->PixelFormat(), TPixelFormat::pf8bit);
  int glowing = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x)
      glowing += GetAPixel(bmp, x, y).C != 0 ? 1 : 0;
  EXPECT_GT(glowing, 0);
  EXPECT_EQ(GetAPixel(bmp, 0, 0).C, 0u);  // outside the mask
  const Bitmap* kept = mask.get();
  acDrawGlowForText(bmp, L"Wg", Rect(10, 5, 40, 25), mask, 0x0000FF, 2, 15, DT_SINGLELINE);
  EXPECT_EQ(mask.get(), kept);
}

}  // namespace
}  // namespace kestrune::skin
