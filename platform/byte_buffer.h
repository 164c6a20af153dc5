#pragma once
// A growable run of bytes that are written before they are read: growing it does not clear the
// new bytes, and a large buffer asks the system for large pages where it offers them, so that
// filling it takes a page fault per 2 MiB rather than one per 4 KiB.

#include <cstddef>
#include <memory>

namespace kestrune::platform {

// The size of a large page: a buffer of at least this size is aligned to it and offered for large
// pages (on Linux, where the system has them to give).
inline constexpr std::size_t kLargePageBytes = std::size_t{2} << 20;

class ByteBuffer {
 public:
  ByteBuffer() = default;
  // Room for `capacity` bytes; size 0.
  explicit ByteBuffer(std::size_t capacity) { Reserve(capacity); }
  ByteBuffer(ByteBuffer&& other) noexcept;
  ByteBuffer& operator=(ByteBuffer&& other) noexcept;
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;
  ~ByteBuffer();

  [[nodiscard]] char* data() { return data_; }
  [[nodiscard]] const char* data() const { return data_; }
  [[nodiscard]] std::size_t size() const { return size_; }
  [[nodiscard]] std::size_t capacity() const { return capacity_; }

  // Makes room for `capacity` bytes, keeping the first size() bytes. Throws std::bad_alloc.
  void Reserve(std::size_t capacity);
  // Sets the size, growing the room when needed; bytes beyond the old size are left as they are.
  void Resize(std::size_t size) {
    if (size > capacity_)
      Reserve(size);
    size_ = size;
  }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace kestrune::platform
