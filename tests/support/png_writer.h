#pragma once
// Builds small PNG files for tests: chunks with their CRCs and an uncompressed zlib stream, so
// a test can state every byte of a picture and then damage it on purpose.

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrune::test {

using Bytes = std::vector<std::uint8_t>;

inline std::uint32_t Crc32(const std::uint8_t* data, std::size_t size,
                           std::uint32_t crc = 0xFFFFFFFFu) {
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc;
}

inline void PutBigEndian32(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void PutChunk(Bytes& out, std::string_view type, const Bytes& data) {
  PutBigEndian32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  PutBigEndian32(out, Crc32(out.data() + start, out.size() - start) ^ 0xFFFFFFFFu);
}

// A zlib stream of stored (uncompressed) blocks.
inline Bytes StoredZlib(const Bytes& raw) {
  Bytes out = {0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t length = std::min<std::size_t>(raw.size() - at, 65535);
    const bool last = at + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(length));
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(~length));
    out.push_back(static_cast<std::uint8_t>(~length >> 8));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
               raw.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  } while (at < raw.size());
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian32(out, (b << 16) | a);
  return out;
}

struct PngRecipe {
  std::uint32_t width = 1;
  std::uint32_t height = 1;
  std::uint8_t bit_depth = 8;
  std::uint8_t color_type = 6;  // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
  Bytes palette{};              // PLTE: R, G, B per entry
  Bytes transparency{};         // tRNS, written when not empty
  Bytes rows{};                 // filtered scan lines: each row starts with its filter byte
  int idat_pieces = 1;          // the zlib stream split over this many IDAT chunks
};

inline Bytes PngHeaderData(const PngRecipe& recipe) {
  Bytes ihdr;
  PutBigEndian32(ihdr, recipe.width);
  PutBigEndian32(ihdr, recipe.height);
  ihdr.insert(ihdr.end(), {recipe.bit_depth, recipe.color_type, 0, 0, 0});
  return ihdr;
}

inline Bytes MakePng(const PngRecipe& recipe) {
  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(out, "IHDR", PngHeaderData(recipe));
  if (!recipe.palette.empty())
    PutChunk(out, "PLTE", recipe.palette);
  if (!recipe.transparency.empty())
    PutChunk(out, "tRNS", recipe.transparency);
  const Bytes stream = StoredZlib(recipe.rows);
  const std::size_t piece = (stream.size() + static_cast<std::size_t>(recipe.idat_pieces) - 1) /
                            static_cast<std::size_t>(recipe.idat_pieces);
  for (std::size_t at = 0; at < stream.size(); at += piece) {
    const auto end = std::min(stream.size(), at + piece);
    PutChunk(out, "IDAT",
             Bytes(stream.begin() + static_cast<std::ptrdiff_t>(at),
                   stream.begin() + static_cast<std::ptrdiff_t>(end)));
  }
  PutChunk(out, "IEND", {});
  return out;
}

// Rows of 8-bit RGBA pixels given as 0xAARRGGBB, each row with filter byte 0.
inline Bytes RgbaRows(std::uint32_t width, const std::vector<std::uint32_t>& pixels) {
  Bytes rows;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    if (i % width == 0)
      rows.push_back(0);
    const std::uint32_t p = pixels[i];
    rows.insert(rows.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                             static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 24)});
  }
  return rows;
}

// A whole RGBA PNG from pixels given as 0xAARRGGBB, top row first.
inline Bytes RgbaPng(std::uint32_t width, std::uint32_t height,
                     const std::vector<std::uint32_t>& pixels) {
  PngRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.rows = RgbaRows(width, pixels);
  return MakePng(recipe);
}

}  // namespace kestrune::test
