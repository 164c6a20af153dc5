#pragma once
// The painting bitmap: 32 bits per pixel (B, G, R, A in memory) or 8-bit grey for blur masks.
// Rows are reached through the first scan line and a row delta, which is negative for bottom-up
// storage. On Windows CreateBmp32 makes a DIB section with its own device context (see
// bitmap_win.h); elsewhere the pixels live on the heap.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

enum class TPixelFormat { pf8bit, pf32bit };
enum class RowOrder { TopDown, BottomUp };

// Owns the pixel memory of one bitmap; the platform side derives from it to add its handles.
class BitmapStorage {
 public:
  virtual ~BitmapStorage() = default;
  std::uint8_t* first_row = nullptr;
  std::ptrdiff_t row_delta = 0;  // bytes from one row to the next; 0 for a single row
};

class Bitmap {
 public:
  Bitmap() = default;
  // Throws kestrune::Error when the memory cannot be had or the size is absurd.
  Bitmap(int width, int height, TPixelFormat format = TPixelFormat::pf32bit);
  Bitmap(Bitmap&&) noexcept = default;
  Bitmap& operator=(Bitmap&&) noexcept = default;
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  ~Bitmap() = default;

  // Heap storage in the given row order whatever the platform; for tests and scratch bitmaps.
  [[nodiscard]] static Bitmap OnHeap(int width, int height, TPixelFormat format, RowOrder order);

  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }
  [[nodiscard]] TPixelFormat PixelFormat() const { return format_; }
  [[nodiscard]] bool Empty() const { return width_ <= 0 || height_ <= 0; }

  // Row y counted from the top; no bounds check. A const bitmap hands out read-only rows, so a
  // routine that takes one cannot write into it.
  [[nodiscard]] std::uint32_t* Row32(int y) { return reinterpret_cast<std::uint32_t*>(Row8(y)); }
  [[nodiscard]] const std::uint32_t* Row32(int y) const {
    return reinterpret_cast<const std::uint32_t*>(Row8(y));
  }
  [[nodiscard]] std::uint8_t* Row8(int y) { return storage_->first_row + storage_->row_delta * y; }
  [[nodiscard]] const std::uint8_t* Row8(int y) const {
    return storage_->first_row + storage_->row_delta * y;
  }
  [[nodiscard]] std::ptrdiff_t RowDelta() const { return storage_ ? storage_->row_delta : 0; }

  // New size, same format and row order of the platform; the contents become zero. Throws
  // kestrune::Error as the constructor.
  void SetSize(int width, int height);
  // Converts the contents: grey g becomes 0x00gggggg, and a 32-bit pixel its green byte.
  void SetPixelFormat(TPixelFormat format);

  [[nodiscard]] BitmapStorage* Storage() const { return storage_.get(); }

 private:
  Bitmap(int width, int height, TPixelFormat format, std::unique_ptr<BitmapStorage> storage);

  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = TPixelFormat::pf32bit;
  std::unique_ptr<BitmapStorage> storage_;
};

// Bytes per row of a bitmap, rounded up to whole 32-bit words as DIBs store them.
[[nodiscard]] std::size_t StorageStride(int width, TPixelFormat format);

// Throws kestrune::Error for negative or absurd sizes.
void CheckBitmapSize(int width, int height, TPixelFormat format);

// The platform's storage: a DIB section on Windows, heap memory elsewhere. Throws kestrune::Error.
[[nodiscard]] std::unique_ptr<BitmapStorage> AllocateStorage(int width, int height,
                                                             TPixelFormat format);
[[nodiscard]] std::unique_ptr<BitmapStorage> AllocateHeapStorage(int width, int height,
                                                                 TPixelFormat format,
                                                                 RowOrder order);

// Creation. Negative sizes give 0 x 0; a failure gives a 0 x 0 bitmap rather than an error.
[[nodiscard]] Bitmap CreateBmp32(int width, int height);
[[nodiscard]] Bitmap CreateBmp32(const TRect& r);
[[nodiscard]] Bitmap CreateBmp32(TSize size);
[[nodiscard]] Bitmap CreateBmp32(const Bitmap& like);
[[nodiscard]] Bitmap CreateBmpLike(const Bitmap& bmp);
// Makes bmp (created when null) the size of src, 32-bit.
void CheckBmp(std::unique_ptr<Bitmap>& bmp, const Bitmap& src);

// Clips an exclusive rectangle to a 32-bit bitmap; false when nothing is left or the bitmap is
// empty or not 32-bit.
[[nodiscard]] bool ClipToBitmap(const Bitmap& bmp, TRect& r);

// First scan line and row delta in pixels; false for an empty bitmap.
[[nodiscard]] bool InitLine(Bitmap& bmp, std::uint32_t*& s0, std::ptrdiff_t& delta);
[[nodiscard]] bool InitLine(const Bitmap& bmp, const std::uint32_t*& s0, std::ptrdiff_t& delta);

// Pixel access moves the 32 bits unchanged, in memory order; no bounds check.
[[nodiscard]] inline TsColor GetAPixel(const Bitmap& bmp, int x, int y) {
  return TsColor{bmp.Row32(y)[x]};
}
inline void SetAPixel(Bitmap& bmp, int x, int y, TsColor color) {
  bmp.Row32(y)[x] = color.C;
}
void FillLongword(std::uint32_t* dest, std::ptrdiff_t count, std::uint32_t value);

}  // namespace kestrune::skin
