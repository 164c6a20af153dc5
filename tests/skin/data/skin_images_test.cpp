#include "skin/data/skin_images.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "platform/ascii_text.h"
#include "skin/data/skin_archive_writer.h"
#include "skin/data/skin_manager.h"
#include "tests/support/png_writer.h"
#include "tests/support/temp_dir.h"

namespace kestrune::skin {
namespace {

// A manager at `ppi` with `skins` as its internal skins, the first one loaded.
struct LoadedSkin {
  LoadedSkin(int ppi, TsStoredSkins skins, bool rtl = false) : platform(ppi), manager(platform) {
    platform.right_to_left = rtl;
    manager.InternalSkins = std::move(skins);
    manager.SetSkinName(manager.InternalSkins.Items.front().Name);
  }
  TacSkinData& Data() { return manager.CommonSkinData(platform.system_ppi); }
  const TsMaskData* Find(std::string_view section, std::string_view key) {
    TacSkinData& data = Data();
    const int index = data.GetMaskIndex(section, key);
    return index < 0 ? nullptr : &data.ma[static_cast<std::size_t>(index)];
  }

  HeadlessSkinPlatform platform;
  TsSkinManager manager;
};

constexpr std::uint32_t kFuchsia = 0xFFFF00FFu;  // As the PNG writer takes pixels: 0xAARRGGBB.
constexpr std::uint32_t kGrey = 0xFF808080u;

// A 40 x 20 master image: grey, with opaque fuchsia in the top-left pixel.
Bytes MasterPng() {
  std::vector<std::uint32_t> pixels(40 * 20, kGrey);
  pixels[0] = kFuchsia;
  return test::RgbaPng(40, 20, pixels);
}

std::string Border(int l, int t, int r, int b, int wl, int wr) {
  char text[80];
  std::snprintf(text, sizeof text, "^%04d^%04d^%04d^%04d^%04d^0002^%04d^0002^1^0^00", l, t, r, b,
                wl, wr);
  return text;
}

// A packed skin: the master image above, a few entries and the separate pictures given.
TsStoredSkins SmallSkin(const std::string& entries, std::vector<PackedMember> pictures = {}) {
  const std::string options = "[GLOBALINFO]\nVERSION=2.0\nMASTERBITMAP=master.png\n" + entries;
  pictures.push_back({"OPTIONS.DAT", Bytes(options.begin(), options.end())});
  pictures.push_back({"MASTER.PNG", MasterPng()});
  TsStoredSkin item;
  item.Name = "Small";
  item.PackedData = PackSkinArchive(pictures, std::nullopt);
  TsStoredSkins skins;
  skins.Items.push_back(std::move(item));
  return skins;
}

TEST(SkinImagesTest, MasterImageCutOutsAreNeverCopiedAt96) {
  LoadedSkin skin(96, BuiltinStoredSkins());
  ASSERT_TRUE(skin.manager.IsActive());
  EXPECT_EQ(skin.manager.MasterBitmap.Width(), 373);
  EXPECT_EQ(skin.manager.MasterBitmap.Height(), 455);
  TacSkinData& data = skin.Data();
  int cut_outs = 0;
  for (const TsMaskData& md : data.ma) {
    const bool generated = md.PropertyName == "OUTERMASK" || md.PropertyName == "LO_MASK" ||
                           md.PropertyName == "SH_MASK";  // None of these in the skin's file.
    if (md.FileName.empty() && !generated) {
      ++cut_outs;
      EXPECT_EQ(md.Bmp, nullptr) << md.ClassName << " " << md.PropertyName;
    }
  }
  EXPECT_GT(cut_outs, 10);
  for (const TacBmpData& cached : data.BmpArray) {
    EXPECT_FALSE(cached.FileName.empty()) << cached.Path;  // Only pictures of their own.
  }
}

TEST(SkinImagesTest, OnePictureNamedBySeveralSectionsIsLoadedOnceAndShared) {
  for (const int ppi : {96, 144}) {
    SCOPED_TRACE(ppi);
    LoadedSkin skin(ppi, BuiltinStoredSkins());
    TacSkinData& data = skin.Data();
    std::vector<const TsMaskData*> glows;
    for (const TsMaskData& md : data.ma) {
      if (md.FileName == "GLOWEDIT.PNG") {
        glows.push_back(&md);
      }
    }
    ASSERT_EQ(glows.size(), 3u);
    int cached = 0;
    for (const TacBmpData& entry : data.BmpArray) {
      cached += entry.FileName == "GLOWEDIT.PNG" ? 1 : 0;
    }
    EXPECT_EQ(cached, 1);
    for (const TsMaskData* md : glows) {
      ASSERT_NE(md->Bmp, nullptr);
      EXPECT_EQ(md->Bmp, glows.front()->Bmp);
      EXPECT_EQ(md->Width, 32 * ppi / 96);
      EXPECT_EQ(md->WL, 11 * ppi / 96 + (ppi == 144 ? 1 : 0));  // 16.5 rounds up.
    }
  }
}

TEST(SkinImagesTest, At192AVariantIsUsedAsDrawnAndAnotherEntryRescaled) {
  LoadedSkin skin(192, BuiltinStoredSkins());
  const TsMaskData* close = skin.Find("GLOBALINFO", "BICONCLOSE");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->DivPPI, 192);
  EXPECT_EQ(close->MulPPi, 192);
  EXPECT_EQ(close->Bmp, nullptr);
  EXPECT_EQ(close->R, Rect(0, 104, 270, 144));
  EXPECT_EQ(close->Width, 90);

  const TsMaskData* checked = skin.Find("GLOBALINFO", "BOXCHECKED");
  ASSERT_NE(checked, nullptr);
  EXPECT_EQ(checked->DivPPI, 96);
  EXPECT_EQ(checked->MulPPi, 192);
  ASSERT_NE(checked->Bmp, nullptr);
  EXPECT_EQ(checked->Bmp->Width(), 96);
  EXPECT_EQ(checked->Bmp->Height(), 32);
  EXPECT_EQ(checked->Width, 32);
  EXPECT_EQ(checked->Height, 32);
  // Pixels are either opaque or the transparent fuchsia value after rescaling.
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 96; ++x) {
      const std::uint32_t p = checked->Bmp->Row32(y)[x];
      ASSERT_TRUE(p >> 24 == 255 || p == kTransparentFuchsia) << x << "," << y;
    }
  }
  // The 96 copy keeps pointing into the master image.
  const int index = skin.manager.CommonSkinData(96).GetMaskIndex("GLOBALINFO", "BOXCHECKED");
  ASSERT_GE(index, 0);
  EXPECT_EQ(skin.manager.CommonSkinData(96).ma[static_cast<std::size_t>(index)].Bmp, nullptr);
}

TEST(SkinImagesTest, EntriesOfAHandMadeSkin) {
  const std::string entries = "[BUTTON]\nBORDERSMASK=" + Border(0, 0, 12, 8, 1, 1) +
                              "\n[EDIT]\nBORDERSMASK=" + Border(12, 0, 24, 8, 2, 2) +
                              "\nGLOW0=!MISSING.PNG!1!0!3!0002!0002!0002!0002!1" +
                              "\n[PANEL]\nBORDERSMASK=" + Border(30, 10, 50, 30, 2, 2) + "\n";
  LoadedSkin skin(192, SmallSkin(entries));
  ASSERT_TRUE(skin.manager.IsActive());

  // Margins of 1 on the left and right: never rescaled.
  const TsMaskData* button = skin.Find("BUTTON", "BORDERSMASK");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Bmp, nullptr);
  EXPECT_EQ(button->Width, 12);
  EXPECT_EQ(button->Cfg & 1, 1);  // The fuchsia pixel at (0, 0) is in its top-left corner.

  const TsMaskData* edit = skin.Find("EDIT", "BORDERSMASK");
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(edit->Bmp, nullptr);
  EXPECT_EQ(edit->Width, 24);
  EXPECT_EQ(edit->Height, 16);
  EXPECT_EQ(edit->WL, 4);
  EXPECT_EQ(edit->Cfg & 1, 0);

  // A picture that is not in the archive leaves no record.
  EXPECT_EQ(skin.Find("EDIT", "GLOW0"), nullptr);

  // Reaching past the master image's right and bottom edges: cut to the picture, then rescaled.
  const TsMaskData* panel = skin.Find("PANEL", "BORDERSMASK");
  ASSERT_NE(panel, nullptr);
  ASSERT_NE(panel->Bmp, nullptr);
  EXPECT_EQ(panel->Bmp->Width(), 20);
  EXPECT_EQ(panel->Bmp->Height(), 20);
  const TsMaskData* panel96 = nullptr;
  const TacSkinData& at96 = skin.manager.CommonSkinData(96);
  const int index = at96.GetMaskIndex("PANEL", "BORDERSMASK");
  ASSERT_GE(index, 0);
  panel96 = &at96.ma[static_cast<std::size_t>(index)];
  EXPECT_EQ(panel96->R, Rect(30, 10, 40, 20));
  EXPECT_EQ(panel96->Width, 10);
  EXPECT_TRUE(skin.platform.messages.empty());
}

TEST(SkinImagesTest, ADamagedPictureEndsTheLoadWithTheDecodersMessage) {
  Bytes damaged = MasterPng();
  damaged.resize(40);
  LoadedSkin skin(96, BuiltinStoredSkins());
  skin.manager.InternalSkins.Items.push_back(
      SmallSkin("[EDIT]\nGLOW0=!BROKEN.PNG!1!0!3!0002!0002!0002!0002!1\n",
                {{"BROKEN.PNG", damaged}})
          .Items.front());
  skin.manager.SetSkinName("Small");
  EXPECT_EQ(skin.manager.SkinName(), std::string(kBuiltinSkinName));
  ASSERT_EQ(skin.platform.messages.size(), 1u);
  EXPECT_EQ(skin.platform.messages[0].rfind("Invalid PNG image", 0), 0u)
      << skin.platform.messages[0];
}

// A BMP file of `bits` 24 or 32 from pixels given as 0xAARRGGBB, top row first.
Bytes BmpFile(int width, int height, int bits, const std::vector<std::uint32_t>& pixels) {
  const int stride = (width * bits / 8 + 3) / 4 * 4;
  Bytes out(54 + static_cast<std::size_t>(stride * height), 0);
  const auto put32 = [&out](std::size_t at, std::uint32_t v) {
    for (std::size_t b = 0; b < 4; ++b) {
      out[at + b] = static_cast<std::uint8_t>(v >> (8 * b));
    }
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(out.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  out[26] = 1;
  out[28] = static_cast<std::uint8_t>(bits);
  for (int y = 0; y < height; ++y) {
    std::size_t at = 54 + static_cast<std::size_t>(stride * (height - 1 - y));
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
      for (int b = 0; b < bits / 8; ++b) {
        out[at++] = static_cast<std::uint8_t>(p >> (8 * b));
      }
    }
  }
  return out;
}

TEST(SkinImagesTest, KeyColourAndAlphaConventions) {
  struct Case {
    const char* name;
    Bytes bytes;
    std::vector<std::uint32_t> expected;  // As the bitmap stores them: 0xAARRGGBB.
  };
  const std::vector<std::uint32_t> in = {kFuchsia, 0x80FF00FFu, 0x00123456u, kGrey};
  const std::vector<Case> cases = {
      {"MASTER.PNG",
       test::RgbaPng(2, 2, in),
       {kTransparentFuchsia, 0x80FF00FFu, 0x00123456u, kGrey}},
      {"MASTER.BMP",
       BmpFile(2, 2, 24, in),
       {kTransparentFuchsia, kTransparentFuchsia, 0xFF123456u, kGrey}},
      {"MASTER32.BMP",
       BmpFile(2, 2, 32, in),
       {kTransparentFuchsia, 0x80FF00FFu, 0x00123456u, kGrey}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TacSkinConvertor archive;
    archive.Files.push_back({c.name, TacFileType::ftOther, c.bytes});
    const Bitmap master = LoadMasterImage(Upper(c.name), TacPictureSource{&archive, {}});
    ASSERT_EQ(master.Width(), 2);
    std::vector<std::uint32_t> got;
    for (int y = 0; y < 2; ++y) {
      got.insert(got.end(), master.Row32(y), master.Row32(y) + 2);
    }
    EXPECT_EQ(got, c.expected);
  }
  TacSkinConvertor empty;
  EXPECT_TRUE(LoadMasterImage("MASTER.PNG", TacPictureSource{&empty, {}}).Empty());
}

TEST(SkinImagesTest, AnUnpackedSkinTakesItsPicturesFromItsFolder) {
  test::TempDir folder;
  const auto write = [&folder](const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(folder.path() / "skins" / "Loose");
    folder.Write("skins/Loose/" + name, std::string(bytes.begin(), bytes.end()));
  };
  const std::string options =
      "[GLOBALINFO]\nVERSION=2.0\nMASTERBITMAP=master.png\n"
      "[EDIT]\nGLOW0=!glow.png!1!0!3!0002!0002!0002!0002!1\n"
      "GLOW1=!gone.png!1!0!3!0002!0002!0002!0002!1\n"
      "GLYPHMASK=@0000@0000@0012@0006@2@0\n";
  write("Options.dat", Bytes(options.begin(), options.end()));
  // Names as the loader asks for them: upper case (Linux file names are case-sensitive).
  write("MASTER.PNG", MasterPng());
  write("GLOW.PNG", test::RgbaPng(8, 8, std::vector<std::uint32_t>(64, 0x80FFFFFFu)));

  HeadlessSkinPlatform platform(96);
  platform.program_folder = folder.Folder();
  TsSkinManager manager(platform);
  manager.SkinDirectory = "skins";
  manager.SetSkinName("Loose");
  ASSERT_TRUE(manager.IsActive()) << (platform.messages.empty() ? "" : platform.messages[0]);
  EXPECT_FALSE(manager.SkinIsPacked);
  EXPECT_EQ(manager.MasterBitmap.Width(), 40);
  const TacSkinData& data = manager.CommonSkinData(96);
  const int glow = data.GetMaskIndex("EDIT", "GLOW0");
  ASSERT_GE(glow, 0);
  ASSERT_NE(data.ma[static_cast<std::size_t>(glow)].Bmp, nullptr);
  EXPECT_EQ(data.ma[static_cast<std::size_t>(glow)].Bmp->Width(), 8);
  EXPECT_EQ(data.GetMaskIndex("EDIT", "GLOW1"), -1);
  EXPECT_GE(data.GetMaskIndex("EDIT", "GLYPHMASK"), 0);
}

// A 3-frame border picture 18 x 6 with margins of 2; frame 1 has a transparent top-left pixel.
TsMaskData HandMadeBorder(std::uint32_t hole, int draw_mode) {
  TsMaskData md;
  md.Bmp =
      std::make_shared<Bitmap>(Bitmap::OnHeap(18, 6, TPixelFormat::pf32bit, RowOrder::TopDown));
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 18; ++x) {
      md.Bmp->Row32(y)[x] = 0xFF404040u;
    }
  }
  md.Bmp->Row32(0)[6] = hole;
  md.R = Rect(0, 0, 18, 6);
  md.ImageCount = 3;
  md.DrawMode = static_cast<std::int16_t>(draw_mode);
  md.WL = md.WT = md.WR = md.WB = 2;
  md.Width = 6;
  md.Height = 6;
  return md;
}

// Cut-outs reaching outside their picture are cut to it without moving a frame: a stray
// rectangle never shows neighbouring glyphs as frames of its own.
TEST(SkinImagesTest, EntriesAreClippedToTheirPictureFrameByFrame) {
  const Bitmap picture = CreateBmp32(100, 40);
  struct Case {
    const char* name;
    TRect r;
    int frames;
    int mask_type;
    TRect clipped;
    int frames_left;
  };
  const Case cases[] = {
      {"inside", Rect(10, 0, 55, 20), 3, 0, Rect(10, 0, 55, 20), 3},
      {"one frame past the right edge", Rect(10, 0, 130, 20), 3, 0, Rect(10, 0, 90, 20), 2},
      {"every frame wider than the picture", Rect(0, 0, 9999, 20), 3, 0, TRect{}, 3},
      {"far outside", Rect(5000, 5000, 5135, 5020), 3, 0, TRect{}, 3},
      {"one frame is cut", Rect(-5, -5, 120, 30), 1, 0, Rect(0, 0, 100, 30), 1},
      {"a mask row below the picture", Rect(0, 20, 30, 60), 1, 1, TRect{}, 1},
      {"rows cut without a mask", Rect(0, 30, 30, 60), 3, 0, Rect(0, 30, 30, 40), 3},
      {"frames left of the picture", Rect(-10, 0, 20, 10), 3, 0, TRect{}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int frames = c.frames;
    EXPECT_EQ(ClipEntryToPicture(c.r, frames, c.mask_type, picture), c.clipped);
    EXPECT_EQ(frames, c.frames_left);
  }
}

TEST(SkinImagesTest, CornerFlagAndTransparentPoints) {
  struct Case {
    std::uint32_t hole;
    int draw_mode;
    int cfg;
  };
  for (const Case& c : {Case{kTransparentFuchsia, 0, 1}, Case{0x00123456u, 0, 0},
                        Case{0x00123456u, kDrawModeOwnAlpha, 1}, Case{0xFFFF00FFu, 0, 0}}) {
    SCOPED_TRACE(c.hole);
    TsMaskData md = HandMadeBorder(c.hole, c.draw_mode);
    EXPECT_EQ(CornerFlag(md, nullptr), c.cfg);
  }
  // The hole of frame 1 moved to frame 0, so that a control maps onto it.
  TsMaskData md = HandMadeBorder(0xFF404040u, 0);
  md.Bmp->Row32(5)[5] = kTransparentFuchsia;  // Bottom-right corner of frame 0.
  md.Cfg = CornerFlag(md, nullptr);
  ASSERT_EQ(md.Cfg, 1);
  // A control of 40 x 30: its bottom-right corner point maps onto pixel (5, 5).
  EXPECT_TRUE(PtIsTransparent(39, 29, md, 30, 40));
  EXPECT_FALSE(PtIsTransparent(38, 29, md, 30, 40));
  EXPECT_FALSE(PtIsTransparent(20, 29, md, 30, 40));  // Not a corner.
  EXPECT_FALSE(PtIsTransparent(0, 0, md, 30, 40));
  EXPECT_FALSE(PtIsTransparent(-5, -5, md, 30, 40));  // Outside: never read.
  md.Cfg = 0;                                         // Without the flag alpha 0 decides.
  EXPECT_TRUE(PtIsTransparent(39, 29, md, 30, 40));
  TsMaskData cut_out = md;
  cut_out.Bmp = nullptr;
  EXPECT_FALSE(PtIsTransparent(39, 29, cut_out, 30, 40));
  EXPECT_EQ(MkSize(md), (TSize{6, 6}));
}

TEST(SkinImagesTest, RescalingThresholds) {
  struct Case {
    const char* name;
    int wl, wr, wt, wb, frame_w, frame_h;
    bool scaled;
  };
  for (const Case& c : {Case{"margins", 4, 4, 4, 4, 10, 10, true},
                        Case{"ones left and right", 1, 1, 4, 4, 10, 10, false},
                        Case{"ones top and bottom", 4, 4, 2, 0, 10, 10, false},
                        Case{"narrow frame", 0, 0, 0, 0, 2, 10, false},
                        Case{"low frame", 0, 0, 0, 0, 10, 2, false}}) {
    SCOPED_TRACE(c.name);
    TsMaskData md;
    md.Bmp = std::make_shared<Bitmap>(CreateBmp32(c.frame_w * 2, c.frame_h));
    md.R = Rect(0, 0, c.frame_w * 2, c.frame_h);
    md.ImageCount = 2;
    md.WL = static_cast<std::int16_t>(c.wl);
    md.WR = static_cast<std::int16_t>(c.wr);
    md.WT = static_cast<std::int16_t>(c.wt);
    md.WB = static_cast<std::int16_t>(c.wb);
    md.DivPPI = 96;
    md.MulPPi = 144;
    EXPECT_EQ(ScaleMaskData(md, nullptr, false), c.scaled);
    if (c.scaled) {
      EXPECT_EQ(md.Bmp->Width(), 30);
      EXPECT_EQ(md.Width, 15);
      EXPECT_EQ(md.WL, 6);
    }
  }
  // A mask row is resampled separately and placed below the picture.
  TsMaskData masked;
  masked.Bmp = std::make_shared<Bitmap>(CreateBmp32(8, 16));
  masked.R = Rect(0, 0, 8, 16);
  masked.MaskType = 1;
  masked.DivPPI = 96;
  masked.MulPPi = 192;
  ASSERT_TRUE(ScaleMaskData(masked, nullptr, false));
  EXPECT_EQ(masked.Bmp->Height(), 32);
  EXPECT_EQ(masked.Height, 16);
}

TEST(SkinImagesTest, ScaledRecordsOnDemand) {
  LoadedSkin skin(96, BuiltinStoredSkins());
  TsMaskData md;
  EXPECT_EQ(skin.manager.GetScaledMaskData("GLOBALINFO", "NOSUCHKEY", md, 120), -1);
  struct Case {
    int ppi;
    int div;
    int width;
  };
  for (const Case& c :
       {Case{192, 192, 90}, Case{168, 192, 78}, Case{120, 192, 56}, Case{96, 96, 45}}) {
    SCOPED_TRACE(c.ppi);
    ASSERT_EQ(skin.manager.GetScaledMaskData("GLOBALINFO", "BICONCLOSE", md, c.ppi), 0);
    EXPECT_EQ(md.DivPPI, c.div);
    ASSERT_NE(md.Bmp, nullptr);
    EXPECT_EQ(md.Width, c.width);
    EXPECT_EQ(md.Bmp->Width(), c.width * 3);
  }
  ASSERT_EQ(skin.manager.GetScaledMaskData("EDIT", "GLOW0", md, 144), 0);
  EXPECT_EQ(md.Bmp->Width(), 48);
}

std::vector<std::uint32_t> Pixels(const Bitmap& bmp, TRect r) {
  std::vector<std::uint32_t> pixels;
  for (int y = r.Top; y < r.Bottom; ++y) {
    pixels.insert(pixels.end(), bmp.Row32(y) + r.Left, bmp.Row32(y) + r.Right);
  }
  return pixels;
}

TEST(SkinImagesTest, TitleGlyphsMirrorOnceAndBack) {
  LoadedSkin skin(192, BuiltinStoredSkins());
  const Bitmap& master = skin.manager.MasterBitmap;
  const TRect whole = Rect(0, 0, master.Width(), master.Height());
  const std::vector<std::uint32_t> before = Pixels(master, whole);
  // BICONNORM of the 96 copy, its first frame: the restore glyph, which is not symmetric.
  const TRect norm = Rect(135, 20, 180, 40);
  std::vector<std::uint32_t> mirrored;
  for (int y = norm.Top; y < norm.Bottom; ++y) {
    for (int x = norm.Right - 1; x >= norm.Left; --x) {
      mirrored.push_back(master.Row32(y)[x]);
    }
  }
  ASSERT_NE(mirrored, Pixels(master, norm));
  skin.manager.FlipImages(true);
  EXPECT_EQ(Pixels(master, norm), mirrored);
  const std::vector<std::uint32_t> flipped = Pixels(master, whole);
  skin.manager.FlipImages(true);  // Already mirrored.
  EXPECT_EQ(Pixels(master, whole), flipped);
  skin.manager.FlipImages(false);
  EXPECT_EQ(Pixels(master, whole), before);

  // A right-to-left program gets them mirrored with every load.
  LoadedSkin rtl(192, BuiltinStoredSkins(), true);
  EXPECT_EQ(Pixels(rtl.manager.MasterBitmap, whole), flipped);
  rtl.manager.SetSkinName(std::string(kBuiltinSkinName));
  EXPECT_EQ(Pixels(rtl.manager.MasterBitmap, whole), flipped);
}

TEST(SkinImagesTest, GeneratedOuterImage) {
  LoadedSkin skin(96, BuiltinStoredSkins());
  TacSkinData& data = skin.Data();
  const int button = data.GetSkinIndex("BUTTON");
  ASSERT_GE(button, 0);
  const int outer = data.gd[static_cast<std::size_t>(button)].OuterMask;
  ASSERT_GE(outer, 0);
  const TsMaskData& md = data.ma[static_cast<std::size_t>(outer)];
  ASSERT_NE(md.Bmp, nullptr);
  EXPECT_EQ(md.MaskType, 1);
  EXPECT_EQ(md.Bmp->Height(), 2 * md.Height);
  EXPECT_LT(md.WL + md.WR, md.Width);
}

}  // namespace
}  // namespace kestrune::skin
