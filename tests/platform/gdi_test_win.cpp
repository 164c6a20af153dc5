// The handle wrappers under the real GDI: what they own is released, what they select is put
// back, and optional entry points bind by name or come back empty.

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "platform/gdi_win.h"

namespace kestrune::platform {
namespace {

// A hidden window of this thread, destroyed at the end of scope.
class HiddenWindow {
 public:
  HiddenWindow()
      : window_(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr)) {}
  HiddenWindow(const HiddenWindow&) = delete;
  HiddenWindow& operator=(const HiddenWindow&) = delete;
  ~HiddenWindow() { ::DestroyWindow(window_); }
  [[nodiscard]] HWND Get() const { return window_; }

 private:
  HWND window_;
};

TEST(BindProc, FindsPresentEntryPointsAndNothingElse) {
  using GetTickCountProc = DWORD(WINAPI*)();
  const auto tick = BindProc<GetTickCountProc>(L"kernel32.dll", "GetTickCount");
  ASSERT_NE(tick, nullptr);
  EXPECT_GT(tick(), 0u);
  // A library that is not loaded yet is loaded on demand.
  EXPECT_NE(BindProc<void*>(L"msimg32.dll", "GradientFill"), nullptr);

  EXPECT_EQ(BindProc<GetTickCountProc>(L"kernel32.dll", "NoSuchEntryPoint"), nullptr);
  EXPECT_EQ(BindProc<GetTickCountProc>(L"no-such-library.dll", "GetTickCount"), nullptr);
}

TEST(UniqueGdiObject, ReleasesOnceWhetherResetMovedOrDestroyed) {
  const HBRUSH first = ::CreateSolidBrush(RGB(1, 2, 3));
  const HBRUSH second = ::CreateSolidBrush(RGB(4, 5, 6));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  {
    UniqueBrush owner(first);
    UniqueBrush other(std::move(owner));
    EXPECT_EQ(owner.Get(), nullptr);
    EXPECT_EQ(other.Get(), first);
    EXPECT_EQ(::GetObjectType(first), static_cast<DWORD>(OBJ_BRUSH));

    other.Reset(second);  // lets the first go at once
    EXPECT_EQ(::GetObjectType(first), 0u);
    owner = std::move(other);
    EXPECT_EQ(owner.Get(), second);
    EXPECT_EQ(::GetObjectType(second), static_cast<DWORD>(OBJ_BRUSH));
  }
  EXPECT_EQ(::GetObjectType(second), 0u);
}

TEST(UniqueGdiObject, ReleaseHandsTheHandleOverWithoutFreeingIt) {
  HBRUSH brush = nullptr;
  {
    UniqueBrush owner(::CreateSolidBrush(RGB(1, 2, 3)));
    brush = owner.Release();
    EXPECT_EQ(owner.Get(), nullptr);
  }
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(::GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
  ::DeleteObject(brush);
}

TEST(SetWindowRegion, TheWindowTakesTheRegionARefusedOneIsFreedAndNoneChangesNothing) {
  const HiddenWindow window;
  ASSERT_NE(window.Get(), nullptr);
  UniqueRegion region(::CreateRectRgn(0, 0, 20, 10));
  const HRGN given = region.Get();
  EXPECT_TRUE(SetWindowRegion(window.Get(), std::move(region), false));
  RECT box{};
  const UniqueRegion copy = WindowRegionOf(window.Get());
  ASSERT_NE(copy.Get(), nullptr);
  EXPECT_NE(copy.Get(), given);
  ::GetRgnBox(copy.Get(), &box);
  EXPECT_EQ(box.right, 20);
  EXPECT_EQ(box.bottom, 10);

  // No region leaves the window's as it was.
  EXPECT_FALSE(SetWindowRegion(window.Get(), UniqueRegion(), false));
  EXPECT_NE(WindowRegionOf(window.Get()).Get(), nullptr);

  // A window that is gone refuses, and the region does not outlive the call.
  HWND gone = nullptr;
  {
    const HiddenWindow other;
    gone = other.Get();
  }
  UniqueRegion refused(::CreateRectRgn(0, 0, 5, 5));
  const HRGN refused_handle = refused.Get();
  EXPECT_FALSE(SetWindowRegion(gone, std::move(refused), false));
  EXPECT_EQ(::GetObjectType(refused_handle), 0u);

  const HiddenWindow plain;
  EXPECT_EQ(WindowRegionOf(plain.Get()).Get(), nullptr);
}

TEST(DibSection, TopDownRowsAreWhatGdiDrawsIntoTheSelectingDc) {
  const MemoryDc dc;
  const DibSection dib = DibSection::TopDown32(3, 2);
  ASSERT_NE(dc.Get(), nullptr);
  ASSERT_NE(dib.Bits(), nullptr);
  const HGDIOBJ before = ::GetCurrentObject(dc.Get(), OBJ_BITMAP);
  {
    const SelectedObject selected(dc.Get(), dib.Get());
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BITMAP), dib.Get());
    const RECT bottom_right{2, 1, 3, 2};
    const UniqueBrush red(::CreateSolidBrush(RGB(255, 0, 0)));
    ::FillRect(dc.Get(), &bottom_right, red.Get());
    ::GdiFlush();
  }
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BITMAP), before);

  const auto* pixels = static_cast<const std::uint32_t*>(dib.Bits());
  EXPECT_EQ(pixels[0] & 0xFFFFFFu, 0u);
  EXPECT_EQ(pixels[1 * 3 + 2] & 0xFFFFFFu, 0xFF0000u);

  // GDI refuses a section of no pixels; the wrapper says so instead of handing out memory.
  const DibSection none = DibSection::TopDown32(0, 0);
  EXPECT_EQ(none.Get(), nullptr);
  EXPECT_EQ(none.Bits(), nullptr);
}

TEST(Regions, RectangleLessRectanglesBecomesTheWindowsRegion) {
  const RECT cuts[] = {{0, 0, 2, 2}, {8, 8, 10, 10}};
  UniqueRegion region = RectMinusRects(RECT{0, 0, 10, 10}, cuts);
  ASSERT_NE(region.Get(), nullptr);
  struct Point {
    int x, y;
    bool inside;
  };
  const Point points[] = {{0, 0, false}, {1, 1, false}, {2, 2, true}, {5, 5, true},
                          {9, 9, false}, {9, 0, true},  {0, 9, true}, {10, 5, false}};
  for (const Point& p : points) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(::PtInRegion(region.Get(), p.x, p.y) != FALSE, p.inside);
  }

  HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(SetWindowRegion(window, std::move(region), false));
  const UniqueRegion shown(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(::GetWindowRgn(window, shown.Get()), ERROR);
  EXPECT_FALSE(::PtInRegion(shown.Get(), 1, 1));
  EXPECT_TRUE(::PtInRegion(shown.Get(), 5, 5));

  // No region, or one the system refuses, leaves the window's own; the refused one is freed.
  EXPECT_FALSE(SetWindowRegion(window, UniqueRegion(), false));
  UniqueRegion refused(::CreateRectRgn(0, 0, 4, 4));
  const HRGN refused_handle = refused.Get();
  EXPECT_FALSE(SetWindowRegion(nullptr, std::move(refused), false));
  EXPECT_EQ(::GetObjectType(refused_handle), 0u);
  ASSERT_NE(::GetWindowRgn(window, shown.Get()), ERROR);
  EXPECT_TRUE(::PtInRegion(shown.Get(), 5, 5));
  ::DestroyWindow(window);
}

}  // namespace
}  // namespace kestrune::platform
