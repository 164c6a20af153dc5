// The glow registry, its fades and the glow picture, against a window system of records.

#include "skin/controls/glow.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_manager.h"
#include "skin/pixels/image_codecs.h"
#include "tests/skin/controls/glow/glow_fake.h"
#include "tests/skin/paint/skin_owner_fake.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::FakeGlowPlatform;
using test::FakeOwner;
using test::Hex;

// ---- Fade level

TEST(GlowFade, StepsFromTheCurrentLevel) {
  struct Case {
    const char* name;
    double level;
    int target;
    bool from_normal;
    bool fast;
    bool afresh;
    std::vector<int> opacities;  // after each tick
  };
  const Case cases[] = {
      {"hot from nothing", 0, ACHOT, true, false, true, {43, 85, 128, 170, 213, 255}},
      {"hot from half way", 128, ACHOT, true, false, true, {170, 213, 255}},
      {"hot, nearly there, still one step", 250, ACHOT, true, false, true, {255}},
      {"hot after a pressed fade: six steps",
       135,
       ACHOT,
       false,
       false,
       false,
       {155, 175, 195, 215, 235, 255}},
      {"pressed afresh starts from full",
       0,
       ACPRESSED,
       false,
       false,
       true,
       {213, 170, 128, 85, 43, 0}},
      {"pressed, fast, from a running fade", 120, ACPRESSED, false, true, false, {80, 40, 0}},
      {"normal, fast", 90, 0, false, true, false, {80, 70, 60, 50, 40, 30, 20, 10, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TacGlowFade fade;
    fade.Level = c.level;
    fade.Start(c.target, c.from_normal, c.fast, c.afresh);
    std::vector<int> got;
    while (fade.Running())
      got.push_back(fade.Tick());
    EXPECT_EQ(got, c.opacities);
    EXPECT_EQ(fade.Tick(), c.opacities.back()) << "a finished fade stays where it ended";
  }
}

TEST(GlowFade, BackToNormalTakesEighteenStepsToNothing) {
  TacGlowFade fade;
  fade.Level = 255;
  fade.Start(0, false, false, false);
  EXPECT_EQ(fade.StepsLeft, 18);
  EXPECT_EQ(fade.Tick(), 241);  // 255 - 255 / 18
  int last = 241;
  while (fade.Running()) {
    const int now = fade.Tick();
    EXPECT_LT(now, last);
    last = now;
  }
  EXPECT_EQ(last, 0);
}

// ---- Registry

// A tiny glow image: 8 x 8, margins 3, one frame, alpha rising towards the centre.
TsMaskData SmallGlowImage() {
  TsMaskData md;
  md.ClassName = "EDIT";
  md.PropertyName = "GLOW0";
  md.SkinIndex = 0;
  md.ImgType = itisaGlow;
  md.WL = md.WT = md.WR = md.WB = 3;
  md.Bmp = std::make_shared<Bitmap>(Bitmap::OnHeap(8, 8, TPixelFormat::pf32bit, RowOrder::TopDown));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      md.Bmp->Row32(y)[x] = 0x20202020u * static_cast<std::uint32_t>(1 + (x + y) % 4);
  md.R = Rect(0, 0, 8, 8);
  md.Width = md.Height = 8;
  return md;
}

TsGeneralData GlowSection(std::string name, int glow_count) {
  TsGeneralData gd = test::Section(std::move(name), 0x2D2D2D);
  gd.GlowCount = glow_count;
  gd.GlowMargin = 1;
  gd.OuterMode = 0;
  return gd;
}

class GlowRegistryTest : public testing::Test {
 protected:
  GlowRegistryTest()
      : manager_({GlowSection("EDIT", 1), GlowSection("PANEL", 0)}, {SmallGlowImage()}) {
    for (int i = 0; i < 3; ++i) {
      owners_.push_back(std::make_unique<FakeOwner>());
      states_.push_back(test::MakeState(*owners_.back()));
      states_.back()->SkinIndex = 0;
      states_.back()->FCommonSkinData = &manager_.Data();
    }
  }

  TsCommonData& State(int i) { return *states_[static_cast<std::size_t>(i)]; }
  // What a control does on mouse enter.
  void Hover(int i, std::uint8_t alpha = 255) {
    TsCommonData& data = State(i);
    data.GlowID = registry_.ShowGlow(platform_.visible, "", "GLOW", 1, alpha, &form_, &data);
  }

  test::TestManager manager_;
  FakeGlowPlatform platform_;
  int form_ = 0;  // stands for the form's window
  std::vector<std::unique_ptr<FakeOwner>> owners_;
  std::vector<std::unique_ptr<TsCommonData>> states_;
  // Goes before the states: it still resets their glow ids as it goes.
  TacGlowRegistry registry_{platform_};
};

TEST_F(GlowRegistryTest, AppendsHidingLeavesAHoleAndClearingStartsAgain) {
  Hover(0);
  Hover(1);
  EXPECT_EQ(State(0).GlowID, 0);
  EXPECT_EQ(State(1).GlowID, 1);

  registry_.HideGlow(State(0).GlowID, false);
  EXPECT_EQ(State(0).GlowID, -1);
  EXPECT_EQ(registry_.Size(), 2u) << "a hidden glow leaves its entry behind";
  EXPECT_EQ(registry_.Entry(0), nullptr);
  Hover(0);
  EXPECT_EQ(State(0).GlowID, 2) << "identifiers are not reused before clearing";

  registry_.ClearGlows(false, false);
  EXPECT_EQ(registry_.Size(), 0u);
  EXPECT_EQ(State(0).GlowID, -1);
  EXPECT_EQ(State(1).GlowID, -1);
  Hover(2);
  EXPECT_EQ(State(2).GlowID, 0);
}

TEST_F(GlowRegistryTest, ClearingKeepingTheLengthAlsoResetsTheControls) {
  Hover(0);
  Hover(1);
  registry_.ClearGlows(true, true);
  EXPECT_EQ(registry_.Size(), 2u);
  EXPECT_EQ(registry_.Entry(0), nullptr);
  EXPECT_EQ(registry_.Entry(1), nullptr);
  EXPECT_EQ(State(0).GlowID, -1);
  EXPECT_EQ(State(1).GlowID, -1);
  EXPECT_EQ(platform_.alive, 0) << "manual freeing destroys the windows at once";
  Hover(0);
  EXPECT_EQ(State(0).GlowID, 2) << "the control glows again";
}

TEST_F(GlowRegistryTest, HidingNothingOrAnEmptiedEntryOnlyResetsTheIdentifier) {
  Hover(0);
  int none = -1;
  registry_.HideGlow(none, true);
  EXPECT_EQ(none, -1);
  EXPECT_EQ(registry_.Size(), 1u);
  ASSERT_NE(registry_.Entry(0), nullptr);

  int stale = 0;
  registry_.HideGlow(stale, false);
  registry_.HideGlow(State(0).GlowID, false);
  EXPECT_EQ(State(0).GlowID, -1) << "an id of an emptied entry is let go";
  int beyond = 7;
  registry_.HideGlow(beyond, false);
  EXPECT_EQ(beyond, -1);
  registry_.SetGlowAlpha(7, 100);
  registry_.RepaintGlow(-1);
}

TEST_F(GlowRegistryTest, NoGlowWithoutLayeredWindowsStateImageOrWhileTheMouseIsCaptured) {
  TsCommonData& data = State(0);
  platform_.layered = false;
  EXPECT_EQ(registry_.ShowGlow(platform_.visible, "", "GLOW", 1, 255, &form_, &data), -1);
  platform_.layered = true;
  platform_.captured = true;
  EXPECT_EQ(registry_.ShowGlow(platform_.visible, "", "GLOW", 1, 255, &form_, &data), -1);
  platform_.captured = false;
  EXPECT_EQ(registry_.ShowGlow(platform_.visible, "", "GLOW", 1, 255, &form_, nullptr), -1);
  data.SkinIndex = 1;  // a section with GLOW = 0
  EXPECT_EQ(registry_.ShowGlow(platform_.visible, "", "GLOW", 1, 255, &form_, &data), -1);
  EXPECT_EQ(registry_.ShowGlow(platform_.visible, "EDIT", "NOSUCH", 1, 255, &form_, &data), -1);
  EXPECT_EQ(registry_.ShowGlow(platform_.visible, std::vector<int>{-1}, 1, 255, &form_, &data), -1);
  EXPECT_EQ(registry_.Size(), 0u);
  EXPECT_EQ(platform_.alive, 0);

  EXPECT_EQ(registry_.ShowGlow(platform_.visible, std::vector<int>{0}, 1, 255, &form_, &data), 0)
      << "an image index given directly skips the section";
}

TEST_F(GlowRegistryTest, AWindowThatCannotBeMadeLeavesTheGlowRegisteredWithoutAPicture) {
  platform_.can_create = false;
  Hover(0);
  EXPECT_EQ(State(0).GlowID, 0);
  EXPECT_EQ(registry_.Entry(0)->AlphaBmp, nullptr);
  registry_.HideGlow(State(0).GlowID, true);
  EXPECT_EQ(State(0).GlowID, -1) << "nothing to fade: hidden at once";
}

TEST_F(GlowRegistryTest, ClearingIsRefusedWhileAGlowWindowIsReleased) {
  Hover(0);
  Hover(1);
  platform_.on_release = [this] { registry_.ClearGlows(true, false); };
  registry_.HideGlow(State(0).GlowID, false);
  EXPECT_EQ(registry_.Size(), 2u);
  EXPECT_NE(registry_.Entry(1), nullptr);
  EXPECT_EQ(State(1).GlowID, 1);
  EXPECT_TRUE(platform_.released.size() == 1 && platform_.alive == 2)
      << "the window goes after the current message";
  platform_.RunDeferredReleases();
  EXPECT_EQ(platform_.alive, 1);

  platform_.on_release = nullptr;
  registry_.ClearGlows(false, false);
  EXPECT_EQ(registry_.Size(), 0u);
}

TEST_F(GlowRegistryTest, AnimatedHidingFadesOutThenLetsTheControlGo) {
  Hover(0);
  test::FakeGlowWindow* window = platform_.Last();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->alpha, 255);

  registry_.HideGlow(State(0).GlowID, true);
  EXPECT_EQ(State(0).GlowID, 0) << "the glow stays up while it fades";
  ASSERT_TRUE(window->tick);
  int ticks = 0;
  while (platform_.released.empty() && ticks < 100) {
    window->tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 18);
  EXPECT_EQ(State(0).GlowID, -1);
  EXPECT_EQ(registry_.Entry(0), nullptr);
  EXPECT_EQ(platform_.released.size(), 1u);
}

TEST_F(GlowRegistryTest, AControlWithAStateFadeOfItsOwnLosesTheGlowAtOnce) {
  struct StateFade : TacStateFade {
    void FadeToCurrentState() override {}
    void Stop() override {}
    [[nodiscard]] bool Running() const override { return false; }
  } fade;
  State(0).AnimTimer = &fade;
  Hover(0);
  registry_.HideGlow(State(0).GlowID, true);
  EXPECT_EQ(State(0).GlowID, -1);
  EXPECT_EQ(platform_.released.size(), 1u);
  State(0).AnimTimer = nullptr;
}

TEST_F(GlowRegistryTest, ReturningDuringTheFadeOutRisesAgain) {
  Hover(0);
  test::FakeGlowWindow* window = platform_.Last();
  registry_.HideGlow(State(0).GlowID, true);
  for (int i = 0; i < 6; ++i)
    window->tick();
  EXPECT_LT(window->alpha, 255);
  State(0).FMouseAbove = true;
  for (int i = 0; i < 40 && window->tick; ++i)
    window->tick();
  EXPECT_EQ(window->alpha, 255);
  EXPECT_FALSE(window->tick) << "the fade ended";
  EXPECT_EQ(State(0).GlowID, 0);
  EXPECT_TRUE(window->shown);
}

TEST_F(GlowRegistryTest, AGlowStartedInvisibleRisesUntilItsOpacityIsDriven) {
  Hover(0, 0);
  test::FakeGlowWindow* window = platform_.Last();
  EXPECT_EQ(window->alpha, 0);
  ASSERT_TRUE(window->tick);
  window->tick();
  EXPECT_EQ(window->alpha, 43);

  registry_.SetGlowAlpha(State(0).GlowID, 300);
  EXPECT_EQ(window->alpha, 255);
  EXPECT_FALSE(window->tick) << "whoever sets the opacity drives it from now on";
  registry_.SetGlowAlpha(State(0).GlowID, 17);
  EXPECT_EQ(window->alpha, 17);
}

// ---- Placement

TEST_F(GlowRegistryTest, ZOrderIsDirectlyAboveTheForm) {
  int other = 0;
  struct Case {
    const char* name;
    bool topmost;
    TacWindow above;
    TacGlowPlace expected;
  };
  const Case cases[] = {
      {"below the window above the form", false, &other, {TacGlowPlace::Kind::Below, &other}},
      {"nothing above the form: the top, not below the form",
       false,
       nullptr,
       {TacGlowPlace::Kind::Top, nullptr}},
      {"a topmost form", true, &other, {TacGlowPlace::Kind::Topmost, nullptr}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform_.topmost = c.topmost;
    platform_.above = c.above;
    Hover(0);
    ASSERT_NE(platform_.Last(), nullptr);
    EXPECT_EQ(platform_.Last()->place, c.expected);
    registry_.HideGlow(State(0).GlowID, false);
  }
}

TEST_F(GlowRegistryTest, AControlNobodyCanSeeGetsNoGlow) {
  platform_.visible = TRect{};
  Hover(0);
  ASSERT_NE(platform_.Last(), nullptr);
  EXPECT_EQ(platform_.Last()->shows, 0);
  EXPECT_FALSE(platform_.Last()->shown);

  platform_.visible = Rect(100, 100, 300, 200);
  registry_.RepaintGlow(State(0).GlowID);
  EXPECT_TRUE(platform_.Last()->shown) << "once visible again a repaint shows it";
}

TEST_F(GlowRegistryTest, WindowsAboveTheControlStayUncovered) {
  // The glow is 204 x 104 at (98, 98) with this image (margins 3, glow margin 1). A strip crossing
  // the whole control has no corner inside it; a window beyond the glow does not matter.
  platform_.overlapping = {Rect(50, 140, 400, 150), Rect(600, 600, 700, 700)};
  Hover(0);
  const test::FakeGlowWindow* window = platform_.Last();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->pos, (TPoint{98, 98}));
  ASSERT_EQ(window->size, (TSize{204, 104}));
  const Bitmap& bmp = *window->picture;
  for (int x : {0, 1, 2, 201, 202, 203}) {
    SCOPED_TRACE(x);
    EXPECT_EQ(GetAPixel(bmp, x, 140 - 98).C, 0u);
    EXPECT_EQ(GetAPixel(bmp, x, 149 - 98).C, 0u);
    EXPECT_NE(GetAPixel(bmp, x, 150 - 98).C, 0u);
  }
}

// ---- The built-in skin's glow

std::uint32_t Held(std::uint32_t p) {
  const std::uint32_t a = p >> 24;
  const auto hold = [a](std::uint32_t c) { return std::min(c & 0xFFu, a); };
  return (a << 24) | (hold(p >> 16) << 16) | (hold(p >> 8) << 8) | hold(p);
}

TEST(BuiltinGlow, TheEditGlowAt96And144) {
  for (const int ppi : {96, 144}) {
    SCOPED_TRACE(std::to_string(ppi) + " PPI");
    HeadlessSkinPlatform skin_platform(ppi);
    TsSkinManager manager(skin_platform);
    manager.InternalSkins = BuiltinStoredSkins();
    manager.SetSkinName(std::string(kBuiltinSkinName));
    ASSERT_TRUE(manager.IsActive());
    TacSkinData& sd = manager.CommonSkinData(ppi);
    FakeOwner log;
    auto data = test::MakeState(log);
    data->SkinIndex = sd.GetSkinIndex("EDIT");
    data->FCommonSkinData = &sd;
    ASSERT_GE(data->SkinIndex, 0);
    const TsGeneralData& edit = sd.gd[static_cast<std::size_t>(data->SkinIndex)];
    const int image = sd.GetMaskIndex(data->SkinIndex, "GLOW0");
    ASSERT_GE(image, 0);
    const TsMaskData& md = sd.ma[static_cast<std::size_t>(image)];
    ASSERT_TRUE(md.Bmp);

    FakeGlowPlatform platform;
    const TRect log_rect = Rect(100, 100, 100 + 400 * ppi / 96, 100 + 150 * ppi / 96);
    platform.visible = log_rect;
    TacGlowRegistry registry(platform);
    int form = 0;
    data->GlowID =
        registry.ShowGlow(log_rect, "EDIT", "GLOW", edit.GlowMargin, 255, &form, data.get());
    ASSERT_EQ(data->GlowID, 0);
    const test::FakeGlowWindow* window = platform.Last();
    ASSERT_NE(window, nullptr);

    const int side = md.WL - edit.GlowMargin;
    if (ppi == 96) {
      EXPECT_EQ(side, 10) << "11 - 1 on every side";
    }
    EXPECT_EQ(window->pos, (TPoint{log_rect.Left - side, log_rect.Top - side}));
    EXPECT_EQ(window->size, (TSize{log_rect.Width() + 2 * side, log_rect.Height() + 2 * side}));
    const Bitmap& bmp = *window->picture;

    // The image's corners land in the glow's corners (colours held to their alpha, as a layered
    // window needs them); the control's area is clear.
    const Bitmap& pic = *md.Bmp;
    const int w = bmp.Width(), h = bmp.Height(), pw = pic.Width(), ph = pic.Height();
    for (int y = 0; y < md.WT; ++y) {
      for (int x = 0; x < md.WL; ++x) {
        ASSERT_EQ(Hex(GetAPixel(bmp, x, y).C), Hex(Held(GetAPixel(pic, x, y).C))) << x << "," << y;
        ASSERT_EQ(Hex(GetAPixel(bmp, w - 1 - x, h - 1 - y).C),
                  Hex(Held(GetAPixel(pic, pw - 1 - x, ph - 1 - y).C)))
            << x << "," << y;
      }
    }
    EXPECT_EQ(GetAPixel(bmp, w / 2, h / 2).A(), 0);
    EXPECT_EQ(GetAPixel(bmp, side + 20, side + 20).A(), 0);
    EXPECT_GT(GetAPixel(bmp, w / 2, side - 1).A(), 0) << "the halo just outside the log";
    EXPECT_EQ(GetAPixel(bmp, w / 2, 0).A(), 0) << "fades to nothing at the window's edge";
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const TsColor p = GetAPixel(bmp, x, y);
        ASSERT_TRUE(p.R() <= p.A() && p.G() <= p.A() && p.B() <= p.A())
            << "premultiplied at " << x << "," << y;
      }
    }

    // Kept for a look: the picture handed to the layered window.
    const ByteBuffer png = EncodePng32(bmp);
    std::ofstream("glow_" + std::to_string(ppi) + ".png", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  }
}

}  // namespace
}  // namespace kestrune::skin
