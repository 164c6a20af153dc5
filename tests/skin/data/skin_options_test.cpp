#include "skin/data/skin_options.h"

#include <gtest/gtest.h>

#include "tests/support/build_path.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/error.h"

namespace kestrune::skin {
namespace {

TsSkinOptions Load(const std::string& text, int ppi = 96, std::string_view common = {}) {
  const IniStore ini(text);
  TsOptionsContext context;
  context.PPI = ppi;
  context.CommonSections = common;
  return LoadSkinOptions(ini, context);
}

const TsGeneralData& Section(const TsSkinOptions& skin, std::string_view name) {
  for (const TsGeneralData& data : skin.gd) {
    if (data.ClassName == name) {
      return data;
    }
  }
  static const TsGeneralData missing;
  ADD_FAILURE() << "no section " << name;
  return missing;
}

const TsMaskData* Mask(const TsSkinOptions& skin, std::string_view section, std::string_view key) {
  for (const TsMaskData& mask : skin.ma) {
    if (mask.ClassName == section && mask.PropertyName == key) {
      return &mask;
    }
  }
  return nullptr;
}

std::string ReadAsset(const std::string& name) {
  return test::ReadFileBytes(std::filesystem::path(test::BuildPath(KESTRUNE_SKIN_ASSETS_DIR)) /
                             name);
}

TEST(SkinOptions, DensityIndexesAndScaling) {
  struct Case {
    int ppi;
    int index;
  };
  for (const Case c : {Case{72, 0}, Case{96, 0}, Case{110, 0}, Case{111, 1}, Case{134, 1},
                       Case{135, 2}, Case{170, 2}, Case{171, 3}, Case{288, 3}}) {
    EXPECT_EQ(PPIToIndex(c.ppi), c.index) << c.ppi;
  }
  EXPECT_EQ(ScaleByIndex(9, 0), 9);
  EXPECT_EQ(ScaleByIndex(9, 1), 11);
  EXPECT_EQ(ScaleByIndex(9, 2), 13);
  EXPECT_EQ(ScaleByIndex(9, 3), 18);
  EXPECT_EQ(ScaleByIndex(-5, 2), -7);
  EXPECT_EQ(ScaleByDensity(17, 144), 26);
  EXPECT_EQ(ScaleByDensity(-3, 144), -5);
  EXPECT_EQ(ScaleByDensity(10, 120), 13);
  EXPECT_EQ(ScaleByDensity(INT32_MAX, 192), INT32_MAX);
}

// Upwards from the first density at or above the screen's, then downwards.
TEST(SkinOptions, NearestDensityVariant) {
  struct Case {
    int ppi;
    std::vector<int> written;
    int chosen;
  };
  const Case cases[] = {
      {96, {0, 1}, 0},  {96, {1, 3}, 1},  {100, {0, 1}, 1}, {120, {0, 1, 2}, 1}, {130, {0, 3}, 3},
      {130, {0, 1}, 1}, {200, {0, 2}, 2}, {288, {1, 2}, 2}, {72, {2, 3}, 2},     {144, {}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.ppi) + " dpi, " + std::to_string(c.written.size()) + " written");
    EXPECT_EQ(NearestDensityIndex(c.ppi,
                                  [&](int i) {
                                    return std::find(c.written.begin(), c.written.end(), i) !=
                                           c.written.end();
                                  }),
              c.chosen);
  }
}

TEST(SkinOptions, SectionKeysFollowInheritanceAndCaps) {
  const TsSkinOptions skin = Load(
      "[BASE]\nGLOW=-3\nOUTOFFSL=-5\nOUTBLUR=4\nSTATES=2\nBORDERWIDTH=0\n"
      "[OWN]\nGLOW=-3\nOUTBLUR=50\nOUTRADIUS=70\nGLOWMARGIN=300\nOUTOPACITY=999\n"
      "[CHILD]\nPARENTCLASS=BASE\nCOLOR=7\n"
      "[SELF]\nPARENTCLASS=SELF\nCOLOR=8\n"
      "[LOOPA]\nPARENTCLASS=LOOPB\nCOLOR=1\n"
      "[LOOPB]\nPARENTCLASS=LOOPA\nFONTCOLOR=2\n"
      "[NOTNUMBER]\nPARENTCLASS=CHILD\nCOLOR=red\nGIVEOWNFONT=True\nSHIFTCLICK=1\n"
      "[FLAGS]\nGIVEOWNFONT=TRUE\nRESERVEDBOOLEAN=1\nSHIFTCLICK=true\n"
      "[CASE]\nColor=5\n");
  const TsGeneralData& base = Section(skin, "BASE");
  EXPECT_EQ(base.GlowCount, 0);  // A negative count is brought into its range.
  EXPECT_EQ(base.BorderWidth, 0);
  const TsGeneralData& child = Section(skin, "CHILD");
  EXPECT_EQ(child.ParentClass, "BASE");
  EXPECT_EQ(child.GlowCount, 0);          // An inherited negative value gives the default.
  EXPECT_EQ(child.OuterOffset.Left, -5);  // Unless the key allows negative values.
  EXPECT_EQ(child.OuterBlur, 4);
  EXPECT_EQ(child.States, 2);
  EXPECT_EQ(child.Props[0].Color, 7);
  const TsGeneralData& own = Section(skin, "OWN");
  EXPECT_EQ(own.OuterBlur, 30);
  EXPECT_EQ(own.OuterRadius, 60);
  EXPECT_EQ(own.GlowMargin, 255);
  EXPECT_EQ(own.OuterOpacity, 255);
  EXPECT_EQ(Section(skin, "SELF").Props[0].Color, 8);
  EXPECT_EQ(Section(skin, "SELF").Props[0].FontColor.Color, 0);
  EXPECT_EQ(Section(skin, "LOOPA").Props[0].FontColor.Color, 2);
  EXPECT_EQ(Section(skin, "LOOPB").Props[0].Color, 1);
  EXPECT_EQ(Section(skin, "LOOPB").Props[0].BorderColor, clFuchsia);
  const TsGeneralData& not_number = Section(skin, "NOTNUMBER");
  EXPECT_EQ(not_number.Props[0].Color, 7);
  EXPECT_FALSE(not_number.GiveOwnFont);
  EXPECT_TRUE(not_number.ShiftOnClick);
  const TsGeneralData& flags = Section(skin, "FLAGS");
  EXPECT_TRUE(flags.GiveOwnFont);
  EXPECT_TRUE(flags.ReservedBoolean);
  EXPECT_FALSE(flags.ShiftOnClick);
  EXPECT_EQ(Section(skin, "CASE").Props[0].Color, clWhite);
}

const TsGeneralData& SectionS(const TsSkinOptions& skin) {
  return Section(skin, "S");
}

// Numbers far outside what a skin means take the nearer end of their key's range, so that no
// painting arithmetic on them can overflow; values inside stay as written.
TEST(SkinOptions, NumbersAreBroughtIntoTheirRanges) {
  struct Case {
    const char* text;
    int (*read)(const TsSkinOptions&);
    int expected;
  };
  const Case cases[] = {
      {"[S]\nBORDERWIDTH=2147483647\n", [](auto& o) { return SectionS(o).BorderWidth; }, 255},
      {"[S]\nBORDERWIDTH=-7\n", [](auto& o) { return SectionS(o).BorderWidth; }, 0},
      {"[S]\nSTATES=-2147483648\n", [](auto& o) { return SectionS(o).States; }, 0},
      {"[S]\nSTATES=2\n", [](auto& o) { return SectionS(o).States; }, 2},
      {"[S]\nBORDERRADIUS=100000\n", [](auto& o) { return SectionS(o).BorderRadius; }, 255},
      {"[S]\nGLOWMARGIN=-100000\n", [](auto& o) { return SectionS(o).GlowMargin; }, 0},
      {"[S]\nOUTERMODE=9\n", [](auto& o) { return SectionS(o).OuterMode; }, 4},
      {"[S]\nOUTOFFSB=-100000\n", [](auto& o) { return SectionS(o).OuterOffset.Bottom; }, -255},
      {"[S]\nGSIZE=100000\n", [](auto& o) { return SectionS(o).Props[0].GlowSize; }, 255},
      {"[S]\nIMAGEPERCENT=2147483647\n", [](auto& o) { return SectionS(o).Props[0].ImagePercent; },
       100},
      {"[S]\nHOTGRADIENTPERCENT=-5\n", [](auto& o) { return SectionS(o).Props[1].GradientPercent; },
       0},
      {"[S]\nTRANSPARENCY=40\n", [](auto& o) { return SectionS(o).Props[0].Transparency; }, 40},
      {"[S]\nTRANSPARENCY=400\n", [](auto& o) { return SectionS(o).Props[0].Transparency; }, 100},
      {"[GLOBALINFO]\nTITLEHEIGHT=100000\n", [](auto& o) { return o.Metrics.ExTitleHeight; }, 255},
      {"[GLOBALINFO]\nWSHSIZE=100000\n", [](auto& o) { return o.Metrics.WndShadowSize; }, 255},
      {"[GLOBALINFO]\nBICONCLOSEGLOWMARGIN=100000\n",
       [](auto& o) { return o.Metrics.GlowMargins[1]; }, 255},
      {"[GLOBALINFO]\nBIRIGHT=-3\n", [](auto& o) { return o.Metrics.BIRightMargin; }, -3},
      {"[GLOBALINFO]\nSH_BLUR_OE=100000\n", [](auto& o) { return o.oe[1].Blur; }, 30},
      {"[GLOBALINFO]\nLO_OFFSETL=-2147483648\n", [](auto& o) { return o.oe[0].OffsetL; }, -255},
      {"[GLOBALINFO]\nBRIGHTMAX=1000\n", [](auto& o) { return o.CommonInfo.BrightMax; }, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.read(Load(c.text)), c.expected);
  }
  // Scaled values are scaled after they are brought into range.
  EXPECT_EQ(Section(Load("[S]\nBORDERRADIUS=100000\n", 192), "S").BorderRadius, 510);
  EXPECT_EQ(Section(Load("[S]\nGLOWMARGIN=100000\n", 144), "S").GlowMargin, 383);
  EXPECT_EQ(Load("[GLOBALINFO]\nTITLEHEIGHT*150=100000\n", 144).Metrics.ExTitleHeight, 255);
}

TEST(SkinOptions, RangesOfNumberKeys) {
  EXPECT_EQ(NumberRange("FORM", "BORDERWIDTH")->Max, 255);
  EXPECT_EQ(NumberRange("GLOBALINFO", "BORDERWIDTH")->Max, 255);
  EXPECT_EQ(NumberRange("EDIT", "HOTTRANSPARENCY")->Max, 100);
  EXPECT_EQ(NumberRange("GLOBALINFO", "SH_OFFSETL")->Min, -255);
  EXPECT_EQ(NumberRange("TABTOP", "TABSCOVERING")->Max, 255);
  EXPECT_FALSE(NumberRange("GLOBALINFO", "TABSCOVERING"));  // Not read there.
  EXPECT_FALSE(NumberRange("FORM", "COLOR"));               // Colours take any value.
  EXPECT_FALSE(NumberRange("GLOBALINFO", "LO_COLORL"));
  EXPECT_FALSE(NumberRange("FORM", "TITLEHEIGHT"));  // A GLOBALINFO key only.
}

TEST(SkinOptions, StatesAreReadOrCopied) {
  const TsSkinOptions skin = Load(
      "[GLOBALINFO]\nDEFLIGHT=77\n"
      "[ONE]\nSTATES=1\nCOLOR=1\nHOTCOLOR=2\nGRADIENTDATA=-10197916;0;12;-10197916;100;12;B\n"
      "[THREE]\nCOLOR=1\nHOTCOLOR=2\nCOLOR2=3\nLIGHT1=5\nHOTGRADIENTDATA=N/A\n"
      "[OWN2]\nUSESTATE2=1\nCOLOR=1\nHOTCOLOR=2\nCOLOR2=3\nTRANSPARENCY2=40\nGSIZE=4\nHGSIZE=6\n"
      "HGCOL=255\nTCLEFT2=9\n");
  const TsGeneralData& one = Section(skin, "ONE");
  ASSERT_EQ(one.Props[0].GradientArray.size(), 2u);
  EXPECT_EQ(one.Props[0].GradientArray[1].Percent, 100);
  EXPECT_EQ(one.Props[1], one.Props[0]);
  EXPECT_EQ(one.Props[2], one.Props[0]);
  EXPECT_NE(one.Props[1].GradientArray.data(), one.Props[0].GradientArray.data());
  EXPECT_EQ(one.Props[0].LightColor, 77);

  const TsGeneralData& three = Section(skin, "THREE");
  EXPECT_EQ(three.Props[0].Color, 1);
  EXPECT_EQ(three.Props[1].Color, 2);
  EXPECT_EQ(three.Props[1].LightColor, 5);
  EXPECT_TRUE(three.Props[1].GradientArray.empty());
  EXPECT_EQ(three.Props[2], three.Props[1]);

  const TsGeneralData& own2 = Section(skin, "OWN2");
  EXPECT_TRUE(own2.UseState2);
  EXPECT_EQ(own2.Props[2].Color, 3);
  EXPECT_EQ(own2.Props[2].Transparency, 40);
  EXPECT_EQ(own2.Props[2].FontColor.Left, 9);
  EXPECT_EQ(own2.Props[2].LightColor, 77);
  EXPECT_EQ(own2.GlowSize, 4);
  EXPECT_EQ(own2.HotGlowSize, 6);
  EXPECT_EQ(own2.HotGlowColor, 255);
  EXPECT_EQ(own2.GlowColor, clWhite);
}

TEST(SectionState, StaysWithinTheSectionsStatesAndTheThreeItKeeps) {
  struct Case {
    const char* name;
    int states;
    int state;
    int shown;
  };
  const Case cases[] = {
      {"below 0", 3, -1, 0},
      {"normal", 3, 0, 0},
      {"last state", 2, 1, 1},
      {"at the state count", 2, 2, 1},
      {"past the state count", 2, 3, 1},
      {"pressed of three", 3, 2, 2},
      {"past the three kept", 3, 3, 2},
      {"past the three kept, more states", 5, 4, 2},
      {"one state, hot", 1, 1, 0},
      {"one state, pressed", 1, 2, 0},
      {"no states", 0, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TsGeneralData section;
    section.States = c.states;
    EXPECT_EQ(SectionState(section, c.state), c.shown);
  }
}

TEST(SkinOptions, ContourKeysOfGlobalInfoAlsoFillThePalette) {
  const TsSkinOptions skin = Load(
      "[GLOBALINFO]\nTCTOP=123\nTCBOTTOM=456\nTABSCOVERING=3\n"
      "[TABTOP]\nTABSCOVERING=2\n[RIBBONTAB]\nTABSCOVERING=260\n");
  EXPECT_EQ(skin.Palette[pcWebTextHot], 123);
  EXPECT_EQ(skin.Palette[pcWebText], 456);
  const TsGeneralData& global = Section(skin, "GLOBALINFO");
  EXPECT_EQ(global.Props[0].FontColor.Top, 123);
  EXPECT_EQ(global.Props[0].FontColor.Bottom, 456);
  EXPECT_EQ(skin.CommonInfo.IndexGlobalInfo, 0);
  EXPECT_EQ(skin.Metrics.TabsCovering, 2);
  EXPECT_EQ(skin.Metrics.RibbonCovering, 255);  // Brought into its range, not wrapped.
  EXPECT_EQ(Load("[GLOBALINFO]\nTABSCOVERING=3\n").Metrics.TabsCovering, 0);
}

TEST(SkinOptions, StandardSectionsAndReplacements) {
  const TsSkinOptions skin = Load(
      "[BUTTON]\nCOLOR=1\n[TOOLBAR]\nCOLOR=2\n[FORMTITLE]\nCOLOR=3\n[SPEEDBUTTON]\nCOLOR=4\n"
      "[TOOLBUTTON]\nCOLOR=5\n[COLHEADERL]\nCOLOR=6\n");
  const TacSectionIndexes& s = skin.CommonInfo.Sections;
  EXPECT_EQ(s[ssButton], 0);
  EXPECT_EQ(s[ssEdit], -1);
  EXPECT_EQ(s[ssMenuCaption], s[ssToolBar]);
  EXPECT_EQ(s[ssDialogTitle], s[ssFormTitle]);
  EXPECT_EQ(s[ssMenuBtn], s[ssSpeedButton]);
  EXPECT_EQ(s[ssTB_Btn], s[ssToolButton]);
  EXPECT_EQ(s[ssColHeader], s[ssButton]);
  EXPECT_EQ(s[ssUpDownBtn], s[ssButton]);
  EXPECT_EQ(s[ssColHeaderL], 5);  // Present in the file.
  EXPECT_EQ(s[ssMenuLine], -1);
  EXPECT_EQ(s[ssFormHeader], -1);
  EXPECT_EQ(s[ssTB_MenuBtn], -1);
  EXPECT_EQ(s[ssTB_Tab], -1);  // TABTOP is missing too.
  // COLHEADERA is replaced by the COLHEADER record, itself a copy of BUTTON.
  ASSERT_GE(s[ssColHeaderA], 0);
  const TsGeneralData& col_header_record = skin.gd[static_cast<std::size_t>(s[ssColHeaderA])];
  EXPECT_EQ(col_header_record.ClassName, "COLHEADER");
  EXPECT_EQ(col_header_record.ParentClass, "BUTTON");
  EXPECT_EQ(col_header_record.Props[0].Color, 1);
  EXPECT_EQ(Section(skin, "COLHEADERA").ParentClass, "COLHEADER");
  EXPECT_EQ(Section(skin, "MENUCAPTION").Props[0].Color, 2);
  for (const TsGeneralData& data : skin.gd) {
    EXPECT_NE(data.ClassName, "MENULINE");
    EXPECT_NE(data.ClassName, "TB_TAB");
  }
  // The loader's own sections.
  ASSERT_GE(s[ssTransparent], 0);
  const TsGeneralData& transparent = skin.gd[static_cast<std::size_t>(s[ssTransparent])];
  EXPECT_EQ(transparent.ClassName, "TRANSPARENT");
  EXPECT_EQ(transparent.States, 1);
  EXPECT_EQ(transparent.Props[0].Transparency, 100);
  EXPECT_EQ(transparent.Props[0].Color, clWhite);
  EXPECT_EQ(transparent.Props[2], transparent.Props[0]);
  const TsGeneralData& main_color = Section(skin, "MAINCOLOR");
  EXPECT_EQ(main_color.Props[0].Transparency, 0);
  EXPECT_EQ(main_color.Props[0].Color, skin.Palette[pcMainColor]);
  EXPECT_EQ(main_color.Props[0].FontColor.Color, skin.Palette[pcLabelText]);
}

TEST(SkinOptions, SectionsOfTheFileAreNotReplaced) {
  const TsSkinOptions skin = Load(
      "[TRANSPARENT]\nTRANSPARENCY=50\n[MAINCOLOR]\nCOLOR=9\n[MENUCAPTION]\nCOLOR=4\n"
      "[TOOLBAR]\nCOLOR=2\n");
  EXPECT_EQ(skin.gd.size(), 4u);
  EXPECT_EQ(Section(skin, "TRANSPARENT").Props[0].Transparency, 50);
  EXPECT_EQ(Section(skin, "MAINCOLOR").Props[0].Color, 9);
  EXPECT_EQ(skin.CommonInfo.Sections[ssMenuCaption], 2);
  EXPECT_EQ(skin.CommonInfo.Sections[ssTransparent], 0);
}

TEST(SkinOptions, PaletteDefaultsAndBlends) {
  const TsSkinOptions skin = Load("[GLOBALINFO]\nVERSION=16.13\n");
  const TacPalette& p = skin.Palette;
  struct Case {
    TacPaletteColors entry;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {pcMainColor, 0xF0F0F0},  // The system button face.
      {pcLabelText, 0},
      {pcWebText, 0xFF0000},
      {pcWebTextHot, 0x0000FF},
      {pcEditText, 0},
      {pcEditBG, 0xFFFFFF},
      {pcHintText, 0},
      {pcHintBG, 0xE1FFFF},
      {pcSelectionText, 0xFFFFFF},
      {pcSelectionBG, 0xD77800},
      {pcSelectionBG_Focused, 0xD77800},
      {pcEditText_Ok, 0x404000},
      {pcEditText_Caution, 0x00006C},
      {pcEditText_Bypassed, 0x00006C},
      {pcEditBG_Bypassed, 0xDBDBFF},
      {pcEditText_Inverted, 0xFFFFFF},
      {pcEditBG_Inverted, 0},
      {pcEditBG_OddRow, 0xFFFFFF},
      {pcEditBG_EvenRow, 0xF1F1F1},     // (255 * 242) shr 8 = 241.
      {pcBtnColor1Active, 0xFFF3F3F3},  // (240 * 177 + 255 * 78) shr 8 = 243, alpha added.
      {pcBtnColor2Active, 0xFFF0F0F0},
      {pcBtnColor1Normal, 0xFFF0F0F0},
      {pcBtnColor2Normal, 0xFFE4E4E4},   // (240 * 244) shr 8 = 228.
      {pcBtnColor1Pressed, 0xFFDADADA},  // (240 * 233) shr 8 = 218.
      {pcBtnColor2Pressed, 0xFFDADADA},
      {pcBtnBorderPressed, 0},
      {pcBtnToneBlue, 0xFFEDC9},
      {pcBtnToneYellowActive, 0xCAF3FF},
      {pcBtnGreenText, 0x28851A},
      {pcBtnBlueTextActive, 0xAE7400},
      {pcGrid, 0xE0E0E0},  // (255 * 225) shr 8 = 224.
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.entry));
    EXPECT_EQ(static_cast<std::uint32_t>(p[c.entry]), c.expected);
  }
  EXPECT_DOUBLE_EQ(skin.CommonInfo.Version, 16.13);
}

// Every keyed palette colour: absent it takes its default, written it takes the value. The
// defaults are spelled out here on purpose, with the standard system colours.
TEST(SkinOptions, EveryPaletteKeyTakesItsValueOrItsDefault) {
  const std::map<std::string_view, std::uint32_t> defaults = {
      {"COLOR", 0xF0F0F0},
      {"FONTCOLOR", 0},
      {"TCBOTTOM", 0xFF0000},
      {"TCTOP", 0x0000FF},
      {"BORDERCOLOR", 0},
      {"EDITTEXT_OK", 0x404000},
      {"EDITTEXT_WARN", 0x004C4C},
      {"EDITTEXT_ALERT", 0x00006C},
      {"EDITBG_OK", 0xC9FFD2},
      {"EDITBG_WARN", 0xBAFFFF},
      {"EDITBG_ALERT", 0xDBDBFF},
      {"EDITTEXT_H1", 0},
      {"EDITTEXT_H2", 0},
      {"EDITTEXT_H3", 0},
      {"EDITTEXT_INV", 0xFFFFFF},
      {"EDITBG_INV", 0},
      {"EDITBG_ODD", 0xFFFFFF},
      {"EDITBG_EVEN", 0xF1F1F1},
      {"BTNCOLOR1ACTIVE", 0xFFF3F3F3},
      {"BTNCOLOR2ACTIVE", 0xFFF0F0F0},
      {"BTNBORDERACTIVE", 0},
      {"BTNFONTACTIVE", 0},
      {"BTNCOLOR1NORMAL", 0xFFF0F0F0},
      {"BTNCOLOR2NORMAL", 0xFFE4E4E4},
      {"BTNBORDERNORMAL", 0},
      {"BTNFONTNORMAL", 0},
      {"BTNCOLOR1PRESSED", 0xFFDADADA},
      {"BTNCOLOR2PRESSED", 0xFFDADADA},
      {"BTNBORDERPRESSED", 0},
      {"BTNFONTPRESSED", 0},
      {"COLORTONERED", 0x9E9EFF},
      {"COLORTONEGREEN", 0x7BD098},
      {"COLORTONEBLUE", 0xFFEDC9},
      {"COLORTONEYELLOW", 0xCAF3FF},
      {"COLORTONEREDACTIVE", 0x9E9EFF},
      {"COLORTONEGREENACTIVE", 0x7BD098},
      {"COLORTONEBLUEACTIVE", 0xFFEDC9},
      {"COLORTONEYELLOWACTIVE", 0xCAF3FF},
      {"COLORTONEREDTEXT", 0x0000B4},
      {"COLORTONEGREENTEXT", 0x28851A},
      {"COLORTONEBLUETEXT", 0xAE7400},
      {"COLORTONEYELLOWTEXT", 0x0079B5},
      {"COLORTONEREDTEXTACTIVE", 0x0000B4},
      {"COLORTONEGREENTEXTACTIVE", 0x28851A},
      {"COLORTONEBLUETEXTActive", 0xAE7400},
      {"COLORTONEYELLOWTEXTActive", 0x0079B5},
      {"GRIDLINE", 0xE0E0E0},
  };
  EXPECT_EQ(PaletteKeys().size(), defaults.size());
  const TsSkinOptions absent = Load("[GLOBALINFO]\n");
  for (const TsPaletteKey& row : PaletteKeys()) {
    SCOPED_TRACE(std::string(row.Key));
    const auto expected = defaults.find(row.Key);
    ASSERT_NE(expected, defaults.end()) << "a key without a pinned default";
    EXPECT_EQ(static_cast<std::uint32_t>(absent.Palette[row.Field]), expected->second);
    const TsSkinOptions written = Load("[GLOBALINFO]\n" + std::string(row.Key) + "=4660\n");
    EXPECT_EQ(written.Palette[row.Field], 4660);
  }
}

// The same for the keys of the two outer effects; the shadow's one colour serves all sides.
TEST(SkinOptions, EveryOuterEffectKeyTakesItsValueOrItsDefault) {
  const std::map<std::string_view, int> defaults = {
      {"LO_SOURCE", 2},        {"LO_COLORL", 0xFFFFFF}, {"LO_COLORT", 0},
      {"LO_COLORR", 0xFFFFFF}, {"LO_COLORB", 0xFFFFFF}, {"LO_OFFSETL", 2},
      {"LO_OFFSETR", 2},       {"LO_OFFSETT", 2},       {"LO_OFFSETB", 4},
      {"LO_WIDTHL", -1},       {"LO_WIDTHR", -1},       {"LO_WIDTHT", -1},
      {"LO_WIDTHB", -1},       {"LO_RADIUS_OE", 9},     {"LO_BLUR_OE", 5},
      {"LO_OPACITY", 200},     {"SH_SOURCE", 2},        {"SH_COLORL", 0},
      {"SH_OFFSETL", 3},       {"SH_OFFSETR", 3},       {"SH_OFFSETT", 2},
      {"SH_OFFSETB", 5},       {"SH_WIDTHL", -1},       {"SH_WIDTHR", -1},
      {"SH_WIDTHT", -1},       {"SH_WIDTHB", -1},       {"SH_RADIUS_OE", 9},
      {"SH_BLUR_OE", 5},       {"SH_OPACITY", 60},
  };
  EXPECT_EQ(OuterEffectKeys(0).size() + OuterEffectKeys(1).size(), defaults.size());
  const TsSkinOptions absent = Load("[GLOBALINFO]\n");
  for (std::size_t effect = 0; effect < 2; ++effect) {
    for (const TsOuterEffectKey& row : OuterEffectKeys(effect)) {
      SCOPED_TRACE(std::string(row.Key));
      const auto expected = defaults.find(row.Key);
      ASSERT_NE(expected, defaults.end()) << "a key without a pinned default";
      EXPECT_EQ(absent.oe[effect].*row.Field, expected->second);
      const int value = row.Range.Holds(7) ? 7 : 1;
      const TsSkinOptions written =
          Load("[GLOBALINFO]\n" + std::string(row.Key) + "=" + std::to_string(value) + "\n");
      EXPECT_EQ(written.oe[effect].*row.Field, value);
    }
  }
  const TacOutEffData shadow = Load("[GLOBALINFO]\nSH_COLORL=7\n").oe[1];
  EXPECT_EQ(shadow.ColorT, 7);
  EXPECT_EQ(shadow.ColorR, 7);
  EXPECT_EQ(shadow.ColorB, 7);
}

TEST(SkinOptions, PaletteFromSectionsAndKeys) {
  const TsSkinOptions skin = Load(
      "[GLOBALINFO]\nCOLOR=1052688\nFONTCOLOR=15790320\nBTNCOLOR1ACTIVE=4278190335\n"
      "COLORTONEBLUETEXTActive=42\nCOLORTONEBLUETEXTACTIVE=43\nGRIDLINE=5\nEDITTEXT_ALERT=7\n"
      "[EDIT]\nFONTCOLOR=17\nCOLOR=34\n"
      "[HINT]\nFONTCOLOR=51\nCOLOR=68\n"
      "[SELECTION]\nSTATES=1\nFONTCOLOR=85\nCOLOR=102\nHOTFONTCOLOR=1\nHOTCOLOR=2\n");
  const TacPalette& p = skin.Palette;
  EXPECT_EQ(p[pcMainColor], 0x101010);
  EXPECT_EQ(p[pcEditText], 17);
  EXPECT_EQ(p[pcEditBG], 34);
  EXPECT_EQ(p[pcHintText], 51);
  EXPECT_EQ(p[pcHintBG], 68);
  EXPECT_EQ(p[pcSelectionText], 85);
  EXPECT_EQ(p[pcSelectionBG_Focused], 102);  // One state: the focused colours are state 0's.
  EXPECT_EQ(static_cast<std::uint32_t>(p[pcBtnColor1Active]), 0xFF0000FFu);
  EXPECT_EQ(p[pcBtnBlueTextActive], 42);
  EXPECT_EQ(p[pcGrid], 5);
  EXPECT_EQ(p[pcEditText_Caution], 7);
  EXPECT_EQ(p[pcBtnFontPressed], 0xF0F0F0);
  EXPECT_EQ(p[pcEditText_Inverted], 34);
  // TRANSPARENT takes the label colour.
  EXPECT_EQ(Section(skin, "TRANSPARENT").Props[0].FontColor.Color, 0xF0F0F0);
}

TEST(SkinOptions, SelectionFallsBackToTheHotMenuItem) {
  const TsSkinOptions with_menu =
      Load("[SELECTION]\nFONTCOLOR=-1\nCOLOR=3\n[MENUITEM]\nHOTFONTCOLOR=16711935\nHOTCOLOR=4\n");
  EXPECT_EQ(with_menu.Palette[pcSelectionText], 0xFFFFFF);  // System highlight text.
  EXPECT_EQ(with_menu.Palette[pcSelectionText_Focused], 0xFFFFFF);
  EXPECT_EQ(with_menu.Palette[pcSelectionBG], 4);
  EXPECT_EQ(with_menu.Palette[pcSelectionBG_Focused], 4);
  const TsSkinOptions hot_text = Load("[MENUITEM]\nHOTFONTCOLOR=9\nHOTCOLOR=4\n");
  EXPECT_EQ(hot_text.Palette[pcSelectionText], 9);
  const TsSkinOptions two_states =
      Load("[SELECTION]\nSTATES=2\nFONTCOLOR=1\nCOLOR=2\nHOTFONTCOLOR=3\nHOTCOLOR=4\n");
  EXPECT_EQ(two_states.Palette[pcSelectionText], 1);
  EXPECT_EQ(two_states.Palette[pcSelectionText_Focused], 3);
  EXPECT_EQ(two_states.Palette[pcSelectionBG_Focused], 4);
}

TEST(SkinOptions, AlphaPaletteColourThatIsNoNumberEndsTheLoad) {
  try {
    (void)Load("[GLOBALINFO]\nBTNCOLOR2NORMAL=grey\n");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'grey' is not a valid integer value");
  }
}

TEST(SkinOptions, ImageEntriesAndTheirVariants) {
  const std::string plain = "@0000@0000@0010@0010@1@0";
  const std::string x125 = "@0000@0000@0012@0012@1@0";
  const std::string x150 = "@0000@0000@0015@0015@1@0";
  const std::string x200 = "@0000@0000@0020@0020@1@0";
  struct Case {
    const char* name;
    std::string keys;
    int ppi;
    int right;  // Of the chosen variant.
    int div_ppi;
  };
  const Case cases[] = {
      {"plain at 96", "BOXCHECKED=" + plain + "\nBOXCHECKED*200=" + x200, 96, 10, 96},
      {"*200 at 192", "BOXCHECKED=" + plain + "\nBOXCHECKED*200=" + x200, 192, 20, 192},
      {"upwards at 120", "BOXCHECKED=" + plain + "\nBOXCHECKED*200=" + x200, 120, 20, 192},
      {"upwards first at 144",
       "BOXCHECKED=" + plain + "\nBOXCHECKED*125=" + x125 + "\nBOXCHECKED*200=" + x200, 144, 20,
       192},
      {"downwards at 144", "BOXCHECKED=" + plain + "\nBOXCHECKED*125=" + x125, 144, 12, 120},
      {"exact at 144", "BOXCHECKED=" + plain + "\nBOXCHECKED*150=" + x150, 144, 15, 144},
      {"plain at 192", "BOXCHECKED=" + plain, 192, 10, 96},
      {"above the table at 130",
       "BOXCHECKED=" + plain + "\nBOXCHECKED*125=" + x125 + "\nBOXCHECKED*150=" + x150, 130, 15,
       144},
      {"empty variant skipped", "BOXCHECKED=" + plain + "\nBOXCHECKED*200=", 192, 10, 96},
      {"draw mode 8 is not rescaled",
       "BOXCHECKED=" + plain + "\nBOXCHECKED*200=&0000000000200020000000000000000012008000000", 120,
       20, 120},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TsSkinOptions skin = Load("[GLOBALINFO]\n" + c.keys + "\n", c.ppi);
    ASSERT_EQ(skin.ma.size(), 1u);
    const TsMaskData& mask = skin.ma[0];
    EXPECT_EQ(mask.PropertyName, "BOXCHECKED");
    EXPECT_EQ(mask.R.Right, c.right);
    EXPECT_EQ(mask.DivPPI, c.div_ppi);
    EXPECT_EQ(mask.MulPPi, c.ppi);
    EXPECT_EQ(mask.SkinIndex, 0);
  }
}

TEST(SkinOptions, WhichValuesAreImageEntries) {
  TsOptionsContext context;
  context.ImageExists = [](const std::string& name) { return name != "MISSING.PNG"; };
  const IniStore ini(
      "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nPREVIEW=preview.jpg\nSH_MASK=!sh.png!1!0!0\n"
      "[EDIT]\nGLOW=1\nGLOW0=!GLOWEDIT.PNG!1!0!3!0011!0011!0011!0011!1\nCOLOR=123\n"
      "GLYPH=!missing.png!1!0!2\nPATTERN*150=tile.bmp\nTEXT=N/A\n");
  const TsSkinOptions skin = LoadSkinOptions(ini, context);
  EXPECT_EQ(skin.MasterBitmap, "MASTER.BMP");
  ASSERT_EQ(skin.ma.size(), 3u);
  EXPECT_EQ(skin.ma[0].PropertyName, "PREVIEW");
  EXPECT_EQ(skin.ma[0].FileName, "PREVIEW.JPG");
  EXPECT_EQ(skin.ma[1].PropertyName, "SH_MASK");
  const TsMaskData* glow = Mask(skin, "EDIT", "GLOW0");
  ASSERT_NE(glow, nullptr);
  EXPECT_EQ(glow->Canonical, "&0000000000000000001100110011001110301000000GLOWEDIT.PNG");
  EXPECT_EQ(glow->SkinIndex, 1);
  EXPECT_EQ(Section(skin, "EDIT").GlowCount, 1);
}

TEST(SkinOptions, BadImageEntryEndsTheLoad) {
  try {
    (void)Load("[GLOBALINFO]\nBOXCHECKED=@01X7@0089@0302@0109@3@0\n");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'01X7' is not a valid integer value");
  }
}

TEST(SkinOptions, GlobalMetricsAtEachDensity) {
  const std::string text =
      "[GLOBALINFO]\nWSHRAD=10\nWSHRAD*150=7\nBORDERWIDTH=0\nTITLEHEIGHT=-4\nCOMBOMARGIN=1\n"
      "SCROLLSWIDTH=16\nALIGNOFFSET=3\nALIGNOFFSETB=5\nSHADOW1TRANSPARENCY=40\n"
      "BICONCLOSEGLOWMARGIN=6\nWSHCOLA=2566914048\nSH_WIDTHL=4\nLO_COLORT=-16777201\n";
  struct Case {
    int ppi;
    int wsh_rad, wsh_size, title, combo, scrolls, align_r, align_b, glow, sh_width_l, sh_width_r;
  };
  const Case cases[] = {
      {96, 10, 13, 30, 1, 16, 3, 5, 6, 4, -1},
      {120, 13, 16, 38, 1, 20, 4, 6, 8, 5, -1},
      {144, 7, 20, 45, 2, 24, 5, 8, 9, 6, -1},
      {192, 20, 26, 60, 2, 32, 6, 10, 12, 8, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ppi);
    const TsSkinOptions skin = Load(text, c.ppi);
    const TacSkinMetrics& m = skin.Metrics;
    EXPECT_EQ(m.WndShadowRadius, c.wsh_rad);
    EXPECT_EQ(m.WndShadowSize, c.wsh_size);  // The default, scaled.
    EXPECT_EQ(m.ExTitleHeight, c.title);
    EXPECT_EQ(m.ExMaxHeight, c.title);
    EXPECT_EQ(m.ExBorderWidth, 1);
    EXPECT_EQ(m.ComboBoxMargin, c.combo);
    EXPECT_EQ(m.ScrollsWidth, c.scrolls);
    EXPECT_EQ(m.ExShadowOffsR, c.align_r);
    EXPECT_EQ(m.ExShadowOffsB, c.align_b);
    EXPECT_EQ(m.GlowMargins[1], c.glow);
    EXPECT_EQ(m.GlowMargins[0], c.glow);  // No BICLOSEALONE: the close button's margin.
    EXPECT_EQ(m.Shadow1Transparency, 40);
    EXPECT_EQ(static_cast<std::uint32_t>(m.WndShadowColorA), 0x99000000u);
    EXPECT_EQ(skin.oe[1].WidthL, c.sh_width_l);
    EXPECT_EQ(skin.oe[1].WidthR, c.sh_width_r);
    EXPECT_EQ(skin.oe[0].ColorT, 0xF0F0F0);  // Resolved system colour.
    EXPECT_EQ(skin.oe[0].ColorL, 0xFFFFFF);
  }
}

TEST(SkinOptions, LoneCloseButtonKeepsItsOwnGlowMargin) {
  const TacSkinMetrics m = Load(
                               "[GLOBALINFO]\nBICLOSEALONE=@0000@0000@0010@0010@1@0\n"
                               "BICONCLOSEGLOWMARGIN=6\nBICLOSEALONEGLOWMARGIN=2\n")
                               .Metrics;
  EXPECT_EQ(m.GlowMargins[0], 2);
  EXPECT_EQ(m.GlowMargins[1], 6);
}

TEST(SkinOptions, BorderMetricsFollowTheExtendedBorderImage) {
  const std::string text =
      "[GLOBALINFO]\nEXBORDER=@0000@0000@0030@0030@1@0\nEXBORDER*200=@0000@0000@0060@0060@1@0\n"
      "TITLEHEIGHT=25\nTITLEHEIGHT*200=50\nFORMOFFSET=2\n";
  EXPECT_EQ(Load(text, 96).Metrics.ExTitleHeight, 25);
  EXPECT_EQ(Load(text, 192).Metrics.ExTitleHeight, 50);
  EXPECT_EQ(Load(text, 144).Metrics.ExTitleHeight, 38);  // 50 drawn for 192, used at 144.
  EXPECT_EQ(Load(text, 144).Metrics.ExContentOffs, 3);
  TsOptionsContext shadow_only;
  shadow_only.PPI = 144;
  shadow_only.ShadowOnlyBorders = true;
  const TsSkinOptions skin = LoadSkinOptions(IniStore(text), shadow_only);
  EXPECT_TRUE(skin.ma.empty());
  EXPECT_EQ(skin.Metrics.ExTitleHeight, 45);
  EXPECT_EQ(skin.Metrics.ExBorderWidth, 6);
  EXPECT_EQ(skin.Metrics.ExContentOffs, 0);
}

TEST(SkinOptions, CommonSectionsAreMergedOverTheFile) {
  const std::string file =
      "[BUTTON]\nCOLOR=1\nHOTCOLOR=2\nUSESTATE2=1\nCOLOR2=3\nGLOW=2\nOUTBLUR=4\n"
      "[EDIT]\nCOLOR=10\n";
  const std::string common =
      "[MYBTN]\nPARENTCLASS=button\nHOTCOLOR=9\nBORDERSMASK=@0001@0002@0003@0004@1@0\n"
      "[OTHER]\nPARENTCLASS=-1\nCOLOR=5\nSTATES=1\n"
      "[EDIT]\nPARENTCLASS=BUTTON\nFONTCOLOR=6\n";
  const TsSkinOptions skin = Load(file, 96, common);
  const TsGeneralData& my_button = Section(skin, "MYBTN");
  EXPECT_EQ(my_button.Props[0].Color, 1);
  EXPECT_EQ(my_button.Props[1].Color, 9);
  EXPECT_EQ(my_button.Props[2].Color, 3);
  EXPECT_TRUE(my_button.UseState2);
  EXPECT_EQ(my_button.GlowCount, 2);
  EXPECT_EQ(my_button.OuterBlur, 4);
  const TsGeneralData& other = Section(skin, "OTHER");
  EXPECT_EQ(other.Props[0].Color, 5);
  EXPECT_EQ(other.Props[1].Color, 5);
  EXPECT_EQ(other.States, 1);
  // A section of a file section's name replaces the file's record.
  const TsGeneralData& edit = Section(skin, "EDIT");
  EXPECT_EQ(edit.Props[0].Color, 1);
  EXPECT_EQ(edit.Props[0].FontColor.Color, 6);
  EXPECT_EQ(skin.CommonInfo.Sections[ssEdit], 1);
  EXPECT_EQ(skin.Palette[pcEditText], 6);
  const TsMaskData* border = Mask(skin, "MYBTN", "BORDERSMASK");
  ASSERT_NE(border, nullptr);
  EXPECT_EQ(border->R, (TRect{1, 2, 3, 4}));
  EXPECT_EQ(border->SkinIndex, 2);
}

TEST(SkinOptions, LoadsTheBuiltInSkin) {
  const std::string text = ReadAsset("Options.dat");
  ASSERT_FALSE(text.empty());
  ASSERT_NE(text, "<missing>");
  const IniStore file(text);
  for (const int ppi : {96, 120, 144, 192}) {
    SCOPED_TRACE(ppi);
    const TsSkinOptions skin = Load(text, ppi);
    // Every section of the file in its order, then MAINCOLOR, which the skin leaves to the loader.
    ASSERT_EQ(skin.gd.size(), file.Sections().size() + 1);
    for (std::size_t i = 0; i < file.Sections().size(); ++i) {
      EXPECT_EQ(skin.gd[i].ClassName, file.Sections()[i].Name);
    }
    EXPECT_EQ(skin.gd.back().ClassName, "MAINCOLOR");
    for (std::size_t s = 0; s < kStandardSectionCount; ++s) {
      const bool missing = s == ssCaption || s == ssFormHeader;  // No replacement for either.
      EXPECT_EQ(skin.CommonInfo.Sections[s] >= 0, !missing) << kStandardSectionNames[s];
    }
    EXPECT_DOUBLE_EQ(skin.CommonInfo.Version, 16.13);
    EXPECT_EQ(skin.MasterBitmap, "MASTER COPY.PNG");
    EXPECT_EQ(skin.Palette[pcMainColor], 2105376);
    EXPECT_EQ(skin.Metrics.TabsCovering, 0);  // Written in GLOBALINFO, where it is not read.
    const TsMaskData* glow = Mask(skin, "EDIT", "GLOW0");
    ASSERT_NE(glow, nullptr);
    EXPECT_EQ(glow->Canonical, "&0000000000000000001100110011001110301000000GLOWEDIT.PNG");
    EXPECT_EQ(Section(skin, "EDIT").GlowCount, 1);
    ASSERT_FALSE(skin.ma.empty());
    for (const TsMaskData& mask : skin.ma) {
      EXPECT_GE(mask.SkinIndex, 0) << mask.ClassName << " " << mask.PropertyName;
    }
  }
}

TEST(SkinOptions, HostileFilesLoad) {
  std::string chain = "[GLOBALINFO]\nFontCount=2147483647\nSTATES=99999999999999999999\n";
  constexpr int kSections = 20000;
  for (int i = 0; i < kSections; ++i) {
    chain += "[S" + std::to_string(i) + "]\nPARENTCLASS=S" + std::to_string(i + 1) + "\n";
  }
  chain += "[S" + std::to_string(kSections) + "]\nPARENTCLASS=S0\nCOLOR=5\n";
  chain += "[LONG]\nCOLOR=" + std::string(1 << 20, '9') +
           "\nGRADIENTDATA=" + std::string(1 << 16, ';') + "B\n";
  const TsSkinOptions skin = Load(chain, 192);
  EXPECT_EQ(Section(skin, "S0").Props[0].Color, 5);
  EXPECT_EQ(Section(skin, "S12345").Props[0].Color, 5);
  EXPECT_EQ(Section(skin, "LONG").Props[0].Color, clWhite);
  EXPECT_TRUE(Section(skin, "LONG").Props[0].GradientArray.empty());
  EXPECT_EQ(Section(skin, "GLOBALINFO").States, 3);
  EXPECT_LE(skin.Fonts.size(), 3u);
  EXPECT_NO_THROW((void)Load("[A]\nK=&0000000000100010000000000000000000912000000\n"));
}

}  // namespace
}  // namespace kestrune::skin
