#include "skin/paint/bg_paint_win.h"

#include <algorithm>
#include <vector>

#include "skin/data/skin_manager.h"
#include "skin/paint/bg_info.h"
#include "skin/paint/skin_owner_win.h"
#include "skin/pixels/bitmap_win.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

TRect ToTRect(const RECT& r) {
  return TRect{r.left, r.top, r.right, r.bottom};
}

RECT Moved(RECT r, int dx, int dy) {
  ::OffsetRect(&r, dx, dy);
  return r;
}

bool Intersects(const RECT& a, const RECT& b) {
  RECT overlap{};
  return ::IntersectRect(&overlap, &a, &b) != FALSE;
}

// The owner object of a container: its skin's, or a plain adapter kept by the caller.
TacSkinOwner& OwnerOf(platform::WinControl& control, std::unique_ptr<WinSkinOwner>& plain) {
  if (auto* owner = static_cast<WinSkinOwner*>(control.SkinOwner()))
    return *owner;
  plain = std::make_unique<WinSkinOwner>(control);
  return *plain;
}

void CopyCacheExcluding(const std::vector<RECT>& excluded, TsCommonData& data, RECT src, RECT dst,
                        HDC dst_dc) {
  if (!data.FCacheBmp || data.FCacheBmp->Empty() || dst_dc == nullptr)
    return;
  HDC cache_dc = BitmapDC(*data.FCacheBmp);
  if (cache_dc == nullptr)
    return;
  const int saved = ::SaveDC(dst_dc);
  ::IntersectClipRect(dst_dc, dst.left, dst.top, dst.right, dst.bottom);
  for (const RECT& r : excluded)
    ::ExcludeClipRect(dst_dc, r.left, r.top, r.right, r.bottom);
  ::BitBlt(dst_dc, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, cache_dc,
           src.left, src.top, SRCCOPY);
  ::RestoreDC(dst_dc, saved);
}

}  // namespace

void CopyBitmapToDC(TacDC dc, const Bitmap& bmp, TRect src, TPoint dst) {
  auto* target = static_cast<HDC>(dc);
  HDC source = BitmapDC(bmp);
  if (target == nullptr || source == nullptr || src.IsEmpty())
    return;
  ::BitBlt(target, dst.X, dst.Y, src.Width(), src.Height(), source, src.Left, src.Top, SRCCOPY);
}

void CopyDCToBitmap(TacDC dc, TPoint src, Bitmap& bmp) {
  auto* source = static_cast<HDC>(dc);
  HDC target = BitmapDC(bmp);
  if (source == nullptr || target == nullptr || bmp.Empty())
    return;
  ::BitBlt(target, 0, 0, bmp.Width(), bmp.Height(), source, src.X, src.Y, SRCCOPY);
}

void PaintControls(HDC dc, platform::WinControl& owner, bool change_cache, POINT offset,
                   bool check_visible) {
  // One paint of graphic children at a time: a child that makes its container paint again
  // must not start a second pass over the same children.
  static bool running = false;
  if (running || dc == nullptr)
    return;
  if (change_cache && !owner.Visible())
    return;
  struct Guard {
    explicit Guard(bool& flag) : flag_(flag) { flag_ = true; }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
    ~Guard() { flag_ = false; }
    bool& flag_;
  } guard(running);

  std::unique_ptr<WinSkinOwner> plain;
  TacSkinOwner& container = OwnerOf(owner, plain);
  RECT clip{};
  if (::GetClipBox(dc, &clip) == NULLREGION) {
    container.Send(SM_ALPHACMD, MakeCommandParam(AC_SETHALFVISIBLE), 0);
    return;
  }
  std::vector<platform::GraphicControl*> children;
  for (platform::Control* child : owner.Children()) {
    auto* graphic = dynamic_cast<platform::GraphicControl*>(child);
    if (graphic == nullptr || !graphic->Visible() || graphic->Destroying())
      continue;
    const RECT& area = graphic->Area();
    if (area.right <= area.left || area.bottom <= area.top)
      continue;
    if (check_visible && !Intersects(Moved(area, offset.x, offset.y), clip))
      continue;
    children.push_back(graphic);
  }
  if (children.empty())
    return;

  TacBGInfo info;
  GetBGInfo(info, &container, false);
  TCacheInfo ci = BGInfoToCI(info);
  const bool known = info.BgType == btCache || (info.BgType == btFill && ci.FillColor != clFuchsia);
  if (!known) {
    // Without a background the memory picture would hold the key colour and every child would
    // be dropped; the children paint straight onto the target instead.
    for (platform::GraphicControl* child : children)
      child->PaintAt(dc, POINT{child->Area().left + offset.x, child->Area().top + offset.y});
    return;
  }
  const RECT bounds = owner.BoundsRect();
  Bitmap memory = CreateBmp32(bounds.right - bounds.left, bounds.bottom - bounds.top);
  HDC memory_dc = BitmapDC(memory);
  if (memory_dc == nullptr)
    return;
  for (platform::GraphicControl* child : children) {
    const TRect area = ToTRect(child->Area());
    TCacheInfo under = ci;
    under.X += area.Left;
    under.Y += area.Top;
    PaintParentBG(memory, area, under);
    child->PaintAt(memory_dc, POINT{area.Left, area.Top});
  }
  ::GdiFlush();
  for (platform::GraphicControl* child : children) {
    const RECT& area = child->Area();
    if (area.left < 0 || area.top < 0 || area.left >= memory.Width() || area.top >= memory.Height())
      continue;
    if ((memory.Row32(area.top)[area.left] & 0xFFFFFFu) == 0xFF00FFu)
      continue;
    ::BitBlt(dc, area.left + offset.x, area.top + offset.y, area.right - area.left,
             area.bottom - area.top, memory_dc, area.left, area.top, SRCCOPY);
  }
}

void CopyWinControlCache(platform::WinControl& control, TsCommonData& data, RECT src, RECT dst,
                         HDC dst_dc, bool /*update_corners*/, int offset_x, int offset_y) {
  const TsSkinManager* manager = data.GetSkinManager();
  const bool graphic_transparent = manager != nullptr && manager->Options.StdImgTransparency;
  std::vector<RECT> excluded;
  for (platform::Control* child : control.Children()) {
    if (!child->Visible())
      continue;
    const RECT bounds = Moved(child->BoundsRect(), offset_x, offset_y);
    if (!Intersects(bounds, dst))
      continue;
    auto* windowed = dynamic_cast<platform::WinControl*>(child);
    if (windowed != nullptr || !graphic_transparent)
      excluded.push_back(bounds);
  }
  CopyCacheExcluding(excluded, data, src, dst, dst_dc);
}

void CopyHwndCache(HWND handle, TsCommonData& data, RECT src, RECT dst, HDC dst_dc,
                   bool /*update_corners*/, int offset_x, int offset_y) {
  std::vector<RECT> excluded;
  for (HWND child = ::GetWindow(handle, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(child))
      continue;
    RECT bounds{};
    ::GetWindowRect(child, &bounds);
    ::MapWindowPoints(HWND_DESKTOP, handle, reinterpret_cast<POINT*>(&bounds), 2);
    bounds = Moved(bounds, offset_x, offset_y);
    if (!Intersects(bounds, dst))
      continue;
    // A skinned child that says it lets its parent show through stays painted over.
    if (GetCommonData(child) != nullptr &&
        ::SendMessageW(child, SM_ALPHACMD, AC_ISOPAQUE_HI, 0) == 0)
      continue;
    excluded.push_back(bounds);
  }
  CopyCacheExcluding(excluded, data, src, dst, dst_dc);
}

void BitBltBorder(HDC dest_dc, int x, int y, int width, int height, HDC src_dc, int x_src,
                  int y_src, int width_left, int width_top, int width_right, int width_bottom) {
  width_left = std::max(width_left, 0);
  if (width_bottom < 0) {
    width_bottom = width_left;
    if (width_top < 0)
      width_top = width_left;
    if (width_right < 0)
      width_right = width_left;
  }
  width_top = std::max(width_top, 0);
  width_right = std::max(width_right, 0);
  // Left strip, full height.
  ::BitBlt(dest_dc, x, y, width_left, height, src_dc, x_src, y_src, SRCCOPY);
  // Top strip, from the left strip to the right edge.
  ::BitBlt(dest_dc, x + width_left, y, width - width_left, width_top, src_dc, x_src + width_left,
           y_src, SRCCOPY);
  // Right strip, below the top strip.
  ::BitBlt(dest_dc, x + width - width_right, y + width_top, width_right, height - width_top, src_dc,
           x_src + width - width_right, y_src + width_top, SRCCOPY);
  // Bottom strip, from the left strip to the right edge.
  ::BitBlt(dest_dc, x + width_left, y + height - width_bottom, width - width_left, width_bottom,
           src_dc, x_src + width_left, y_src + height - width_bottom, SRCCOPY);
}

}  // namespace kestrune::skin
