#pragma once
// The records a skin's options are read into: sections with their states, image entries, the
// two skin-wide outer effects, the palette and the skin-wide values.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"
#include "skin/pixels/gradient.h"

namespace kestrune::skin {

// Text colour of a state and its one-pixel contour colours (-1: none).
struct TsFontColor {
  TColor Color = 0;
  TColor Left = -1;
  TColor Top = -1;
  TColor Right = -1;
  TColor Bottom = -1;
  friend bool operator==(const TsFontColor&, const TsFontColor&) = default;
};

// One visual state of a section (normal, hot, pressed).
struct TsGenState {
  int GlowSize = 0;
  int ImagePercent = 0;
  int TextureIndex = -1;
  int Transparency = 0;
  int GradientPercent = 0;
  TColor Color = clWhite;
  TColor GlowColor = clWhite;
  TColor LightColor = -1;
  TColor BorderColor = clFuchsia;
  TsFontColor FontColor;
  TsGradArray GradientArray;  // Empty: no gradient.
  friend bool operator==(const TsGenState&, const TsGenState&) = default;
};

// One section of the skin.
struct TsGeneralData {
  std::string ParentClass;
  std::string ClassName;
  std::array<TsGenState, 3> Props{};
  bool UseState2 = false;
  bool GiveOwnFont = false;
  bool ShiftOnClick = false;
  bool ReservedBoolean = false;
  int States = 3;
  int ScrollBorderOffset = 0;
  int GlowCount = 0;
  int GlowMargin = 0;
  int GlowSize = 0;
  int HotGlowSize = 0;
  int BorderWidth = 1;
  int BorderRadius = 0;
  int BorderIndex = -1;
  int ImgTL = -1;
  int ImgTR = -1;
  int ImgBL = -1;
  int ImgBR = -1;
  TColor HotGlowColor = clWhite;
  TColor GlowColor = clWhite;
  int OuterMode = 2;
  int OuterMask = -1;
  int OuterOpacity = 200;
  TRect OuterOffset{2, 2, 2, 4};
  int OuterBlur = 9;
  int OuterRadius = 9;
  TColor OuterColorL = 0;
  TColor OuterColorT = 0;
  TColor OuterColorR = 0;
  TColor OuterColorB = 0;
};

// The entry of Props a section shows in `state`: the state itself, but no further than the
// section's last state nor past the three it keeps, and never below 0.
[[nodiscard]] inline int SectionState(const TsGeneralData& section, int state) {
  return std::max(0, std::min({state, section.States - 1, 2}));
}

enum TacImgType : std::uint8_t {
  itisaBorder,
  itisaTexture,
  itisaGlyph,
  itisaGlow,
  itisaPngGlyph,
};

// One image entry as the options describe it; the pixels are loaded elsewhere.
struct TsMaskData {
  // A picture of its own (shared with the copy's picture cache), or none for a cut-out of the
  // master image.
  std::shared_ptr<Bitmap> Bmp;
  std::string ClassName;
  std::string PropertyName;
  TRect R;
  int ImageCount = 1;
  int MaskType = 0;
  std::int16_t DrawMode = 0;
  TacImgType ImgType = itisaBorder;
  std::int16_t WL = 0;
  std::int16_t WT = 0;
  std::int16_t WR = 0;
  std::int16_t WB = 0;
  int Cfg = 0;
  int MulPPi = 96;
  int DivPPI = 96;
  int SkinIndex = -1;
  int Width = 0;   // Of one frame.
  int Height = 0;  // Of one frame.
  // Separate picture (archive member or file in the skin folder); empty for the master image.
  std::string FileName;
  // The entry in its canonical "&" form.
  std::string Canonical;
};

// A generated or image-based outer effect: entry 0 the light outline, entry 1 the shadow.
struct TacOutEffData {
  TColor ColorL = 0;
  TColor ColorT = 0;
  TColor ColorR = 0;
  TColor ColorB = 0;
  int OffsetL = 0;
  int OffsetT = 0;
  int OffsetR = 0;
  int OffsetB = 0;
  int WidthL = -1;
  int WidthT = -1;
  int WidthR = -1;
  int WidthB = -1;
  int Blur = 0;
  int Radius = 0;
  int Mask = -1;
  int Source = 2;
  int Opacity = 0;
};

enum TacPaletteColors : std::uint8_t {
  pcMainColor,
  pcLabelText,
  pcWebText,
  pcWebTextHot,
  pcBorder,
  pcEditText,
  pcEditBG,
  pcHintText,
  pcHintBG,
  pcSelectionText,
  pcSelectionBG,
  pcSelectionText_Focused,
  pcSelectionBG_Focused,
  pcEditText_Ok,
  pcEditText_Warning,
  pcEditText_Alert,
  pcEditText_Caution,
  pcEditText_Bypassed,
  pcEditBG_Ok,
  pcEditBG_Warning,
  pcEditBG_Alert,
  pcEditBG_Caution,
  pcEditBG_Bypassed,
  pcEditText_Highlight1,
  pcEditText_Highlight2,
  pcEditText_Highlight3,
  pcEditText_Inverted,
  pcEditBG_Inverted,
  pcEditBG_OddRow,
  pcEditBG_EvenRow,
  pcBtnColor1Active,
  pcBtnColor2Active,
  pcBtnBorderActive,
  pcBtnFontActive,
  pcBtnColor1Normal,
  pcBtnColor2Normal,
  pcBtnBorderNormal,
  pcBtnFontNormal,
  pcBtnColor1Pressed,
  pcBtnColor2Pressed,
  pcBtnBorderPressed,
  pcBtnFontPressed,
  pcBtnToneRed,
  pcBtnToneGreen,
  pcBtnToneBlue,
  pcBtnToneYellow,
  pcBtnToneRedActive,
  pcBtnToneGreenActive,
  pcBtnToneBlueActive,
  pcBtnToneYellowActive,
  pcBtnRedText,
  pcBtnGreenText,
  pcBtnBlueText,
  pcBtnYellowText,
  pcBtnRedTextActive,
  pcBtnGreenTextActive,
  pcBtnBlueTextActive,
  pcBtnYellowTextActive,
  pcGrid,
};
inline constexpr std::size_t kPaletteSize = pcGrid + 1;
using TacPalette = std::array<TColor, kPaletteSize>;

// The standard sections, in the order of their names in kStandardSectionNames.
enum TacSection : std::uint8_t {
  ssMenuItem,
  ssCheckBox,
  ssSpeedButton,
  ssSpeedButton_Small,
  ssToolButton,
  ssTransparent,
  ssGroupBox,
  ssDivider,
  ssWebButton,
  ssButton,
  ssComboNoEdit,
  ssButton_Huge,
  ssToolBar,
  ssEdit,
  ssGauge,
  ssSelection,
  ssStatusBar,
  ssPanel,
  ssPanel_Low,
  ssTrackBar,
  ssProgressV,
  ssDragBar,
  ssGripH,
  ssGripV,
  ssProgressH,
  ssTabSheet,
  ssComboBox,
  ssCaption,
  ssMainMenu,
  ssSplitter,
  ssComboBtn,
  ssFormTitle,
  ssHint,
  ssDividerV,
  ssPageControl,
  ssTabTop,
  ssBarPanel,
  ssBarTitle,
  ssDialog,
  ssForm,
  ssScrollBtnLeft,
  ssScrollBtnTop,
  ssScrollBtnRight,
  ssScrollBtnBottom,
  ssScrollBar1H,
  ssScrollBar1V,
  ssScrollBar2H,
  ssScrollBar2V,
  ssScrollSliderH,
  ssScrollSliderV,
  ssSlider_Off,
  ssSlider_On,
  ssThumb_On,
  ssThumb_Off,
  ssMenuCaption,
  ssDialogTitle,
  ssMenuBtn,
  ssMenuLine,
  ssFormHeader,
  ssTB_Btn,
  ssTB_MenuBtn,
  ssTB_Tab,
  ssColHeader,
  ssColHeaderA,
  ssColHeaderL,
  ssColHeaderR,
  ssUpDownBtn,
};
inline constexpr std::size_t kStandardSectionCount = ssUpDownBtn + 1;
using TacSectionIndexes = std::array<int, kStandardSectionCount>;

inline constexpr std::array<std::string_view, kStandardSectionCount> kStandardSectionNames = {
    "MENUITEM",      "CHECKBOX",      "SPEEDBUTTON",    "SPEEDBUTTON_SMALL",
    "TOOLBUTTON",    "TRANSPARENT",   "GROUPBOX",       "DIVIDER",
    "WEBBUTTON",     "BUTTON",        "COMBONOEDIT",    "BUTTON_HUGE",
    "TOOLBAR",       "EDIT",          "GAUGE",          "SELECTION",
    "STATUSBAR",     "PANEL",         "PANEL_LOW",      "TRACKBAR",
    "PROGRESSV",     "DRAGBAR",       "GRIPH",          "GRIPV",
    "PROGRESSH",     "TABSHEET",      "COMBOBOX",       "CAPTION",
    "MAINMENU",      "SPLITTER",      "COMBOBTN",       "FORMTITLE",
    "HINT",          "DIVIDERV",      "PAGECONTROL",    "TABTOP",
    "BARPANEL",      "BARTITLE",      "DIALOG",         "FORM",
    "SCROLLBTNLEFT", "SCROLLBTNTOP",  "SCROLLBTNRIGHT", "SCROLLBTNBOTTOM",
    "SCROLLBAR1H",   "SCROLLBAR1V",   "SCROLLBAR2H",    "SCROLLBAR2V",
    "SCROLLSLIDERH", "SCROLLSLIDERV", "SLIDER_OFF",     "SLIDER_ON",
    "THUMB_ON",      "THUMB_OFF",     "MENUCAPTION",    "DIALOGTITLE",
    "MENUBTN",       "MENULINE",      "FORMHEADER",     "TB_BTN",
    "TB_MENUBTN",    "TB_TAB",        "COLHEADER",      "COLHEADERA",
    "COLHEADERL",    "COLHEADERR",    "UPDOWNBTN",
};

// Replacements of the last thirteen standard sections when a skin lacks them; an empty name
// means none.
inline constexpr std::size_t kFirstReplacedSection = ssMenuCaption;
inline constexpr std::array<std::string_view, kStandardSectionCount - kFirstReplacedSection>
    acAuxReplacement = {
        "TOOLBAR", "FORMTITLE", "SPEEDBUTTON", "",          "",          "TOOLBUTTON", "",
        "TABTOP",  "BUTTON",    "COLHEADER",   "COLHEADER", "COLHEADER", "BUTTON",
};

enum TacArrowsStyle : std::uint8_t {
  arsSolid1,
  arsLines1,
  arsSolid2,
  arsLines2,
  arsSolid3,
  arsDefault,
};

// Skin-wide values of the loaded skin.
struct TacSkinCommonInfo {
  bool Active = false;
  bool UseAeroBluring = false;
  double Version = 0;
  std::string Author;
  std::string SkinPath;
  std::string MainFont;
  std::string Description;
  TColor FXColor = 0;
  TColor Shadow1Color = 0;
  TColor DefLightColor = -1;
  TColor SysInactiveBorderColor = 0;
  TacArrowsStyle ArrowStyle = arsSolid1;
  int BIVAlign = 0;
  int BIKeepHUE = 0;
  int BrightMin = -50;
  int BrightMax = 50;
  int IndexGlobalInfo = -1;
  TacSectionIndexes Sections{};
};

}  // namespace kestrune::skin
