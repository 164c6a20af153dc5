// The main window follows the user's desktop settings through its source of them: high contrast
// sets the skin aside (the system draws the window in the user's colours) and its end brings the
// skin back; with client-area animations off nothing fades or animates. Inside a Wine desktop the
// window is also shot with high contrast on and its pixels are checked for the skin's dark ones.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/main_form_win.h"
#include "platform/win_util.h"
#include "skin/controls/form_transitions_win.h"
#include "tests/support/main_layout.h"
#include "tests/support/pump_messages_win.h"
#include "tests/support/recording_taskbar_button.h"
#include "tests/support/screen_shot_win.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait_for.h"

namespace kestrune {
namespace {

constexpr std::uint32_t kSkinTitleColour = 0x202020;

bool OwnerDrawn(HWND button) {
  return (::GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
}

std::uint32_t Rgb(COLORREF c) {
  return (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

class DesktopSettingsTest : public ::testing::Test {
 protected:
  DesktopSettingsTest() {
    application_.SetMessageBoxFunction(
        [](HWND, const std::wstring&, const std::wstring&, UINT) { return IDOK; });
  }
  ~DesktopSettingsTest() override {
    form_.reset();
    test::PumpMessages();
  }

  // The window as the user's desktop is now; `desktop_` may change later.
  void MakeForm(RunSettings settings = {}) {
    form_ = std::make_unique<TMainForm>(application_, test::MainDescription(), services_,
                                        std::move(settings), [this] { return desktop_; });
    application_.SetMainWindow(form_->Handle());
  }
  // The system's broadcast after the user changed a setting.
  void SettingChanged(UINT action) {
    ::SendMessageW(form_->Handle(), WM_SETTINGCHANGE, action, 0);
    test::PumpMessages();
  }
  void ShowAndPaint() {
    form_->Show();
    ::RedrawWindow(form_->Handle(), nullptr, nullptr,
                   RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    test::PumpMessages();
  }

  platform::Application application_{"Kestrune"};
  platform::SystemServices services_;
  DesktopSettings desktop_;
  std::unique_ptr<TMainForm> form_;
};

TEST_F(DesktopSettingsTest, HighContrastSetsTheSkinAsideAndItsEndBringsItBack) {
  struct Step {
    const char* name;
    bool high_contrast;
    bool skinned;
  };
  // At start and after each change the user makes while the window is open.
  const Step steps[] = {{"on at start", true, false},
                        {"turned off", false, true},
                        {"turned on", true, false},
                        {"on again (no change)", true, false},
                        {"off again", false, true}};
  desktop_.high_contrast = steps[0].high_contrast;
  MakeForm();
  ShowAndPaint();
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    if (desktop_.high_contrast != step.high_contrast || &step != &steps[0]) {
      desktop_.high_contrast = step.high_contrast;
      SettingChanged(SPI_SETHIGHCONTRAST);
    }
    EXPECT_EQ(form_->SkinManager->IsActive(), step.skinned);
    EXPECT_EQ(OwnerDrawn(form_->ButtonExtract->Handle()), step.skinned);
    // The menus are the system's again: no owner-drawn item stays behind.
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoW(::GetMenu(form_->Handle()), 0, TRUE, &item));
    EXPECT_EQ((item.fType & MFT_OWNERDRAW) != 0, step.skinned);
  }
}

TEST_F(DesktopSettingsTest, AnimationsOffShowAndFadeNothingUntilTheUserAllowsThemAgain) {
  desktop_.client_area_animation = false;
  MakeForm();
  EXPECT_FALSE(form_->SkinManager->Effects.AllowAnimation);
  int shows = 0;
  form_->SkinProvider->Transitions()->OnAfterAnimation = [&] { ++shows; };
  ShowAndPaint();
  EXPECT_EQ(shows, 0) << "no show animation";

  desktop_.client_area_animation = true;
  SettingChanged(SPI_SETCLIENTAREAANIMATION);
  EXPECT_TRUE(form_->SkinManager->Effects.AllowAnimation);
  ::ShowWindow(form_->Handle(), SW_HIDE);
  ::ShowWindow(form_->Handle(), SW_SHOWNOACTIVATE);
  test::PumpMessages();
  EXPECT_EQ(shows, 1) << "the show animation runs again";

  desktop_.client_area_animation = false;
  SettingChanged(SPI_SETCLIENTAREAANIMATION);
  EXPECT_FALSE(form_->SkinManager->Effects.AllowAnimation);
  // High contrast and its end leave the animation switch as the user has it.
  desktop_.high_contrast = true;
  SettingChanged(SPI_SETHIGHCONTRAST);
  desktop_.high_contrast = false;
  SettingChanged(SPI_SETHIGHCONTRAST);
  EXPECT_FALSE(form_->SkinManager->Effects.AllowAnimation);
}

using Calls = test::TaskbarCalls;
using RecordingButton = test::RecordingTaskbarButton;

// A run of Extract on the button, once the system has announced it: the blocks done out of the
// lines, the error state after an incomplete block (every worker fails in a temp folder that is a
// file), and no progress at the end. The system's own list, where Wine has one, changes nothing.
TEST_F(DesktopSettingsTest, TheTaskbarButtonFollowsTheRunOnceAnnounced) {
  test::TempDir folder;
  const std::string list = folder.Write("blocks.txt", "10.0.0.5/30\r\n1.2.3.4/32\r\n");
  const std::string not_a_folder = folder.Write("temp-is-a-file", "");
  RunSettings settings;
  settings.list_path = list;
  settings.output_folder = folder.Folder();
  settings.inline_block_limit = 0;  // every block through the workers' temp files
  MakeForm(settings);
  ShowAndPaint();
  ::SendMessageW(form_->Handle(), ::RegisterWindowMessageW(L"TaskbarButtonCreated"), 0, 0);
  form_->ButtonExtractClick();  // with the system's list, or none: the run is as ever
  EXPECT_NE(form_->MemoResults->Text().find("ALL DONE. Output file: "), std::string::npos);

  struct Case {
    const char* name;
    bool workers_fail;
    const char* end_state;  // the state before the end's "none"
  };
  const Case cases[] = {{"complete", false, "normal"}, {"incomplete", true, "error"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetEnvironmentVariableW(L"TMP", temp, MAX_PATH + 1);
    if (c.workers_fail)
      ::SetEnvironmentVariableW(L"TMP", platform::Widen(not_a_folder).c_str());
    Calls calls;
    form_->Taskbar().Attach(std::make_unique<RecordingButton>(calls));
    calls.clear();
    form_->ButtonExtractClick();
    ::SetEnvironmentVariableW(L"TMP", temp);
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[0], "normal");
    EXPECT_EQ(calls[1], "0/2");
    EXPECT_EQ(calls[calls.size() - 2], "2/2");
    EXPECT_EQ(calls.back(), "none");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "error"), c.workers_fail ? 1 : 0);
    if (c.workers_fail) {
      const auto error = std::find(calls.begin(), calls.end(), "error");
      EXPECT_LT(error - calls.begin(), static_cast<std::ptrdiff_t>(calls.size()) - 2)
          << "shown while the run goes on";
    }
  }
}

// Pixels of the window on the screen: with high contrast the client area is the system's button
// face and the title bar is not the skin's; without it both are the skin's dark ones again.
TEST_F(DesktopSettingsTest, HighContrastOnTheScreen) {
  if (std::getenv("KESTRUNE_IN_DESKTOP") == nullptr)
    GTEST_SKIP() << "needs a Wine desktop";
  desktop_.high_contrast = true;
  MakeForm();
  ShowAndPaint();
  ::SetForegroundWindow(form_->Handle());
  const int dpi = static_cast<int>(::GetDpiForWindow(form_->Handle()));
  for (const bool high_contrast : {true, false}) {
    SCOPED_TRACE(high_contrast ? "high contrast" : "skinned");
    if (desktop_.high_contrast != high_contrast) {
      desktop_.high_contrast = high_contrast;
      SettingChanged(SPI_SETHIGHCONTRAST);
      ::RedrawWindow(form_->Handle(), nullptr, nullptr,
                     RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    RECT window{};
    test::ScreenShot shot;
    std::uint32_t background = 0;
    std::uint32_t title = 0;
    // The screen follows the window's painting a little later under Wine.
    const auto look = [&] {
      test::PumpMessages();
      ::GetWindowRect(form_->Handle(), &window);
      shot = test::ShootScreen(window);
      // Between the speed figure and the button: the group box's own background.
      POINT face{::MulDiv(270, dpi, 96), ::MulDiv(245, dpi, 96)};
      ::ClientToScreen(form_->Handle(), &face);
      background = shot.At(face.x - window.left, face.y - window.top);
      title = shot.At((window.right - window.left) / 2, ::MulDiv(12, dpi, 96));
      return high_contrast ? background == Rgb(::GetSysColor(COLOR_BTNFACE))
                           : title == kSkinTitleColour;
    };
    static_cast<void>(test::WaitFor(look, std::chrono::seconds(10)));
    test::SaveShot(
        shot, std::string(high_contrast ? "high-contrast-" : "skinned-") + std::to_string(dpi));
    if (high_contrast) {
      EXPECT_EQ(background, Rgb(::GetSysColor(COLOR_BTNFACE))) << std::hex << background;
      EXPECT_NE(title, kSkinTitleColour) << std::hex << title;
    } else {
      EXPECT_LT(background & 0xFF, 0x80u) << std::hex << background;
      EXPECT_EQ(title, kSkinTitleColour) << std::hex << title;
    }
  }
}

}  // namespace
}  // namespace kestrune
