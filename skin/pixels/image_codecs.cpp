#include "skin/pixels/image_codecs.h"

#include <zlib.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "skin/pixels/pixel_ops.h"
#include "skin/pixels/png_decode.h"

namespace kestrune {

namespace {

using skin::Bitmap;

// Little-endian reads with bounds, for the BMP and ICO headers.
class Reader {
 public:
  Reader(std::span<const std::uint8_t> bytes, const char* what) : bytes_(bytes), what_(what) {}

  [[nodiscard]] std::uint32_t U32(std::size_t at) const {
    Need(at, 4);
    return std::uint32_t{bytes_[at]} | std::uint32_t{bytes_[at + 1]} << 8 |
           std::uint32_t{bytes_[at + 2]} << 16 | std::uint32_t{bytes_[at + 3]} << 24;
  }
  [[nodiscard]] std::uint16_t U16(std::size_t at) const {
    Need(at, 2);
    return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
  }
  [[nodiscard]] std::int32_t I32(std::size_t at) const {
    return static_cast<std::int32_t>(U32(at));
  }
  void Need(std::size_t at, std::size_t length) const {
    if (at > bytes_.size() || bytes_.size() - at < length)
      Fail("the data ends early");
  }
  [[noreturn]] void Fail(const std::string& why) const {
    throw Error(std::string("Invalid ") + what_ + " image: " + why);
  }
  [[nodiscard]] std::span<const std::uint8_t> Bytes() const { return bytes_; }

 private:
  std::span<const std::uint8_t> bytes_;
  const char* what_;
};

Bitmap NewPicture(int width, int height, const char* what) {
  if (width <= 0 || height <= 0)
    throw Error(std::string("Invalid ") + what + " image: the picture has no pixels");
  if (width > kMaxPngSide || height > kMaxPngSide)
    throw Error(std::string(what) + " image too large: " + std::to_string(width) + " x " +
                std::to_string(height) + " pixels");
  Bitmap bmp = skin::CreateBmp32(width, height);
  if (bmp.Empty())
    throw Error(std::string("Not enough memory for a ") + what + " image");
  return bmp;
}

void PutU16(ByteBuffer& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(ByteBuffer& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFFu);
  PutU16(out, value >> 16);
}

// The device-independent bitmap that follows a BITMAPINFOHEADER at `at`. In an icon the height
// counts the mask too, and a 32-bit picture without any alpha takes its alpha from the mask.
Bitmap ReadDib(const Reader& in, std::size_t at, std::size_t pixels_at, bool in_icon,
               const char* what) {
  const std::uint32_t header_size = in.U32(at);
  if (header_size < 40)
    in.Fail("unsupported header");
  const std::int32_t width = in.I32(at + 4);
  std::int32_t height = in.I32(at + 8);
  const std::uint16_t bits = in.U16(at + 14);
  const std::uint32_t compression = in.U32(at + 16);
  if (in_icon)
    height /= 2;
  const bool top_down = height < 0;
  if (top_down && height == INT32_MIN)
    in.Fail("impossible height");
  const int rows = top_down ? -height : height;
  if (bits != 32 && bits != 24)
    in.Fail("only 24 and 32 bits per pixel are supported");
  // BI_RGB, or BI_BITFIELDS with the usual masks of 32-bit pictures.
  if (compression == 3) {
    if (bits != 32 || in.U32(at + 40) != 0x00FF0000u || in.U32(at + 44) != 0x0000FF00u ||
        in.U32(at + 48) != 0x000000FFu)
      in.Fail("unsupported colour masks");
  } else if (compression != 0) {
    in.Fail("compressed pictures are not supported");
  }
  Bitmap bmp = NewPicture(width, rows, what);
  const auto w = static_cast<std::size_t>(width);
  const std::size_t stride = (w * bits / 8 + 3) & ~std::size_t{3};
  in.Need(pixels_at, stride * static_cast<std::size_t>(rows));
  const auto bytes = in.Bytes();
  bool any_alpha = false;
  for (int y = 0; y < rows; ++y) {
    const std::size_t row =
        pixels_at + stride * static_cast<std::size_t>(top_down ? y : rows - 1 - y);
    std::uint32_t* out = bmp.Row32(y);
    for (std::size_t x = 0; x < w; ++x) {
      const std::uint8_t* p = bytes.data() + row + x * bits / 8;
      const std::uint32_t alpha = bits == 32 ? p[3] : 255u;
      any_alpha = any_alpha || (bits == 32 && alpha != 0);
      out[x] =
          std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | alpha << 24;
    }
  }
  if (in_icon && (bits == 24 || !any_alpha)) {
    const std::size_t mask_at = pixels_at + stride * static_cast<std::size_t>(rows);
    const std::size_t mask_stride = ((w + 31) / 32) * 4;
    in.Need(mask_at, mask_stride * static_cast<std::size_t>(rows));
    for (int y = 0; y < rows; ++y) {
      const std::size_t row =
          mask_at + mask_stride * static_cast<std::size_t>(top_down ? y : rows - 1 - y);
      std::uint32_t* out = bmp.Row32(y);
      for (std::size_t x = 0; x < w; ++x) {
        const bool masked = (bytes[row + x / 8] & (0x80u >> (x % 8))) != 0;
        out[x] = (out[x] & 0x00FFFFFFu) | (masked ? 0u : 0xFF000000u);
      }
    }
  } else if (!in_icon && bits == 24) {
    // Every pixel came out opaque; a picture without alpha keys out its bottom-left colour.
    for (int y = 0; y < rows; ++y) {
      std::uint32_t* out = bmp.Row32(y);
      for (int x = 0; x < width; ++x)
        out[x] &= 0x00FFFFFFu;
    }
    skin::CheckEmptyAChannel(bmp);
  }
  return bmp;
}

}  // namespace

Bitmap DecodePngPicture(std::span<const std::uint8_t> bytes) {
  const DecodedPng png = DecodePng(bytes);
  Bitmap bmp = NewPicture(png.width, png.height, "PNG");
  const auto row_bytes = static_cast<std::size_t>(png.width) * 4;
  for (int y = 0; y < png.height; ++y)
    std::copy_n(png.bgra.data() + row_bytes * static_cast<std::size_t>(y), row_bytes, bmp.Row8(y));
  return bmp;
}

Bitmap DecodeBmpPicture(std::span<const std::uint8_t> bytes) {
  const Reader in(bytes, "BMP");
  in.Need(0, 14);
  if (bytes[0] != 'B' || bytes[1] != 'M')
    in.Fail("no BMP signature");
  return ReadDib(in, 14, in.U32(10), false, "BMP");
}

Bitmap DecodeIcoPicture(std::span<const std::uint8_t> bytes) {
  const Reader in(bytes, "ICO");
  if (in.U16(0) != 0 || in.U16(2) != 1)
    in.Fail("no icon header");
  const std::uint16_t count = in.U16(4);
  if (count == 0)
    in.Fail("the icon holds no picture");
  in.Need(6, std::size_t{count} * 16);
  // The largest picture, by its directory entry (0 stands for 256).
  std::size_t best = 0;
  int best_area = -1;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = 6 + i * 16;
    const int w = bytes[entry] == 0 ? 256 : bytes[entry];
    const int h = bytes[entry + 1] == 0 ? 256 : bytes[entry + 1];
    if (w * h > best_area) {
      best_area = w * h;
      best = entry;
    }
  }
  const std::uint32_t size = in.U32(best + 8);
  const std::uint32_t offset = in.U32(best + 12);
  in.Need(offset, size);
  const auto picture = bytes.subspan(offset, size);
  if (HasPngSignature(picture))
    return DecodePngPicture(picture);
  const Reader dib(picture, "ICO");
  return ReadDib(dib, 0, dib.U32(0), true, "ICO");
}

namespace {

void PutU32BigEndian(ByteBuffer& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutPngChunk(ByteBuffer& out, std::string_view type, const ByteBuffer& data) {
  PutU32BigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  const auto crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
  PutU32BigEndian(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

ByteBuffer EncodePng32(const Bitmap& bmp) {
  ByteBuffer raw;
  raw.reserve(static_cast<std::size_t>(bmp.Height()) *
              (static_cast<std::size_t>(bmp.Width()) * 4 + 1));
  for (int y = 0; y < bmp.Height(); ++y) {
    raw.push_back(0);  // no filter
    const std::uint32_t* row = bmp.Row32(y);
    for (int x = 0; x < bmp.Width(); ++x) {
      const std::uint32_t p = row[x];
      raw.insert(raw.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                             static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 24)});
    }
  }
  uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
  ByteBuffer packed(packed_size);
  if (compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
    throw Error("The picture could not be compressed");
  packed.resize(packed_size);

  ByteBuffer out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ByteBuffer header;
  PutU32BigEndian(header, static_cast<std::uint32_t>(bmp.Width()));
  PutU32BigEndian(header, static_cast<std::uint32_t>(bmp.Height()));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  PutPngChunk(out, "IHDR", header);
  PutPngChunk(out, "IDAT", packed);
  PutPngChunk(out, "IEND", {});
  return out;
}

ByteBuffer EncodeBmp32(const Bitmap& bmp) {
  const auto w = static_cast<std::uint32_t>(std::max(bmp.Width(), 0));
  const auto h = static_cast<std::uint32_t>(std::max(bmp.Height(), 0));
  const std::uint32_t pixels = w * h * 4;
  ByteBuffer out;
  out.reserve(54 + pixels);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, 54 + pixels);
  PutU32(out, 0);
  PutU32(out, 54);
  PutU32(out, 40);
  PutU32(out, w);
  PutU32(out, h);
  PutU16(out, 1);
  PutU16(out, 32);
  PutU32(out, 0);
  PutU32(out, pixels);
  for (int i = 0; i < 4; ++i)
    PutU32(out, 0);
  for (int y = bmp.Height() - 1; y >= 0; --y) {
    for (int x = 0; x < bmp.Width(); ++x)
      PutU32(out, bmp.Row32(y)[x]);
  }
  return out;
}

ByteBuffer EncodeIco32(const Bitmap& bmp) {
  const auto w = static_cast<std::uint32_t>(std::max(bmp.Width(), 0));
  const auto h = static_cast<std::uint32_t>(std::max(bmp.Height(), 0));
  const std::uint32_t mask_stride = ((w + 31) / 32) * 4;
  const std::uint32_t data_size = 40 + w * h * 4 + mask_stride * h;
  ByteBuffer out;
  PutU16(out, 0);
  PutU16(out, 1);
  PutU16(out, 1);
  out.push_back(static_cast<std::uint8_t>(w >= 256 ? 0 : w));
  out.push_back(static_cast<std::uint8_t>(h >= 256 ? 0 : h));
  out.push_back(0);
  out.push_back(0);
  PutU16(out, 1);
  PutU16(out, 32);
  PutU32(out, data_size);
  PutU32(out, 6 + 16);
  PutU32(out, 40);
  PutU32(out, w);
  PutU32(out, h * 2);
  PutU16(out, 1);
  PutU16(out, 32);
  for (int i = 0; i < 6; ++i)
    PutU32(out, 0);
  for (int y = bmp.Height() - 1; y >= 0; --y) {
    for (int x = 0; x < bmp.Width(); ++x)
      PutU32(out, bmp.Row32(y)[x]);
  }
  for (int y = bmp.Height() - 1; y >= 0; --y) {
    ByteBuffer row(mask_stride, 0);
    for (int x = 0; x < bmp.Width(); ++x) {
      if ((bmp.Row32(y)[x] >> 24) == 0)
        row[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace kestrune
