// libpng side of DecodePng. libpng reports errors by longjmp, so every call into it happens in
// the small functions below whose frames hold nothing with a destructor; the C++ side turns the
// recorded message into an Error afterwards.

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>

#include "platform/error.h"
#include "skin/pixels/png_decode.h"

namespace kestrune {

namespace {

struct ReadContext {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t position = 0;
  char message[200] = {};
};

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  auto* context = static_cast<ReadContext*>(png_get_error_ptr(png));
  std::strncpy(context->message, message, sizeof context->message - 1);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp png, png_bytep out, png_size_t length) {
  auto* context = static_cast<ReadContext*>(png_get_io_ptr(png));
  if (context->size - context->position < length)
    png_error(png, "the data ends early");
  std::memcpy(out, context->data + context->position, length);
  context->position += length;
}

// Owns the read and info structures.
class PngReader {
 public:
  explicit PngReader(ReadContext& context)
      : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, OnError, OnWarning)),
        info_(png_ != nullptr ? png_create_info_struct(png_) : nullptr) {
    if (png_ == nullptr || info_ == nullptr)
      throw Error("Invalid PNG image: the decoder could not start");
    png_set_read_fn(png_, &context, OnRead);
    png_set_user_limits(png_, static_cast<png_uint_32>(kMaxPngSide),
                        static_cast<png_uint_32>(kMaxPngSide));
    // Text and other ancillary chunks are not needed; bound what they may allocate.
    png_set_chunk_malloc_max(png_, 1u << 20);
  }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;
  ~PngReader() { png_destroy_read_struct(&png_, &info_, nullptr); }

  [[nodiscard]] png_structp Png() const { return png_; }
  [[nodiscard]] png_infop Info() const { return info_; }

 private:
  png_structp png_;
  png_infop info_;
};

// Reads the header and sets up the conversion to 8-bit B, G, R, A. False on a libpng error.
bool ReadHeader(png_structp png, png_infop info, png_uint_32& width, png_uint_32& height,
                std::size_t& row_bytes) {
  if (setjmp(png_jmpbuf(png)))
    return false;
  png_read_info(png, info);
  width = png_get_image_width(png, info);
  height = png_get_image_height(png, info);
  const int color_type = png_get_color_type(png, info);
  if (png_get_bit_depth(png, info) == 16)
    png_set_strip_16(png);
  if (color_type == PNG_COLOR_TYPE_PALETTE)
    png_set_palette_to_rgb(png);
  if (color_type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8)
    png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS) != 0)
    png_set_tRNS_to_alpha(png);
  if (color_type == PNG_COLOR_TYPE_GRAY || color_type == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  row_bytes = png_get_rowbytes(png, info);
  return true;
}

bool ReadPixels(png_structp png, png_infop info, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png)))
    return false;
  png_read_image(png, rows);
  png_read_end(png, info);
  return true;
}

}  // namespace

DecodedPng DecodePng(std::span<const std::uint8_t> bytes) {
  const PngSize size = CheckPngHeader(bytes);
  ReadContext context;
  context.data = bytes.data();
  context.size = bytes.size();
  PngReader reader(context);
  auto fail = [&context]() -> Error {
    return Error(std::string("Invalid PNG image: ") + context.message);
  };

  png_uint_32 width = 0;
  png_uint_32 height = 0;
  std::size_t row_bytes = 0;
  if (!ReadHeader(reader.Png(), reader.Info(), width, height, row_bytes))
    throw fail();
  if (width != static_cast<png_uint_32>(size.width) ||
      height != static_cast<png_uint_32>(size.height) || row_bytes != width * 4u)
    throw Error("Invalid PNG image: unexpected pixel layout");

  DecodedPng result;
  result.width = size.width;
  result.height = size.height;
  result.bgra.resize(row_bytes * height);
  std::vector<png_bytep> rows(height);
  for (png_uint_32 y = 0; y < height; ++y)
    rows[y] = result.bgra.data() + row_bytes * y;
  if (!ReadPixels(reader.Png(), reader.Info(), rows.data()))
    throw fail();
  return result;
}

}  // namespace kestrune
