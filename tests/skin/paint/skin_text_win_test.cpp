// Skinned text through GDI into 32-bit bitmaps: the alpha bytes after drawing, the cut of long
// texts, and the passes of skinned text.

#include <gtest/gtest.h>

#include <string>

#include "skin/paint/skin_text_win.h"
#include "skin/pixels/bitmap_win.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

// A bitmap with its own DC and a font without smoothing, so that every drawn pixel has exactly
// the text colour.
struct TextTarget {
  explicit TextTarget(int width, int height, std::uint32_t fill) : bmp(CreateBmp32(width, height)) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        bmp.Row32(y)[x] = fill;
    LOGFONTW lf{};
    lf.lfHeight = -13;
    lf.lfWeight = FW_BOLD;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    wcscpy_s(lf.lfFaceName, L"Tahoma");
    font = platform::UniqueFont(::CreateFontIndirectW(&lf));
    ::SelectObject(BitmapDC(bmp), font.Get());
    ::SetBkMode(BitmapDC(bmp), TRANSPARENT);
  }
  Bitmap bmp;
  platform::UniqueFont font;
};

TEST(SkinText, DrawnPixelsBecomeOpaqueOthersKeepTheirAlpha) {
  for (const std::uint32_t fill : {0x80102030u, 0x00000000u}) {
    SCOPED_TRACE(test::Hex(fill));
    TextTarget target(80, 20, fill);
    WriteText32(target.bmp, L"Extract", RECT{2, 2, 78, 18}, DT_SINGLELINE | DT_LEFT, 0x00FFFFFF);
    ::GdiFlush();
    int drawn = 0;
    for (const std::uint32_t p : test::Pixels(target.bmp)) {
      if ((p & 0x00FFFFFF) == (fill & 0x00FFFFFF)) {
        EXPECT_EQ(test::Hex(p), test::Hex(fill));
      } else {
        EXPECT_EQ(test::Hex(p), "FFFFFFFF");
        ++drawn;
      }
    }
    EXPECT_GT(drawn, 20);
  }
}

TEST(SkinText, LongTextsAreCutBeforeDrawing) {
  TextTarget target(10, 10, 0);
  const HDC dc = BitmapDC(target.bmp);
  const auto width = [&](const std::wstring& text) {
    RECT r{0, 0, 0, 0};
    acDrawText(dc, text, r, DT_CALCRECT);
    return r.right - r.left;
  };
  // Line breaks up to the last character kept, then a long last line: only its first letter
  // survives the cut.
  const std::wstring text = std::wstring(kMaxDrawTextLength - 1, L'\n') + std::wstring(40, L'W');
  EXPECT_EQ(width(text), width(L"W"));
  EXPECT_LT(width(L"W"), width(std::wstring(40, L'W')));
}

TEST(SkinText, DisabledSkinnedTextHasNoContour) {
  TsGeneralData section;
  section.Props[0].FontColor = TsFontColor{0x00FF00, 0x0000FF, -1, 0x0000FF, -1};
  TsTextStyle style;
  style.Section = &section;
  style.GlobalColor = 0x000000;
  for (const bool enabled : {true, false}) {
    SCOPED_TRACE(enabled);
    TextTarget target(80, 20, 0xFF000000);
    style.Cache = &target.bmp;
    WriteTextEx(BitmapDC(target.bmp), L"Extract", enabled, RECT{4, 2, 76, 18}, DT_SINGLELINE,
                style);
    ::GdiFlush();
    int contour = 0, text = 0;
    // Disabled: green blended with black at 100 of 255: (255 * 100) shr 8 = 99.
    const std::uint32_t body = enabled ? 0xFF00FF00u : 0xFF006300u;
    for (const std::uint32_t p : test::Pixels(target.bmp)) {
      contour += p == 0xFFFF0000u ? 1 : 0;
      text += p == body ? 1 : 0;
    }
    EXPECT_GT(text, 20);
    if (enabled)
      EXPECT_GT(contour, 0);
    else
      EXPECT_EQ(contour, 0);
  }
}

}  // namespace
}  // namespace kestrune::skin
