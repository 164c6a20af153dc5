// The owners of what a window lends out, under the real window system: each gives back what it
// took and nothing that another has taken since, and a click-through popup lets the mouse through
// and goes with its object or its owner.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/popup_window_win.h"
#include "platform/window_owners_win.h"
#include "tests/support/pump_messages_win.h"
#include "tests/support/wait_for.h"

namespace kestrune::platform {
namespace {

constexpr UINT kProbe = WM_APP + 1;  // counted by every procedure below

using Names = std::vector<std::string>;

// What the procedures of a test heard of kProbe, in order.
Names& Heard() {
  static Names heard;
  return heard;
}

int g_ticks = 0;

LRESULT CALLBACK OwnProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kProbe) {
    Heard().emplace_back("own");
    return 1;
  }
  if (message == WM_TIMER) {
    ++g_ticks;
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

// A hidden top-level window of this thread with a procedure of its own; destroyed at the end of
// scope unless a test destroyed it before.
class TestWindow {
 public:
  TestWindow() {
    static const ATOM atom = [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = OwnProcedure;
      wc.hInstance = ::GetModuleHandleW(nullptr);
      wc.lpszClassName = L"KestruneOwnersTest";
      return ::RegisterClassExW(&wc);
    }();
    window_ = ::CreateWindowExW(0, MAKEINTATOM(atom), L"", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  ~TestWindow() {
    if (::IsWindow(window_))
      ::DestroyWindow(window_);
  }
  [[nodiscard]] HWND Get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

Names Probe(HWND window) {
  Heard().clear();
  ::SendMessageW(window, kProbe, 0, 0);
  return Heard();
}

LRESULT CALLBACK FirstSubclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                               UINT_PTR /*id*/, DWORD_PTR /*data*/) {
  if (message == kProbe)
    Heard().emplace_back("first");
  return ::DefSubclassProc(window, message, wparam, lparam);
}

LRESULT CALLBACK SecondSubclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                UINT_PTR /*id*/, DWORD_PTR /*data*/) {
  if (message == kProbe)
    Heard().emplace_back("second");
  return ::DefSubclassProc(window, message, wparam, lparam);
}

// The property as the subclass finds it while it handles a message.
LRESULT CALLBACK PropertyReader(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                UINT_PTR /*id*/, DWORD_PTR /*data*/) {
  if (message == kProbe) {
    const auto* value = static_cast<const char*>(::GetPropW(window, L"Kestrune.Test"));
    Heard().emplace_back(value != nullptr ? value : "no property");
  }
  return ::DefSubclassProc(window, message, wparam, lparam);
}

TEST(WindowTimer, KillsItsTimerWhenStoppedMovedOrDestroyedAndNotWhenReleased) {
  const TestWindow a;
  const TestWindow b;
  constexpr UINT_PTR kId = 7;
  {
    WindowTimer timer(kId);
    g_ticks = 0;
    ASSERT_TRUE(timer.Start(a.Get(), 10));
    EXPECT_TRUE(timer.Running());
    EXPECT_TRUE(test::WaitFor(
        [] {
          test::PumpMessages();
          return g_ticks > 0;
        },
        std::chrono::seconds(10), std::chrono::milliseconds(5)));
  }
  // KillTimer fails for a timer that no longer runs.
  EXPECT_FALSE(::KillTimer(a.Get(), kId));

  WindowTimer timer(kId);
  ASSERT_TRUE(timer.Start(a.Get(), 1000));
  ASSERT_TRUE(timer.Start(b.Get(), 1000));
  EXPECT_FALSE(::KillTimer(a.Get(), kId));
  timer.Stop();
  EXPECT_FALSE(timer.Running());
  EXPECT_FALSE(::KillTimer(b.Get(), kId));

  // Without a window nothing starts: a thread timer would come under another id.
  EXPECT_FALSE(timer.Start(nullptr, 1000));
  EXPECT_FALSE(timer.Running());

  {
    WindowTimer released(kId);
    ASSERT_TRUE(released.Start(a.Get(), 1000));
    released.Release();
  }
  EXPECT_TRUE(::KillTimer(a.Get(), kId));
}

TEST(WindowProperty, TakesOffOnlyTheValueItPutOn) {
  const TestWindow a;
  const TestWindow b;
  constexpr wchar_t kName[] = L"Kestrune.Test";
  int mine = 0;
  int theirs = 0;
  {
    WindowProperty property;
    ASSERT_TRUE(property.Set(a.Get(), kName, &mine));
    EXPECT_EQ(::GetPropW(a.Get(), kName), &mine);
  }
  EXPECT_EQ(::GetPropW(a.Get(), kName), nullptr);

  {
    WindowProperty property;
    ASSERT_TRUE(property.Set(a.Get(), kName, &mine));
    ::SetPropW(a.Get(), kName, &theirs);
  }
  EXPECT_EQ(::GetPropW(a.Get(), kName), &theirs);
  ::RemovePropW(a.Get(), kName);

  // Moving to another window takes it off the first.
  WindowProperty property;
  ASSERT_TRUE(property.Set(a.Get(), kName, &mine));
  ASSERT_TRUE(property.Set(b.Get(), kName, &mine));
  EXPECT_EQ(::GetPropW(a.Get(), kName), nullptr);
  EXPECT_EQ(::GetPropW(b.Get(), kName), &mine);
  EXPECT_FALSE(property.Set(nullptr, kName, &mine));
  EXPECT_EQ(::GetPropW(b.Get(), kName), nullptr);
}

TEST(WindowSubclass, TakesOutOnlyItsOwnProcedureWhereverItStandsInTheChain) {
  const TestWindow window;
  const auto probe = [&window] { return Probe(window.Get()); };
  {
    WindowSubclass first;
    ASSERT_TRUE(first.Set(window.Get(), FirstSubclass, 1, 0));
    EXPECT_EQ(probe(), (Names{"first", "own"}));
  }
  EXPECT_EQ(probe(), (Names{"own"}));

  // Another came after ours: ours goes, the later one and the window's own still hear.
  {
    WindowSubclass first;
    ASSERT_TRUE(first.Set(window.Get(), FirstSubclass, 1, 0));
    ASSERT_TRUE(::SetWindowSubclass(window.Get(), SecondSubclass, 2, 0));
    EXPECT_EQ(probe(), (Names{"second", "first", "own"}));
    first.Reset();
    EXPECT_EQ(probe(), (Names{"second", "own"}));
  }
  EXPECT_EQ(probe(), (Names{"second", "own"}));
  ::RemoveWindowSubclass(window.Get(), SecondSubclass, 2);

  // Released, it stays for whoever took it over.
  {
    WindowSubclass first;
    ASSERT_TRUE(first.Set(window.Get(), FirstSubclass, 1, 0));
    first.Release();
  }
  EXPECT_EQ(probe(), (Names{"first", "own"}));
  ::RemoveWindowSubclass(window.Get(), FirstSubclass, 1);
}

TEST(SubclassWithProperty, TheProcedureFindsItsPropertyAndBothGoTogether) {
  const TestWindow window;
  constexpr wchar_t kName[] = L"Kestrune.Test";
  static const char kFirst[] = "first value";
  static const char kSecond[] = "second value";
  {
    SubclassWithProperty owner;
    ASSERT_TRUE(owner.Set(window.Get(), kName, const_cast<char*>(kFirst), PropertyReader, 1, 0));
    EXPECT_TRUE(owner.Subclassed());
    EXPECT_EQ(Probe(window.Get()), (Names{kFirst, "own"}));
    // Set again on the same window: a new value, still one procedure.
    ASSERT_TRUE(owner.Set(window.Get(), kName, const_cast<char*>(kSecond), PropertyReader, 1, 0));
    EXPECT_EQ(Probe(window.Get()), (Names{kSecond, "own"}));
  }
  EXPECT_EQ(::GetPropW(window.Get(), kName), nullptr);
  EXPECT_EQ(Probe(window.Get()), (Names{"own"}));
}

WNDPROC g_swapped_previous = nullptr;

LRESULT CALLBACK SwappedProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kProbe)
    Heard().emplace_back("swapped");
  return ::CallWindowProcW(g_swapped_previous, window, message, wparam, lparam);
}

WNDPROC g_later_previous = nullptr;

LRESULT CALLBACK LaterProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kProbe)
    Heard().emplace_back("later");
  return ::CallWindowProcW(g_later_previous, window, message, wparam, lparam);
}

TEST(ProcedureSwap, GivesThePreviousProcedureBackOnlyWhileItIsInFront) {
  const TestWindow window;
  const LONG_PTR own = ::GetWindowLongPtrW(window.Get(), GWLP_WNDPROC);
  {
    ProcedureSwap swap;
    ASSERT_TRUE(swap.Set(window.Get(), SwappedProcedure));
    g_swapped_previous = swap.Previous();
    EXPECT_EQ(Probe(window.Get()), (Names{"swapped", "own"}));
  }
  EXPECT_EQ(::GetWindowLongPtrW(window.Get(), GWLP_WNDPROC), own);

  // Another put its procedure in front of ours: giving the previous one back would cut it off, so
  // the chain stays as it is and every procedure in it still hears.
  ProcedureSwap swap;
  ASSERT_TRUE(swap.Set(window.Get(), SwappedProcedure));
  g_swapped_previous = swap.Previous();
  g_later_previous = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(window.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterProcedure)));
  EXPECT_FALSE(swap.Reset());
  EXPECT_EQ(::GetWindowLongPtrW(window.Get(), GWLP_WNDPROC),
            reinterpret_cast<LONG_PTR>(&LaterProcedure));
  EXPECT_EQ(Probe(window.Get()), (Names{"later", "swapped", "own"}));
  ::SetWindowLongPtrW(window.Get(), GWLP_WNDPROC, own);
}

TEST(MouseCapture, GivesTheCaptureBackOnlyWhileItsWindowHoldsIt) {
  const TestWindow a;
  const TestWindow b;
  {
    MouseCapture capture;
    capture.Set(a.Get());
    EXPECT_TRUE(capture.Held());
    EXPECT_EQ(::GetCapture(), a.Get());
  }
  EXPECT_EQ(::GetCapture(), nullptr);

  {
    MouseCapture capture;
    capture.Set(a.Get());
    ::SetCapture(b.Get());  // another window took it
    EXPECT_FALSE(capture.Held());
  }
  EXPECT_EQ(::GetCapture(), b.Get());
  ::ReleaseCapture();

  {
    MouseCapture capture;
    capture.Set(a.Get());
    capture.Release();
  }
  EXPECT_EQ(::GetCapture(), a.Get());
  ::ReleaseCapture();
}

std::vector<HWND>& Created() {
  static std::vector<HWND> created;
  return created;
}

LRESULT CALLBACK RecordCreations(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND)
    Created().push_back(reinterpret_cast<HWND>(wparam));
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST(UniqueHook, TheHookStopsWithItsOwner) {
  const auto seen = [](HWND window) {
    return std::find(Created().begin(), Created().end(), window) != Created().end();
  };
  Created().clear();
  {
    const UniqueHook hook(
        ::SetWindowsHookExW(WH_CBT, RecordCreations, nullptr, ::GetCurrentThreadId()));
    ASSERT_NE(hook.Get(), nullptr);
    const TestWindow window;
    EXPECT_TRUE(seen(window.Get()));
  }
  const TestWindow window;
  EXPECT_FALSE(seen(window.Get())) << Created().size();
}

constexpr wchar_t kPopupClass[] = L"KestruneOwnersTestPopup";

TEST(ClickThroughPopup, StylesFollowTheOptions) {
  const TestWindow owner;
  struct Row {
    const char* name;
    bool layered;
    DWORD extra;
    HWND owner;
  };
  const Row rows[] = {
      {"layered", true, 0, nullptr},
      {"painted, owned", false, 0, owner.Get()},
      {"layered topmost", true, WS_EX_TOPMOST, nullptr},
      {"painted right to left", false, WS_EX_LAYOUTRTL, owner.Get()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ClickThroughPopup popup;
    PopupOptions options;
    options.class_name = kPopupClass;
    options.owner = row.owner;
    options.bounds = RECT{10, 20, 40, 60};
    options.layered = row.layered;
    options.extra_ex_style = row.extra;
    ASSERT_TRUE(popup.Create(options, nullptr));
    HWND window = popup.Handle();
    const auto ex_style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    constexpr DWORD kLayered = WS_EX_LAYERED | WS_EX_TRANSPARENT;
    EXPECT_EQ(ex_style & kLayered, row.layered ? kLayered : 0u);
    EXPECT_EQ(ex_style & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE),
              static_cast<DWORD>(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE));
    EXPECT_EQ(ex_style & row.extra, row.extra);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE | WS_CAPTION), static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(::GetWindow(window, GW_OWNER), row.owner);
    EXPECT_TRUE(HasWindowClass(window, kPopupClass));
    EXPECT_FALSE(HasWindowClass(owner.Get(), kPopupClass));
    RECT r{};
    ::GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom, 60);
  }
}

TEST(ClickThroughPopup, LetsTheMouseThroughAndHandsTheRestToItsHandler) {
  std::vector<UINT> heard;
  ClickThroughPopup popup;
  PopupOptions options;
  options.class_name = kPopupClass;
  ASSERT_TRUE(popup.Create(options, [&heard](UINT message, WPARAM, LPARAM, LRESULT& result) {
    heard.push_back(message);
    result = 5;
    return message == kProbe;
  }));
  HWND window = popup.Handle();
  EXPECT_EQ(::SendMessageW(window, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
  EXPECT_EQ(::SendMessageW(window, WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
  EXPECT_EQ(::SendMessageW(window, kProbe, 0, 0), 5);
  EXPECT_EQ(heard, (std::vector<UINT>{kProbe}));

  // The handler hears nothing of the destruction the object asked for.
  heard.clear();
  popup.Reset();
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_TRUE(heard.empty());
}

TEST(ClickThroughPopup, GoesWithItsOwnerAndWithAHolderFreedInsideItsOwnMessage) {
  std::vector<UINT> heard;
  ClickThroughPopup popup;
  {
    const TestWindow owner;
    PopupOptions options;
    options.class_name = kPopupClass;
    options.owner = owner.Get();
    ASSERT_TRUE(popup.Create(options, [&heard](UINT message, WPARAM, LPARAM, LRESULT&) {
      heard.push_back(message);
      return false;
    }));
  }
  EXPECT_EQ(popup.Handle(), nullptr);
  EXPECT_FALSE(heard.empty());
  EXPECT_EQ(heard.back(), static_cast<UINT>(WM_NCDESTROY));

  // A holder that frees itself when told to, as a window released after the current message.
  struct Holder {
    ClickThroughPopup popup;
  };
  auto* holder = new Holder;
  PopupOptions options;
  options.class_name = kPopupClass;
  ASSERT_TRUE(holder->popup.Create(options, [holder](UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message != kProbe)
      return false;
    delete holder;
    return true;
  }));
  HWND window = holder->popup.Handle();
  ASSERT_TRUE(::PostMessageW(window, kProbe, 0, 0));
  test::PumpMessages();
  EXPECT_FALSE(::IsWindow(window));
}

}  // namespace
}  // namespace kestrune::platform
