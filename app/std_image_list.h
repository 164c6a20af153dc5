#pragma once
// The platform's own image list: icons of one size, for consumers that only know the system's
// image lists. On Windows it is a real ImageList_* list (std_image_list_win.h reaches its
// handle); the native build keeps the icons' pixels in memory so the list's logic runs in tests.

#include <memory>

#include "skin/pixels/bitmap.h"

namespace kestrune {

class StdImageList {
 public:
  virtual ~StdImageList() = default;

  [[nodiscard]] virtual int Count() const = 0;
  [[nodiscard]] virtual int Width() const = 0;
  [[nodiscard]] virtual int Height() const = 0;
  virtual void Clear() = 0;
  // Makes an alpha icon of `picture` (32-bit, the list's size) and appends it, or replaces the
  // icon at `index`. Returns the icon's index, or -1 when the platform refused it.
  virtual int AddIcon(skin::Bitmap& picture, int index = -1) = 0;
  virtual void Remove(int index) = 0;
  virtual void Move(int from, int to) = 0;
  // Copies icon `index`'s colour pixels into `target` (made the list's size); where the icon has
  // a mask and no alpha, alpha = 255 - mask. False for an invalid index.
  virtual bool GetIconBitmap(int index, skin::Bitmap& target) const = 0;
};

// Throws kestrune::Error when the platform cannot make the list.
[[nodiscard]] std::unique_ptr<StdImageList> CreateStdImageList(int width, int height, bool masked);

}  // namespace kestrune
