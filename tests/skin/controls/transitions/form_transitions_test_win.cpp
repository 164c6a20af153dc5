// The transitions on the main window: the cover over the frame during activation and caption
// changes, the show that leaves the form opaque, the picture taken on a close that is called
// off, and the minimize and restore timer behind the composition seam.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form_win.h"
#include "skin/controls/caption_form_win.h"
#include "skin/controls/form_transitions_win.h"
#include "skin/controls/skin_provider_win.h"
#include "tests/support/main_layout.h"
#include "tests/support/pump_messages_win.h"

namespace kestrune::skin {
namespace {

using namespace std::chrono_literals;

using test::PumpMessages;

// Pumps until `condition` holds or `limit` has passed; the timers here fire late on a loaded
// machine, so only the end state is asked for.
template <typename Condition>
bool PumpUntil(Condition condition, std::chrono::milliseconds limit = 10s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end)
      return condition();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    PumpMessages();
  }
  return true;
}

// This process's visible top-level windows.
std::vector<HWND> VisibleWindows() {
  std::vector<HWND> found;
  ::EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(window) != FALSE)
          reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

bool Layered(HWND window) {
  return (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

int Brightest(const Bitmap& bmp, TRect r) {
  int brightest = 0;
  for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, bmp.Height()); ++y) {
    for (int x = std::max(r.Left, 0); x < std::min(r.Right, bmp.Width()); ++x)
      brightest = std::max(brightest, static_cast<int>(GetAPixel(bmp, x, y).C & 0xFF));
  }
  return brightest;
}

// Answers composition as the test says and records what was asked.
class RecordingComposition final : public TacComposition {
 public:
  explicit RecordingComposition(bool enabled) : enabled_(enabled) {}
  bool Enabled() override {
    calls.emplace_back("Enabled");
    return enabled_;
  }
  void ForceDisableTransitions(HWND /*window*/, bool disable) override {
    calls.push_back(disable ? "ForceDisable on" : "ForceDisable off");
  }
  void Set(bool enabled) { enabled_ = enabled; }
  [[nodiscard]] int Count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
  }
  std::vector<std::string> calls;

 private:
  bool enabled_;
};

// The main window, with a switch that makes it call a close off as a form may.
class CancellableForm : public TMainForm {
 public:
  using TMainForm::TMainForm;
  bool cancel_close = false;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == WM_CLOSE && cancel_close)
      return 0;
    return TMainForm::WindowProc(message, wparam, lparam);
  }
};

class TransitionsTest : public ::testing::Test {
 protected:
  TransitionsTest() {
    application_.SetMessageBoxFunction(
        [](HWND, const std::wstring&, const std::wstring&, UINT) { return IDOK; });
    form_ = std::make_unique<CancellableForm>(application_, test::MainDescription(), services_);
    application_.SetMainWindow(form_->Handle());
  }
  ~TransitionsTest() override {
    form_.reset();
    PumpMessages();
  }

  TsSkinProvider& Provider() { return *form_->SkinProvider; }
  TacFormTransitions& Transitions() { return *Provider().Transitions(); }
  HWND Window() { return form_->Handle(); }

  void ShowAndPaint() {
    form_->Show();
    ::RedrawWindow(Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
  }

  TRect TextArea() {
    const TacTitleLayout& layout = Provider().Layout();
    return TRect{layout.TextLeft, layout.VCenter - 9, layout.TextRight, layout.VCenter + 9};
  }

  platform::Application application_{"Kestrune"};
  platform::SystemServices services_;
  std::unique_ptr<CancellableForm> form_;
};

TEST_F(TransitionsTest, ShowEndsOpaqueWithOneWindowAndTheFinishedPicture) {
  ASSERT_NE(form_->SkinProvider, nullptr);
  ASSERT_EQ(form_->SkinManager->AnimEffects.FormShow.Time, 0);
  int after_animation = 0;
  Transitions().OnAfterAnimation = [&] { ++after_animation; };
  form_->Show();
  EXPECT_EQ(after_animation, 1) << "the show animation ran, at once, inside the show";
  EXPECT_FALSE(Layered(Window())) << "a form left layered is invisible on Windows";
  EXPECT_FALSE(Transitions().Animating());
  PumpMessages();
  EXPECT_EQ(VisibleWindows(), std::vector<HWND>{Window()});
  EXPECT_FALSE(Provider().SkinData().BGChanged);

  // Shown again after a hide: the same, and still nothing left behind.
  ::ShowWindow(Window(), SW_HIDE);
  ::ShowWindow(Window(), SW_SHOWNOACTIVATE);
  PumpMessages();
  EXPECT_EQ(after_animation, 2);
  EXPECT_FALSE(Layered(Window()));
  EXPECT_EQ(VisibleWindows(), std::vector<HWND>{Window()});
}

TEST_F(TransitionsTest, ShowPutsUpTheFinishedPictureAtOnceUnlessGivenATime) {
  struct Row {
    int time;
    std::vector<int> alphas;
  };
  const Row rows[] = {{0, {255}}, {11, {255}}, {36, {0, 85, 170, 255}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.time);
    form_->SkinManager->AnimEffects.FormShow.Time = row.time;
    std::vector<int> alphas;
    Transitions().OnShowFrame = [&](int alpha) { alphas.push_back(alpha); };
    ::ShowWindow(Window(), SW_SHOWNOACTIVATE);
    EXPECT_EQ(alphas, row.alphas);
    EXPECT_FALSE(Layered(Window()));
    ::ShowWindow(Window(), SW_HIDE);
  }
}

TEST_F(TransitionsTest, ShowWithoutAnimationLeavesTheStyleAlone) {
  form_->SkinManager->Effects.AllowAnimation = false;
  int after_animation = 0;
  Transitions().OnAfterAnimation = [&] { ++after_animation; };
  ShowAndPaint();
  EXPECT_EQ(after_animation, 0);
  EXPECT_FALSE(Layered(Window()));
}

// Activation with composition off (as under Wine) and on (as the seam says), both ways.
TEST_F(TransitionsTest, ActivationCoversTheFrameAndLeavesNothingBehind) {
  ShowAndPaint();
  for (const bool composition : {false, true}) {
    for (const WPARAM active : {WPARAM{FALSE}, WPARAM{TRUE}}) {
      SCOPED_TRACE(::testing::Message() << "composition " << composition << ", active " << active);
      auto seam = std::make_shared<RecordingComposition>(false);
      Transitions().SetComposition(seam);
      seam->Set(composition);  // on only after the provider was made: redrawing goes off
      std::vector<HWND> covers;
      bool client_uncovered = false;
      bool title_covered = false;
      Transitions().OnCoverShown = [&](HWND cover) {
        covers.push_back(cover);
        RECT frame{};
        ::GetWindowRect(Window(), &frame);
        RECT cover_rect{};
        ::GetWindowRect(cover, &cover_rect);
        EXPECT_TRUE(::EqualRect(&frame, &cover_rect) != FALSE) << "placed over the form";
        EXPECT_TRUE(::IsWindowVisible(cover));
        EXPECT_NE(::GetActiveWindow(), cover) << "shown without activation";
        HRGN region = ::CreateRectRgn(0, 0, 0, 0);
        if (::GetWindowRgn(cover, region) != ERROR) {
          const TacTitleLayout& layout = Provider().Layout();
          title_covered = ::PtInRegion(region, layout.TextLeft + 5, layout.VCenter) != FALSE;
          client_uncovered = ::PtInRegion(region, (frame.right - frame.left) / 2,
                                          (frame.bottom - frame.top) / 2) == FALSE;
        }
        ::DeleteObject(region);
      };
      ::SendMessageW(Window(), WM_NCACTIVATE, active, 0);
      Transitions().OnCoverShown = nullptr;
      ASSERT_EQ(covers.size(), 1u);
      EXPECT_TRUE(title_covered);
      EXPECT_TRUE(client_uncovered);
      EXPECT_FALSE(::IsWindow(covers.front())) << "the cover lives for one change";
      EXPECT_EQ(Transitions().CaptForm(), nullptr);
      EXPECT_TRUE(::IsWindowVisible(Window())) << "redrawing is on again";
      EXPECT_FALSE(Layered(Window()));
      EXPECT_EQ(VisibleWindows(), std::vector<HWND>{Window()});
      EXPECT_EQ(Provider().FormActive(), active != FALSE);
      EXPECT_FALSE(Provider().SkinData().BGChanged) << "the frame was painted in its new look";
      EXPECT_EQ(Brightest(Provider().WindowBitmap(), TextArea()), active ? 0xF2 : 0x9E);
      EXPECT_GE(seam->Count("Enabled"), 1) << "the steps asked the seam";
    }
  }
}

TEST_F(TransitionsTest, NoCoverForAHiddenForm) {
  int covers = 0;
  Transitions().OnCoverShown = [&](HWND) { ++covers; };
  ::SendMessageW(Window(), WM_NCACTIVATE, FALSE, 0);
  ::SetWindowTextW(Window(), L"Hidden caption");
  EXPECT_EQ(covers, 0);
  EXPECT_FALSE(Provider().FormActive());
}

// The system's own caption painting is kept out by the visible bit, not by a cover window: the
// change puts up no window and the frame shows the new text at once.
TEST_F(TransitionsTest, CaptionChangeRepaintsFromAFreshBitmapWithoutACover) {
  ShowAndPaint();
  std::vector<HWND> covers;
  Transitions().OnCoverShown = [&](HWND cover) { covers.push_back(cover); };
  const auto last_text_column = [this] {
    const TRect area = TextArea();
    int last = 0;
    for (int x = area.Left; x < area.Right; ++x) {
      if (Brightest(Provider().WindowBitmap(), TRect{x, area.Top, x + 1, area.Bottom}) > 0x60)
        last = x;
    }
    return last;
  };
  const int before = last_text_column();
  ::SetWindowTextW(Window(), L"Kestrune with a caption much longer than before");
  EXPECT_TRUE(covers.empty());
  EXPECT_TRUE(::IsWindowVisible(Window())) << "the visible bit is back";
  EXPECT_FALSE(Provider().SkinData().BGChanged);
  EXPECT_GT(last_text_column(), before + 40);
  wchar_t text[128] = {};
  ::GetWindowTextW(Window(), text, 128);
  EXPECT_STREQ(text, L"Kestrune with a caption much longer than before");
  EXPECT_EQ(VisibleWindows(), std::vector<HWND>{Window()});
}

// A close called off must not leave a picture of the controls in the bitmap that the controls
// take their background from.
TEST_F(TransitionsTest, CancelledCloseLeavesTheControlsBackgroundFresh) {
  ShowAndPaint();
  const Bitmap& bmp = Provider().WindowBitmap();
  ASSERT_FALSE(bmp.Empty());
  std::vector<std::uint32_t> before;
  for (int y = 0; y < bmp.Height(); ++y)
    before.insert(before.end(), bmp.Row32(y), bmp.Row32(y) + bmp.Width());

  form_->cancel_close = true;
  ::SendMessageW(Window(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(::IsWindow(Window()));

  const Bitmap& after = Provider().WindowBitmap();
  ASSERT_EQ(after.Width() * after.Height(), static_cast<int>(before.size()));
  int changed = 0;
  for (int y = 0; y < after.Height(); ++y) {
    for (int x = 0; x < after.Width(); ++x)
      changed += after.Row32(y)[x] != before[static_cast<std::size_t>(y * after.Width() + x)];
  }
  EXPECT_EQ(changed, 0) << "the window bitmap holds no picture of the controls";

  // The picture for the hide animation is a bitmap of its own and shows the controls.
  const Bitmap& image = Transitions().CloseImage();
  ASSERT_EQ(image.Width(), after.Width());
  ASSERT_EQ(image.Height(), after.Height());
  RECT button{};
  ::GetWindowRect(form_->ButtonExtract->Handle(), &button);
  RECT frame{};
  ::GetWindowRect(Window(), &frame);
  ::OffsetRect(&button, -frame.left, -frame.top);
  int differs = 0;
  for (int y = button.top; y < button.bottom; ++y) {
    for (int x = button.left; x < button.right; ++x)
      differs += (image.Row32(y)[x] & 0xFFFFFFu) != (after.Row32(y)[x] & 0xFFFFFFu);
  }
  EXPECT_GT(differs, 20) << "the button is in the close picture";
  EXPECT_EQ(GetAPixel(image, 0, 0).C, 0u) << "the cut corner is cleared";
  EXPECT_EQ(GetAPixel(image, image.Width() / 2, image.Height() / 2).C >> 24, 0xFFu);

  // A second paint of the button takes its background from an unchanged bitmap.
  ::RedrawWindow(Window(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_FALSE(Provider().SkinData().BGChanged);

  // Carried out, the close destroys the window and no picture is taken.
  form_->cancel_close = false;
  ::SendMessageW(Window(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(Window()));
}

// The minimize and restore timer runs only for a secondary form and only with composition.
TEST_F(TransitionsTest, MinimizeTimerOnlyWithCompositionForASecondaryForm) {
  ShowAndPaint();
  auto second = std::make_unique<CancellableForm>(application_, test::MainDescription(), services_);
  HWND window = second->Handle();
  ::SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Window()));
  second->Show();
  PumpMessages();
  TacFormTransitions& transitions = *second->SkinProvider->Transitions();

  struct Row {
    const char* name;
    bool composition;
    bool secondary;
    bool timer;
  };
  const Row rows[] = {
      {"secondary form, composition off", false, true, false},
      {"secondary form, composition on", true, true, true},
      {"main window, composition on", true, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    HWND target = row.secondary ? window : Window();
    TacFormTransitions& t = row.secondary ? transitions : Transitions();
    auto seam = std::make_shared<RecordingComposition>(row.composition);
    t.SetComposition(seam);
    seam->calls.clear();

    ::SendMessageW(target, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(::IsIconic(target));
    EXPECT_EQ(t.MinTimerRunning(), row.timer);
    EXPECT_EQ(seam->Count("ForceDisable on"), row.timer ? 1 : 0);
    EXPECT_EQ(seam->Count("ForceDisable on"), seam->Count("ForceDisable off"));
    ASSERT_TRUE(PumpUntil([&] { return !t.MinTimerRunning(); }));
    EXPECT_FALSE(t.Animating());

    ::SendMessageW(target, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(t.MinTimerRunning(), row.timer);
    if (row.timer) {
      EXPECT_TRUE(::IsIconic(target)) << "the window follows its picture at the end";
    }
    ASSERT_TRUE(PumpUntil([&] { return !t.MinTimerRunning(); }));
    EXPECT_FALSE(::IsIconic(target));
    EXPECT_EQ(seam->Count("ForceDisable on"), row.timer ? 2 : 0);
    EXPECT_EQ(seam->Count("ForceDisable on"), seam->Count("ForceDisable off"));
    EXPECT_FALSE(Layered(target));
    PumpMessages();
    for (HWND visible : VisibleWindows())
      EXPECT_TRUE(visible == Window() || visible == window) << "left behind: " << visible;
  }
  second.reset();
}

}  // namespace
}  // namespace kestrune::skin
