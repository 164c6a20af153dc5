#include "skin/data/skin_data.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "skin/data/parent_chain.h"

namespace kestrune::skin {

namespace {

constexpr std::string_view kGlobalInfo = "GLOBALINFO";

int ScaledByPPI(int value, int ppi) {
  return value * ppi / 96;
}

}  // namespace

void TacSkinData::Reset(int ppi) {
  *this = TacSkinData{};
  PPI = ppi;
  ScalePercent = ppi * 100 / 96;
  ScaleValue = PPIToIndex(ppi);
  TitleGlyphs.fill(-1);
}

void TacSkinData::LoadParams(int line_width, int scroll_btn_length) {
  Spacing = ScaledByPPI(4, PPI);
  LineWidth = ScaledByPPI(line_width, PPI);
  ArrowSize = ScaledByPPI(5, PPI);
  SmallArrowSize = ScaledByPPI(4, PPI);
  ScrollBtnLength = ScaledByPPI(scroll_btn_length, PPI);
}

struct TacSkinData::LookupIndex {
  // What the index was built from.
  const TsGeneralData* gd_data = nullptr;
  std::size_t gd_size = 0;
  const TsMaskData* ma_data = nullptr;
  std::size_t ma_size = 0;

  std::unordered_map<std::string, int> section_by_name;  // The first section of each name.
  std::vector<int> parent;                               // Index of each section's parent, or -1.
  std::unordered_map<std::string, int> mask_by_name;     // By SectionKey(ClassName, key).
  struct KeyChain {
    std::vector<int> own;       // The section's own first entry, or -1.
    std::vector<int> resolved;  // The first entry along the section's PARENTCLASS chain.
  };
  std::unordered_map<std::string, KeyChain> chains;  // By key, with '#' for textures only.

  static std::string SectionKey(std::string_view section, std::string_view key) {
    return std::to_string(section.size()) + ':' + std::string(section) + std::string(key);
  }

  int Section(std::string_view name) const {
    if (name.empty()) {
      return -1;
    }
    const auto it = section_by_name.find(std::string(name));
    return it == section_by_name.end() ? -1 : it->second;
  }

  const KeyChain& Chain(const std::vector<TsMaskData>& ma, std::string_view key,
                        bool textures_only) {
    std::string id(key);
    id.push_back(textures_only ? '#' : '=');
    const auto cached = chains.find(id);
    if (cached != chains.end()) {
      return cached->second;
    }
    KeyChain chain;
    chain.own.assign(parent.size(), -1);
    std::vector<char> has(parent.size(), 0);
    for (std::size_t i = 0; i < ma.size(); ++i) {
      const TsMaskData& mask = ma[i];
      if (mask.SkinIndex < 0 || static_cast<std::size_t>(mask.SkinIndex) >= parent.size() ||
          mask.PropertyName != key || (textures_only && mask.ImgType != itisaTexture)) {
        continue;
      }
      const auto section = static_cast<std::size_t>(mask.SkinIndex);
      if (chain.own[section] < 0) {
        chain.own[section] = static_cast<int>(i);
        has[section] = 1;
      }
    }
    const std::vector<int> supplier = FirstOnChain(parent, has);
    chain.resolved.resize(parent.size());
    for (std::size_t i = 0; i < parent.size(); ++i) {
      chain.resolved[i] = supplier[i] < 0 ? -1 : chain.own[static_cast<std::size_t>(supplier[i])];
    }
    return chains.emplace(std::move(id), std::move(chain)).first->second;
  }
};

TacSkinData::LookupCache::LookupCache() = default;
TacSkinData::LookupCache::LookupCache(const LookupCache&) {}
TacSkinData::LookupCache& TacSkinData::LookupCache::operator=(const LookupCache&) {
  const std::lock_guard lock(mutex);
  index.reset();
  return *this;
}
TacSkinData::LookupCache::~LookupCache() = default;

TacSkinData::LookupIndex& TacSkinData::Lookups() const {
  std::unique_ptr<LookupIndex>& index = lookups_.index;
  if (index && index->gd_data == gd.data() && index->gd_size == gd.size() &&
      index->ma_data == ma.data() && index->ma_size == ma.size()) {
    return *index;
  }
  index = std::make_unique<LookupIndex>();
  index->gd_data = gd.data();
  index->gd_size = gd.size();
  index->ma_data = ma.data();
  index->ma_size = ma.size();
  for (std::size_t i = 0; i < gd.size(); ++i) {
    if (!gd[i].ClassName.empty()) {
      index->section_by_name.try_emplace(gd[i].ClassName, static_cast<int>(i));
    }
  }
  index->parent.resize(gd.size());
  for (std::size_t i = 0; i < gd.size(); ++i) {
    index->parent[i] = index->Section(gd[i].ParentClass);
  }
  for (std::size_t i = 0; i < ma.size(); ++i) {
    index->mask_by_name.try_emplace(LookupIndex::SectionKey(ma[i].ClassName, ma[i].PropertyName),
                                    static_cast<int>(i));
  }
  return *index;
}

int TacSkinData::GetSkinIndex(std::string_view name) const {
  const std::lock_guard lock(lookups_.mutex);
  return Lookups().Section(name);
}

int TacSkinData::FindMask(int skin_index, std::string_view key, bool textures_only,
                          std::string_view stop_at_parent) const {
  if (skin_index < 0 || static_cast<std::size_t>(skin_index) >= gd.size()) {
    return -1;
  }
  const std::lock_guard lock(lookups_.mutex);
  LookupIndex& index = Lookups();
  const LookupIndex::KeyChain& chain = index.Chain(ma, key, textures_only);
  if (stop_at_parent.empty()) {
    return chain.resolved[static_cast<std::size_t>(skin_index)];
  }
  // A chain visits each section once at most, so parent loops end.
  std::vector<bool> visited(gd.size(), false);
  while (skin_index >= 0 && !visited[static_cast<std::size_t>(skin_index)]) {
    const auto section = static_cast<std::size_t>(skin_index);
    visited[section] = true;
    if (chain.own[section] >= 0) {
      return chain.own[section];
    }
    const std::string& parent = gd[section].ParentClass;
    if (parent.empty() || parent == stop_at_parent) {
      return -1;
    }
    skin_index = index.parent[section];
  }
  return -1;
}

int TacSkinData::GetMaskIndex(int skin_index, std::string_view key) const {
  return FindMask(skin_index, key, false, {});
}

int TacSkinData::GetMaskIndex(int skin_index, std::string_view section_name,
                              std::string_view key) const {
  return FindMask(skin_index, key, false, section_name);
}

int TacSkinData::GetMaskIndex(std::string_view section_name, std::string_view key) const {
  const std::lock_guard lock(lookups_.mutex);
  const auto& by_name = Lookups().mask_by_name;
  const auto it = by_name.find(LookupIndex::SectionKey(section_name, key));
  return it == by_name.end() ? -1 : it->second;
}

int TacSkinData::GetTextureIndex(int skin_index, std::string_view key) const {
  return FindMask(skin_index, key, true, {});
}

int TacSkinData::GetTextureIndex(int skin_index, std::string_view section_name,
                                 std::string_view key) const {
  return FindMask(skin_index, key, true, section_name);
}

TacConstElementData TacSkinData::ConstElement(std::string_view name) const {
  TacConstElementData element;
  element.SkinIndex = GetSkinIndex(name);
  if (element.SkinIndex < 0) {
    return element;
  }
  element.SkinSection = std::string(name);
  element.MaskIndex = GetMaskIndex(element.SkinIndex, "BORDERSMASK");
  element.GlyphIndex = GetMaskIndex(element.SkinIndex, "GLYPHMASK");
  element.BGIndex[0] = GetTextureIndex(element.SkinIndex, "PATTERN");
  element.BGIndex[1] = GetTextureIndex(element.SkinIndex, "HOTPATTERN");
  return element;
}

void TacSkinData::InitConstantIndexes() {
  constexpr std::array<std::string_view, 4> kScrolls = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H",
                                                        "SCROLLBAR2V"};
  constexpr std::array<std::string_view, 4> kScrollBtns = {"SCROLLBTNLEFT", "SCROLLBTNTOP",
                                                           "SCROLLBTNRIGHT", "SCROLLBTNBOTTOM"};
  constexpr std::array<std::string_view, 4> kUpDown = {"UPDOWNBTN_LEFT", "UPDOWNBTN_TOP",
                                                       "UPDOWNBTNRIGHT", "UPDOWNBTN_BOTTOM"};
  constexpr std::array<std::string_view, 4> kTabSides = {"TABLEFT", "TABTOP", "TABRIGHT",
                                                         "TABBOTTOM"};
  constexpr std::array<std::string_view, 4> kTabPositions = {"", "FIRST", "LAST", "MIDDLE"};

  for (std::size_t i = 0; i < 4; ++i) {
    Scrolls[i] = ConstElement(kScrolls[i]);
    ScrollBtns[i] = ConstElement(kScrollBtns[i]);
    UpDownBtns[i] = ConstElement(kUpDown[i]);
    for (const std::string_view fallback : {"UPDOWNBTN", "BUTTON"}) {
      if (UpDownBtns[i].SkinIndex < 0) {
        UpDownBtns[i] = ConstElement(fallback);
      }
    }
    for (std::size_t p = 0; p < 4; ++p) {
      Tabs[i][p] = ConstElement(std::string(kTabSides[i]) + std::string(kTabPositions[p]));
      if (Tabs[i][p].SkinIndex < 0) {
        Tabs[i][p] = Tabs[i][tpWhole];
      }
    }
  }
  Sliders[0] = ConstElement("SCROLLSLIDERH");
  Sliders[1] = ConstElement("SCROLLSLIDERV");
  MenuItem = ConstElement("MENUITEM");
  ComboBtn = ConstElement("COMBOBTN");
  ComboBtn.GlyphIndex = GetMaskIndex(GetSkinIndex("COMBOBOX"), "GLYPHMASK");

  const TacConstElementData track = ConstElement("TRACKBAR");
  for (std::size_t v = 0; v < 2; ++v) {
    TacTrackBarData& bar = TrackBar[v];
    bar.SkinIndex = track.SkinIndex;
    bar.MaskIndex = track.MaskIndex;
    bar.GlyphIndex = track.GlyphIndex;
    bar.BGIndex = track.BGIndex;
    bar.ProgIndex = GetMaskIndex(track.SkinIndex, "SLIDERCHANNEL");
    bar.SliderIndex = GetMaskIndex(track.SkinIndex, v == 0 ? "SLIDERMASK" : "SLIDERVMASK");
  }

  const auto global = [this](std::string_view key) { return GetMaskIndex(kGlobalInfo, key); };
  TitleGlyphs.fill(-1);
  for (std::size_t i = 0; i < kTitleGlyphNames.size(); ++i) {
    TitleGlyphs[i] = global(kTitleGlyphNames[i]);
  }
  const bool lone_close_drawn = TitleGlyphs[0] >= 0;
  LendCloseToLoneClose(lone_close_drawn, TitleGlyphs);
  // Small glyphs SICONCLOSE ... SICONHELP fall back to the large glyph of the same button.
  for (std::size_t i = 6; i <= 10; ++i) {
    if (TitleGlyphs[i] < 0) {
      TitleGlyphs[i] = TitleGlyphs[i - 5];
    }
  }
  for (std::size_t b = 0; b < 5; ++b) {
    TitleGlows[b].clear();
    for (int n = 0; n < TitleGlowCount; ++n) {
      const int index = global(std::string(kTitleGlyphNames[b]) + "GLOW" + std::to_string(n));
      if (index < 0) {
        break;
      }
      TitleGlows[b].push_back(index);
    }
  }
  LendCloseToLoneClose(lone_close_drawn, TitleGlows);

  RadioButton = {global("RADIOUNCHECKED"), global("RADIOCHECKED")};
  CheckBox = {global("BOXUNCHECKED"), global("BOXCHECKED"), global("BOXGRAYED")};
  SmallCheckBox = {global("SMALLUNCHECKED"), global("SMALLCHECKED"), global("SMALLGRAYED")};
  ExBorder = global("EXBORDER");
  GripVertical = global("GRIPVERT");
  GripHorizontal = global("GRIPHORZ");
  GripRightBottom = global("GRIPIMAGE");
}

void TacSkinData::InitMaskIndexes() {
  for (TsMaskData& mask : ma) {
    if (mask.ImageCount == 0) {
      mask.ImageCount = 1;
    }
    mask.Width = mask.R.Width() / mask.ImageCount;
    mask.Height = mask.MaskType == -1 ? 0 : mask.R.Height() / (mask.MaskType + 1);
    // Margins stay inside a frame, as for rescaled pictures: a frame or glow drawn from them
    // never reaches farther than the picture does.
    const auto limit = [](std::int16_t& margin, int room) {
      margin = static_cast<std::int16_t>(std::clamp<int>(margin, 0, std::max(room, 0)));
    };
    limit(mask.WL, mask.Width - 1);
    limit(mask.WR, mask.Width - mask.WL - 1);
    limit(mask.WT, mask.Height - 1);
    limit(mask.WB, mask.Height - mask.WT - 1);
    if (mask.ImgType == itisaBorder) {
      mask.Cfg = CornerFlag(mask, MasterBmp);
    }
  }
}

void TacSkinData::InitMaskParams() {
  for (std::size_t i = 0; i < gd.size(); ++i) {
    const int index = static_cast<int>(i);
    TsGeneralData& section = gd[i];
    section.BorderIndex = GetMaskIndex(index, "BORDERSMASK");
    section.ImgTL = GetMaskIndex(index, "IMGTOPLEFT");
    section.ImgTR = GetMaskIndex(index, "IMGTOPRIGHT");
    section.ImgBL = GetMaskIndex(index, "IMGBTMLEFT");
    section.ImgBR = GetMaskIndex(index, "IMGBTMRIGHT");
    section.OuterMask = section.OuterMode > 0 ? GetMaskIndex(index, "OUTERMASK") : -1;
    section.Props[0].TextureIndex = GetTextureIndex(index, "PATTERN");
    section.Props[1].TextureIndex =
        section.States > 1 ? GetTextureIndex(index, "HOTPATTERN") : section.Props[0].TextureIndex;
    section.Props[2].TextureIndex = section.States > 2 && section.UseState2
                                        ? GetTextureIndex(index, "PATTERN2")
                                        : section.Props[1].TextureIndex;
    UpdateScrollBorderOffset(section);
  }
}

}  // namespace kestrune::skin
