#include "skin/data/skin_colors.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_archive_writer.h"
#include "skin/data/skin_manager.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

std::string Hex(TColor c) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(c));
  return text;
}

// Every palette colour distinct.
TacPalette MarkedPalette() {
  TacPalette palette{};
  for (std::size_t i = 0; i < palette.size(); ++i) {
    palette[i] = static_cast<TColor>(0x010203u * static_cast<std::uint32_t>(i + 1));
  }
  return palette;
}

TsStoredSkins SkinWithoutTitleOrHint() {
  const std::string options = "[GLOBALINFO]\nVERSION=1.0\n[BUTTON]\nCOLOR=255\n";
  TsStoredSkin item;
  item.Name = "Plain";
  const std::vector<PackedMember> members = {
      {"OPTIONS.DAT", Bytes(options.begin(), options.end())}};
  item.PackedData = PackSkinArchive(members, std::nullopt);
  TsStoredSkins skins;
  skins.Items.push_back(std::move(item));
  return skins;
}

struct Case {
  TColor color;
  TColor expected;
};

void ExpectAll(const std::vector<Case>& cases, const TsSkinManager* manager) {
  for (const Case& c : cases) {
    SCOPED_TRACE(Hex(c.color));
    EXPECT_EQ(Hex(acColorToRGB(c.color, manager)), Hex(c.expected));
  }
}

TEST(AcColorToRGBTest, ThroughTheActiveSkin) {
  HeadlessSkinPlatform platform(96);
  TsSkinManager manager(platform);
  manager.InternalSkins = BuiltinStoredSkins();
  manager.SetSkinName(std::string(kBuiltinSkinName));
  ASSERT_TRUE(manager.IsActive());
  manager.Palette = MarkedPalette();
  const TacPalette& p = manager.Palette;
  const TsGeneralData& title =
      manager.gd()[static_cast<std::size_t>(manager.SkinCommonInfo.Sections[ssFormTitle])];
  const TsGeneralData& hint =
      manager.gd()[static_cast<std::size_t>(manager.SkinCommonInfo.Sections[ssHint])];
  // The sections' own colours must differ from the palette fallbacks for the rows to tell.
  ASSERT_NE(title.Props[1].Color, p[pcMainColor]);
  ASSERT_NE(hint.Props[0].Color, p[pcEditBG]);

  const std::vector<Case> cases = {
      {0x00123456, 0x00123456},
      {slMainColor, p[pcMainColor]},
      {clScrollBar, p[pcMainColor]},
      {clBackground, p[pcMainColor]},
      {clMenu, p[pcMainColor]},
      {clAppWorkSpace, p[pcMainColor]},
      {clBtnFace, p[pcMainColor]},
      {clMenuBar, p[pcMainColor]},
      {clActiveCaption, title.Props[1].Color},
      {clGradientActiveCaption, title.Props[1].Color},
      {clInactiveCaption, title.Props[0].Color},
      {clGradientInactiveCaption, title.Props[0].Color},
      {clCaptionText, title.Props[1].FontColor.Color},
      {clInactiveCaptionText, title.Props[0].FontColor.Color},
      {clMenuText, p[pcLabelText]},
      {clBtnText, p[pcLabelText]},
      {clWindowText, p[pcEditText]},
      {clWindow, p[pcEditBG]},
      {clInfoText, hint.Props[0].FontColor.Color},
      {clInfoBk, hint.Props[0].Color},
      {clWindowFrame, p[pcBorder]},
      {clActiveBorder, p[pcBorder]},
      {clInactiveBorder, p[pcBorder]},
      {clHighlight, p[pcSelectionBG_Focused]},
      {clMenuHighlight, p[pcSelectionBG_Focused]},
      {clHighlightText, p[pcSelectionText_Focused]},
      {clHotLight, p[pcWebTextHot]},
      {clBtnShadow, BlendColors(p[pcMainColor], clBlack, 230)},
      {cl3DDkShadow, BlendColors(p[pcMainColor], clBlack, 210)},
      {cl3DLight, BlendColors(p[pcMainColor], clWhite, 180)},
      {clGrayText, BlendColors(p[pcMainColor], p[pcLabelText], 127)},
      {clBtnHighlight, BlendColors(p[pcMainColor], p[pcSelectionBG_Focused], 127)},
      {slBtnRed, p[pcBtnToneRed]},
      {slBtnGreen, p[pcBtnToneGreen]},
      {slBtnBlue, p[pcBtnToneBlue]},
      {slBtnYellow, p[pcBtnToneYellow]},
      {slBtnRedActive, p[pcBtnToneRedActive]},
      {slBtnGreenActive, p[pcBtnToneGreenActive]},
      {slBtnBlueActive, p[pcBtnToneBlueActive]},
      {slBtnYellowActive, p[pcBtnToneYellowActive]},
      {slBtnRedText, p[pcBtnRedText]},
      {slBtnGreenText, p[pcBtnGreenText]},
      {slBtnBlueText, p[pcBtnBlueText]},
      {slBtnYellowText, p[pcBtnYellowText]},
      {slBtnRedTextActive, p[pcBtnRedTextActive]},
      {slBtnGreenTextActive, p[pcBtnGreenTextActive]},
      {slBtnBlueTextActive, p[pcBtnBlueTextActive]},
      {slBtnYellowTextActive, p[pcBtnYellowTextActive]},
      {slEditRed, p[pcEditBG_Alert]},
      {slEditGreen, p[pcEditBG_Ok]},
      {slEditYellow, p[pcEditBG_Warning]},
      {slEditRedText, p[pcEditText_Alert]},
      {slEditGreenText, p[pcEditText_Ok]},
      {slEditYellowText, p[pcEditText_Warning]},
      // Not in the table: the platform answers, index 25 included.
      {SystemColor(25), ColorToRGB(SystemColor(25))},
      {static_cast<TColor>(0xFF123456u), ColorToRGB(static_cast<TColor>(0xFF123456u))},
  };
  ExpectAll(cases, &manager);
  // Without a manager given, the default manager (this one, the first alive) answers.
  ASSERT_EQ(DefaultManager(), &manager);
  ExpectAll(cases, nullptr);
}

TEST(AcColorToRGBTest, WithoutTitleOrHintSectionsThePaletteStandsIn) {
  HeadlessSkinPlatform platform(96);
  TsSkinManager manager(platform);
  manager.InternalSkins = SkinWithoutTitleOrHint();
  manager.SetSkinName("Plain");
  ASSERT_TRUE(manager.IsActive());
  manager.Palette = MarkedPalette();
  const TacPalette& p = manager.Palette;
  ExpectAll({{clActiveCaption, p[pcMainColor]},
             {clInactiveCaption, p[pcMainColor]},
             {clCaptionText, p[pcLabelText]},
             {clInactiveCaptionText, p[pcLabelText]},
             {clInfoText, p[pcEditText]},
             {clInfoBk, p[pcEditBG]}},
            &manager);
}

TEST(AcColorToRGBTest, WithoutAnActiveManager) {
  // Pseudo colours fall back to the colour in their low bits; system colours go to the platform.
  const std::vector<Case> cases = {
      {0x00123456, 0x00123456},
      {clWindow, ColorToRGB(clWindow)},
      {clBtnFace, ColorToRGB(clBtnFace)},
      {SystemColor(100), ColorToRGB(SystemColor(100))},
      {slMainColor, ColorToRGB(slMainColor)},
      {slBtnRed, 0x9E9EFF},
      {slBtnGreenTextActive, 0x008E00},
      {slEditYellowText, 0x004C4C},
      {SystemColor(101), 101},
  };
  ASSERT_EQ(DefaultManager(), nullptr);
  ExpectAll(cases, nullptr);

  HeadlessSkinPlatform platform(96);
  TsSkinManager manager(platform);  // No skin loaded: not active.
  manager.Palette = MarkedPalette();
  ExpectAll(cases, &manager);
  ExpectAll(cases, nullptr);

  // While a skin change runs the palette answers, even before the skin counts as active.
  manager.ManagerState |= msSkinChanging;
  ExpectAll({{clWindow, manager.Palette[pcEditBG]}, {slBtnRed, manager.Palette[pcBtnToneRed]}},
            &manager);
}

}  // namespace
}  // namespace kestrune::skin
