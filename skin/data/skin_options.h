#pragma once
// Reading a skin's options text into its tables for one pixel density: the sections with their
// three states, the image entries, the two skin-wide outer effects, the palette and the
// skin-wide values of GLOBALINFO.
//
// Failure contract: a missing or non-numeric key takes its default; the only errors are
// conversion errors of image-entry digit fields and of palette colours with alpha, thrown as
// kestrune::Error "'text' is not a valid integer value". No input makes the loader crash or
// loop: parent chains end at a section already visited.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "skin/data/ini_store.h"
#include "skin/data/skin_records.h"
#include "skin/data/system_colors.h"

namespace kestrune::skin {

// Density index 0-3 of a pixel density: up to 110, 111-134, 135-170, above.
[[nodiscard]] int PPIToIndex(int ppi);
// The density of index 0-3 (96, 120, 144, 192) and its key suffix ("", "*125", "*150", "*200").
[[nodiscard]] int IndexToPPI(int index);
[[nodiscard]] std::string_view ScaleSuffix(int index);
// The density variant of a key to use at ppi: the first index whose density is at or above ppi,
// then upwards to 3, then downwards to 0, the first for which `present` holds; -1 when none.
[[nodiscard]] int NearestDensityIndex(int ppi, const std::function<bool(int index)>& present);
// v, v + v div 4, v + v div 2, 2v.
[[nodiscard]] int ScaleByIndex(int value, int index);
// value * ppi / 96, rounded to nearest (halves away from zero).
[[nodiscard]] int ScaleByDensity(int value, int ppi, int base_ppi = 96);

// Title-bar glyph slots, in the order of TitleGlyphs: the big buttons first.
inline constexpr std::array<std::string_view, 12> kTitleGlyphNames = {
    "BICLOSEALONE", "BICONCLOSE", "BICONMAX", "BICONMIN",  "BICONNORM", "BICONHELP",
    "SICONCLOSE",   "SICONMAX",   "SICONMIN", "SICONNORM", "SICONHELP", "TITLEBUTTON",
};

// A skin without a picture of the lone close button (slot 0) draws it as the close button
// (slot 1): every title-bar table indexed by slot lends slot 1 to slot 0, glyph, glows and glow
// margin alike.
template <class Table>
void LendCloseToLoneClose(bool lone_has_picture, Table& table) {
  if (!lone_has_picture) {
    table[0] = table[1];
  }
}

struct TsOptionsContext {
  int PPI = 96;
  // The manager's scale index for the values it scales; -1 takes the index of PPI.
  int ScaleIndex = -1;
  // Extended borders in shadow-only mode: fixed border metrics and no EXBORDER image.
  bool ShadowOnlyBorders = false;
  int SystemFrameWidth = 4;
  TsSystemColors SystemColors;
  // Further INI text merged over the skin's sections.
  std::string_view CommonSections;
  // Whether a separate picture named by an image entry exists; entries naming a missing one
  // are dropped. Empty: every picture exists.
  std::function<bool(const std::string& file_name)> ImageExists;
};

// Values of one density copy read from GLOBALINFO and the tab sections.
struct TacSkinMetrics {
  int Shadow1Blur = -1;
  int Shadow1Offset = 0;
  int Shadow1Transparency = 0;
  int ExBorderWidth = 4;
  int ExTitleHeight = 30;
  int ExMaxHeight = 30;
  int ExContentOffs = 0;
  int ExCenterOffs = 0;
  int ExShadowOffs = 0;
  int ExShadowOffsR = 0;
  int ExShadowOffsT = 0;
  int ExShadowOffsB = 0;
  int ExDrawMode = 0;
  int BIRightMargin = 0;
  int BILeftMargin = 0;
  int BITopMargin = 0;
  int BISpacing = 0;
  int WndShadowRadius = 17;
  int WndShadowSize = 13;
  int WndShadowOffset = 2;
  TColor WndShadowColorN = 0x44000000;
  TColor WndShadowColorA = static_cast<TColor>(0x99000000u);
  int ComboBoxMargin = 2;
  int SliderMargin = 1;
  int ScrollsWidth = -1;
  int ThumbWidth = 0;
  int ScrollArrows = -1;
  std::uint8_t TabsCovering = 0;
  std::uint8_t RibbonCovering = 0;
  // Glow margins of BICLOSEALONE, BICONCLOSE, BICONMAX, BICONMIN, BICONNORM (two spare slots).
  std::array<int, 7> GlowMargins{};
  // BICONCLOSEGLOW: glow images per title-bar button.
  int TitleGlowCount = 0;
};

struct TsFontEntry {
  std::string FontFile;
  std::string FontName;
};

struct TsSkinOptions {
  TacSkinCommonInfo CommonInfo;
  TacPalette Palette{};
  std::vector<TsGeneralData> gd;  // File sections, CommonSections, then those the loader adds.
  std::vector<TsMaskData> ma;
  std::array<TacOutEffData, 2> oe{};  // 0 light outline, 1 shadow.
  TacSkinMetrics Metrics;
  std::string MasterBitmap;  // Upper case; empty when the skin names none.
  std::vector<TsFontEntry> Fonts;
};

[[nodiscard]] TsSkinOptions LoadSkinOptions(const IniStore& ini, const TsOptionsContext& context);

// The range a number of the options file is brought into when it is read: a value outside it
// takes the nearer end. With every number inside its range, painting computes with any file
// without overflow; each key table below gives its keys' ranges beside their defaults. Colours
// take any 32-bit value.
struct TsRange {
  int Min = INT32_MIN;
  int Max = INT32_MAX;
  [[nodiscard]] constexpr int Clamp(int value) const {
    return value < Min ? Min : (value > Max ? Max : value);
  }
  [[nodiscard]] constexpr bool Holds(std::int64_t value) const {
    return value >= Min && value <= Max;
  }
};
inline constexpr TsRange kAnyValue{};

// The range of the number key `key` (a density suffix such as "*150" left off) of a section
// named `section`, GLOBALINFO or another; none for keys that are not numbers or take any value.
[[nodiscard]] std::optional<TsRange> NumberRange(std::string_view section, std::string_view key);

// A GLOBALINFO key that fills a palette colour. Rows are read in order, so a default may use the
// colours read before it; the first kPaletteKeysBeforeSections rows come before the colours of
// the EDIT, HINT and SELECTION sections, the others after them.
struct TsPaletteKey {
  TacPaletteColors Field;
  std::string_view Key;
  TColor (*Default)(const TacPalette& read, const TsSystemColors& system);
  // A colour with an alpha byte: any 64-bit number is taken, the default is made opaque, and a
  // value that is not a number ends the load.
  bool Alpha = false;
};
inline constexpr std::size_t kPaletteKeysBeforeSections = 5;
[[nodiscard]] std::span<const TsPaletteKey> PaletteKeys();

// A GLOBALINFO key of an outer effect (0 light outline "LO_", 1 shadow "SH_").
struct TsOuterEffectKey {
  enum Kind : std::uint8_t {
    kPlain,
    kScaled,  // by the manager's scale index
    kWidth,   // scaled as kScaled, except -1 (computed from the picture later)
    kColor,   // a system colour is resolved
  };
  int TacOutEffData::*Field;
  std::string_view Key;
  int Default;
  Kind How;
  TsRange Range = kAnyValue;  // Of the value as written, before scaling.
};
[[nodiscard]] std::span<const TsOuterEffectKey> OuterEffectKeys(std::size_t effect);

// The index of the section named exactly `name` in `gd`, or -1.
[[nodiscard]] int FindSection(const std::vector<TsGeneralData>& gd, std::string_view name);

// Sets ScrollBorderOffset from BorderIndex, BorderWidth and BorderRadius.
void UpdateScrollBorderOffset(TsGeneralData& data);

}  // namespace kestrune::skin
