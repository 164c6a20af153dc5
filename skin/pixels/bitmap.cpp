#include "skin/pixels/bitmap.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "platform/error.h"

namespace kestrune::skin {
namespace {

class HeapStorage : public BitmapStorage {
 public:
  explicit HeapStorage(std::size_t words) : words_(words) {}

  std::vector<std::uint32_t> words_;
};

}  // namespace

void CheckBitmapSize(int width, int height, TPixelFormat format) {
  // Far beyond any window of the program, small enough that row arithmetic cannot overflow.
  constexpr int kMaxSide = 32768;
  constexpr std::size_t kMaxBytes = std::size_t{1} << 30;
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide ||
      StorageStride(width, format) * static_cast<std::size_t>(height) > kMaxBytes)
    throw Error("Bitmap size " + std::to_string(width) + " x " + std::to_string(height) +
                " is too large");
}

std::size_t StorageStride(int width, TPixelFormat format) {
  const auto w = static_cast<std::size_t>(std::max(width, 0));
  return format == TPixelFormat::pf32bit ? w * 4 : (w + 3) / 4 * 4;
}

std::unique_ptr<BitmapStorage> AllocateHeapStorage(int width, int height, TPixelFormat format,
                                                   RowOrder order) {
  CheckBitmapSize(width, height, format);
  const std::size_t stride = StorageStride(width, format);
  const std::size_t bytes = stride * static_cast<std::size_t>(height);
  std::unique_ptr<HeapStorage> storage;
  try {
    storage = std::make_unique<HeapStorage>(bytes / 4);
  } catch (const std::bad_alloc&) {
    throw Error("Not enough memory for a bitmap of " + std::to_string(width) + " x " +
                std::to_string(height));
  }
  if (bytes == 0)
    return storage;
  auto* base = reinterpret_cast<std::uint8_t*>(storage->words_.data());
  const auto delta = static_cast<std::ptrdiff_t>(stride);
  if (order == RowOrder::TopDown || height == 1) {
    storage->first_row = base;
    storage->row_delta = height == 1 ? 0 : delta;
  } else {
    storage->first_row = base + delta * (height - 1);
    storage->row_delta = -delta;
  }
  return storage;
}

Bitmap::Bitmap(int width, int height, TPixelFormat format)
    : Bitmap(width, height, format, AllocateStorage(width, height, format)) {}

Bitmap::Bitmap(int width, int height, TPixelFormat format, std::unique_ptr<BitmapStorage> storage)
    : width_(width), height_(height), format_(format), storage_(std::move(storage)) {}

Bitmap Bitmap::OnHeap(int width, int height, TPixelFormat format, RowOrder order) {
  return Bitmap(width, height, format, AllocateHeapStorage(width, height, format, order));
}

void Bitmap::SetSize(int width, int height) {
  *this = Bitmap(width, height, format_);
}

void Bitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_)
    return;
  Bitmap converted(width_, height_, format);
  for (int y = 0; y < height_; ++y) {
    if (format == TPixelFormat::pf32bit) {
      const std::uint8_t* src = Row8(y);
      std::uint32_t* dst = converted.Row32(y);
      for (int x = 0; x < width_; ++x)
        dst[x] = std::uint32_t{src[x]} * 0x010101u;
    } else {
      const std::uint32_t* src = Row32(y);
      std::uint8_t* dst = converted.Row8(y);
      for (int x = 0; x < width_; ++x)
        dst[x] = static_cast<std::uint8_t>(src[x] >> 8);
    }
  }
  *this = std::move(converted);
}

Bitmap CreateBmp32(int width, int height) {
  try {
    return Bitmap(std::max(width, 0), std::max(height, 0));
  } catch (const Error&) {
    return Bitmap();
  }
}

Bitmap CreateBmp32(const TRect& r) {
  return CreateBmp32(r.Width(), r.Height());
}

Bitmap CreateBmp32(TSize size) {
  return CreateBmp32(size.cx, size.cy);
}

Bitmap CreateBmp32(const Bitmap& like) {
  return CreateBmp32(like.Width(), like.Height());
}

Bitmap CreateBmpLike(const Bitmap& bmp) {
  try {
    return Bitmap(bmp.Width(), bmp.Height(), bmp.PixelFormat());
  } catch (const Error&) {
    return Bitmap();
  }
}

void CheckBmp(std::unique_ptr<Bitmap>& bmp, const Bitmap& src) {
  if (!bmp) {
    bmp = std::make_unique<Bitmap>(CreateBmp32(src));
    return;
  }
  if (bmp->PixelFormat() != TPixelFormat::pf32bit || bmp->Width() != src.Width() ||
      bmp->Height() != src.Height())
    *bmp = CreateBmp32(src);
}

namespace {

template <class Bmp, class Row>
bool FirstLine(Bmp& bmp, Row*& s0, std::ptrdiff_t& delta) {
  if (bmp.Empty() || bmp.Storage() == nullptr || bmp.PixelFormat() != TPixelFormat::pf32bit)
    return false;
  s0 = bmp.Row32(0);
  delta = bmp.RowDelta() / 4;
  return true;
}

}  // namespace

bool InitLine(Bitmap& bmp, std::uint32_t*& s0, std::ptrdiff_t& delta) {
  return FirstLine(bmp, s0, delta);
}

bool InitLine(const Bitmap& bmp, const std::uint32_t*& s0, std::ptrdiff_t& delta) {
  return FirstLine(bmp, s0, delta);
}

bool ClipToBitmap(const Bitmap& bmp, TRect& r) {
  if (bmp.Empty() || bmp.Storage() == nullptr || bmp.PixelFormat() != TPixelFormat::pf32bit)
    return false;
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, bmp.Width());
  r.Bottom = std::min(r.Bottom, bmp.Height());
  return !r.IsEmpty();
}

void FillLongword(std::uint32_t* dest, std::ptrdiff_t count, std::uint32_t value) {
  if (count > 0)
    std::fill_n(dest, count, value);
}

}  // namespace kestrune::skin
