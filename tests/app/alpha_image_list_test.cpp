// The image list against hand-made PNGs: natively over the in-memory stand-in of the system
// list, under Wine over the real one.

#include "app/alpha_image_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/error.h"
#include "skin/pixels/stretch.h"
#include "tests/support/build_path.h"
#include "tests/support/main_layout.h"
#include "tests/support/png_writer.h"
#include "tests/support/temp_dir.h"

namespace kestrune {
namespace {

using skin::Bitmap;

std::vector<std::uint32_t> PixelsOf(const Bitmap& bmp) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < bmp.Height(); ++y)
    out.insert(out.end(), bmp.Row32(y), bmp.Row32(y) + bmp.Width());
  return out;
}

Bitmap FromPixels(int width, int height, const std::vector<std::uint32_t>& pixels) {
  Bitmap bmp = skin::CreateBmp32(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bmp.Row32(y)[x] = pixels[static_cast<std::size_t>(y * width + x)];
  return bmp;
}

// A 32 x 32 picture with colour and alpha varying everywhere, so resampling shows.
std::vector<std::uint32_t> Gradient(int size, std::uint32_t seed) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const auto ux = static_cast<std::uint32_t>(x);
      const auto uy = static_cast<std::uint32_t>(y);
      const std::uint32_t a = (ux + uy) * 4 + seed;
      pixels.push_back((a & 0xFF) << 24 | ((ux * 8) & 0xFF) << 16 | ((uy * 8) & 0xFF) << 8 |
                       ((seed * 40) & 0xFF));
    }
  }
  return pixels;
}

std::unique_ptr<TsImgListItem> PngItem(const test::Bytes& png) {
  auto item = std::make_unique<TsImgListItem>();
  item->ImageFormat = ifPNG;
  item->ImgData = png;
  return item;
}

// The main window's shape of list: nominal 16 x 16, five 32 x 32 PNG pictures.
class FiveItemList : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::uint32_t i = 0; i < 5; ++i) {
      pictures.push_back(Gradient(32, i * 3));
      list.Items().push_back(PngItem(test::RgbaPng(32, 32, pictures.back())));
    }
    list.Loaded();
  }

  TsAlphaImageList list{true};
  std::vector<std::vector<std::uint32_t>> pictures;
};

TEST_F(FiveItemList, LoadingBuildsTheSystemListOfResampledIcons) {
  EXPECT_EQ(list.GetCount(), 5);
  EXPECT_TRUE(list.StdListIsGenerated);
  EXPECT_EQ(list.SavedWidth, 16);
  ASSERT_NE(list.StdList(), nullptr);
  EXPECT_EQ(list.StdList()->Count(), 5);
  EXPECT_EQ(list.StdList()->Width(), 16);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(list.Items()[static_cast<std::size_t>(i)]->OrigWidth, 32);
    Bitmap expected;
    skin::Stretch(FromPixels(32, 32, pictures[static_cast<std::size_t>(i)]), expected, 16, 16);
    Bitmap icon;
    ASSERT_TRUE(list.StdList()->GetIconBitmap(i, icon));
    EXPECT_EQ(PixelsOf(icon), PixelsOf(expected));
  }
}

TEST_F(FiveItemList, CreateBitmap32AtOwnSizeResampledAndCached) {
  const auto own = list.CreateBitmap32(0, 32, 32);
  EXPECT_EQ(PixelsOf(*own), pictures[0]);

  Bitmap expected16;
  skin::Stretch(FromPixels(32, 32, pictures[0]), expected16, 16, 16);
  const auto first = list.CreateBitmap32(0, 16, 16);
  EXPECT_EQ(PixelsOf(*first), PixelsOf(expected16));

  // With the bytes spoilt, only the cache can still give the picture at 16 x 16.
  TsImgListItem& item = *list.Items()[0];
  const auto bytes = item.ImgData;
  item.ImgData.assign(bytes.size(), 0);
  const auto second = list.CreateBitmap32(0, 16, 16);
  EXPECT_EQ(PixelsOf(*second), PixelsOf(expected16));
  EXPECT_NE(second.get(), item.CacheBmp.get()) << "the caller gets a copy";

  // Another size drops the 16 x 16 cache and decodes: the spoilt bytes give a blank picture.
  const auto spoilt = list.CreateBitmap32(0, 24, 24);
  EXPECT_EQ(PixelsOf(*spoilt), std::vector<std::uint32_t>(24 * 24, 0));
  item.ImgData = bytes;
  const auto at24 = list.CreateBitmap32(0, 24, 24);
  Bitmap expected24;
  skin::Stretch(FromPixels(32, 32, pictures[0]), expected24, 24, 24);
  EXPECT_EQ(PixelsOf(*at24), PixelsOf(expected24));
  ASSERT_NE(item.CacheBmp, nullptr);
  EXPECT_EQ(item.CacheBmp->Width(), 24);
}

TEST_F(FiveItemList, InvalidIndexGivesBlankBitmapAndNothingElse) {
  for (int index : {5, -1, 100}) {
    SCOPED_TRACE(index);
    const auto bmp = list.CreateBitmap32(index, 16, 16);
    EXPECT_EQ(bmp->Width(), 16);
    EXPECT_EQ(PixelsOf(*bmp), std::vector<std::uint32_t>(16 * 16, 0));
    Bitmap target = skin::CreateBmp32(16, 16);
    EXPECT_FALSE(list.GetBitmap32(index, target));
  }
  Bitmap dest = skin::CreateBmp32(40, 40);
  EXPECT_EQ(DrawAlphaImgList(list, dest, 0, 0, -1, 0, skin::clNone, 0, 1, false, 96).cx, 0);
  EXPECT_EQ(PixelsOf(dest), std::vector<std::uint32_t>(40 * 40, 0));
}

TEST_F(FiveItemList, GetBitmap32CachesOnlyAtTheNominalSize) {
  Bitmap at20 = skin::CreateBmp32(20, 20);
  EXPECT_TRUE(list.GetBitmap32(1, at20));
  EXPECT_EQ(list.Items()[1]->CacheBmp, nullptr);
  Bitmap at16 = skin::CreateBmp32(16, 16);
  EXPECT_TRUE(list.GetBitmap32(1, at16));
  ASSERT_NE(list.Items()[1]->CacheBmp, nullptr);
  EXPECT_EQ(PixelsOf(*list.Items()[1]->CacheBmp), PixelsOf(at16));
  list.SetUseCache(false);
  EXPECT_EQ(list.Items()[1]->CacheBmp, nullptr);
}

TEST_F(FiveItemList, SizeRuleFollowsThePixelDensity) {
  for (auto [ppi, side] : {std::pair{96, 16}, {120, 20}, {144, 24}, {192, 32}}) {
    SCOPED_TRACE(ppi);
    Bitmap dest = skin::CreateBmp32(40, 40);
    const skin::TSize drawn =
        DrawAlphaImgList(list, dest, 0, 0, 2, 0, skin::clNone, 0, 0, false, ppi);
    EXPECT_EQ(drawn, (skin::TSize{side, side}));
    EXPECT_EQ(list.PixelsPerInch, 96) << "the density is only borrowed";
  }
}

// One picture: a 4 x 2 strip of two 2 x 2 state pictures, drawn at its own size.
class StripList : public ::testing::Test {
 protected:
  void SetUp() override {
    list.SetSize(4, 2);
    list.Items().push_back(PngItem(test::RgbaPng(4, 2, strip)));
    list.Loaded();
  }

  Bitmap Draw(int state, int num_glyphs, int blend = 0, std::uint32_t background = 0xFF000000) {
    Bitmap dest = FromPixels(6, 3, std::vector<std::uint32_t>(18, background));
    last_size =
        DrawAlphaImgList(list, dest, 1, 1, 0, blend, skin::clNone, state, num_glyphs, false, 96);
    return dest;
  }

  static constexpr std::uint32_t kBlack = 0xFF000000;
  // Left state: opaque white and fully transparent white; right state: red and blue.
  const std::vector<std::uint32_t> strip = {0xFFFFFFFF, 0x00FFFFFF, 0xFFFF0000, 0xFF0000FF,
                                            0xFFFFFFFF, 0x00FFFFFF, 0xFFFF0000, 0xFF0000FF};
  TsAlphaImageList list{true};
  skin::TSize last_size;
};

TEST_F(StripList, WholePictureWithoutStates) {
  for (int glyphs : {0, 1}) {
    SCOPED_TRACE(glyphs);
    const Bitmap dest = Draw(0, glyphs);
    EXPECT_EQ(last_size, (skin::TSize{4, 2}));
    // 255 * 255 >> 8 = 254 for the opaque white over black; alpha 0 leaves black.
    const std::vector<std::uint32_t> expected = {
        kBlack, kBlack,     kBlack, kBlack,     kBlack,     kBlack,  //
        kBlack, 0xFFFEFEFE, kBlack, 0xFFFE0000, 0xFF0000FE, kBlack,  //
        kBlack, 0xFFFEFEFE, kBlack, 0xFFFE0000, 0xFF0000FE, kBlack};
    EXPECT_EQ(PixelsOf(dest), expected);
  }
}

TEST_F(StripList, StateBeyondTheStripShowsTheLastPicture) {
  for (int state : {1, 3}) {
    SCOPED_TRACE(state);
    const Bitmap dest = Draw(state, 2);
    EXPECT_EQ(last_size, (skin::TSize{2, 2}));
    const std::vector<std::uint32_t> expected = {
        kBlack, kBlack,     kBlack,     kBlack, kBlack, kBlack,  //
        kBlack, 0xFFFE0000, 0xFF0000FE, kBlack, kBlack, kBlack,  //
        kBlack, 0xFFFE0000, 0xFF0000FE, kBlack, kBlack, kBlack};
    EXPECT_EQ(PixelsOf(dest), expected);
  }
}

TEST_F(StripList, BlendIsTransparencyInPercent) {
  const Bitmap invisible = Draw(0, 1, 100, 0x80123456);
  EXPECT_EQ(PixelsOf(invisible), std::vector<std::uint32_t>(18, 0x80123456));
  // Over a transparent destination the alpha becomes the larger of the two.
  const Bitmap opaque = Draw(0, 2, 0, 0x00000000);
  EXPECT_EQ(PixelsOf(opaque)[7], 0xFFFEFEFEu);
  EXPECT_EQ(PixelsOf(opaque)[8], 0x00000000u);
}

TEST_F(StripList, BackgroundColourFillsTheTargetFirst) {
  list.BkColor = 0x0000FF00;  // green as a TColor
  const Bitmap dest = Draw(0, 2);
  EXPECT_EQ(PixelsOf(dest)[8], 0xFF00FF00u) << "the transparent pixel shows the background";
}

TEST_F(StripList, IgnoreTransparencyCopiesThePixelsAsTheyAre) {
  list.IgnoreTransparency = true;
  const Bitmap dest = Draw(0, 1);
  EXPECT_EQ(PixelsOf(dest)[7], 0xFFFFFFFFu);
  EXPECT_EQ(PixelsOf(dest)[8], 0x00FFFFFFu);
}

TEST_F(StripList, DoDrawIgnoresTheEnabledFlag) {
  Bitmap enabled = FromPixels(6, 3, std::vector<std::uint32_t>(18, 0xFF204060));
  Bitmap disabled = FromPixels(6, 3, std::vector<std::uint32_t>(18, 0xFF204060));
  list.DoDrawBitmap(0, enabled, 1, 1, true);
  list.DoDrawBitmap(0, disabled, 1, 1, false);
  EXPECT_EQ(PixelsOf(enabled), PixelsOf(disabled));
  EXPECT_EQ(PixelsOf(enabled)[7], 0xFFFEFEFEu);
}

TEST(TsAlphaImageList, WithoutDoubleDataOnlyTheSystemListRemains) {
  TsAlphaImageList list(true);
  list.DoubleData = false;
  const auto picture = Gradient(16, 7);
  list.Items().push_back(PngItem(test::RgbaPng(16, 16, picture)));
  list.Loaded();
  EXPECT_TRUE(list.Items().empty());
  ASSERT_NE(list.StdList(), nullptr);
  EXPECT_EQ(list.StdList()->Count(), 1);
  const auto drawn = list.CreateBitmap32(0, 16, 16);
  Bitmap icon;
  ASSERT_TRUE(list.StdList()->GetIconBitmap(0, icon));
  EXPECT_EQ(PixelsOf(*drawn), PixelsOf(icon));
  EXPECT_EQ(PixelsOf(icon), picture);
}

TEST(TsAlphaImageList, UpdatesHoldBackNotifications) {
  TsAlphaImageList list;
  int changes = 0;
  const int link = list.AddChangeLink([&] { ++changes; });
  list.AcBeginUpdate();
  EXPECT_TRUE(list.TryLoadFromPngStream(test::RgbaPng(2, 2, {1, 2, 3, 4})));
  EXPECT_EQ(changes, 0);
  list.AcEndUpdate(true);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(list.StdList()->Count(), 1);
  list.RemoveChangeLink(link);
  list.Clear();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(list.GetCount(), 0);
}

TEST(TsAlphaImageList, ItemOperationsKeepPicturesAndIconsTogether) {
  TsAlphaImageList list;
  for (std::uint32_t colour : {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u})
    ASSERT_TRUE(
        list.TryLoadFromPngStream(test::RgbaPng(16, 16, std::vector<std::uint32_t>(256, colour))));
  EXPECT_FALSE(list.TryLoadFromPngStream(test::Bytes{1, 2, 3}));
  auto colour_at = [&list](int index) { return PixelsOf(*list.CreateBitmap32(index, 16, 16))[0]; };
  auto icon_at = [&list](int index) {
    Bitmap icon;
    EXPECT_TRUE(list.StdList()->GetIconBitmap(index, icon));
    return PixelsOf(icon)[0];
  };
  list.MoveItem(0, 2);
  EXPECT_EQ(colour_at(0), 0xFF00FF00u);
  EXPECT_EQ(colour_at(2), 0xFF0000FFu);
  EXPECT_EQ(icon_at(2), 0xFF0000FFu);
  list.Delete(0);
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(icon_at(0), 0xFFFF0000u);

  list.Replace(1, FromPixels(16, 16, std::vector<std::uint32_t>(256, 0x80102030)));
  EXPECT_EQ(list.Items()[1]->ImageFormat, ifBMP32);
  EXPECT_EQ(colour_at(1), 0x80102030u);

  TsAlphaImageList copy;
  copy.Assign(list);
  EXPECT_EQ(copy.GetCount(), 2);
  EXPECT_EQ(PixelsOf(*copy.CreateBitmap32(1, 16, 16))[0], 0x80102030u);
  EXPECT_EQ(copy.AddImage(list, 0), 3);
  EXPECT_EQ(copy.AddImage(list, 7), -1);
  EXPECT_EQ(copy.Add(FromPixels(16, 16, std::vector<std::uint32_t>(256, 0xFF445566))), 3);
}

TEST(TsAlphaImageList, ListsAreWalkedInCreationOrder) {
  std::vector<TacImageList*> seen;
  auto collect = [](TacImageList& list, void* data) {
    static_cast<std::vector<TacImageList*>*>(data)->push_back(&list);
  };
  TsAlphaImageList first;
  {
    TsAlphaImageList second;
    IterateImageLists(collect, &seen);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[seen.size() - 2], &first);
    EXPECT_EQ(seen.back(), &second);
  }
  seen.clear();
  IterateImageLists(collect, &seen);
  EXPECT_EQ(seen.back(), &first);
}

class LoadingFiles : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const test::Bytes& bytes) {
    return dir.Write(name, std::string(bytes.begin(), bytes.end()));
  }

  test::TempDir dir;
  TsAlphaImageList list;
};

TEST_F(LoadingFiles, FormatsAreKnownByTheirFirstBytes) {
  const test::Bytes png = test::RgbaPng(2, 2, {1, 2, 3, 4});
  const Bitmap picture = FromPixels(2, 2, {0xFF112233, 0x80445566, 0, 0xFFFFFFFF});
  struct Case {
    const char* name;
    test::Bytes bytes;
    bool known;
    TsImageFormat format;
  };
  const Case cases[] = {
      {"a.png", png, true, ifPNG},
      {"png-named.bmp", png, true, ifPNG},
      {"b.ICO", EncodeIco32(picture), true, ifICO},
      {"b-icon-bytes.dat", EncodeIco32(picture), false, ifPNG},
      {"c.bmp", EncodeBmp32(picture), true, ifBMP32},
      {"d.gif", {'G', 'I', 'F', '8', '9', 'a'}, false, ifPNG},
      {"empty.png", {}, false, ifPNG},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TsImageFormat format = ifPNG;
    EXPECT_EQ(GetImageFormat(Write(c.name, c.bytes), format), c.known);
    if (c.known) {
      EXPECT_EQ(format, c.format);
    }
  }
  TsImageFormat format = ifBMP32;
  EXPECT_FALSE(GetImageFormat(dir.Folder() + "missing.png", format));
}

TEST_F(LoadingFiles, EachFormatLoadsAndNamesTheItem) {
  const Bitmap picture = FromPixels(2, 2, {0xFF112233, 0x80445566, 0, 0xFFFFFFFF});
  ASSERT_TRUE(list.TryLoadFromFile(Write("wand.png", test::RgbaPng(2, 2, PixelsOf(picture)))));
  ASSERT_TRUE(list.TryLoadFromFile(Write("icon.ico", EncodeIco32(picture))));
  ASSERT_TRUE(list.TryLoadFromFile(Write("bits.bmp", EncodeBmp32(picture))));
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.Items()[0]->ImageName, dir.Folder() + "wand");
  EXPECT_EQ(list.Items()[1]->ImageFormat, ifICO);
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(PixelsOf(DecodeItem(list.Items()[i]->ImageFormat, list.Items()[i]->ImgData)),
              PixelsOf(picture));
  }
}

TEST_F(LoadingFiles, TwentyFourBitBmpKeysOutItsBottomLeftColour) {
  // 2 x 2, bottom-up rows of 8 bytes (6 of pixels, 2 of padding): bottom-left is magenta.
  test::Bytes bmp = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                     0,   0,   0,  2, 0, 0, 0, 2, 0, 0, 0,  1, 0, 24, 0};
  bmp.resize(54, 0);
  bmp.insert(bmp.end(), {0xFF, 0, 0xFF, 0x10, 0x20, 0x30, 0, 0, 1, 2, 3, 0xFF, 0, 0xFF, 0, 0});
  EXPECT_EQ(PixelsOf(DecodeBmpPicture(bmp)),
            (std::vector<std::uint32_t>{0xFF030201, 0x00FF00FF, 0x00FF00FF, 0xFF302010}));
}

TEST_F(LoadingFiles, DamagedFilesAreRefusedWithTheErrorText) {
  test::Bytes truncated = test::RgbaPng(8, 8, std::vector<std::uint32_t>(64, 0xFF000000));
  truncated.resize(truncated.size() / 2);
  const std::string path = Write("broken.png", truncated);
  EXPECT_FALSE(list.TryLoadFromFile(path));
  EXPECT_FALSE(list.TryLoadFromFile(dir.Folder() + "missing.png"));
  try {
    list.LoadFromFile(path);
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot load " + path + "\r\nInvalid or unexpected image format.");
  }
  EXPECT_EQ(list.GetCount(), 0);
}

TEST(ReadImageList, StoredItemsAndTheirErrors) {
  const test::Bytes png = test::RgbaPng(2, 1, {0xFF0000FF, 0x80FF0000});
  std::string hex;
  for (std::uint8_t byte : png) {
    char two[3];
    std::snprintf(two, sizeof two, "%02X", byte);
    hex += two;
  }
  const auto description = platform::ParseFormDescription(
      "[Form]\nkind = form\n[Images]\nkind = image_list\nparent = Form\nsize = 24, 24\n"
      "item0 = ifPNG, \"dot\", \"" +
      hex + "\"\n");
  TsAlphaImageList list(true);
  ReadImageList(*description.Find("Images"), list);
  EXPECT_EQ(list.Width(), 24);
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.Items()[0]->ImgData, png);
  EXPECT_EQ(list.Items()[0]->ImageName, "dot");
  EXPECT_EQ(list.StdList()->Width(), 24);

  for (const char* bad : {"item0 = ifGIF, \"x\", \"00\"", "item0 = ifPNG, \"x\", \"0G\"",
                          "item0 = ifPNG, \"x\", \"ABC\"", "item0 = ifPNG, \"x\""}) {
    SCOPED_TRACE(bad);
    const auto broken = platform::ParseFormDescription(
        std::string("[Form]\nkind = form\n[Images]\nkind = image_list\nparent = Form\n") + bad);
    TsAlphaImageList other(true);
    EXPECT_THROW(ReadImageList(*broken.Find("Images"), other), Error);
  }
}

// The window's stored description carries the drawn pictures byte for byte.
TEST(ReadImageList, MainWindowDescriptionHoldsTheDrawnPictures) {
  const auto description = test::MainDescription();
  const platform::ComponentDescription* stored = description.Find("sAlphaImageList");
  ASSERT_NE(stored, nullptr);
  TsAlphaImageList list(true);
  ReadImageList(*stored, list);
  ASSERT_EQ(list.GetCount(), 5);
  EXPECT_EQ(list.Width(), 16);
  const char* files[] = {"0_wand.png", "1_play.png", "2_cat.png", "3_coffee.png",
                         "4_double_tap.png"};
  for (std::size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(files[i]);
    const std::string bytes =
        test::ReadFileBytes(test::BuildPath(std::string(KESTRUNE_PICTURES_DIR) + "/" + files[i]));
    EXPECT_EQ(std::string(list.Items()[i]->ImgData.begin(), list.Items()[i]->ImgData.end()), bytes);
    const Bitmap picture = DecodeItem(ifPNG, list.Items()[i]->ImgData);
    EXPECT_EQ(picture.Width(), 32);
    EXPECT_EQ(picture.Height(), 32);
    EXPECT_EQ(picture.Row32(0)[0] >> 24, 0u) << "a transparent corner";
  }
}

}  // namespace
}  // namespace kestrune
