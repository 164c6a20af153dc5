#include "app/std_image_list_win.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/gdi_win.h"
#include "skin/pixels/bitmap_win.h"

namespace kestrune {

namespace {

// The pixels of a GDI bitmap as 32-bit rows, top row first; empty when GDI refuses.
std::vector<std::uint32_t> ReadPixels(HBITMAP bitmap, int width, int height) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) *
                                    static_cast<std::size_t>(height));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const platform::WindowDc screen(nullptr);
  const int lines = ::GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                &info, DIB_RGB_COLORS);
  if (lines != height)
    pixels.clear();
  return pixels;
}

class SystemImageList final : public StdImageList {
 public:
  SystemImageList(int width, int height, bool masked)
      : list_(::ImageList_Create(width, height, ILC_COLOR32 | (masked ? ILC_MASK : 0u), 0, 4)),
        width_(width),
        height_(height) {
    if (list_.Get() == nullptr)
      throw Error("Cannot create an image list of " + std::to_string(width) + " x " +
                  std::to_string(height) + " pixels");
  }

  [[nodiscard]] HIMAGELIST Handle() const { return list_.Get(); }

  int Count() const override { return ::ImageList_GetImageCount(list_.Get()); }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void Clear() override { ::ImageList_RemoveAll(list_.Get()); }

  int AddIcon(skin::Bitmap& picture, int index) override {
    const platform::UniqueIcon icon = skin::MakeIcon32(picture);
    if (icon.Get() == nullptr)
      return -1;
    return ::ImageList_ReplaceIcon(list_.Get(), index >= 0 && index < Count() ? index : -1,
                                   icon.Get());
  }

  void Remove(int index) override {
    if (index >= 0 && index < Count())
      ::ImageList_Remove(list_.Get(), index);
  }

  void Move(int from, int to) override {
    if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to)
      return;
    // Rewrites the icons between the two places; swapping with ImageList_Copy loses the alpha
    // of the swapped images under Wine.
    const int low = std::min(from, to);
    const int high = std::max(from, to);
    std::vector<skin::Bitmap> icons(static_cast<std::size_t>(high - low + 1));
    for (int i = low; i <= high; ++i) {
      if (!GetIconBitmap(i, icons[static_cast<std::size_t>(i - low)]))
        return;
    }
    if (from < to)
      std::rotate(icons.begin(), icons.begin() + 1, icons.end());
    else
      std::rotate(icons.rbegin(), icons.rbegin() + 1, icons.rend());
    for (int i = low; i <= high; ++i)
      AddIcon(icons[static_cast<std::size_t>(i - low)], i);
  }

  bool GetIconBitmap(int index, skin::Bitmap& target) const override {
    if (index < 0 || index >= Count())
      return false;
    const platform::UniqueIcon icon(::ImageList_GetIcon(list_.Get(), index, ILD_NORMAL));
    ICONINFO info{};
    if (icon.Get() == nullptr || !::GetIconInfo(icon.Get(), &info))
      return false;
    const platform::UniqueBitmap colour(info.hbmColor);
    const platform::UniqueBitmap mask(info.hbmMask);
    if (target.Width() != width_ || target.Height() != height_)
      target = skin::CreateBmp32(width_, height_);
    if (target.Empty() || colour.Get() == nullptr)
      return false;
    const std::vector<std::uint32_t> pixels = ReadPixels(colour.Get(), width_, height_);
    if (pixels.empty())
      return false;
    const bool has_alpha =
        std::any_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return (p >> 24) != 0; });
    std::vector<std::uint32_t> mask_pixels;
    if (!has_alpha && mask.Get() != nullptr)
      mask_pixels = ReadPixels(mask.Get(), width_, height_);
    for (int y = 0; y < height_; ++y) {
      std::uint32_t* row = target.Row32(y);
      for (int x = 0; x < width_; ++x) {
        const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                               static_cast<std::size_t>(x);
        std::uint32_t pixel = pixels[at];
        if (!mask_pixels.empty())
          pixel = (pixel & 0x00FFFFFFu) | ((255u - (mask_pixels[at] & 0xFFu)) << 24);
        row[x] = pixel;
      }
    }
    return true;
  }

 private:
  platform::UniqueImageList list_;
  int width_;
  int height_;
};

}  // namespace

std::unique_ptr<StdImageList> CreateStdImageList(int width, int height, bool masked) {
  return std::make_unique<SystemImageList>(width, height, masked);
}

HIMAGELIST StdImageListHandle(const StdImageList& list) {
  return static_cast<const SystemImageList&>(list).Handle();
}

}  // namespace kestrune
