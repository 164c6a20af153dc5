// Under Wine: real windows receive the skin commands of the manager in the right order.
#include "skin/data/skin_broadcast_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_commands.h"
#include "skin/data/skin_manager.h"

namespace kestrune::skin {
namespace {

constexpr wchar_t kTestForm[] = L"KestruneSkinTestForm";
constexpr wchar_t kTestChild[] = L"KestruneSkinTestChild";

struct Received {
  HWND window;
  std::uint16_t command;
  std::uint16_t argument;
  LPARAM lparam;
  friend bool operator==(const Received&, const Received&) = default;
};
std::vector<Received> g_received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == SM_ALPHACMD) {
    g_received.push_back({window, CommandOf(static_cast<std::uint32_t>(wparam)),
                          static_cast<std::uint16_t>(wparam & 0xFFFF), lparam});
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

void RegisterClassOnce(const wchar_t* name) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  if (::GetClassInfoExW(::GetModuleHandleW(nullptr), name, &window_class)) {
    return;
  }
  window_class.lpfnWndProc = RecordingProc;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = name;
  ASSERT_NE(::RegisterClassExW(&window_class), 0);
}

// A form with a child holding a grandchild, and a second top-level window of another class
// that is no form and must hear nothing.
class SkinBroadcastTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClassOnce(kTestForm);
    RegisterClassOnce(kTestChild);
    form = ::CreateWindowExW(0, kTestForm, L"form", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
    child = ::CreateWindowExW(0, kTestChild, L"child", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, form,
                              nullptr, ::GetModuleHandleW(nullptr), nullptr);
    grandchild = ::CreateWindowExW(0, kTestChild, L"grandchild", WS_CHILD | WS_VISIBLE, 0, 0, 10,
                                   10, child, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    stranger = ::CreateWindowExW(0, kTestChild, L"stranger", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(grandchild, nullptr);
    ASSERT_NE(stranger, nullptr);
    g_received.clear();
  }
  void TearDown() override {
    ::DestroyWindow(stranger);
    ::DestroyWindow(form);
  }

  // Every window of the form gets `command`, form first.
  std::vector<Received> ToAll(std::uint16_t command, const TsSkinManager& manager) const {
    const auto lparam = reinterpret_cast<LPARAM>(&manager);
    return {
        {form, command, 0, lparam}, {child, command, 0, lparam}, {grandchild, command, 0, lparam}};
  }
  static std::vector<Received> Joined(std::vector<std::vector<Received>> parts) {
    std::vector<Received> all;
    for (const auto& part : parts) {
      all.insert(all.end(), part.begin(), part.end());
    }
    return all;
  }

  HWND form = nullptr;
  HWND child = nullptr;
  HWND grandchild = nullptr;
  HWND stranger = nullptr;
};

TEST_F(SkinBroadcastTest, StartUpAndActiveChangesReachEveryWindowInOrder) {
  WinSkinManagerPlatform platform(kTestForm);
  TsSkinManager manager(platform);
  manager.BeginLoading();
  manager.InternalSkins = BuiltinStoredSkins();
  manager.SkinDirectory = "c:\\no such folder";
  manager.SetSkinName(std::string(kBuiltinSkinName));
  EXPECT_TRUE(g_received.empty());
  manager.Loaded();
  EXPECT_EQ(g_received, ToAll(AC_SETNEWSKIN, manager));
  EXPECT_TRUE(manager.IsActive());

  g_received.clear();
  manager.SetActive(false);
  EXPECT_EQ(g_received, ToAll(AC_REMOVESKIN, manager));
  EXPECT_FALSE(manager.IsActive());

  g_received.clear();
  manager.SetActive(true);
  EXPECT_EQ(g_received, Joined({ToAll(AC_SETNEWSKIN, manager), ToAll(AC_STOPFADING, manager),
                                ToAll(AC_REFRESH, manager)}));
  EXPECT_TRUE(manager.IsActive());
  EXPECT_EQ(manager.SkinInfo(), "16.13");
}

TEST_F(SkinBroadcastTest, SectionUpdatesCarryTheUpperCasedName) {
  WinSkinManagerPlatform platform(kTestForm);
  std::vector<std::string> names;
  // The name lives only while the broadcast runs, so read it on arrival.
  struct Reader {
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
      if (message == SM_ALPHACMD &&
          CommandOf(static_cast<std::uint32_t>(wparam)) == AC_UPDATESECTION) {
        Names()->push_back(reinterpret_cast<const char*>(lparam));
        return 0;
      }
      return RecordingProc(window, message, wparam, lparam);
    }
    static std::vector<std::string>*& Names() {
      static std::vector<std::string>* names = nullptr;
      return names;
    }
  };
  Reader::Names() = &names;
  ::SetWindowLongPtrW(form, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Reader::Proc));
  TsSkinManager manager(platform);
  manager.UpdateSkinSection("Button");
  EXPECT_EQ(names, std::vector<std::string>{"BUTTON"});
  Reader::Names() = nullptr;
}

}  // namespace
}  // namespace kestrune::skin
