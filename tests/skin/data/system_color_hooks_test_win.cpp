// Under Wine: our own module's colour functions answer from the default manager's skin while its
// ChangeSysColors option is on, and its imports are as before once the skin is removed.
#include "skin/data/system_color_hooks_win.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_broadcast_win.h"
#include "skin/data/skin_manager.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

struct Import {
  const char* dll;
  const char* function;
};
constexpr std::array<Import, 3> kImports = {{{"user32.dll", "GetSysColor"},
                                             {"user32.dll", "GetSysColorBrush"},
                                             {"gdi32.dll", "CreatePen"}}};

// What the import slots of the three functions hold now.
std::vector<void*> ImportAddresses() {
  std::vector<void*> addresses;
  for (const Import& import : kImports) {
    for (void** slot : FindImportSlots(OwnModule(), import.dll, import.function)) {
      addresses.push_back(*slot);
    }
  }
  return addresses;
}

// Each call reads the import anew: a function that calls an import twice may keep the address
// it read first, so the calls under test sit in functions of their own.
[[gnu::noinline]] COLORREF SysColor(int index) {
  return ::GetSysColor(index);
}

[[gnu::noinline]] HBRUSH SysColorBrush(int index) {
  return ::GetSysColorBrush(index);
}

[[gnu::noinline]] COLORREF PenColor(COLORREF requested) {
  const HPEN pen = ::CreatePen(PS_SOLID, 1, requested);
  LOGPEN info{};
  ::GetObjectW(pen, sizeof info, &info);
  ::DeleteObject(pen);
  return info.lopnColor;
}

COLORREF BrushColor(HBRUSH brush) {
  LOGBRUSH info{};
  ::GetObjectW(brush, sizeof info, &info);
  return info.lbColor;
}

void Show(HWND form) {
  ::ShowWindow(form, SW_SHOW);
  ::SetForegroundWindow(form);
  ::SetActiveWindow(form);
}

TEST(SystemColorHooksTest, OurColourFunctionsFollowTheSkinWhileTheOptionIsOn) {
  const std::vector<void*> original = ImportAddresses();
  for (const Import& import : kImports) {
    ASSERT_FALSE(FindImportSlots(OwnModule(), import.dll, import.function).empty())
        << import.function << " is not imported by name";
  }
  const COLORREF system_window = SysColor(COLOR_WINDOW);
  const COLORREF system_btn_face = SysColor(COLOR_BTNFACE);
  const HBRUSH system_highlight_brush = SysColorBrush(COLOR_HIGHLIGHT);
  const HWND form = ::CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                      nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(form, nullptr);
  Show(form);

  WinSkinManagerPlatform platform;
  {
    TsSkinManager manager(platform);
    manager.InternalSkins = BuiltinStoredSkins();
    manager.SetChangeSysColors(true);
    manager.SetSkinName(std::string(kBuiltinSkinName));
    ASSERT_TRUE(manager.IsActive());
    const TacPalette& p = manager.Palette;
    ASSERT_NE(static_cast<COLORREF>(p[pcEditBG]), system_window);

    EXPECT_EQ(SysColor(COLOR_WINDOW), static_cast<COLORREF>(p[pcEditBG]));
    EXPECT_EQ(SysColor(COLOR_HIGHLIGHTTEXT), static_cast<COLORREF>(p[pcSelectionText_Focused]));
    EXPECT_EQ(SysColor(COLOR_BTNFACE), system_btn_face);  // Not in the table.
    // The skin's inactive border is the desktop's, taken when the manager was made.
    EXPECT_EQ(SysColor(COLOR_INACTIVEBORDER), PlatformSysColor(COLOR_INACTIVEBORDER));

    // Brushes are the manager's own: the same handle on every call.
    const HBRUSH highlight = SysColorBrush(COLOR_HIGHLIGHT);
    EXPECT_EQ(SysColorBrush(COLOR_HIGHLIGHT), highlight);
    EXPECT_NE(highlight, system_highlight_brush);
    EXPECT_EQ(BrushColor(highlight), static_cast<COLORREF>(p[pcSelectionBG_Focused]));
    EXPECT_EQ(BrushColor(SysColorBrush(COLOR_WINDOW)), static_cast<COLORREF>(p[pcEditBG]));

    EXPECT_EQ(PenColor(5), static_cast<COLORREF>(p[pcEditBG]));
    EXPECT_EQ(PenColor(16), static_cast<COLORREF>(BlendColors(p[pcMainColor], clBlack, 205)));
    EXPECT_EQ(PenColor(0x123456), 0x123456u);

    // Only while the active form is shown.
    ::ShowWindow(form, SW_HIDE);
    EXPECT_EQ(SysColor(COLOR_WINDOW), system_window);
    Show(form);
    EXPECT_EQ(SysColor(COLOR_WINDOW), static_cast<COLORREF>(p[pcEditBG]));

    // Switching the option works at once, both ways.
    manager.SetChangeSysColors(false);
    EXPECT_EQ(SysColor(COLOR_WINDOW), system_window);
    EXPECT_EQ(SysColorBrush(COLOR_HIGHLIGHT), system_highlight_brush);
    EXPECT_EQ(ImportAddresses(), original);
    manager.SetChangeSysColors(true);
    EXPECT_EQ(SysColor(COLOR_WINDOW), static_cast<COLORREF>(p[pcEditBG]));

    // Removing the skin restores the imports.
    manager.SetActive(false);
    EXPECT_EQ(ImportAddresses(), original);
    EXPECT_EQ(SysColor(COLOR_WINDOW), system_window);
    EXPECT_EQ(PenColor(5), 5u);

    // With the option off from the start nothing is patched.
    manager.SetChangeSysColors(false);
    manager.SetActive(true);
    ASSERT_TRUE(manager.IsActive());
    EXPECT_EQ(SysColor(COLOR_WINDOW), system_window);
    EXPECT_EQ(ImportAddresses(), original);
    manager.SetChangeSysColors(true);
  }
  // The manager's end removes the substitution too.
  EXPECT_EQ(ImportAddresses(), original);
  EXPECT_EQ(SysColor(COLOR_WINDOW), system_window);
  ::DestroyWindow(form);
}

}  // namespace
}  // namespace kestrune::skin
