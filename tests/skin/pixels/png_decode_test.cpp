// The same cases run against both decoders (libpng natively, the imaging component under Wine).

#include "skin/pixels/png_decode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/error.h"
#include "tests/support/png_writer.h"

namespace kestrune {
namespace {

using test::Bytes;
using test::MakePng;
using test::PngRecipe;

std::vector<std::uint32_t> Pixels(const DecodedPng& png) {
  std::vector<std::uint32_t> out;
  for (std::size_t i = 0; i + 3 < png.bgra.size(); i += 4)
    out.push_back(std::uint32_t{png.bgra[i]} | std::uint32_t{png.bgra[i + 1]} << 8 |
                  std::uint32_t{png.bgra[i + 2]} << 16 | std::uint32_t{png.bgra[i + 3]} << 24);
  return out;
}

std::string Hex(const std::vector<std::uint32_t>& pixels) {
  std::string out;
  char buffer[12];
  for (std::uint32_t p : pixels) {
    std::snprintf(buffer, sizeof buffer, "%08X ", p);
    out += buffer;
  }
  return out;
}

struct GoodCase {
  const char* name;
  PngRecipe recipe;
  std::vector<std::uint32_t> expected;  // 0xAARRGGBB, top row first
};

std::vector<GoodCase> GoodCases() {
  std::vector<GoodCase> cases;
  {
    const std::vector<std::uint32_t> pixels = {0xFF102030, 0x80FF0000, 0x00FFFFFF,
                                               0x01020304, 0xFE00FF00, 0x7F7F7F7F};
    PngRecipe recipe{.width = 3, .height = 2, .rows = test::RgbaRows(3, pixels)};
    cases.push_back({"rgba keeps straight alpha", recipe, pixels});
    recipe.idat_pieces = 3;
    cases.push_back({"rgba over several data chunks", recipe, pixels});
  }
  cases.push_back({"rgb is opaque",
                   {.width = 2, .height = 1, .color_type = 2, .rows = {0, 1, 2, 3, 250, 251, 252}},
                   {0xFF010203, 0xFFFAFBFC}});
  cases.push_back({"grey is opaque",
                   {.width = 3, .height = 1, .color_type = 0, .rows = {0, 0, 0x80, 0xFF}},
                   {0xFF000000, 0xFF808080, 0xFFFFFFFF}});
  cases.push_back({"grey with alpha",
                   {.width = 2, .height = 1, .color_type = 4, .rows = {0, 0x40, 0x10, 0xC0, 0xFF}},
                   {0x10404040, 0xFFC0C0C0}});
  cases.push_back({"rgb with a colour key",
                   {.width = 2,
                    .height = 1,
                    .color_type = 2,
                    .transparency = {0, 1, 0, 2, 0, 3},
                    .rows = {0, 1, 2, 3, 250, 251, 252}},
                   {0x00010203, 0xFFFAFBFC}});
  // Palette entries beyond the transparency table are opaque.
  cases.push_back({"palette with transparency table",
                   {.width = 4,
                    .height = 1,
                    .color_type = 3,
                    .palette = {255, 0, 0, 0, 255, 0, 0, 0, 255},
                    .transparency = {0, 0x80},
                    .rows = {0, 0, 1, 2, 1}},
                   {0x00FF0000, 0x8000FF00, 0xFF0000FF, 0x8000FF00}});
  cases.push_back({"palette without transparency, 2 bits per pixel",
                   {.width = 3,
                    .height = 1,
                    .bit_depth = 2,
                    .color_type = 3,
                    .palette = {10, 20, 30, 40, 50, 60, 70, 80, 90},
                    .rows = {0, 0b00011000}},
                   {0xFF0A141E, 0xFF28323C, 0xFF46505A}});
  // Samples n * 257 convert to n whether a decoder keeps the high byte or rounds.
  cases.push_back({"16-bit rgba",
                   {.width = 1,
                    .height = 1,
                    .bit_depth = 16,
                    .color_type = 6,
                    .rows = {0, 0x12, 0x12, 0x80, 0x80, 0xFF, 0xFF, 0x40, 0x40}},
                   {0x401280FF}});
  return cases;
}

TEST(DecodePng, GoodFiles) {
  for (const GoodCase& c : GoodCases()) {
    SCOPED_TRACE(c.name);
    const DecodedPng png = DecodePng(MakePng(c.recipe));
    EXPECT_EQ(png.width, static_cast<int>(c.recipe.width));
    EXPECT_EQ(png.height, static_cast<int>(c.recipe.height));
    EXPECT_EQ(Hex(Pixels(png)), Hex(c.expected));
  }
}

struct BadCase {
  const char* name;
  Bytes bytes;
  const char* message_start;
};

Bytes Replace(Bytes bytes, std::size_t at, std::uint8_t value) {
  bytes.at(at) = value;
  return bytes;
}

Bytes Cut(const Bytes& bytes, std::size_t size) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
}

std::size_t FindChunk(const Bytes& png, std::string_view type) {
  for (std::size_t at = 8; at + 8 <= png.size();) {
    const std::size_t length = std::size_t{png[at]} << 24 | std::size_t{png[at + 1]} << 16 |
                               std::size_t{png[at + 2]} << 8 | png[at + 3];
    if (std::string_view(reinterpret_cast<const char*>(&png[at + 4]), 4) == type)
      return at;
    at += 12 + length;
  }
  return png.size();
}

std::vector<BadCase> BadCases() {
  std::vector<std::uint32_t> pixels(8 * 8, 0xFF336699);
  const Bytes good = test::RgbaPng(8, 8, pixels);
  const std::size_t idat = FindChunk(good, "IDAT");

  std::vector<BadCase> cases = {
      {"empty", {}, "Invalid PNG image"},
      {"not a PNG", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, "Invalid PNG image"},
      {"signature only", Cut(good, 8), "Invalid PNG image"},
      {"cut inside the header", Cut(good, 20), "Invalid PNG image"},
      {"cut inside the pixel data", Cut(good, idat + 8 + 100), "Invalid PNG image"},
      {"cut before the data", Cut(good, idat), "Invalid PNG image"},
      {"pixel data with a wrong checksum", Replace(good, idat + 8 + 60, 0x11), "Invalid PNG image"},
  };

  // Damaged with correct checksums: the decoder itself has to notice.
  PngRecipe recipe{.width = 8, .height = 8, .rows = test::RgbaRows(8, pixels)};
  recipe.bit_depth = 7;
  cases.push_back({"impossible bit depth", MakePng(recipe), "Invalid PNG image"});
  recipe.bit_depth = 8;
  recipe.rows.resize(recipe.rows.size() / 2);
  cases.push_back({"half the rows missing", MakePng(recipe), "Invalid PNG image"});
  recipe.rows = test::RgbaRows(8, pixels);
  recipe.rows[0] = 9;
  cases.push_back({"unknown row filter", MakePng(recipe), "Invalid PNG image"});
  recipe.rows[0] = 0;
  recipe.color_type = 3;
  cases.push_back({"palette picture without a palette", MakePng(recipe), "Invalid PNG image"});

  // Oversized headers come with almost no data: the size alone must be refused.
  for (auto [width, height] : {std::pair{4097u, 1u}, std::pair{1u, 4097u},
                               std::pair{100000u, 100000u}, std::pair{0x7FFFFFFFu, 2u}}) {
    PngRecipe huge{.width = width, .height = height, .rows = {0, 1, 2, 3, 4}};
    cases.push_back({"oversized", MakePng(huge), "PNG image too large"});
  }
  PngRecipe empty{.width = 0, .height = 5, .rows = {0}};
  cases.push_back({"no pixels", MakePng(empty), "Invalid PNG image"});
  return cases;
}

TEST(DecodePng, DamagedTruncatedAndOversizedFilesAreErrors) {
  for (const BadCase& c : BadCases()) {
    SCOPED_TRACE(c.name);
    try {
      static_cast<void>(DecodePng(c.bytes));
      ADD_FAILURE() << "no error";
    } catch (const Error& error) {
      EXPECT_EQ(std::string(error.what()).rfind(c.message_start, 0), 0u) << error.what();
    }
  }
}

TEST(DecodePng, LargestAcceptedSide) {
  // One row at the limit decodes; the pixels are all there.
  std::vector<std::uint32_t> pixels(kMaxPngSide, 0x80402010);
  const DecodedPng png = DecodePng(test::RgbaPng(kMaxPngSide, 1, pixels));
  EXPECT_EQ(png.width, kMaxPngSide);
  EXPECT_EQ(Pixels(png), pixels);
}

}  // namespace
}  // namespace kestrune
