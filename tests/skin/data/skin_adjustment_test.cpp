#include "skin/data/skin_adjustment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_archive_writer.h"
#include "skin/data/skin_images.h"
#include "skin/data/skin_manager.h"
#include "skin/data/system_color_substitution.h"
#include "skin/data/system_colors.h"
#include "skin/pixels/pixel_ops.h"
#include "tests/support/png_writer.h"

namespace kestrune::skin {
namespace {

struct Adjust {
  int hue = 0;
  int saturation = 0;
  int brightness = 0;
};

std::string Describe(const Adjust& a) {
  return "hue " + std::to_string(a.hue) + " saturation " + std::to_string(a.saturation) +
         " brightness " + std::to_string(a.brightness);
}

// ---- A hand-made skin ----
//
// Master image 64 x 48: a colour ramp, one opaque fuchsia pixel (the transparent key after
// loading) and grey ramps in the mask rows of three entries with a mask row. Title glyphs lie in
// the top rows, BICONCLOSE again at another place for 144 pixels per inch.

constexpr int kMasterWidth = 64;
constexpr int kMasterHeight = 48;
const TRect kCloseRect = Rect(0, 0, 12, 6);
const TRect kMaxRect = Rect(12, 0, 24, 6);
const TRect kSmallCloseRect = Rect(24, 0, 36, 6);
const TRect kClose150Rect = Rect(36, 0, 54, 9);
const TRect kButtonRect = Rect(0, 10, 20, 30);    // Mask row 20..30; rescaled at 144.
const TRect kEditRect = Rect(20, 10, 40, 30);     // Mask row 20..30.
const TRect kEdit150Rect = Rect(40, 10, 64, 40);  // Mask row 25..40; used at 144 as drawn.
const std::vector<TRect> kMaskRows = {Rect(0, 20, 20, 30), Rect(20, 20, 40, 30),
                                      Rect(40, 25, 64, 40)};

bool Inside(TRect r, int x, int y) {
  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

bool InMaskRows(int x, int y) {
  return std::any_of(kMaskRows.begin(), kMaskRows.end(),
                     [x, y](TRect r) { return Inside(r, x, y); });
}

Bytes MasterPng() {
  std::vector<std::uint32_t> pixels(kMasterWidth * kMasterHeight);
  for (int y = 0; y < kMasterHeight; ++y) {
    for (int x = 0; x < kMasterWidth; ++x) {
      const auto ux = static_cast<std::uint32_t>(x);
      const auto uy = static_cast<std::uint32_t>(y);
      pixels[static_cast<std::size_t>(y * kMasterWidth + x)] =
          InMaskRows(x, y) ? 0xFF000000u | (0x010101u * ((ux * 16 + uy * 8) & 0xFFu))
                           : 0xFF000000u | ((0x20 + ux * 3) << 16) | ((0x60 + uy) << 8) | 0xC0u;
    }
  }
  pixels.back() = 0xFFFF00FFu;
  return test::RgbaPng(kMasterWidth, kMasterHeight, pixels);
}

// A separate 8 x 8 picture with a fuchsia corner.
Bytes GlowPng() {
  std::vector<std::uint32_t> pixels(64);
  for (std::uint32_t i = 0; i < 64; ++i) {
    pixels[i] = 0xFF000000u | ((0x40 + i * 2) << 16) | 0x9000u | (0xF0 - i);
  }
  pixels[0] = 0xFFFF00FFu;
  return test::RgbaPng(8, 8, pixels);
}

// A canonical image entry.
std::string Entry(TRect r, int frames, int mask_type, TacImgType type, int margin = 0) {
  char text[96];
  std::snprintf(text, sizeof text, "&%04d%04d%04d%04d%04d%04d%04d%04d%d%d%d00000000", r.Left, r.Top,
                r.Right, r.Bottom, margin, margin, margin, margin, frames, mask_type,
                static_cast<int>(type));
  return text;
}

TsStoredSkins SmallSkin(int keep_hue = 0) {
  const std::string options =
      "[GLOBALINFO]\nVERSION=1.0\nMASTERBITMAP=master.png\nBIKEEPHUE=" + std::to_string(keep_hue) +
      "\nCOLOR=2113696\nFONTCOLOR=15790320\nBORDERCOLOR=3815994\nSHADOW1COLOR=4227200"
      "\nCOLORTONERED=10395391\nEDITTEXT_OK=10086287\nGRIDLINE=8421504\nTCTOP=255"
      "\nBICONCLOSE=" +
      Entry(kCloseRect, 3, 0, itisaGlyph) + "\nBICONMAX=" + Entry(kMaxRect, 3, 0, itisaGlyph) +
      "\nSICONCLOSE=" + Entry(kSmallCloseRect, 3, 0, itisaGlyph) +
      "\nBICONCLOSE*150=" + Entry(kClose150Rect, 3, 0, itisaGlyph) +
      "\n[BUTTON]\nCOLOR=3158160\nHOTCOLOR=3289650\nFONTCOLOR=15921648\nTCTOP=4210816"
      "\nBORDERCOLOR1=3684408\nLIGHT0=8421631\nGCOL=65280"
      "\nGRADIENTDATA=-11184811;0;0;255;100;0;B\nBORDERSMASK=" +
      Entry(kButtonRect, 1, 1, itisaBorder, 3) +
      "\n[EDIT]\nCOLOR=1644825\nBORDERSMASK=" + Entry(kEditRect, 1, 1, itisaBorder, 3) +
      "\nBORDERSMASK*150=" + Entry(kEdit150Rect, 1, 1, itisaBorder, 3) +
      "\nGLOW0=!GLOW.PNG!1!0!3!0002!0002!0002!0002!1\n";
  const std::vector<PackedMember> members = {{"OPTIONS.DAT", Bytes(options.begin(), options.end())},
                                             {"MASTER.PNG", MasterPng()},
                                             {"GLOW.PNG", GlowPng()}};
  TsStoredSkin item;
  item.Name = "Small";
  item.PackedData = PackSkinArchive(members, std::nullopt);
  TsStoredSkins skins;
  skins.Items.push_back(std::move(item));
  return skins;
}

// A manager at `ppi` with the adjustment set before its skin loads. In smCustomPPI mode it holds
// the one copy for `ppi`; in smVCL mode also the 96 copy, loaded first.
struct Loaded {
  Loaded(TsStoredSkins skins, int ppi, Adjust adjust, TacScaleMode mode = smVCL)
      : platform(ppi), manager(platform) {
    manager.Options.ScaleMode = mode;
    manager.Options.PixelsPerInch = ppi;
    manager.BeginLoading();  // The setters only store while the manager is read.
    manager.SetHueOffset(adjust.hue);
    manager.SetSaturation(adjust.saturation);
    manager.SetBrightness(adjust.brightness);
    manager.InternalSkins = std::move(skins);
    manager.SetSkinName(manager.InternalSkins.Items.front().Name);
    manager.Loaded();
  }
  TacSkinData& Copy(int ppi) { return *manager.LoadedCopy(ppi); }
  const TsMaskData& Mask(int ppi, std::string_view section, std::string_view key) {
    TacSkinData& data = Copy(ppi);
    const int index = data.GetMaskIndex(section, key);
    EXPECT_GE(index, 0) << section << " " << key;
    return data.ma[static_cast<std::size_t>(std::max(index, 0))];
  }
  const Bitmap* CachedPicture(int ppi, std::string_view file_name) {
    for (const TacBmpData& cached : Copy(ppi).BmpArray) {
      if (cached.FileName == file_name) {
        return cached.Bmp.get();
      }
    }
    return nullptr;
  }

  HeadlessSkinPlatform platform;
  TsSkinManager manager;
};

// ---- Expected values, straight from the per-colour and per-pixel operations ----

TColor ExpectedColor(TColor c, const Adjust& a, bool with_brightness) {
  c = a.hue != 0 ? ChangeHue(a.hue, c) : c;
  c = a.saturation != 0 ? ChangeSaturation(SaturationValue(a.saturation), c) : c;
  return with_brightness && a.brightness != 0 ? ChangeBrightness(c, a.brightness) : c;
}

std::uint32_t ExpectedPixel(std::uint32_t p, const Adjust& a) {
  if (p == kTransparentFuchsia) {
    return p;
  }
  if (a.hue != 0) {
    ChangeColorHUE(p, a.hue);
  }
  if (a.saturation != 0) {
    ChangeColorSaturation(p, SaturationValue(a.saturation));
  }
  if (a.brightness != 0) {
    ChangeColorBrightness(p, a.brightness);
  }
  return p;
}

std::string Pixel(std::uint32_t p) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", p);
  return text;
}

// Each pixel of `actual` is `plain` adjusted once, except those for which `kept` is true, which
// must equal `plain`. Stops at the first difference.
template <typename Kept>
void ExpectAdjustedOnce(const Bitmap& plain, const Bitmap& actual, const Adjust& a, Kept kept) {
  ASSERT_EQ(plain.Width(), actual.Width());
  ASSERT_EQ(plain.Height(), actual.Height());
  for (int y = 0; y < plain.Height(); ++y) {
    for (int x = 0; x < plain.Width(); ++x) {
      const std::uint32_t p = plain.Row32(y)[x];
      const std::uint32_t expected = kept(x, y) ? p : ExpectedPixel(p, a);
      ASSERT_EQ(Pixel(actual.Row32(y)[x]), Pixel(expected)) << "at " << x << "," << y;
    }
  }
}

void ExpectSameBytes(const Bitmap& a, const Bitmap& b) {
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  for (int y = 0; y < a.Height(); ++y) {
    ASSERT_EQ(std::memcmp(a.Row32(y), b.Row32(y), static_cast<std::size_t>(a.Width()) * 4), 0)
        << "row " << y;
  }
}

bool Equal(const Bitmap& a, const Bitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) {
    return false;
  }
  for (int y = 0; y < a.Height(); ++y) {
    if (std::memcmp(a.Row32(y), b.Row32(y), static_cast<std::size_t>(a.Width()) * 4) != 0) {
      return false;
    }
  }
  return true;
}

// ---- Tests ----

TEST(SkinAdjustmentTest, AllThreeAtZeroLoadTheSkinAsItsFilesGiveIt) {
  // A manager that was adjusted and set back loads byte for byte what one never adjusted does.
  Loaded plain(BuiltinStoredSkins(), 144, {});
  Loaded reset(BuiltinStoredSkins(), 144, {});
  reset.manager.SetHueOffset(120);
  reset.manager.SetSaturation(-40);
  reset.manager.SetBrightness(30);
  EXPECT_FALSE(Equal(plain.manager.MasterBitmap, reset.manager.MasterBitmap));
  reset.manager.SetHueOffset(0);
  reset.manager.SetSaturation(0);
  reset.manager.SetBrightness(0);

  ExpectSameBytes(plain.manager.MasterBitmap, reset.manager.MasterBitmap);
  EXPECT_EQ(plain.manager.Palette, reset.manager.Palette);
  EXPECT_EQ(plain.manager.SkinCommonInfo.Shadow1Color, reset.manager.SkinCommonInfo.Shadow1Color);
  for (const int ppi : {96, 144}) {
    SCOPED_TRACE(ppi);
    const TacSkinData& a = plain.Copy(ppi);
    const TacSkinData& b = reset.Copy(ppi);
    ASSERT_EQ(a.BmpArray.size(), b.BmpArray.size());
    for (std::size_t i = 0; i < a.BmpArray.size(); ++i) {
      SCOPED_TRACE(a.BmpArray[i].Path);
      ExpectSameBytes(*a.BmpArray[i].Bmp, *b.BmpArray[i].Bmp);
    }
    ASSERT_EQ(a.gd.size(), b.gd.size());
    for (std::size_t i = 0; i < a.gd.size(); ++i) {
      EXPECT_EQ(a.gd[i].Props, b.gd[i].Props) << a.gd[i].ClassName;
    }
  }
}

TEST(SkinAdjustmentTest, SectionAndPaletteColoursChangeOnceAndSentinelsStay) {
  const std::vector<Adjust> adjustments = {{120, 0, 0}, {0, 50, 0},    {0, -100, 0}, {0, 0, 40},
                                           {0, 0, -40}, {-75, 30, 25}, {0, 400, 0},  {720, 0, 0}};
  Loaded plain(SmallSkin(), 144, {});
  for (const Adjust& a : adjustments) {
    SCOPED_TRACE(Describe(a));
    Loaded adjusted(SmallSkin(), 144, a);
    ASSERT_TRUE(adjusted.manager.IsActive());

    for (const int ppi : {96, 144}) {
      SCOPED_TRACE(ppi);
      const std::vector<TsGeneralData>& before = plain.Copy(ppi).gd;
      const std::vector<TsGeneralData>& after = adjusted.Copy(ppi).gd;
      ASSERT_EQ(before.size(), after.size());
      for (std::size_t s = 0; s < before.size(); ++s) {
        for (std::size_t k = 0; k < 3; ++k) {
          SCOPED_TRACE(before[s].ClassName + " state " + std::to_string(k));
          const TsGenState& b = before[s].Props[k];
          const TsGenState& c = after[s].Props[k];
          const auto once = [&a](TColor color, TColor none) {
            return color == none ? none : ExpectedColor(color, a, true);
          };
          EXPECT_EQ(c.Color, once(b.Color, -1));
          EXPECT_EQ(c.GlowColor, once(b.GlowColor, -1));
          EXPECT_EQ(c.LightColor, once(b.LightColor, -1));
          EXPECT_EQ(c.BorderColor, once(b.BorderColor, clFuchsia));
          EXPECT_EQ(c.FontColor.Color, once(b.FontColor.Color, -1));
          EXPECT_EQ(c.FontColor.Left, once(b.FontColor.Left, -1));
          EXPECT_EQ(c.FontColor.Top, once(b.FontColor.Top, -1));
          EXPECT_EQ(c.FontColor.Right, once(b.FontColor.Right, -1));
          EXPECT_EQ(c.FontColor.Bottom, once(b.FontColor.Bottom, -1));
          ASSERT_EQ(b.GradientArray.size(), c.GradientArray.size());
          for (std::size_t g = 0; g < b.GradientArray.size(); ++g) {
            EXPECT_EQ(c.GradientArray[g].Color, ExpectedColor(b.GradientArray[g].Color, a, true));
          }
        }
      }
    }
    // The fixture holds each kind of value that must be seen to stay or to change.
    const TsGenState& button =
        plain.Copy(96).gd[static_cast<std::size_t>(plain.Copy(96).GetSkinIndex("BUTTON"))].Props[0];
    EXPECT_EQ(button.BorderColor, clFuchsia);
    EXPECT_EQ(button.FontColor.Left, -1);
    EXPECT_NE(button.LightColor, -1);
    EXPECT_EQ(button.GradientArray.size(), 2u);

    // Only the changeable palette colours follow, and brightness leaves the palette alone.
    const TacPalette& before = plain.manager.Palette;
    const TacPalette& after = adjusted.manager.Palette;
    for (std::size_t i = 0; i < kPaletteSize; ++i) {
      const bool changeable = std::find(ChangeableColors.begin(), ChangeableColors.end(),
                                        static_cast<TacPaletteColors>(i)) != ChangeableColors.end();
      EXPECT_EQ(after[i], changeable ? ExpectedColor(before[i], a, false) : before[i])
          << "palette " << i;
    }
    EXPECT_EQ(adjusted.manager.SkinCommonInfo.Shadow1Color,
              ExpectedColor(plain.manager.SkinCommonInfo.Shadow1Color, a, false));
  }
}

TEST(SkinAdjustmentTest, WithTwoCopiesEveryPixelChangesOnceAndMaskRowsStay) {
  struct Case {
    TacScaleMode mode;
    Adjust adjust;
  };
  // smVCL loads the 96 copy first and the 144 copy rescales from the adjusted master image;
  // smCustomPPI has only the 144 copy, whose cut-outs come from the master image as read.
  const std::vector<Case> cases = {{smVCL, {0, 50, 0}},
                                   {smCustomPPI, {0, 50, 0}},
                                   {smVCL, {200, -30, -40}},
                                   {smCustomPPI, {200, -30, -40}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe(c.adjust) + (c.mode == smVCL ? " two copies" : " one copy"));
    Loaded plain(SmallSkin(), 144, {}, c.mode);
    Loaded adjusted(SmallSkin(), 144, c.adjust, c.mode);
    ASSERT_TRUE(adjusted.manager.IsActive());

    ExpectAdjustedOnce(plain.manager.MasterBitmap, adjusted.manager.MasterBitmap, c.adjust,
                       InMaskRows);
    const std::vector<int> copies = c.mode == smVCL ? std::vector<int>{96, 144} : std::vector{144};
    for (const int ppi : copies) {
      SCOPED_TRACE(ppi);
      const Bitmap* glow = adjusted.CachedPicture(ppi, "GLOW.PNG");
      ASSERT_NE(glow, nullptr);
      ExpectAdjustedOnce(*plain.CachedPicture(ppi, "GLOW.PNG"), *glow, c.adjust,
                         [](int, int) { return false; });
    }
    // BUTTON's frame is rescaled for 144 from a 96 cut-out of the master image.
    const TsMaskData& button = adjusted.Mask(144, "BUTTON", "BORDERSMASK");
    ASSERT_NE(button.Bmp, nullptr);
    if (c.mode == smVCL) {
      // Cut from the adjusted master image: the adjustment is already in it, and only there.
      TsMaskData rebuilt;
      ASSERT_EQ(adjusted.manager.GetScaledMaskData("BUTTON", "BORDERSMASK", rebuilt, 144), 0);
      ExpectSameBytes(*rebuilt.Bmp, *button.Bmp);
    } else {
      const Bitmap& before = *plain.Mask(144, "BUTTON", "BORDERSMASK").Bmp;
      const int image_rows = before.Height() / 2;
      ExpectAdjustedOnce(before, *button.Bmp, c.adjust,
                         [image_rows](int, int y) { return y >= image_rows; });
    }
    // EDIT uses its 144 variant as drawn, straight from the master image.
    EXPECT_EQ(adjusted.Mask(144, "EDIT", "BORDERSMASK").Bmp, nullptr);
  }
}

TEST(SkinAdjustmentTest, BrighteningPreparesThePngAlphaAfterTheChange) {
  const Adjust a{0, 0, 40};
  Loaded adjusted(SmallSkin(), 96, a);
  Bitmap expected = *DecodeSkinPicture("GLOW.PNG", GlowPng());
  ChangeBitmapPixels(expected, ChangeColorBrightness, a.brightness, clFuchsia);
  UpdateAlpha(expected);
  ExpectSameBytes(expected, *adjusted.CachedPicture(96, "GLOW.PNG"));
}

TEST(SkinAdjustmentTest, KeepHueLeavesTheRightTitleGlyphs) {
  struct Case {
    int keep_hue;
    TacScaleMode mode;
  };
  const Adjust a{120, 0, 0};
  for (const Case c : {Case{0, smVCL}, Case{1, smVCL}, Case{2, smVCL}, Case{1, smCustomPPI},
                       Case{2, smCustomPPI}}) {
    SCOPED_TRACE("BIKEEPHUE " + std::to_string(c.keep_hue) +
                 (c.mode == smVCL ? " two copies" : " one copy"));
    Loaded plain(SmallSkin(c.keep_hue), 144, {}, c.mode);
    Loaded adjusted(SmallSkin(c.keep_hue), 144, a, c.mode);
    std::vector<TRect> kept;
    if (c.keep_hue > 0) {
      kept = {kCloseRect, kSmallCloseRect, kClose150Rect};
    }
    if (c.keep_hue == 1) {
      kept.push_back(kMaxRect);
    }
    ExpectAdjustedOnce(
        plain.manager.MasterBitmap, adjusted.manager.MasterBitmap, a, [&kept](int x, int y) {
          return std::any_of(kept.begin(), kept.end(), [x, y](TRect r) { return Inside(r, x, y); });
        });
    // At 144 BICONMAX and SICONCLOSE have pictures of their own, rescaled from the 96 cut-outs.
    for (const std::string_view glyph : {"BICONMAX", "SICONCLOSE"}) {
      SCOPED_TRACE(glyph);
      const TsMaskData& before = plain.Mask(144, "GLOBALINFO", glyph);
      const TsMaskData& after = adjusted.Mask(144, "GLOBALINFO", glyph);
      ASSERT_NE(after.Bmp, nullptr);
      const bool keeps = c.keep_hue == 1 || (c.keep_hue == 2 && glyph == "SICONCLOSE");
      EXPECT_EQ(Equal(*before.Bmp, *after.Bmp), keeps);
    }
  }
}

TEST(SkinAdjustmentTest, SettingAValueReloadsTheSkinAndBrightnessIsLimited) {
  struct Counting : HeadlessSkinPlatform {
    Counting() : HeadlessSkinPlatform(96) {}
    void BroadcastCommand(std::uint32_t wparam, std::uintptr_t) override {
      new_skins += (wparam >> 16) == 1 ? 1 : 0;
    }
    int new_skins = 0;
  } platform;
  TsSkinManager manager(platform);
  manager.InternalSkins = SmallSkin();

  manager.SetBrightness(150);  // No skin yet: stored only.
  EXPECT_EQ(manager.Brightness(), 100);
  EXPECT_EQ(platform.new_skins, 0);
  manager.SetBrightness(-150);
  EXPECT_EQ(manager.Brightness(), -100);

  manager.SetSkinName("Small");
  ASSERT_EQ(platform.new_skins, 1);
  const Bitmap darkest = CopyPicture(manager.MasterBitmap, Rect(0, 0, 64, 48));
  manager.SetBrightness(-100);  // The same value: nothing happens.
  EXPECT_EQ(platform.new_skins, 1);

  manager.SetBrightness(0);
  EXPECT_EQ(platform.new_skins, 2);
  EXPECT_FALSE(Equal(darkest, manager.MasterBitmap));
  EXPECT_TRUE(manager.IsActive());
  manager.SetHueOffset(10);
  manager.SetSaturation(10);
  EXPECT_EQ(platform.new_skins, 4);

  manager.SetActive(false);
  manager.SetHueOffset(20);  // Skinning off: stored only.
  EXPECT_EQ(manager.HueOffset(), 20);
  EXPECT_EQ(platform.new_skins, 4);
  EXPECT_FALSE(manager.IsActive());
}

TEST(SkinAdjustmentTest, SaturationValueIsLimited) {
  EXPECT_EQ(SaturationValue(0), 0);
  EXPECT_EQ(SaturationValue(50), 127);
  EXPECT_EQ(SaturationValue(-50), -127);
  EXPECT_EQ(SaturationValue(100), 255);
  EXPECT_EQ(SaturationValue(1000), 255);
  EXPECT_EQ(SaturationValue(-2000000000), -255);
}

// ---- The manager's brushes and system colours ----

class BrushPlatform : public HeadlessSkinPlatform {
 public:
  BrushPlatform() : HeadlessSkinPlatform(96) {}
  std::uintptr_t MakeBrush(std::int32_t color) override {
    live.push_back({++made, color});
    return made;
  }
  void FreeBrush(std::uintptr_t brush) override {
    const auto it =
        std::find_if(live.begin(), live.end(), [brush](const auto& b) { return b.first == brush; });
    ASSERT_NE(it, live.end()) << "brush " << brush << " freed twice or never made";
    live.erase(it);
  }
  void InstallHooks(bool change_system_colors) override {
    log.push_back(change_system_colors ? "install with colours" : "install");
  }
  void RemoveHooks() override { log.push_back("remove"); }
  void HookSystemColors(bool on) override { log.push_back(on ? "colours on" : "colours off"); }

  std::uintptr_t made = 0;
  std::vector<std::pair<std::uintptr_t, std::int32_t>> live;
  std::vector<std::string> log;
};

TEST(SkinManagerBrushesTest, OneBrushPerColourUntilTheNextLoad) {
  BrushPlatform platform;
  {
    TsSkinManager manager(platform);
    manager.InternalSkins = SmallSkin();
    manager.SetSkinName("Small");
    const std::uintptr_t highlight = manager.PaletteBrush(pcSelectionBG_Focused);
    EXPECT_EQ(manager.PaletteBrush(pcSelectionBG_Focused), highlight);
    EXPECT_NE(manager.PaletteBrush(pcSelectionText_Focused), highlight);
    ASSERT_EQ(platform.live.size(), 2u);
    EXPECT_EQ(platform.live[0].second, manager.Palette[pcSelectionBG_Focused]);

    manager.SetHueOffset(90);  // A load: the old brushes go, new ones follow the new palette.
    EXPECT_TRUE(platform.live.empty());
    EXPECT_NE(manager.PaletteBrush(pcSelectionBG_Focused), highlight);
    ASSERT_EQ(platform.live.size(), 1u);
    EXPECT_EQ(platform.live[0].second, manager.Palette[pcSelectionBG_Focused]);
  }
  EXPECT_TRUE(platform.live.empty());
}

TEST(SkinManagerSystemColorsTest, SubstitutionFollowsTheOptionAtOnceForTheDefaultManagerOnly) {
  BrushPlatform platform;
  TsSkinManager manager(platform);
  manager.InternalSkins = SmallSkin();
  // Taken from the system when the manager was made, not from the options file.
  EXPECT_EQ(manager.SkinCommonInfo.SysInactiveBorderColor,
            CurrentSystemColors().Values[kSysInactiveBorder]);

  manager.SetChangeSysColors(true);  // No skin broadcast yet: nothing to switch.
  EXPECT_TRUE(platform.log.empty());
  manager.SetSkinName("Small");
  EXPECT_EQ(manager.SkinCommonInfo.SysInactiveBorderColor,
            CurrentSystemColors().Values[kSysInactiveBorder]);
  manager.SetChangeSysColors(false);
  manager.SetChangeSysColors(false);
  manager.SetChangeSysColors(true);
  manager.SetActive(false);
  manager.SetChangeSysColors(false);
  EXPECT_EQ(platform.log, (std::vector<std::string>{"install with colours", "colours off",
                                                    "colours on", "remove"}));

  BrushPlatform other_platform;
  TsSkinManager other(other_platform);  // Not the default manager.
  other.InternalSkins = SmallSkin();
  other.Options.ChangeSysColors = true;
  other.SetSkinName("Small");
  other.SetChangeSysColors(false);
  EXPECT_TRUE(other_platform.log.empty());
}

TEST(SystemColorSubstitutionTest, AnswersOfTheThreeColourFunctions) {
  TsSubstitutionColors colors;
  for (std::size_t i = 0; i < colors.Palette.size(); ++i) {
    colors.Palette[i] = static_cast<TColor>(0x030507u * static_cast<std::uint32_t>(i + 1));
  }
  colors.InactiveBorder = 0x00ABCDEF;
  colors.SystemBtnFace = 0x00F0F0F0;
  const TacPalette& p = colors.Palette;
  const TColor shadow = BlendColors(p[pcMainColor], clBlack, 205);
  const TColor light = BlendColors(p[pcMainColor], clWhite, 205);
  const TColor grid = BlendColors(p[pcEditText], p[pcEditBG], 38);
  struct Case {
    int value;
    std::optional<TColor> sys_color;
    std::optional<TacPaletteColors> brush;
    std::optional<TColor> pen;
  };
  const std::vector<Case> cases = {
      {0, {}, {}, {}},
      {4, {}, {}, {}},
      {5, p[pcEditBG], pcEditBG, p[pcEditBG]},
      {6, p[pcBorder], {}, p[pcBorder]},
      {7, {}, {}, {}},
      {8, p[pcEditText], pcEditText, {}},
      {11, colors.InactiveBorder, {}, colors.InactiveBorder},
      {13, p[pcSelectionBG_Focused], pcSelectionBG_Focused, p[pcSelectionBG_Focused]},
      {14, p[pcSelectionText_Focused], pcSelectionText_Focused, p[pcSelectionText_Focused]},
      {15, {}, {}, p[pcMainColor]},
      {16, shadow, {}, shadow},
      {21, shadow, {}, shadow},
      {22, light, {}, light},
      {23, {}, {}, {}},
      {0xF0F0F0, {}, {}, grid},
      {0xC0C0C0, {}, {}, {}},  // A grey that is not the desktop's button face keeps its colour.
      {0x0000FF, {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(SubstituteSysColor(c.value, colors), c.sys_color);
    EXPECT_EQ(SubstituteSysColorBrush(c.value), c.brush);
    EXPECT_EQ(SubstitutePenColor(static_cast<std::uint32_t>(c.value), colors), c.pen);
  }
  colors.SystemBtnFace = 0x00C0C0C0;  // The classic desktop.
  EXPECT_EQ(SubstitutePenColor(0xC0C0C0, colors), grid);
  EXPECT_EQ(SubstitutePenColor(0xF0F0F0, colors), std::nullopt);
}

}  // namespace
}  // namespace kestrune::skin
