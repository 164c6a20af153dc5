#include "skin/data/skin_options.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "platform/ascii_text.h"
#include "skin/data/image_entry.h"
#include "skin/data/option_readers.h"
#include "skin/pixels/gradient.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

constexpr std::string_view kGlobalInfo = "GLOBALINFO";

// Ranges that several keys share.
constexpr TsRange kByte{0, 255};           // Counts, opacities, sizes in pixels at 96 PPI.
constexpr TsRange kSignedByte{-255, 255};  // Offsets.
constexpr TsRange kPercent{0, 100};
constexpr TsRange kOptionalByte{-1, 255};  // -1: not set.

enum class Scaling : std::uint8_t {
  kNone,
  kIndex,    // by the density index: v, v + v div 4, v + v div 2, 2v
  kDensity,  // by pixels per inch over 96, rounded
};

// A number of a section, with the default of a section that does not give it and the range a
// written value is brought into (before it is scaled). An inherited negative value gives the
// default unless the key is signed; CommonSections carry the keys marked common.
struct SectionNumber {
  std::string_view Key;
  int& (*Field)(TsGeneralData&);
  int Default;
  TsRange Range;
  Scaling How = Scaling::kNone;
  bool Signed = false;
  bool Common = true;
};

template <int TsGeneralData::*kField>
int& Member(TsGeneralData& data) {
  return data.*kField;
}
template <int TRect::*kSide>
int& OuterOffset(TsGeneralData& data) {
  return data.OuterOffset.*kSide;
}

constexpr SectionNumber kSectionNumbers[] = {
    {"STATES", Member<&TsGeneralData::States>, 3, kByte},
    {"GLOW", Member<&TsGeneralData::GlowCount>, 0, kByte},
    {"GLOWMARGIN", Member<&TsGeneralData::GlowMargin>, 0, kByte, Scaling::kDensity},
    {"BORDERWIDTH", Member<&TsGeneralData::BorderWidth>, 1, kByte},
    {"BORDERRADIUS", Member<&TsGeneralData::BorderRadius>, 0, kByte, Scaling::kIndex},
    {"OUTERMODE", Member<&TsGeneralData::OuterMode>, 2, {0, 4}, Scaling::kNone, false, false},
    {"OUTOPACITY", Member<&TsGeneralData::OuterOpacity>, 200, kByte, Scaling::kNone, false, false},
    {"OUTBLUR", Member<&TsGeneralData::OuterBlur>, 9, {0, 30}, Scaling::kIndex, false, false},
    {"OUTRADIUS", Member<&TsGeneralData::OuterRadius>, 9, {0, 60}, Scaling::kIndex, false, false},
    {"OUTOFFSL", OuterOffset<&TRect::Left>, 2, kSignedByte, Scaling::kIndex, true, false},
    {"OUTOFFST", OuterOffset<&TRect::Top>, 2, kSignedByte, Scaling::kIndex, true, false},
    {"OUTOFFSR", OuterOffset<&TRect::Right>, 2, kSignedByte, Scaling::kIndex, true, false},
    {"OUTOFFSB", OuterOffset<&TRect::Bottom>, 4, kSignedByte, Scaling::kIndex, true, false},
};

// The keys of one field of a state, for the normal, hot and pressed state.
using StateKeyNames = std::array<std::string_view, 3>;

struct StateNumber {
  StateKeyNames Keys;
  int TsGenState::*Field;
  int Default;
  TsRange Range;
};
constexpr StateNumber kStateNumbers[] = {
    {{"GSIZE", "HGSIZE", "GSIZE2"}, &TsGenState::GlowSize, 0, kByte},
    {{"GRADIENTPERCENT", "HOTGRADIENTPERCENT", "GRADIENTPERCENT2"},
     &TsGenState::GradientPercent,
     0,
     kPercent},
    {{"IMAGEPERCENT", "HOTIMAGEPERCENT", "IMAGEPERCENT2"}, &TsGenState::ImagePercent, 0, kPercent},
    {{"TRANSPARENCY", "HOTTRANSPARENCY", "TRANSPARENCY2"}, &TsGenState::Transparency, 0, kPercent},
};

// Colours take any value. LIGHT0-2 default to DEFLIGHT of GLOBALINFO instead.
struct StateColor {
  StateKeyNames Keys;
  TColor& (*Field)(TsGenState&);
  TColor Default;
};
template <TColor TsGenState::*kField>
TColor& OwnColor(TsGenState& state) {
  return state.*kField;
}
template <TColor TsFontColor::*kField>
TColor& FontColor(TsGenState& state) {
  return state.FontColor.*kField;
}
constexpr StateColor kStateColors[] = {
    {{"COLOR", "HOTCOLOR", "COLOR2"}, OwnColor<&TsGenState::Color>, clWhite},
    {{"FONTCOLOR", "HOTFONTCOLOR", "FONTCOLOR2"}, FontColor<&TsFontColor::Color>, 0},
    {{"TCLEFT", "HOTTCLEFT", "TCLEFT2"}, FontColor<&TsFontColor::Left>, -1},
    {{"TCTOP", "HOTTCTOP", "TCTOP2"}, FontColor<&TsFontColor::Top>, -1},
    {{"TCRIGHT", "HOTTCRIGHT", "TCRIGHT2"}, FontColor<&TsFontColor::Right>, -1},
    {{"TCBOTTOM", "HOTTCBOTTOM", "TCBOTTOM2"}, FontColor<&TsFontColor::Bottom>, -1},
    {{"GCOL", "HGCOL", "GCOL2"}, OwnColor<&TsGenState::GlowColor>, clWhite},
    {{"LIGHT0", "LIGHT1", "LIGHT2"}, OwnColor<&TsGenState::LightColor>, -1},
    {{"BORDERCOLOR0", "BORDERCOLOR1", "BORDERCOLOR2"},
     OwnColor<&TsGenState::BorderColor>,
     clFuchsia},
};
constexpr StateKeyNames kGradientKeys = {"GRADIENTDATA", "HOTGRADIENTDATA", "GRADIENTDATA2"};

// A number of GLOBALINFO (or, for TABSCOVERING, of the tab sections), with its default and the
// range of the value as written; density variants ("*150") share the row of their key.
struct GlobalNumber {
  std::string_view Key;
  int Default;
  TsRange Range;
};
constexpr GlobalNumber kGlobalNumbers[] = {
    {"FontCount", 0, {0, 65536}},
    {"BRIGHTMIN", -50, {-100, 100}},
    {"BRIGHTMAX", 50, {-100, 100}},
    {"BIVALIGN", 0, {0, 2}},
    {"BIKEEPHUE", 0, {0, 2}},
    {"ARROWSTYLE", 0, {0, arsDefault}},  // Outside: arsSolid1.
    {"SHADOW1OFFSET", 0, kSignedByte},
    {"SHADOW1BLUR", -1, kOptionalByte},
    {"SHADOW1TRANSPARENCY", 0, kPercent},
    {"TITLEHEIGHT", 30, kByte},
    {"BORDERWIDTH", 4, kByte},
    {"MAXHEIGHT", 0, kByte},
    {"FORMOFFSET", 4, kSignedByte},  // Default: the system's frame width.
    {"CENTEROFFSET", 0, kSignedByte},
    {"BORDERMODE", 0, kByte},
    {"ALIGNOFFSET", 0, kSignedByte},
    {"ALIGNOFFSETR", 0, kSignedByte},  // Default: ALIGNOFFSET, as the next two.
    {"ALIGNOFFSETT", 0, kSignedByte},
    {"ALIGNOFFSETB", 0, kSignedByte},
    {"WSHRAD", 17, kByte},
    {"WSHOFFS", 2, kSignedByte},
    {"WSHSIZE", 13, kByte},
    {"BISPACE", 0, kSignedByte},
    {"BIRIGHT", 0, kSignedByte},
    {"BILEFT", 0, kSignedByte},
    {"BITOP", 0, kSignedByte},
    {"BICLOSEALONEGLOWMARGIN", 0, kByte},
    {"BICONCLOSEGLOWMARGIN", 0, kByte},
    {"BICONMAXGLOWMARGIN", 0, kByte},
    {"BICONMINGLOWMARGIN", 0, kByte},
    {"BICONNORMGLOWMARGIN", 0, kByte},
    {"BICONCLOSEGLOW", 0, kByte},
    {"THUMBWIDTH", 0, kByte},
    {"SCROLLSARROWS", -1, kOptionalByte},
    {"SCROLLSWIDTH", -1, kOptionalByte},
    {"COMBOMARGIN", 2, kByte},
    {"SLIDERMARGIN", 1, kByte},
    {"TABSCOVERING", 0, kByte},
};

constexpr const GlobalNumber* FindGlobalNumber(std::string_view key) {
  for (const GlobalNumber& row : kGlobalNumbers) {
    if (row.Key == key) {
      return &row;
    }
  }
  return nullptr;
}

// The row of a key named in the code: a name missing from the table does not compile.
consteval const GlobalNumber& Global(std::string_view key) {
  const GlobalNumber* row = FindGlobalNumber(key);
  if (row == nullptr) {
    throw "a GLOBALINFO number without a row in kGlobalNumbers";
  }
  return *row;
}

// The keys of one section as the section readers see them. A result of nullopt means that the
// caller's fallback applies.
class KeySource {
 public:
  virtual ~KeySource() = default;
  [[nodiscard]] virtual std::optional<int> Int(std::string_view key, bool allow_negative) = 0;
  [[nodiscard]] virtual const std::string* Str(std::string_view key) = 0;

  [[nodiscard]] std::optional<bool> Bool(std::string_view key) {
    const std::string* value = Str(key);
    return value != nullptr ? std::optional<bool>(ParseBoolean(*value)) : std::nullopt;
  }
};

// A file section, with PARENTCLASS inheritance: an own value is used as written, an inherited
// negative value of a key that allows none gives the default.
class InheritedSource final : public KeySource {
 public:
  InheritedSource(InheritedKeys& keys, int section) : keys_(keys), section_(section) {}
  std::optional<int> Int(std::string_view key, bool allow_negative) override {
    std::int32_t value = 0;
    const auto found = keys_.FindInteger(section_, key, value);
    if (found.Value == nullptr || (!found.Own && !allow_negative && value < 0)) {
      return std::nullopt;
    }
    return value;
  }
  const std::string* Str(std::string_view key) override {
    return keys_.FindString(section_, key).Value;
  }

 private:
  InheritedKeys& keys_;
  int section_;
};

// A section of the CommonSections text: its own keys only.
class DirectSource final : public KeySource {
 public:
  DirectSource(const IniStore& ini, std::string_view section) : ini_(ini), section_(section) {}
  std::optional<int> Int(std::string_view key, bool /*allow_negative*/) override {
    const std::string* value = ini_.Find(section_, key);
    return value != nullptr ? ParseInteger(*value) : std::nullopt;
  }
  const std::string* Str(std::string_view key) override { return ini_.Find(section_, key); }

 private:
  const IniStore& ini_;
  std::string_view section_;
};

struct Scales {
  int ppi = 96;
  int index = 0;          // Density index of ppi.
  int manager_index = 0;  // For the values the manager scales.
};

// Reads the section-level keys into a record whose fields already hold the fallbacks: the
// defaults for a file section, the parent's record for a CommonSections one. `all_keys` is
// false for CommonSections, which carry only some of the keys.
class SectionReader {
 public:
  SectionReader(KeySource& source, const Scales& scales) : src_(source), scales_(scales) {}

  void Read(TsGeneralData& data, bool all_keys) {
    const std::array<TsGenState, 3> fallback = data.Props;
    for (const SectionNumber& row : kSectionNumbers) {
      if (!all_keys && !row.Common) {
        continue;
      }
      if (const auto v = src_.Int(row.Key, row.Signed)) {
        row.Field(data) = Scaled(row.Range.Clamp(*v), row.How, scales_);
      }
    }
    if (const auto use_state2 = src_.Int("USESTATE2", false)) {
      data.UseState2 = *use_state2 == 1;
    }
    data.ReservedBoolean = src_.Bool("RESERVEDBOOLEAN").value_or(data.ReservedBoolean);
    data.GiveOwnFont = src_.Bool("GIVEOWNFONT").value_or(data.GiveOwnFont);
    if (all_keys) {
      data.ShiftOnClick = src_.Bool("SHIFTCLICK").value_or(data.ShiftOnClick);
      data.OuterColorL = Color("OUTCOLL", data.OuterColorL);
      data.OuterColorT = Color("OUTCOLT", data.OuterColorT);
      data.OuterColorR = Color("OUTCOLR", data.OuterColorR);
      data.OuterColorB = Color("OUTCOLB", data.OuterColorB);
    }
    data.Props[0] = ReadState(0, fallback[0]);
    data.Props[1] = data.States < 2 ? data.Props[0] : ReadState(1, fallback[1]);
    data.Props[2] = data.UseState2 ? ReadState(2, fallback[2]) : data.Props[1];
    data.GlowSize = data.Props[0].GlowSize;
    data.HotGlowSize = data.Props[1].GlowSize;
    data.GlowColor = data.Props[0].GlowColor;
    data.HotGlowColor = data.Props[1].GlowColor;
    UpdateScrollBorderOffset(data);
  }

  static int Scaled(int value, Scaling how, const Scales& scales) {
    switch (how) {
      case Scaling::kIndex:
        return ScaleByIndex(value, scales.index);
      case Scaling::kDensity:
        return ScaleByDensity(value, scales.ppi);
      case Scaling::kNone:
        break;
    }
    return value;
  }

 private:
  TColor Color(std::string_view key, TColor fallback) {
    return src_.Int(key, true).value_or(fallback);
  }

  TsGenState ReadState(std::size_t s, const TsGenState& fallback) {
    TsGenState state = fallback;
    for (const StateColor& row : kStateColors) {
      row.Field(state) = Color(row.Keys[s], row.Field(state));
    }
    for (const StateNumber& row : kStateNumbers) {
      if (const auto v = src_.Int(row.Keys[s], false)) {
        state.*row.Field = row.Range.Clamp(*v);
      }
    }
    if (const std::string* text = src_.Str(kGradientKeys[s])) {
      // A malformed description leaves the state without a gradient.
      PrepareGradArray(*text, state.GradientArray);
    }
    return state;
  }

  KeySource& src_;
  const Scales& scales_;
};

TsGeneralData DefaultSection(const Scales& scales, TColor def_light) {
  TsGeneralData data;
  for (const SectionNumber& row : kSectionNumbers) {
    row.Field(data) = SectionReader::Scaled(row.Default, row.How, scales);
  }
  for (TsGenState& state : data.Props) {
    for (const StateColor& row : kStateColors) {
      row.Field(state) = row.Default;
    }
    for (const StateNumber& row : kStateNumbers) {
      state.*row.Field = row.Default;
    }
    state.LightColor = def_light;
  }
  return data;
}

// Reads GLOBALINFO keys directly: they are never inherited.
class GlobalReader {
 public:
  GlobalReader(const IniStore& ini, const Scales& scales, int exborder_ppi)
      : ini_(ini), scales_(scales), exborder_ppi_(exborder_ppi) {}

  [[nodiscard]] const std::string* Find(std::string_view key) const {
    return ini_.Find(kGlobalInfo, key);
  }
  // A number as written, brought into `range`.
  [[nodiscard]] std::optional<int> Number(std::string_view key, TsRange range) const {
    const std::string* value = Find(key);
    const auto number = value != nullptr ? ParseInteger(*value) : std::nullopt;
    return number ? std::optional<int>(range.Clamp(*number)) : std::nullopt;
  }
  [[nodiscard]] TColor Color(std::string_view key, TColor default_value) const {
    return Number(key, kAnyValue).value_or(default_value);
  }
  [[nodiscard]] int Plain(const GlobalNumber& row) const { return Plain(row, row.Default); }
  [[nodiscard]] int Plain(const GlobalNumber& row, int default_value) const {
    return Number(row.Key, row.Range).value_or(default_value);
  }
  [[nodiscard]] std::string String(std::string_view key) const {
    const std::string* value = Find(key);
    return value != nullptr ? *value : std::string();
  }
  // A colour with an alpha byte that may exceed the signed 32-bit range.
  [[nodiscard]] TColor AlphaColor(std::string_view key, TColor default_value) const {
    const std::string* value = Find(key);
    const auto number = value != nullptr ? ParseInteger64(*value) : std::nullopt;
    return number ? static_cast<TColor>(static_cast<std::uint32_t>(*number)) : default_value;
  }

  // The variant for the current density used as written, else the plain value scaled by
  // density; keys measured on the EXBORDER image follow that image's density instead.
  [[nodiscard]] std::optional<int> ScaledIfPresent(const GlobalNumber& row,
                                                   bool by_exborder) const {
    const std::string_view key = row.Key;
    const auto number = [&](std::string_view name) { return Number(name, row.Range); };
    if (by_exborder && exborder_ppi_ > 0) {
      if (const auto v = number(std::string(key) + std::string(SuffixOf(exborder_ppi_)))) {
        return ScaleByDensity(*v, scales_.ppi, exborder_ppi_);
      }
      if (const auto v = number(key)) {
        return ScaleByDensity(*v, scales_.ppi);
      }
      return std::nullopt;
    }
    if (scales_.index == 0) {
      const auto v = number(key);
      if (v && scales_.ppi < 96) {
        return ScaleByDensity(*v, scales_.ppi);
      }
      return v;
    }
    if (const auto v = number(std::string(key) + std::string(ScaleSuffix(scales_.index)))) {
      return v;
    }
    if (const auto v = number(key)) {
      return ScaleByDensity(*v, scales_.ppi);
    }
    return std::nullopt;
  }
  [[nodiscard]] int Scaled(const GlobalNumber& row, bool by_exborder = false) const {
    return Scaled(row, row.Default, by_exborder);
  }
  [[nodiscard]] int Scaled(const GlobalNumber& row, int default_value,
                           bool by_exborder = false) const {
    if (const auto v = ScaledIfPresent(row, by_exborder)) {
      return *v;
    }
    if (by_exborder && exborder_ppi_ > 0) {
      return ScaleByDensity(default_value, scales_.ppi);
    }
    return scales_.index == 0 ? default_value : ScaleByDensity(default_value, scales_.ppi);
  }
  [[nodiscard]] std::size_t KeyCount() const {
    const int section = ini_.SectionIndex(kGlobalInfo);
    return section < 0 ? 0 : ini_.Sections()[static_cast<std::size_t>(section)].Keys.size();
  }

 private:
  static std::string_view SuffixOf(int ppi) { return ScaleSuffix(PPIToIndex(ppi)); }

  const IniStore& ini_;
  const Scales& scales_;
  int exborder_ppi_;
};

// The variant written for the density nearest to the scales' one; the plain key otherwise.
int ChooseVariant(const IniStore& ini, std::string_view section, std::string_view key,
                  const Scales& scales, const std::string** value) {
  const int found = NearestDensityIndex(scales.ppi, [&](int i) {
    const std::string* v = ini.Find(section, std::string(key) + std::string(ScaleSuffix(i)));
    if (v == nullptr || v->empty()) {
      return false;
    }
    *value = v;
    return true;
  });
  if (found >= 0) {
    return found;
  }
  *value = ini.Find(section, key);
  return 0;
}

void LoadImageEntries(const IniStore& ini, bool skin_file, const TsOptionsContext& context,
                      const Scales& scales, std::vector<TsMaskData>& ma) {
  for (const IniStore::Section& section : ini.Sections()) {
    const bool global = section.Name == kGlobalInfo;
    for (const auto& [key, value] : section.Keys) {
      if (key.find('*') != std::string::npos || (skin_file && global && key == "MASTERBITMAP") ||
          (global && context.ShadowOnlyBorders && key == "EXBORDER") ||
          !IsImageEntry(Upper(value))) {
        continue;
      }
      const std::string* chosen = nullptr;
      const int variant = ChooseVariant(ini, section.Name, key, scales, &chosen);
      TsMaskData mask;
      ReadCanonicalEntry(CanonicalImageEntry(Upper(*chosen)), mask);
      if (!mask.FileName.empty() && context.ImageExists && !context.ImageExists(mask.FileName)) {
        continue;
      }
      mask.ClassName = section.Name;
      mask.PropertyName = key;
      mask.MulPPi = scales.ppi;
      // Draw mode flag 8 keeps the picture at the size it was drawn.
      mask.DivPPI = (mask.DrawMode & 8) != 0 ? scales.ppi : IndexToPPI(variant);
      ma.push_back(std::move(mask));
    }
  }
}

void ReadCommonInfo(const GlobalReader& g, TsSkinOptions& out) {
  TacSkinCommonInfo& info = out.CommonInfo;
  if (const std::string* version = g.Find("VERSION")) {
    // Plain decimal numbers only: no exponent, "inf" or "nan".
    const bool plain =
        !version->empty() && version->find_first_not_of("0123456789.-") == std::string::npos;
    double value = 0;
    const char* end = version->data() + version->size();
    if (plain && std::from_chars(version->data(), end, value).ptr == end) {
      info.Version = value;
    }
  }
  info.Author = g.String("AUTHOR");
  info.Description = g.String("DESCRIPTION");
  info.MainFont = g.String("MainFont");
  out.MasterBitmap = Upper(g.String("MASTERBITMAP"));
  // A font count cannot exceed the keys that could name the fonts.
  const int font_count = std::clamp(g.Plain(Global("FontCount")), 0,
                                    static_cast<int>(std::min<std::size_t>(g.KeyCount(), 65536)));
  for (int n = 0; n < font_count; ++n) {
    const std::string number = std::to_string(n);
    out.Fonts.push_back({g.String("FontFile" + number), g.String("FontName" + number)});
  }
  // A flag: any number but 0 sets it.
  info.UseAeroBluring = g.Number("AEROBLUR", kAnyValue).value_or(0) != 0;
  info.BrightMin = g.Plain(Global("BRIGHTMIN"));
  info.BrightMax = g.Plain(Global("BRIGHTMAX"));
  info.BIVAlign = g.Plain(Global("BIVALIGN"));
  info.BIKeepHUE = g.Plain(Global("BIKEEPHUE"));
  info.Shadow1Color = g.Color("SHADOW1COLOR", 0);
  info.DefLightColor = g.Color("DEFLIGHT", -1);
  // A style that is not one of the six is the first, not the nearest.
  const int arrow_style = g.Number("ARROWSTYLE", kAnyValue).value_or(Global("ARROWSTYLE").Default);
  info.ArrowStyle = arrow_style >= 0 && arrow_style <= arsDefault
                        ? static_cast<TacArrowsStyle>(arrow_style)
                        : arsSolid1;
}

int GlobalMaskIndex(const std::vector<TsMaskData>& ma, std::string_view key) {
  for (std::size_t i = 0; i < ma.size(); ++i) {
    if (ma[i].ClassName == kGlobalInfo && ma[i].PropertyName == key) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void ReadMetrics(const GlobalReader& g, const IniStore& ini, const TsOptionsContext& context,
                 const Scales& scales, const std::vector<TsMaskData>& ma, TacSkinMetrics& m) {
  const TacSkinMetrics d;  // the defaults
  m.Shadow1Offset = g.Scaled(Global("SHADOW1OFFSET"));
  m.Shadow1Blur = g.Scaled(Global("SHADOW1BLUR"));
  m.Shadow1Transparency = g.Plain(Global("SHADOW1TRANSPARENCY"));
  if (context.ShadowOnlyBorders) {
    m.ExBorderWidth = ScaleByIndex(d.ExBorderWidth, scales.index);
    m.ExTitleHeight = ScaleByIndex(d.ExTitleHeight, scales.index);
    m.ExMaxHeight = ScaleByIndex(d.ExMaxHeight, scales.index);
    m.ExContentOffs = 0;
    m.ExCenterOffs = 0;
  } else {
    m.ExTitleHeight = g.Scaled(Global("TITLEHEIGHT"), true);
    if (m.ExTitleHeight <= 0) {
      m.ExTitleHeight = ScaleByDensity(d.ExTitleHeight, scales.ppi);
    }
    m.ExBorderWidth = std::max(1, g.Scaled(Global("BORDERWIDTH"), true));
    m.ExMaxHeight = g.Scaled(Global("MAXHEIGHT"), true);
    if (m.ExMaxHeight <= 0) {
      m.ExMaxHeight = m.ExTitleHeight;
    }
    m.ExContentOffs = g.Scaled(Global("FORMOFFSET"), context.SystemFrameWidth, true);
    m.ExCenterOffs = g.Scaled(Global("CENTEROFFSET"), true);
  }
  m.ExDrawMode = g.Plain(Global("BORDERMODE"));
  m.ExShadowOffs = g.Scaled(Global("ALIGNOFFSET"));
  m.ExShadowOffsR = g.ScaledIfPresent(Global("ALIGNOFFSETR"), false).value_or(m.ExShadowOffs);
  m.ExShadowOffsT = g.ScaledIfPresent(Global("ALIGNOFFSETT"), false).value_or(m.ExShadowOffs);
  m.ExShadowOffsB = g.ScaledIfPresent(Global("ALIGNOFFSETB"), false).value_or(m.ExShadowOffs);
  m.WndShadowRadius = g.Scaled(Global("WSHRAD"));
  m.WndShadowOffset = g.Scaled(Global("WSHOFFS"));
  m.WndShadowSize = g.Scaled(Global("WSHSIZE"));
  m.WndShadowColorN = g.AlphaColor("WSHCOLN", d.WndShadowColorN);
  m.WndShadowColorA = g.AlphaColor("WSHCOLA", d.WndShadowColorA);
  m.BISpacing = g.Scaled(Global("BISPACE"));
  m.BIRightMargin = g.Scaled(Global("BIRIGHT"));
  m.BILeftMargin = g.Scaled(Global("BILEFT"));
  m.BITopMargin = g.Scaled(Global("BITOP"));
  // The five big title-bar buttons have glow margins.
  for (std::size_t i = 0; i < 5; ++i) {
    m.GlowMargins[i] = g.Scaled(*FindGlobalNumber(std::string(kTitleGlyphNames[i]) + "GLOWMARGIN"));
  }
  LendCloseToLoneClose(GlobalMaskIndex(ma, kTitleGlyphNames[0]) >= 0, m.GlowMargins);
  m.TitleGlowCount = g.Plain(Global("BICONCLOSEGLOW"));
  m.ThumbWidth = g.Scaled(Global("THUMBWIDTH"));
  m.ScrollArrows = g.Plain(Global("SCROLLSARROWS"));
  m.ScrollsWidth = g.Plain(Global("SCROLLSWIDTH"));
  if (m.ScrollsWidth != -1) {
    m.ScrollsWidth = ScaleByIndex(m.ScrollsWidth, scales.manager_index);
  }
  m.ComboBoxMargin = g.Plain(Global("COMBOMARGIN"));
  if (m.ComboBoxMargin == 1 && scales.ppi >= 144) {
    m.ComboBoxMargin = 2;
  }
  m.SliderMargin = g.Plain(Global("SLIDERMARGIN"));
  const auto covering = [&ini](std::string_view section) {
    const std::string* value = ini.Find(section, "TABSCOVERING");
    const auto number = value != nullptr ? ParseInteger(*value) : std::nullopt;
    constexpr GlobalNumber kRow = Global("TABSCOVERING");
    return static_cast<std::uint8_t>(kRow.Range.Clamp(number.value_or(kRow.Default)));
  };
  m.TabsCovering = covering("TABTOP");
  m.RibbonCovering = covering("RIBBONTAB");
}

using Effect = TsOuterEffectKey;

constexpr TsOuterEffectKey kLightOutlineKeys[] = {
    {&TacOutEffData::Source, "LO_SOURCE", 2, Effect::kPlain, {0, 2}},
    {&TacOutEffData::ColorL, "LO_COLORL", 0xFFFFFF, Effect::kColor, kAnyValue},
    {&TacOutEffData::ColorT, "LO_COLORT", 0, Effect::kColor, kAnyValue},
    {&TacOutEffData::ColorR, "LO_COLORR", 0xFFFFFF, Effect::kColor, kAnyValue},
    {&TacOutEffData::ColorB, "LO_COLORB", 0xFFFFFF, Effect::kColor, kAnyValue},
    {&TacOutEffData::OffsetL, "LO_OFFSETL", 2, Effect::kScaled, kSignedByte},
    {&TacOutEffData::OffsetR, "LO_OFFSETR", 2, Effect::kScaled, kSignedByte},
    {&TacOutEffData::OffsetT, "LO_OFFSETT", 2, Effect::kScaled, kSignedByte},
    {&TacOutEffData::OffsetB, "LO_OFFSETB", 4, Effect::kScaled, kSignedByte},
    {&TacOutEffData::WidthL, "LO_WIDTHL", -1, Effect::kWidth, kOptionalByte},
    {&TacOutEffData::WidthR, "LO_WIDTHR", -1, Effect::kWidth, kOptionalByte},
    {&TacOutEffData::WidthT, "LO_WIDTHT", -1, Effect::kWidth, kOptionalByte},
    {&TacOutEffData::WidthB, "LO_WIDTHB", -1, Effect::kWidth, kOptionalByte},
    {&TacOutEffData::Radius, "LO_RADIUS_OE", 9, Effect::kScaled, {0, 60}},
    {&TacOutEffData::Blur, "LO_BLUR_OE", 5, Effect::kScaled, {0, 30}},
    {&TacOutEffData::Opacity, "LO_OPACITY", 200, Effect::kPlain, kByte},
};

// The shadow has one colour for all four sides, taken as written.
constexpr TsOuterEffectKey kShadowKeys[] = {
    {&TacOutEffData::Source, "SH_SOURCE", 2, Effect::kPlain, {0, 2}},
    {&TacOutEffData::ColorL, "SH_COLORL", 0, Effect::kPlain, kAnyValue},
    {&TacOutEffData::OffsetL, "SH_OFFSETL", 3, Effect::kScaled, kSignedByte},
    {&TacOutEffData::OffsetR, "SH_OFFSETR", 3, Effect::kScaled, kSignedByte},
    {&TacOutEffData::OffsetT, "SH_OFFSETT", 2, Effect::kScaled, kSignedByte},
    {&TacOutEffData::OffsetB, "SH_OFFSETB", 5, Effect::kScaled, kSignedByte},
    {&TacOutEffData::WidthL, "SH_WIDTHL", -1, Effect::kWidth, kOptionalByte},
    {&TacOutEffData::WidthR, "SH_WIDTHR", -1, Effect::kWidth, kOptionalByte},
    {&TacOutEffData::WidthT, "SH_WIDTHT", -1, Effect::kWidth, kOptionalByte},
    {&TacOutEffData::WidthB, "SH_WIDTHB", -1, Effect::kWidth, kOptionalByte},
    {&TacOutEffData::Radius, "SH_RADIUS_OE", 9, Effect::kScaled, {0, 60}},
    {&TacOutEffData::Blur, "SH_BLUR_OE", 5, Effect::kScaled, {0, 30}},
    {&TacOutEffData::Opacity, "SH_OPACITY", 60, Effect::kPlain, kByte},
};

void ReadOuterEffects(const GlobalReader& g, const TsOptionsContext& context, const Scales& s,
                      const std::vector<TsMaskData>& ma, std::array<TacOutEffData, 2>& oe) {
  constexpr std::array<std::string_view, 2> kMasks = {"LO_MASK", "SH_MASK"};
  for (std::size_t e = 0; e < oe.size(); ++e) {
    TacOutEffData& effect = oe[e];
    for (const TsOuterEffectKey& row : OuterEffectKeys(e)) {
      const int value = g.Number(row.Key, row.Range).value_or(row.Default);
      int& field = effect.*row.Field;
      switch (row.How) {
        case Effect::kPlain:
          field = value;
          break;
        case Effect::kScaled:
          field = ScaleByIndex(value, s.manager_index);
          break;
        case Effect::kWidth:
          // -1 is computed from the generated picture later, so it stays -1 at any scale.
          field = value == -1 ? -1 : ScaleByIndex(value, s.manager_index);
          break;
        case Effect::kColor:
          field = context.SystemColors.Resolve(value);
          break;
      }
    }
    effect.Mask = effect.Source == 1 ? GlobalMaskIndex(ma, kMasks[e]) : -1;
  }
  TacOutEffData& shadow = oe[1];
  shadow.ColorT = shadow.ColorR = shadow.ColorB = shadow.ColorL;
}

template <TColor kColor>
TColor Fixed(const TacPalette&, const TsSystemColors&) {
  return kColor;
}
template <TacPaletteColors kField>
TColor Same(const TacPalette& read, const TsSystemColors&) {
  return read[kField];
}
template <TsSystemColorIndex kIndex>
TColor System(const TacPalette&, const TsSystemColors& system) {
  return system[kIndex];
}
// The main colour blended towards a colour by a weight of 255.
template <TColor kColor, std::uint8_t kWeight>
TColor MainTowards(const TacPalette& read, const TsSystemColors&) {
  return BlendColors(read[pcMainColor], kColor, kWeight);
}
// The edit text blended over the edit background by a weight of 255.
template <std::uint8_t kWeight>
TColor EditTextOverBackground(const TacPalette& read, const TsSystemColors&) {
  return BlendColors(read[pcEditText], read[pcEditBG], kWeight);
}

constexpr TsPaletteKey kPaletteKeys[] = {
    {pcMainColor, "COLOR", System<kSysBtnFace>},
    {pcLabelText, "FONTCOLOR", Fixed<0>},
    {pcWebText, "TCBOTTOM", Fixed<0xFF0000>},
    {pcWebTextHot, "TCTOP", Fixed<0x0000FF>},
    {pcBorder, "BORDERCOLOR", Fixed<0>},
    // The section colours come here.
    {pcEditText_Ok, "EDITTEXT_OK", Fixed<0x404000>},
    {pcEditText_Warning, "EDITTEXT_WARN", Fixed<0x004C4C>},
    {pcEditText_Alert, "EDITTEXT_ALERT", Fixed<0x00006C>},
    {pcEditBG_Ok, "EDITBG_OK", Fixed<0xC9FFD2>},
    {pcEditBG_Warning, "EDITBG_WARN", Fixed<0xBAFFFF>},
    {pcEditBG_Alert, "EDITBG_ALERT", Fixed<0xDBDBFF>},
    {pcEditText_Highlight1, "EDITTEXT_H1", Fixed<0>},
    {pcEditText_Highlight2, "EDITTEXT_H2", Fixed<0>},
    {pcEditText_Highlight3, "EDITTEXT_H3", Fixed<0>},
    {pcEditText_Inverted, "EDITTEXT_INV", Same<pcEditBG>},
    {pcEditBG_Inverted, "EDITBG_INV", Same<pcEditText>},
    {pcEditBG_OddRow, "EDITBG_ODD", Same<pcEditBG>},
    {pcEditBG_EvenRow, "EDITBG_EVEN", EditTextOverBackground<13>},
    {pcBtnColor1Active, "BTNCOLOR1ACTIVE", MainTowards<clWhite, 177>, true},
    {pcBtnColor2Active, "BTNCOLOR2ACTIVE", Same<pcMainColor>, true},
    {pcBtnBorderActive, "BTNBORDERACTIVE", Same<pcBorder>},
    {pcBtnFontActive, "BTNFONTACTIVE", Same<pcLabelText>},
    {pcBtnColor1Normal, "BTNCOLOR1NORMAL", Same<pcMainColor>, true},
    {pcBtnColor2Normal, "BTNCOLOR2NORMAL", MainTowards<clBlack, 244>, true},
    {pcBtnBorderNormal, "BTNBORDERNORMAL", Same<pcBorder>},
    {pcBtnFontNormal, "BTNFONTNORMAL", Same<pcLabelText>},
    {pcBtnColor1Pressed, "BTNCOLOR1PRESSED", MainTowards<clBlack, 233>, true},
    {pcBtnColor2Pressed, "BTNCOLOR2PRESSED", MainTowards<clBlack, 233>, true},
    {pcBtnBorderPressed, "BTNBORDERPRESSED", Same<pcBorder>},
    {pcBtnFontPressed, "BTNFONTPRESSED", Same<pcLabelText>},
    {pcBtnToneRed, "COLORTONERED", Fixed<0x9E9EFF>},
    {pcBtnToneGreen, "COLORTONEGREEN", Fixed<0x7BD098>},
    {pcBtnToneBlue, "COLORTONEBLUE", Fixed<0xFFEDC9>},
    {pcBtnToneYellow, "COLORTONEYELLOW", Fixed<0xCAF3FF>},
    {pcBtnToneRedActive, "COLORTONEREDACTIVE", Same<pcBtnToneRed>},
    {pcBtnToneGreenActive, "COLORTONEGREENACTIVE", Same<pcBtnToneGreen>},
    {pcBtnToneBlueActive, "COLORTONEBLUEACTIVE", Same<pcBtnToneBlue>},
    {pcBtnToneYellowActive, "COLORTONEYELLOWACTIVE", Same<pcBtnToneYellow>},
    {pcBtnRedText, "COLORTONEREDTEXT", Fixed<0x0000B4>},
    {pcBtnGreenText, "COLORTONEGREENTEXT", Fixed<0x28851A>},
    {pcBtnBlueText, "COLORTONEBLUETEXT", Fixed<0xAE7400>},
    {pcBtnYellowText, "COLORTONEYELLOWTEXT", Fixed<0x0079B5>},
    {pcBtnRedTextActive, "COLORTONEREDTEXTACTIVE", Same<pcBtnRedText>},
    {pcBtnGreenTextActive, "COLORTONEGREENTEXTACTIVE", Same<pcBtnGreenText>},
    // Skins write these two keys with this case.
    {pcBtnBlueTextActive, "COLORTONEBLUETEXTActive", Same<pcBtnBlueText>},
    {pcBtnYellowTextActive, "COLORTONEYELLOWTEXTActive", Same<pcBtnYellowText>},
    // -1 written in the file asks for the blend as well.
    {pcGrid, "GRIDLINE", EditTextOverBackground<30>},
};

void ReadPalette(const GlobalReader& g, const TsOptionsContext& context,
                 const std::vector<TsGeneralData>& gd, TacPalette& p) {
  const TsSystemColors& sys = context.SystemColors;
  const auto read = [&](std::span<const TsPaletteKey> rows) {
    for (const TsPaletteKey& row : rows) {
      const TColor fallback = row.Default(p, sys);
      if (!row.Alpha) {
        p[row.Field] = g.Color(row.Key, fallback);
        continue;
      }
      const std::string* value = g.Find(row.Key);
      p[row.Field] = value == nullptr
                         ? static_cast<TColor>(static_cast<std::uint32_t>(fallback) | 0xFF000000u)
                         : static_cast<TColor>(static_cast<std::uint32_t>(StrToInt64(*value)));
    }
  };
  read(PaletteKeys().first(kPaletteKeysBeforeSections));

  const auto state0 = [&gd](std::string_view name, TColor& text, TColor& bg) {
    const int i = FindSection(gd, name);
    if (i < 0) {
      return false;
    }
    text = gd[static_cast<std::size_t>(i)].Props[0].FontColor.Color;
    bg = gd[static_cast<std::size_t>(i)].Props[0].Color;
    return true;
  };
  if (!state0("EDIT", p[pcEditText], p[pcEditBG])) {
    p[pcEditText] = sys[kSysWindowText];
    p[pcEditBG] = sys[kSysWindow];
  }
  if (!state0("HINT", p[pcHintText], p[pcHintBG])) {
    p[pcHintText] = sys[kSysInfoText];
    p[pcHintBG] = sys[kSysInfoBk];
  }

  const int selection = FindSection(gd, "SELECTION");
  const auto no_color = [](TColor c) { return c == -1 || c == clFuchsia; };
  if (selection >= 0 &&
      !no_color(gd[static_cast<std::size_t>(selection)].Props[0].FontColor.Color)) {
    const TsGeneralData& s = gd[static_cast<std::size_t>(selection)];
    p[pcSelectionText] = s.Props[0].FontColor.Color;
    p[pcSelectionBG] = s.Props[0].Color;
    const TsGenState& focused = s.States > 1 ? s.Props[1] : s.Props[0];
    p[pcSelectionText_Focused] = focused.FontColor.Color;
    p[pcSelectionBG_Focused] = focused.Color;
  } else {
    const int menu_item = FindSection(gd, "MENUITEM");
    TColor text = sys[kSysHighlightText];
    TColor bg = sys[kSysHighlight];
    if (menu_item >= 0) {
      const TsGenState& hot = gd[static_cast<std::size_t>(menu_item)].Props[1];
      text = no_color(hot.FontColor.Color) ? sys[kSysHighlightText] : hot.FontColor.Color;
      bg = hot.Color;
    }
    p[pcSelectionText] = p[pcSelectionText_Focused] = text;
    p[pcSelectionBG] = p[pcSelectionBG_Focused] = bg;
  }

  read(PaletteKeys().subspan(kPaletteKeysBeforeSections));
  p[pcEditText_Caution] = p[pcEditText_Bypassed] = p[pcEditText_Alert];
  p[pcEditBG_Caution] = p[pcEditBG_Bypassed] = p[pcEditBG_Alert];
  if (p[pcGrid] == -1) {
    p[pcGrid] = EditTextOverBackground<30>(p, sys);
  }
}

// A section of one state that the loader adds when the skin lacks it.
TsGeneralData OneStateSection(std::string_view name, int transparency, TColor color,
                              TColor font_color, const Scales& scales, TColor def_light) {
  TsGeneralData data = DefaultSection(scales, def_light);
  data.ClassName = std::string(name);
  data.States = 1;
  data.Props[0].Transparency = transparency;
  data.Props[0].Color = color;
  data.Props[0].FontColor.Color = font_color;
  data.Props[1] = data.Props[2] = data.Props[0];
  UpdateScrollBorderOffset(data);
  return data;
}

void MergeCommonSections(const IniStore& common, const Scales& scales, TColor def_light,
                         std::vector<TsGeneralData>& gd) {
  const std::size_t file_sections = gd.size();
  for (const IniStore::Section& section : common.Sections()) {
    TsGeneralData data = DefaultSection(scales, def_light);
    const std::string parent = common.ReadString(section.Name, "PARENTCLASS", "");
    if (parent != "-1") {
      for (std::size_t i = 0; i < file_sections; ++i) {
        if (SameTextIgnoringCase(gd[i].ClassName, parent)) {
          data = gd[i];
          break;
        }
      }
    }
    data.ClassName = section.Name;
    data.ParentClass = parent;
    DirectSource source(common, section.Name);
    SectionReader(source, scales).Read(data, false);
    // A section of a file section's name replaces it, so lookups by name find the merged one.
    const int existing = FindSection(gd, section.Name);
    if (existing >= 0) {
      gd[static_cast<std::size_t>(existing)] = std::move(data);
    } else {
      gd.push_back(std::move(data));
    }
  }
}

}  // namespace

std::span<const TsPaletteKey> PaletteKeys() {
  return kPaletteKeys;
}

std::span<const TsOuterEffectKey> OuterEffectKeys(std::size_t effect) {
  if (effect == 0) {
    return kLightOutlineKeys;
  }
  return kShadowKeys;
}

std::optional<TsRange> NumberRange(std::string_view section, std::string_view key) {
  const auto bounded = [](TsRange range) {
    return range.Min == kAnyValue.Min && range.Max == kAnyValue.Max ? std::nullopt
                                                                    : std::optional(range);
  };
  if (key == "TABSCOVERING") {
    // Read from the tab sections only.
    return section == "TABTOP" || section == "RIBBONTAB"
               ? std::optional(Global("TABSCOVERING").Range)
               : std::nullopt;
  }
  if (section == kGlobalInfo) {
    if (const GlobalNumber* row = FindGlobalNumber(key)) {
      return row->Range;
    }
    for (const std::size_t effect : {std::size_t{0}, std::size_t{1}}) {
      for (const TsOuterEffectKey& row : OuterEffectKeys(effect)) {
        if (row.Key == key) {
          return bounded(row.Range);
        }
      }
    }
  }
  for (const SectionNumber& row : kSectionNumbers) {
    if (row.Key == key) {
      return row.Range;
    }
  }
  for (const StateNumber& row : kStateNumbers) {
    if (std::find(row.Keys.begin(), row.Keys.end(), key) != row.Keys.end()) {
      return row.Range;
    }
  }
  return std::nullopt;
}

int FindSection(const std::vector<TsGeneralData>& gd, std::string_view name) {
  if (name.empty()) {
    return -1;
  }
  for (std::size_t i = 0; i < gd.size(); ++i) {
    if (gd[i].ClassName == name) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int PPIToIndex(int ppi) {
  if (ppi <= 110) {
    return 0;
  }
  if (ppi <= 134) {
    return 1;
  }
  return ppi <= 170 ? 2 : 3;
}

int IndexToPPI(int index) {
  constexpr std::array<int, 4> kPPI = {96, 120, 144, 192};
  return kPPI[static_cast<std::size_t>(std::clamp(index, 0, 3))];
}

int NearestDensityIndex(int ppi, const std::function<bool(int index)>& present) {
  int first_up = 0;
  while (first_up < 4 && IndexToPPI(first_up) < ppi) {
    ++first_up;
  }
  for (int i = first_up; i < 4; ++i) {
    if (present(i)) {
      return i;
    }
  }
  for (int i = first_up - 1; i >= 0; --i) {
    if (present(i)) {
      return i;
    }
  }
  return -1;
}

std::string_view ScaleSuffix(int index) {
  constexpr std::array<std::string_view, 4> kSuffix = {"", "*125", "*150", "*200"};
  return kSuffix[static_cast<std::size_t>(std::clamp(index, 0, 3))];
}

int ScaleByIndex(int value, int index) {
  const std::int64_t v = value;
  std::int64_t result = v;
  switch (index) {
    case 1:
      result = v + v / 4;
      break;
    case 2:
      result = v + v / 2;
      break;
    case 3:
      result = v * 2;
      break;
    default:
      break;
  }
  return static_cast<int>(std::clamp<std::int64_t>(result, INT32_MIN, INT32_MAX));
}

int ScaleByDensity(int value, int ppi, int base_ppi) {
  if (base_ppi <= 0) {
    return value;
  }
  const std::int64_t product = static_cast<std::int64_t>(value) * ppi;
  const std::int64_t half = base_ppi / 2;
  const std::int64_t result =
      product >= 0 ? (product + half) / base_ppi : -((-product + half) / base_ppi);
  return static_cast<int>(std::clamp<std::int64_t>(result, INT32_MIN, INT32_MAX));
}

void UpdateScrollBorderOffset(TsGeneralData& data) {
  if (data.BorderIndex >= 0 || data.BorderWidth <= 0 || data.BorderRadius > 0) {
    data.ScrollBorderOffset = 0;
  } else {
    data.ScrollBorderOffset = data.BorderWidth == 1 ? -1 : -2;
  }
}

TsSkinOptions LoadSkinOptions(const IniStore& ini, const TsOptionsContext& context) {
  TsSkinOptions out;
  Scales scales;
  scales.ppi = context.PPI > 0 ? context.PPI : 96;
  scales.index = PPIToIndex(scales.ppi);
  scales.manager_index = context.ScaleIndex >= 0 ? std::min(context.ScaleIndex, 3) : scales.index;

  const IniStore common(context.CommonSections);
  LoadImageEntries(ini, true, context, scales, out.ma);
  LoadImageEntries(common, false, context, scales, out.ma);

  const int exborder = GlobalMaskIndex(out.ma, "EXBORDER");
  const GlobalReader global(ini, scales,
                            exborder >= 0 ? out.ma[static_cast<std::size_t>(exborder)].DivPPI : 0);
  ReadCommonInfo(global, out);
  const TColor def_light = out.CommonInfo.DefLightColor;

  InheritedKeys keys(ini);
  const auto& sections = ini.Sections();
  out.gd.reserve(sections.size() + kStandardSectionCount);
  for (std::size_t i = 0; i < sections.size(); ++i) {
    TsGeneralData data = DefaultSection(scales, def_light);
    data.ClassName = sections[i].Name;
    const std::string* parent = ini.Find(static_cast<int>(i), "PARENTCLASS");
    data.ParentClass = parent != nullptr ? *parent : std::string();
    InheritedSource source(keys, static_cast<int>(i));
    SectionReader(source, scales).Read(data, true);
    out.gd.push_back(std::move(data));
  }
  MergeCommonSections(common, scales, def_light, out.gd);

  ReadPalette(global, context, out.gd, out.Palette);
  if (FindSection(out.gd, "TRANSPARENT") < 0) {
    out.gd.push_back(
        OneStateSection("TRANSPARENT", 100, clWhite, out.Palette[pcLabelText], scales, def_light));
  }
  if (FindSection(out.gd, "MAINCOLOR") < 0) {
    out.gd.push_back(OneStateSection("MAINCOLOR", 0, out.Palette[pcMainColor],
                                     out.Palette[pcLabelText], scales, def_light));
  }

  TacSectionIndexes& indexes = out.CommonInfo.Sections;
  for (std::size_t s = 0; s < kStandardSectionCount; ++s) {
    indexes[s] = FindSection(out.gd, kStandardSectionNames[s]);
    if (indexes[s] >= 0 || s < kFirstReplacedSection) {
      continue;
    }
    const std::string_view replacement = acAuxReplacement[s - kFirstReplacedSection];
    const int r = FindSection(out.gd, replacement);
    if (r < 0) {
      continue;
    }
    TsGeneralData copy = out.gd[static_cast<std::size_t>(r)];
    copy.ClassName = std::string(kStandardSectionNames[s]);
    copy.ParentClass = std::string(replacement);
    out.gd.push_back(std::move(copy));
    indexes[s] = r;
  }
  out.CommonInfo.IndexGlobalInfo = FindSection(out.gd, kGlobalInfo);

  ReadMetrics(global, ini, context, scales, out.ma, out.Metrics);
  ReadOuterEffects(global, context, scales, out.ma, out.oe);

  std::unordered_map<std::string_view, int> section_index;
  for (std::size_t i = out.gd.size(); i-- > 0;) {
    section_index[out.gd[i].ClassName] = static_cast<int>(i);
  }
  for (TsMaskData& mask : out.ma) {
    const auto it = section_index.find(mask.ClassName);
    mask.SkinIndex = it != section_index.end() ? it->second : -1;
  }
  return out;
}

}  // namespace kestrune::skin
