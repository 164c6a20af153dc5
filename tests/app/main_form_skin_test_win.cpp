// The main window's skin manager: the internal skin loaded at start-up and the skin commands
// reaching the window and every child window.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "app/main_form_win.h"
#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_commands.h"
#include "tests/support/build_path.h"
#include "tests/support/main_layout.h"

namespace kestrune {
namespace {

struct Received {
  HWND window;
  std::uint16_t command;
};
std::vector<Received> g_received;

LRESULT CALLBACK RecordSkinCommands(int code, WPARAM wparam, LPARAM lparam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && message->message == skin::SM_ALPHACMD)
    g_received.push_back(
        {message->hwnd, skin::CommandOf(static_cast<std::uint32_t>(message->wParam))});
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

using test::MainDescription;

BOOL CALLBACK CollectChild(HWND window, LPARAM lparam) {
  reinterpret_cast<std::set<HWND>*>(lparam)->insert(window);
  return TRUE;
}

std::set<HWND> WindowsOf(HWND form) {
  std::set<HWND> windows{form};
  ::EnumChildWindows(form, CollectChild, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The windows that received `command`, each counted once; fails on a second delivery.
std::set<HWND> Receivers(std::uint16_t command) {
  std::set<HWND> windows;
  for (const Received& received : g_received) {
    if (received.command == command) {
      EXPECT_TRUE(windows.insert(received.window).second);
    }
  }
  return windows;
}

TEST(MainFormSkin, InternalSkinIsLoadedAndBroadcastToEveryWindow) {
  platform::Application application("Kestrune");
  const platform::SystemServices services;
  g_received.clear();
  const HHOOK hook =
      ::SetWindowsHookExW(WH_CALLWNDPROC, RecordSkinCommands, nullptr, ::GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  auto form = std::make_unique<TMainForm>(application, MainDescription(), services);

  ASSERT_NE(form->SkinManager, nullptr);
  skin::TsSkinManager& manager = *form->SkinManager;
  EXPECT_EQ(manager.SkinName(), skin::kBuiltinSkinName);
  EXPECT_TRUE(manager.IsActive());
  EXPECT_TRUE(manager.IsDefault());
  EXPECT_EQ(manager.SkinInfo(), "16.13");
  EXPECT_EQ(manager.MenuSupport.FontName, "Segoe UI");
  EXPECT_EQ(manager.MenuSupport.FontHeight, -11);
  EXPECT_EQ(manager.SkinDirectory, "D:\\Kestrune\\Skins");
  EXPECT_GE(manager.GetSkinIndex("FORM"), 0);

  const std::set<HWND> windows = WindowsOf(form->Handle());
  EXPECT_GE(windows.size(), 4u);
  EXPECT_EQ(Receivers(skin::AC_SETNEWSKIN), windows);
  // Start-up sends no repaint yet: besides the new skin only the questions the skinned controls
  // ask of themselves while they bind to it.
  for (const Received& received : g_received) {
    EXPECT_TRUE(
        received.command == skin::AC_SETNEWSKIN || received.command == skin::AC_GETDEFINDEX ||
        received.command == skin::AC_SETGLASSMODE || received.command == skin::AC_GETPROVIDER)
        << received.command;
  }

  g_received.clear();
  manager.SetActive(false);
  EXPECT_EQ(Receivers(skin::AC_REMOVESKIN), windows);
  // The memo makes its window anew when the skin goes.
  const std::set<HWND> unskinned = WindowsOf(form->Handle());
  EXPECT_EQ(unskinned.size(), windows.size());
  g_received.clear();
  manager.SetActive(true);
  EXPECT_EQ(Receivers(skin::AC_SETNEWSKIN), unskinned);
  EXPECT_EQ(Receivers(skin::AC_REFRESH), unskinned);
  ASSERT_FALSE(g_received.empty());
  EXPECT_EQ(g_received.front().command, skin::AC_SETNEWSKIN);
  EXPECT_EQ(g_received.back().command, skin::AC_REFRESH);

  form.reset();
  ::UnhookWindowsHookEx(hook);
  EXPECT_EQ(skin::DefaultManager(), nullptr);
}

}  // namespace
}  // namespace kestrune
