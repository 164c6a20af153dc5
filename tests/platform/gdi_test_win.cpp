// The handle wrappers under the real GDI: what they own is released, what they select is put
// back, and optional entry points bind by name or come back empty.

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "platform/gdi_win.h"

namespace kestrune::platform {
namespace {

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

}  // namespace
}  // namespace kestrune::platform
