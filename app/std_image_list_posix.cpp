// The native stand-in for the system image list: the icons' pixels, kept as they were added.

#include <algorithm>
#include <vector>

#include "app/std_image_list.h"

namespace kestrune {

namespace {

class MemoryImageList final : public StdImageList {
 public:
  MemoryImageList(int width, int height) : width_(width), height_(height) {}

  int Count() const override { return static_cast<int>(icons_.size()); }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void Clear() override { icons_.clear(); }

  int AddIcon(skin::Bitmap& picture, int index) override {
    if (picture.Width() != width_ || picture.Height() != height_)
      return -1;
    skin::Bitmap copy = skin::CreateBmp32(width_, height_);
    for (int y = 0; y < height_; ++y)
      std::copy_n(picture.Row32(y), width_, copy.Row32(y));
    if (index >= 0 && index < Count()) {
      icons_[static_cast<std::size_t>(index)] = std::move(copy);
      return index;
    }
    icons_.push_back(std::move(copy));
    return Count() - 1;
  }

  void Remove(int index) override {
    if (index >= 0 && index < Count())
      icons_.erase(icons_.begin() + index);
  }

  void Move(int from, int to) override {
    if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to)
      return;
    skin::Bitmap moving = std::move(icons_[static_cast<std::size_t>(from)]);
    icons_.erase(icons_.begin() + from);
    icons_.insert(icons_.begin() + to, std::move(moving));
  }

  bool GetIconBitmap(int index, skin::Bitmap& target) const override {
    if (index < 0 || index >= Count())
      return false;
    if (target.Width() != width_ || target.Height() != height_)
      target = skin::CreateBmp32(width_, height_);
    const skin::Bitmap& icon = icons_[static_cast<std::size_t>(index)];
    for (int y = 0; y < height_; ++y)
      std::copy_n(icon.Row32(y), width_, target.Row32(y));
    return true;
  }

 private:
  int width_;
  int height_;
  std::vector<skin::Bitmap> icons_;
};

}  // namespace

std::unique_ptr<StdImageList> CreateStdImageList(int width, int height, bool /*masked*/) {
  return std::make_unique<MemoryImageList>(width, height);
}

}  // namespace kestrune
