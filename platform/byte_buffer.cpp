#include "platform/byte_buffer.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace kestrune::platform {
namespace {

char* Allocate(std::size_t& capacity) {
#ifdef __linux__
  if (capacity >= kLargePageBytes) {
    capacity = (capacity + kLargePageBytes - 1) / kLargePageBytes * kLargePageBytes;
    void* memory = std::aligned_alloc(kLargePageBytes, capacity);
    if (memory == nullptr)
      throw std::bad_alloc();
    // Only advice: where the system has no large pages to give, small ones serve.
    ::madvise(memory, capacity, MADV_HUGEPAGE);
    return static_cast<char*>(memory);
  }
#endif
  void* memory = std::malloc(capacity == 0 ? 1 : capacity);
  if (memory == nullptr)
    throw std::bad_alloc();
  return static_cast<char*>(memory);
}

}  // namespace

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
  if (this != &other) {
    std::free(data_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

ByteBuffer::~ByteBuffer() {
  std::free(data_);
}

void ByteBuffer::Reserve(std::size_t capacity) {
  if (capacity <= capacity_)
    return;
  char* bytes = Allocate(capacity);
  if (size_ > 0)
    std::memcpy(bytes, data_, size_);
  std::free(data_);
  data_ = bytes;
  capacity_ = capacity;
}

}  // namespace kestrune::platform
