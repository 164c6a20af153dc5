#pragma once
// Owning wrappers for GDI objects, device contexts, icons and image lists, all move-only, and the
// run-time binding of optional system entry points. Include only from Windows sources; a target
// that uses a wrapper links the library it calls (gdi32, user32, comctl32).

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <span>
#include <utility>

namespace kestrune::platform {

// The entry point `name` of the system library `module` as a function pointer of type Proc;
// nullptr when the library or the entry point is missing, so that optional features degrade
// instead of keeping the program from starting. The library stays loaded for the process, as
// callers keep the pointer.
template <class Proc>
[[nodiscard]] Proc BindProc(const wchar_t* module, const char* name) {
  HMODULE handle = ::GetModuleHandleW(module);
  if (handle == nullptr)
    handle = ::LoadLibraryW(module);
  if (handle == nullptr)
    return nullptr;
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(::GetProcAddress(handle, name)));
}

// Owns one handle that Releaser{}(handle) gives back; the base of the wrappers below.
template <typename Handle, typename Releaser>
class UniqueResource {
 public:
  UniqueResource() = default;
  explicit UniqueResource(Handle handle) : handle_(handle) {}
  UniqueResource(UniqueResource&& other) noexcept
      : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other)
      Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { Reset(); }

  [[nodiscard]] Handle Get() const { return handle_; }
  // Hands the handle over to a new owner (the system, for a region given to a window) without
  // releasing it.
  [[nodiscard]] Handle Release() { return std::exchange(handle_, nullptr); }
  void Reset(Handle handle = nullptr) {
    if (handle_ != nullptr)
      Releaser{}(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
struct DeleteDeviceContext {
  void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct DestroyIconHandle {
  void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
struct DestroyImageList {
  void operator()(HIMAGELIST list) const { ::ImageList_Destroy(list); }
};

// A GDI object (font, brush, pen, bitmap) that DeleteObject releases.
template <typename Handle>
using UniqueGdiObject = UniqueResource<Handle, DeleteGdiObject>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueRegion = UniqueGdiObject<HRGN>;
// An icon or cursor made at run time (CreateIconIndirect, ImageList_GetIcon); not for shared
// icons loaded from resources.
using UniqueIcon = UniqueResource<HICON, DestroyIconHandle>;
// A system image list from ImageList_Create.
using UniqueImageList = UniqueResource<HIMAGELIST, DestroyImageList>;

// Takes every rectangle of `cuts` out of `region`; one GDI cannot make stays in.
inline void CutRects(HRGN region, std::span<const RECT> cuts) {
  for (const RECT& cut : cuts) {
    const UniqueRegion piece(::CreateRectRgnIndirect(&cut));
    if (piece.Get() != nullptr)
      ::CombineRgn(region, region, piece.Get(), RGN_DIFF);
  }
}

// The rectangle `whole` less every rectangle of `cuts`; Get() is nullptr when GDI refuses one.
[[nodiscard]] inline UniqueRegion RectMinusRects(const RECT& whole, std::span<const RECT> cuts) {
  UniqueRegion region(::CreateRectRgnIndirect(&whole));
  if (region.Get() != nullptr)
    CutRects(region.Get(), cuts);
  return region;
}

// Gives `region` to `window` as its window region; the system owns it from then on. False when
// the system refused, the region then freed and the window's region as it was; false and nothing
// done for no region, so that a region that could not be made does not take the window's away.
inline bool SetWindowRegion(HWND window, UniqueRegion region, bool redraw) {
  if (region.Get() == nullptr || ::SetWindowRgn(window, region.Get(), redraw ? TRUE : FALSE) == 0)
    return false;
  (void)region.Release();
  return true;
}

// A copy of `window`'s window region; empty when it has none.
[[nodiscard]] inline UniqueRegion WindowRegionOf(HWND window) {
  UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  if (region.Get() != nullptr && ::GetWindowRgn(window, region.Get()) == ERROR)
    region.Reset();
  return region;
}

// A memory device context compatible with `reference` (the screen when nullptr); Get() is
// nullptr when GDI refuses one.
class MemoryDc {
 public:
  explicit MemoryDc(HDC reference = nullptr) : dc_(::CreateCompatibleDC(reference)) {}
  [[nodiscard]] HDC Get() const { return dc_.Get(); }

 private:
  UniqueResource<HDC, DeleteDeviceContext> dc_;
};

// A DIB section and the pixel memory GDI gives it; Get() and Bits() are nullptr when GDI
// refuses one.
class DibSection {
 public:
  DibSection() = default;
  // `info` may carry a colour table after its header, as 8-bit sections need.
  explicit DibSection(const BITMAPINFO& info) {
    void* bits = nullptr;
    bitmap_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap_.Get() != nullptr)
      bits_ = bits;
  }
  DibSection(DibSection&& other) noexcept
      : bitmap_(std::move(other.bitmap_)), bits_(std::exchange(other.bits_, nullptr)) {}
  DibSection& operator=(DibSection&& other) noexcept {
    bitmap_ = std::move(other.bitmap_);
    bits_ = std::exchange(other.bits_, nullptr);
    return *this;
  }

  // A 32-bit section with the top row first: row y starts y * width pixels into Bits().
  [[nodiscard]] static DibSection TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return DibSection(info);
  }

  [[nodiscard]] HBITMAP Get() const { return bitmap_.Get(); }
  [[nodiscard]] void* Bits() const { return bits_; }

 private:
  UniqueBitmap bitmap_;
  void* bits_ = nullptr;
};

// Selects an object into a device context and puts the previous one back at the end of scope;
// does nothing when the selection failed.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object)
      : dc_(dc),
        previous_(dc != nullptr && object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_ != nullptr)
      ::SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A window's device context from GetDC (the screen's for nullptr), or with Area::Whole the whole
// window's, frame included (GetWindowDC); released at the end of scope. Get() is nullptr when the
// system refuses one.
class WindowDc {
 public:
  enum class Area { Client, Whole };
  explicit WindowDc(HWND window, Area area = Area::Client)
      : window_(window), dc_(area == Area::Whole ? ::GetWindowDC(window) : ::GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_ != nullptr)
      ::ReleaseDC(window_, dc_);
  }
  [[nodiscard]] HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The device context of a WM_PAINT (BeginPaint), ended with EndPaint at the end of scope. Get()
// is nullptr when the system gives none; the paint still ends.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { ::EndPaint(window_, &paint_); }
  [[nodiscard]] HDC Get() const { return dc_; }
  // The area to paint, client coordinates.
  [[nodiscard]] const RECT& Area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

}  // namespace kestrune::platform
