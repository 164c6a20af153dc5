// The built-in skin's controls painted through a device context into a DIB section, as a control
// paints onto a window, against the portable painter's own bytes in a heap bitmap: the button in
// its three states, the edit and the transparent group box, at 96 and 144 pixels per inch. Borders
// and round corners are the portable code's on both sides, so the bytes must be equal, alpha
// included; only text drawn by GDI afterwards may differ, and only where the text lies.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "assets/skin/builtin_skin.h"
#include "platform/gdi_win.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/item_paint.h"
#include "skin/paint/skin_text_win.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Hex;

constexpr std::uint32_t kUntouched = 0x5A5A5A5A;
constexpr int kMargin = 6;  // room around the control in the parent and in the DC

// A top-down DIB section selected into a memory DC, filled with kUntouched.
class GdiTarget {
 public:
  GdiTarget(int width, int height)
      : width_(width),
        dib_(platform::DibSection::TopDown32(width, height)),
        select_(dc_.Get(), dib_.Get()) {
    if (dib_.Bits() != nullptr)
      std::fill_n(static_cast<std::uint32_t*>(dib_.Bits()), width * height, kUntouched);
  }
  [[nodiscard]] HDC DC() const { return dc_.Get(); }
  [[nodiscard]] bool Ready() const { return dc_.Get() != nullptr && dib_.Bits() != nullptr; }
  [[nodiscard]] std::uint32_t At(int x, int y) const {
    ::GdiFlush();
    return static_cast<const std::uint32_t*>(dib_.Bits())[y * width_ + x];
  }

 private:
  int width_;
  platform::MemoryDc dc_;
  platform::DibSection dib_;
  platform::SelectedObject select_;
};

struct Control {
  const char* section;
  int state;
  int width, height;  // at 96 PPI
  const wchar_t* caption;
};

class ItemPaintGdi : public testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    manager_.InternalSkins = BuiltinStoredSkins();
    manager_.SetSkinName(std::string(kBuiltinSkinName));
    ASSERT_TRUE(manager_.IsActive());
  }
  [[nodiscard]] const TacSkinData& Skin() { return manager_.CommonSkinData(GetParam()); }
  [[nodiscard]] int Scale(int v) const { return v * GetParam() / 96; }

  // The form's background with the control's outer effect, as the window lends it.
  Bitmap Parent(int index, TRect control) {
    const TacSkinData& sd = Skin();
    Bitmap parent = CreateBmp32(control.Right + kMargin, control.Bottom + kMargin);
    TCacheInfo none;
    PaintItem(sd.GetSkinIndex("FORM"), none, 0, Rect(0, 0, parent.Width(), parent.Height()), {},
              parent, sd);
    PaintOuterEffect(parent, control, index, sd, false);
    return parent;
  }

 private:
  HeadlessSkinPlatform platform_{GetParam()};
  TsSkinManager manager_{platform_};
};

const Control kControls[] = {
    {"BUTTON", 0, 96, 28, L"Extract"},    {"BUTTON", 1, 96, 28, L"Extract"},
    {"BUTTON", 2, 96, 28, L"Extract"},    {"EDIT", 0, 160, 24, L"10.0.0.5/30"},
    {"GROUPBOX", 0, 140, 80, L"Results"},
};

TEST_P(ItemPaintGdi, DeviceContextGetsThePortableBytes) {
  const TacSkinData& sd = Skin();
  for (const Control& c : kControls) {
    SCOPED_TRACE(std::string(c.section) + " state " + std::to_string(c.state));
    const int index = sd.GetSkinIndex(c.section);
    ASSERT_GE(index, 0);
    const int w = Scale(c.width), h = Scale(c.height);
    const TRect place = Rect(kMargin, kMargin, kMargin + w, kMargin + h);
    const Bitmap parent = Parent(index, place);
    const TCacheInfo ci = MakeCacheInfo(parent, place.Left, place.Top);

    Bitmap portable = Bitmap::OnHeap(w, h, TPixelFormat::pf32bit, RowOrder::TopDown);
    PaintItem(index, ci, c.state, Rect(0, 0, w, h), {}, portable, sd);

    GdiTarget target(w + 2 * kMargin, h + 2 * kMargin);
    ASSERT_TRUE(target.Ready());
    PaintItem(index, ci, c.state, place, {}, static_cast<TacDC>(target.DC()), sd);
    for (int y = 0; y < h + 2 * kMargin; ++y) {
      for (int x = 0; x < w + 2 * kMargin; ++x) {
        const bool inside =
            x >= place.Left && x < place.Right && y >= place.Top && y < place.Bottom;
        ASSERT_EQ(Hex(target.At(x, y)),
                  Hex(inside ? GetAPixel(portable, x - place.Left, y - place.Top).C : kUntouched))
            << x << "," << y;
      }
    }

    // The caption drawn by GDI in the section's colours changes only pixels inside its box.
    LOGFONTW lf{};
    lf.lfHeight = -Scale(12);
    lf.lfQuality = NONANTIALIASED_QUALITY;
    wcscpy_s(lf.lfFaceName, L"Tahoma");
    const platform::UniqueFont font(::CreateFontIndirectW(&lf));
    const platform::SelectedObject selected(target.DC(), font.Get());
    constexpr UINT kFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    const RECT text_rect{place.Left + 2, place.Top + 2, place.Right - 2, place.Bottom - 2};
    RECT measured = text_rect;
    ::DrawTextW(target.DC(), c.caption, -1, &measured, kFlags | DT_CALCRECT);
    const int tw = measured.right - measured.left, th = measured.bottom - measured.top;
    const int bx = text_rect.left + (text_rect.right - text_rect.left - tw) / 2;
    const int by = text_rect.top + (text_rect.bottom - text_rect.top - th) / 2;
    // Contours reach one pixel beyond the measured box, a glyph's overhang one more.
    const TRect box = Rect(bx - 2, by - 2, bx + tw + 2, by + th + 2);
    TsTextStyle style;
    style.Section = &sd.gd[static_cast<std::size_t>(index)];
    style.Hot = c.state;
    WriteTextEx(target.DC(), c.caption, true, text_rect, kFlags, style);
    int changed = 0;
    for (int y = place.Top; y < place.Bottom; ++y) {
      for (int x = place.Left; x < place.Right; ++x) {
        const std::uint32_t p = GetAPixel(portable, x - place.Left, y - place.Top).C;
        if (target.At(x, y) == p)
          continue;
        ++changed;
        ASSERT_TRUE(x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom)
            << "text outside its box at " << x << "," << y;
      }
    }
    EXPECT_GT(changed, 0) << "the caption was drawn";
  }
}

INSTANTIATE_TEST_SUITE_P(Densities, ItemPaintGdi, testing::Values(96, 144));

}  // namespace
}  // namespace kestrune::skin
