// The Daylight skin as the build packs it: sound for the skin checker at every density, and
// carrying the layers it is drawn to show (frame pictures with cut-off corners, density
// variants drawn at their own size, the caption and header sections).

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_bytes.h"
#include "skin/data/skin_archive.h"
#include "skin/data/skin_manager.h"
#include "skin/data/skin_manager_platform.h"
#include "tools/kestrune-skin/skin_check.h"

namespace kestrune::skin {
namespace {

Bytes Archive() {
  return platform::ReadFileBytes(KESTRUNE_DAYLIGHT_ARCHIVE, 1 << 26);
}

// The skin loaded as the window loads a skin of its skin folder, at one density.
class LoadedDaylight {
 public:
  explicit LoadedDaylight(int ppi) : platform_(ppi), manager_(platform_), ppi_(ppi) {
    TsStoredSkin item;
    item.Name = "Daylight";
    item.PackedData = Archive();
    manager_.InternalSkins.Items.push_back(std::move(item));
    manager_.SkinDirectory = ".";
    manager_.BeginLoading();
    manager_.SetSkinName("Daylight");
    manager_.Loaded();
  }

  const TacSkinData& Data() { return manager_.CommonSkinData(ppi_); }
  const std::vector<std::string>& Messages() const { return platform_.messages; }

  const TsMaskData* Mask(std::string_view section, std::string_view key) {
    for (const TsMaskData& md : Data().ma) {
      if (md.ClassName == section && md.PropertyName == key)
        return &md;
    }
    return nullptr;
  }

 private:
  HeadlessSkinPlatform platform_;
  TsSkinManager manager_;
  int ppi_;
};

TEST(DaylightSkin, CheckFindsNoProblem) {
  EXPECT_EQ(skin_tool::CheckSkinArchive(Archive()), std::vector<std::string>{});
}

// Options.dat beside the script is for reading; the build packs what the script writes.
TEST(DaylightSkin, CommittedOptionsAreThePackedOnes) {
  const Bytes archive = Archive();
  TacSkinConvertor convertor;
  convertor.PackedData = archive;
  ASSERT_TRUE(ExtractPackedData(convertor, [](const std::string&) {}));
  ASSERT_TRUE(convertor.Options.has_value());
  const auto committed =
      platform::ReadFileBytes(KESTRUNE_DAYLIGHT_SOURCE_DIR "/Options.dat", 1 << 24);
  EXPECT_TRUE(committed == *convertor.Options)
      << "Options.dat is stale: run python3 assets/skin_daylight/draw_skin.py";
}

constexpr int kDensities[] = {96, 120, 144, 192};

// The window's region is cut from the frame pictures' corners: at every density their corner
// regions must hold transparent pixels.
TEST(DaylightSkin, WindowFramesHaveCutOffCorners) {
  for (const int ppi : kDensities) {
    LoadedDaylight skin(ppi);
    EXPECT_EQ(skin.Messages(), std::vector<std::string>{}) << ppi;
    for (const auto section : {"FORM", "FORMTITLE"}) {
      SCOPED_TRACE(std::string(section) + " at " + std::to_string(ppi));
      const TsMaskData* frame = skin.Mask(section, "BORDERSMASK");
      ASSERT_NE(frame, nullptr);
      EXPECT_EQ(frame->ImgType, itisaBorder);
      EXPECT_EQ(frame->ImageCount, 2);  // Inactive and active.
      EXPECT_EQ(frame->Cfg & 1, 1);
    }
  }
}

// Every picture of the master image has a drawing for each density, so none is resampled.
TEST(DaylightSkin, DensityVariantsAreUsedAsDrawn) {
  const std::pair<const char*, const char*> entries[] = {
      {"GLOBALINFO", "BICONCLOSE"}, {"GLOBALINFO", "SICONHELP"},      {"GLOBALINFO", "TITLEBUTTON"},
      {"GLOBALINFO", "BOXCHECKED"}, {"GLOBALINFO", "RADIOCHECKED"},   {"GLOBALINFO", "GRIPIMAGE"},
      {"FORM", "BORDERSMASK"},      {"FORM", "IMGBTMRIGHT"},          {"BUTTON", "BORDERSMASK"},
      {"EDIT", "BORDERSMASK"},      {"SCROLLSLIDERV", "BORDERSMASK"}, {"SCROLLBTNTOP", "GLYPHMASK"},
  };
  for (const int ppi : kDensities) {
    LoadedDaylight skin(ppi);
    for (const auto& [section, key] : entries) {
      SCOPED_TRACE(std::string(section) + " " + key + " at " + std::to_string(ppi));
      const TsMaskData* md = skin.Mask(section, key);
      ASSERT_NE(md, nullptr);
      EXPECT_EQ(md->DivPPI, ppi);
      EXPECT_EQ(md->Bmp, nullptr) << "a cut-out of the master image, not a resampled copy";
    }
  }
}

// The layers the built-in skin leaves out: each must reach the tables.
TEST(DaylightSkin, CarriesTheLayersTheBuiltInSkinLacks) {
  LoadedDaylight skin(96);
  const TacSkinData& data = skin.Data();
  for (const auto name : {"CAPTION", "FORMHEADER", "MENUCAPTION", "ICOLINE", "DIVIDERV"})
    EXPECT_GE(data.GetSkinIndex(name), 0) << name;
  for (std::size_t glyph = 0; glyph < 12; ++glyph)
    EXPECT_GE(data.TitleGlyphs[glyph], 0) << "title glyph " << glyph;
  for (std::size_t button = 0; button < 5; ++button)
    EXPECT_EQ(data.TitleGlows[button].size(), 1u) << "title glow " << button;
  EXPECT_GE(data.GripRightBottom, 0);
  EXPECT_GE(data.GripHorizontal, 0);
  EXPECT_GE(data.GripVertical, 0);
  EXPECT_GE(data.ExBorder, 0);

  const TsGeneralData& form = data.gd[static_cast<std::size_t>(data.GetSkinIndex("FORM"))];
  EXPECT_GE(form.Props[0].TextureIndex, 0);
  EXPECT_GT(form.Props[0].GradientPercent, 0);
  for (const int corner : {form.ImgTL, form.ImgTR, form.ImgBL, form.ImgBR})
    EXPECT_GE(corner, 0);
  const TsGeneralData& caption = data.gd[static_cast<std::size_t>(data.GetSkinIndex("CAPTION"))];
  EXPECT_GT(caption.Props[1].GlowSize, 0) << "the active caption text glows";
  const TsGeneralData& button = data.gd[static_cast<std::size_t>(data.GetSkinIndex("BUTTON"))];
  EXPECT_GE(button.OuterMask, 0);
  EXPECT_NE(button.Props[1].TextureIndex, button.Props[0].TextureIndex);
  EXPECT_NE(button.Props[2].TextureIndex, button.Props[1].TextureIndex);
  const TsGeneralData& edit = data.gd[static_cast<std::size_t>(data.GetSkinIndex("EDIT"))];
  EXPECT_GE(edit.OuterMask, 0) << "a generated shadow";
  // The skin-wide light outline and shadow are pictures (the built-in skin generates them).
  for (const TacOutEffData& effect : data.oe) {
    EXPECT_EQ(effect.Source, 1);
    EXPECT_GE(effect.Mask, 0);
  }
}

}  // namespace
}  // namespace kestrune::skin
