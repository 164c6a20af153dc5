// Whole pictures of the controls whose frames people look at most, painted by the portable
// painting path of `kestrune-skin paint` from the built-in skin: every state of the section side
// by side over the form colour, with its outer effect. A changed picture fails with the path of
// a PNG of it, so a person can look at what changed before taking the new hash.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_manager.h"
#include "skin/pixels/pixel_ops.h"
#include "tests/support/png_writer.h"
#include "tools/kestrune-skin/skin_paint_sheet.h"

namespace kestrune::skin_tool {
namespace {

constexpr int kMargin = 16;  // room for the outer effect

// The section's states (at most three) side by side, each in its cell with a margin around.
skin::Bitmap RenderSection(const skin::TacSkinData& sd, int index, skin::TColor background) {
  const skin::TsGeneralData& gd = sd.gd[static_cast<std::size_t>(index)];
  const skin::TSize cell = SectionCellSize(sd, gd);
  const int states = std::clamp(gd.States, 1, 3);
  const int width = kMargin + states * (cell.cx + kMargin);
  const int height = cell.cy + 2 * kMargin;
  skin::Bitmap out = skin::CreateBmp32(width, height);
  skin::FillRect32(out, skin::Rect(0, 0, width, height), background, 255);
  for (int state = 0; state < states; ++state) {
    const int left = kMargin + state * (cell.cx + kMargin);
    PaintSectionCell(out, skin::Rect(left, kMargin, left + cell.cx, kMargin + cell.cy), index,
                     state, sd);
  }
  return out;
}

// FNV-1a over the size and every pixel.
std::uint64_t PixelHash(const skin::Bitmap& bmp) {
  std::uint64_t hash = 0xCBF29CE484222325u;
  const auto add = [&](std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
      hash ^= (value >> shift) & 0xFFu;
      hash *= 0x100000001B3u;
    }
  };
  add(static_cast<std::uint32_t>(bmp.Width()));
  add(static_cast<std::uint32_t>(bmp.Height()));
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x)
      add(bmp.Row32(y)[x]);
  return hash;
}

std::string WritePng(const skin::Bitmap& bmp, const std::string& name) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < bmp.Height(); ++y)
    pixels.insert(pixels.end(), bmp.Row32(y), bmp.Row32(y) + bmp.Width());
  const test::Bytes png = test::RgbaPng(static_cast<std::uint32_t>(bmp.Width()),
                                        static_cast<std::uint32_t>(bmp.Height()), pixels);
  const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return path.string();
}

TEST(SkinRender, ButtonGroupBoxAndMemoFrameKeepTheirPictures) {
  struct Case {
    const char* section;
    int ppi;
    std::uint64_t hash;
  };
  const Case cases[] = {
      {"BUTTON", 96, 0x7930a1951f91dc06u},   {"BUTTON", 144, 0xb29cc82159c4167du},
      {"GROUPBOX", 96, 0xa266f7959d791c29u}, {"GROUPBOX", 144, 0x10a8ce2a8a7dba5fu},
      {"EDIT", 96, 0x041e717c25dd3149u},     {"EDIT", 144, 0xc066e44d618d5340u},
  };
  for (const Case& c : cases) {
    const std::string name = std::string(c.section) + " at " + std::to_string(c.ppi);
    SCOPED_TRACE(name);
    skin::HeadlessSkinPlatform platform(c.ppi);
    skin::TsSkinManager manager(platform);
    manager.InternalSkins = skin::BuiltinStoredSkins();
    manager.SetSkinName(std::string(skin::kBuiltinSkinName));
    const skin::TacSkinData& sd = manager.CommonSkinData(c.ppi);
    const int index = sd.GetSkinIndex(c.section);
    ASSERT_GE(index, 0);
    const int form = sd.GetSkinIndex("FORM");
    ASSERT_GE(form, 0);
    const skin::Bitmap picture =
        RenderSection(sd, index, sd.gd[static_cast<std::size_t>(form)].Props[0].Color);
    const std::uint64_t hash = PixelHash(picture);
    if (hash != c.hash) {
      const std::string file =
          std::string("kestrune-render-") + c.section + "-" + std::to_string(c.ppi) + ".png";
      ADD_FAILURE() << "the picture changed: hash 0x" << std::hex << hash << ", picture "
                    << WritePng(picture, file);
    }
  }
}

}  // namespace
}  // namespace kestrune::skin_tool
