// The skinned button and group box on real windows with the built-in skin: the button's picture
// by state, the group box's caption and frame, the labels' colour, and the box painting by itself.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "assets/skin/builtin_skin.h"
#include "platform/application_win.h"
#include "platform/control_messages.h"
#include "platform/form_win.h"
#include "skin/controls/skinned_button_win.h"
#include "skin/controls/skinned_group_box_win.h"
#include "skin/data/skin_broadcast_win.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/bg_info.h"
#include "tests/support/pump_messages_win.h"

namespace kestrune::skin {
namespace {

// The main window's box, log, label and button at 96 DPI.
constexpr char kDescription[] = R"(
[TestForm]
kind = form
caption = "Skinned controls"
position = 40, 40
client_size = 416, 278
font = "Segoe UI", 12

[Group]
kind = group_box
parent = TestForm
bounds = 0, 0, 416, 278
caption = "Results"

[Log]
kind = memo
parent = Group
bounds = 10, 22, 397, 177

[Info]
kind = label
parent = Group
bounds = 12, 230, 55, 15
auto_size = yes
caption = "Total IPs: 0"

[Go]
kind = button
parent = Group
bounds = 304, 235, 103, 30
caption = "Extract"
font = "Segoe UI", 13, bold
)";

// The built-in skin's colours, as 0xRRGGBB pixels of a cache.
constexpr std::uint32_t kButtonFill[] = {0x2A2A2A, 0x323232, 0x262626};
constexpr std::uint32_t kButtonBorder[] = {0x303030, 0x383838, 0x202020};
constexpr std::uint32_t kButtonText[] = {0xF0F1F2, 0xFFFFFF, 0xCFCFCF};
constexpr std::uint32_t kGroupFrame = 0x373737;
constexpr std::uint32_t kLightText = 0xF0F1F2;

std::uint32_t Rgb(std::uint32_t pixel) {
  return pixel & 0xFFFFFFu;
}

std::uint32_t PixelAt(const Bitmap& bmp, int x, int y) {
  return Rgb(bmp.Row32(y)[x]);
}

// The opaque red test picture, up to the blend's rounding.
bool IsRed(std::uint32_t rgb) {
  return (rgb >> 16) >= 0xF0 && (rgb & 0xFFFFu) == 0;
}

bool HasPixel(const Bitmap& bmp, TRect r, std::uint32_t rgb) {
  for (int y = std::max(0, r.Top); y < std::min(bmp.Height(), r.Bottom); ++y)
    for (int x = std::max(0, r.Left); x < std::min(bmp.Width(), r.Right); ++x)
      if (PixelAt(bmp, x, y) == rgb)
        return true;
  return false;
}

// A screen pixel of `window` as 0xRRGGBB.
std::uint32_t ScreenPixel(HWND window, int x, int y) {
  HDC dc = ::GetDC(window);
  const COLORREF c = ::GetPixel(dc, x, y);
  ::ReleaseDC(window, dc);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

using test::PumpMessages;

class SkinnedControlsTest : public testing::Test {
 protected:
  void SetUp() override {
    form_.Load(platform::ParseFormDescription(kDescription), {}, {});
    manager_ = std::make_unique<TsSkinManager>(platform_);
    manager_->BeginLoading();
    manager_->InternalSkins.Items.push_back(BuiltinStoredSkin());
    manager_->SetActive(true);
    manager_->SetSkinName(std::string(kBuiltinSkinName));
    manager_->Loaded();
    manager_->Effects.AllowAnimation = false;  // end states only; fades are tested natively
    group_ = dynamic_cast<platform::GroupBox*>(form_.FindComponent("Group"));
    button_ = dynamic_cast<platform::Button*>(form_.FindComponent("Go"));
    label_ = dynamic_cast<platform::Label*>(form_.FindComponent("Info"));
    ASSERT_NE(group_, nullptr);
    ASSERT_NE(button_, nullptr);
    ASSERT_NE(label_, nullptr);
    box_ = std::make_unique<TsGroupBox>(*group_);
    skinned_button_ = std::make_unique<TsButton>(*button_);
  }

  void TearDown() override {
    skinned_button_.reset();
    box_.reset();
    manager_.reset();
  }

  void ShowAndPaint() {
    // The states under test start from normal: the real cursor must not rest on the form.
    RECT frame{};
    ::GetWindowRect(form_.Handle(), &frame);
    ::SetCursorPos(frame.right + 50, frame.bottom + 50);
    form_.Show();
    ::UpdateWindow(form_.Handle());
    PumpMessages();
  }

  const Bitmap& ButtonCache() {
    skinned_button_->PrepareCache();
    return *skinned_button_->SkinData().FCacheBmp;
  }

  platform::Application application_{"Kestrune"};
  WinSkinManagerPlatform platform_;
  platform::Form form_{application_};
  std::unique_ptr<TsSkinManager> manager_;
  platform::GroupBox* group_ = nullptr;
  platform::Button* button_ = nullptr;
  platform::Label* label_ = nullptr;
  std::unique_ptr<TsGroupBox> box_;
  std::unique_ptr<TsButton> skinned_button_;
};

TEST_F(SkinnedControlsTest, ButtonIsOwnerDrawnWhileSkinnedAndAnswersTheProtocol) {
  HWND window = button_->Handle();
  EXPECT_EQ(::GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(::SendMessageW(window, SM_ALPHACMD, AC_CTRLHANDLED_HI, 0), 1);
  EXPECT_EQ(::SendMessageW(window, SM_ALPHACMD, MakeCommandParam(AC_GETDEFINDEX), 0),
            manager_->GetSkinIndex("BUTTON") + 1);
  EXPECT_EQ(::SendMessageW(group_->Handle(), SM_ALPHACMD, MakeCommandParam(AC_GETDEFINDEX), 0),
            manager_->GetSkinIndex("GROUPBOX") + 1);
  manager_->SetActive(false);
  EXPECT_EQ(::GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  manager_->SetActive(true);
  ShowAndPaint();
  EXPECT_EQ(::GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(SkinnedControlsTest, ButtonCacheByState) {
  ShowAndPaint();
  HWND window = button_->Handle();
  struct Case {
    std::string name;
    void (*enter)(HWND);
    void (*leave)(HWND);
    int state;
  };
  const Case cases[] = {
      {"normal", [](HWND) {}, [](HWND) {}, 0},
      {"hot", [](HWND w) { ::SendMessageW(w, platform::CM_MOUSEENTER, 0, 0); },
       [](HWND w) { ::SendMessageW(w, platform::CM_MOUSELEAVE, 0, 0); }, 1},
      {"pressed", [](HWND w) { ::SendMessageW(w, BM_SETSTATE, TRUE, 0); },
       [](HWND w) { ::SendMessageW(w, BM_SETSTATE, FALSE, 0); }, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.enter(window);
    EXPECT_EQ(ButtonPaintState(skinned_button_->CurrentState(), 3), c.state);
    const Bitmap& cache = ButtonCache();
    ASSERT_EQ(cache.Width(), 103);
    ASSERT_EQ(cache.Height(), 30);
    EXPECT_EQ(PixelAt(cache, 3, 15), kButtonFill[c.state]);
    EXPECT_EQ(PixelAt(cache, 100, 15), kButtonFill[c.state]);
    EXPECT_EQ(PixelAt(cache, 0, 15), kButtonBorder[c.state]);
    EXPECT_EQ(PixelAt(cache, 50, 29), kButtonBorder[c.state]);
    EXPECT_TRUE(HasPixel(cache, skinned_button_->Layout().CaptionRect, kButtonText[c.state]));
    EXPECT_FALSE(
        HasPixel(cache, skinned_button_->Layout().CaptionRect, kButtonText[(c.state + 1) % 3]));
    EXPECT_TRUE(skinned_button_->Layout().GlyphRect.IsEmpty());  // no image list given
    c.leave(window);
  }
}

TEST_F(SkinnedControlsTest, PressedContentShiftsOnlyWhereAllowed) {
  skinned_button_->Images.Count = 1;
  skinned_button_->Images.Size = [](int) { return TSize{16, 16}; };
  skinned_button_->Images.Render = [](int, Bitmap& target) {  // opaque red
    for (int y = 0; y < target.Height(); ++y)
      for (int x = 0; x < target.Width(); ++x)
        target.Row32(y)[x] = 0xFFFF0000u;
    return true;
  };
  skinned_button_->ImageIndexes.ImageIndex = 0;
  ShowAndPaint();
  HWND window = button_->Handle();
  for (const bool shift : {true, false}) {
    SCOPED_TRACE(shift ? "shift on click" : "no shift");
    manager_->ButtonsOptions.ShiftContentOnClick = shift;
    ButtonCache();
    const TsButtonLayout normal = skinned_button_->Layout();
    EXPECT_EQ(normal.GlyphRect, Rect(6, 7, 22, 23));
    const Bitmap& idle = ButtonCache();
    EXPECT_TRUE(IsRed(PixelAt(idle, 6, 7)));
    EXPECT_EQ(PixelAt(idle, 22, 23), kButtonFill[0]);
    ::SendMessageW(window, BM_SETSTATE, TRUE, 0);
    const Bitmap& pressed = ButtonCache();
    const int d = shift ? 1 : 0;
    EXPECT_EQ(skinned_button_->Layout().GlyphRect, Rect(6 + d, 7 + d, 22 + d, 23 + d));
    EXPECT_EQ(skinned_button_->Layout().CaptionRect.Left, normal.CaptionRect.Left + d);
    if (shift)
      EXPECT_TRUE(IsRed(PixelAt(pressed, 22, 23)));
    else
      EXPECT_EQ(PixelAt(pressed, 22, 23), kButtonFill[2]);
    ::SendMessageW(window, BM_SETSTATE, FALSE, 0);
  }
}

TEST_F(SkinnedControlsTest, DisabledButtonIsBlendedTowardsItsParent) {
  ShowAndPaint();
  const std::uint32_t parent = PixelAt(*box_->SkinData().FCacheBmp, 304 + 3, 235 + 15);
  button_->SetEnabled(false);
  const Bitmap& cache = ButtonCache();
  const std::uint32_t fill = PixelAt(cache, 3, 15);
  EXPECT_NE(fill, kButtonFill[0]);
  // Every channel lies between the button's own fill and the parent's pixel behind it.
  for (int shift : {0, 8, 16}) {
    const int own = (kButtonFill[0] >> shift) & 0xFF;
    const int back = (parent >> shift) & 0xFF;
    const int got = (fill >> shift) & 0xFF;
    EXPECT_GE(got, std::min(own, back) - 1) << shift;
    EXPECT_LE(got, std::max(own, back) + 1) << shift;
  }
  button_->SetEnabled(true);
  EXPECT_EQ(PixelAt(ButtonCache(), 3, 15), kButtonFill[0]);
}

TEST_F(SkinnedControlsTest, GroupBoxCaptionInterruptsTheFrameAtItsMiddle) {
  ShowAndPaint();
  const Bitmap& cache = *box_->SkinData().FCacheBmp;
  ASSERT_EQ(cache.Width(), 416);
  const TsGroupBoxLayout& layout = box_->Layout();
  EXPECT_EQ(layout.CaptionRect.Left, 6);
  EXPECT_EQ(layout.TopRect.Bottom, layout.CaptionHeight / 2);
  const int frame_row = layout.TopRect.Bottom;
  const std::uint32_t background = PixelAt(cache, 200, frame_row - 1);
  EXPECT_NE(background, kGroupFrame);
  // Along the frame's top row: the line, the caption's gap with the parent's background, the line.
  for (int x = 5; x < cache.Width() - 5; ++x) {
    SCOPED_TRACE(x);
    const bool gap = x >= layout.CaptionRect.Left && x < layout.CaptionRect.Right;
    const std::uint32_t pixel = PixelAt(cache, x, frame_row);
    if (gap)
      EXPECT_NE(pixel, kGroupFrame);
    else
      ASSERT_EQ(pixel, kGroupFrame);
  }
  EXPECT_EQ(PixelAt(cache, 0, 100), kGroupFrame);
  EXPECT_EQ(PixelAt(cache, 415, 100), kGroupFrame);
  EXPECT_EQ(PixelAt(cache, 200, 277), kGroupFrame);
  EXPECT_TRUE(HasPixel(cache, layout.TextRect, kLightText));
  EXPECT_EQ(PixelAt(cache, 200, 100), background);  // the box itself is see-through
}

// A box with an unaligned windowed child (the log) is painted by its own WM_PAINT; nothing else
// asks it to.
TEST_F(SkinnedControlsTest, GroupBoxPaintsWithoutOutsideHelp) {
  ShowAndPaint();
  HWND window = group_->Handle();
  const int frame_row = box_->Layout().TopRect.Bottom;
  EXPECT_EQ(ScreenPixel(window, 200, frame_row), kGroupFrame);
  EXPECT_EQ(ScreenPixel(window, 0, 100), kGroupFrame);
  // Stale and invalidated: the next paint rebuilds it by itself.
  box_->SkinData().BGChanged = true;
  ::InvalidateRect(window, nullptr, TRUE);
  ::UpdateWindow(window);
  EXPECT_FALSE(box_->SkinData().BGChanged);
  EXPECT_FALSE(box_->SkinData().FUpdating);
  EXPECT_EQ(ScreenPixel(window, 200, frame_row), kGroupFrame);
}

// A parent that cannot lend its background while `g_not_ready` is set.
bool g_not_ready = false;
LRESULT CALLBACK NotReadyParent(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                UINT_PTR /*id*/, DWORD_PTR /*ref*/) {
  if (g_not_ready && message == SM_ALPHACMD && CommandOf(wparam) == AC_GETBG) {
    reinterpret_cast<TacBGInfo*>(lparam)->BgType = btNotReady;
    return 0;
  }
  return ::DefSubclassProc(window, message, wparam, lparam);
}

// Deferred while the parent has no background, the box paints once it has one, though nothing
// tells it so.
TEST_F(SkinnedControlsTest, DeferredGroupBoxPaintsOnceItsParentIsReady) {
  ASSERT_TRUE(::SetWindowSubclass(form_.Handle(), &NotReadyParent, 7, 0));
  g_not_ready = true;
  ShowAndPaint();
  HWND window = group_->Handle();
  EXPECT_TRUE(box_->SkinData().FUpdating);
  EXPECT_NE(ScreenPixel(window, 0, 100), kGroupFrame);
  g_not_ready = false;
  for (int i = 0; i < 100 && box_->SkinData().FUpdating; ++i) {
    ::Sleep(20);
    PumpMessages();
  }
  EXPECT_FALSE(box_->SkinData().FUpdating);
  EXPECT_EQ(ScreenPixel(window, 0, 100), kGroupFrame);
  ::RemoveWindowSubclass(form_.Handle(), &NotReadyParent, 7);
}

TEST_F(SkinnedControlsTest, LabelsTakeTheSkinsTextColourOverTheBoxBackground) {
  ShowAndPaint();
  EXPECT_EQ(platform::ResolveControlColor(label_->FontColor()), RGB(0xF0, 0xF1, 0xF2));
  const RECT area = label_->Area();
  const std::uint32_t background = PixelAt(*box_->SkinData().FCacheBmp, area.left, area.top);
  bool text = false;
  bool back = false;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const std::uint32_t pixel = ScreenPixel(group_->Handle(), x, y);
      text = text || pixel == kLightText;
      back = back || pixel == background;
    }
  }
  EXPECT_TRUE(text);
  EXPECT_TRUE(back);
  manager_->SetActive(false);
  EXPECT_EQ(label_->FontColor(),
            static_cast<platform::ControlColor>(platform::kSystemColor | COLOR_WINDOWTEXT));
}

}  // namespace
}  // namespace kestrune::skin
