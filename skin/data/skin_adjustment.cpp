#include "skin/data/skin_adjustment.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/ascii_text.h"
#include "skin/data/image_entry.h"
#include "skin/data/skin_manager.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {

namespace {

constexpr std::string_view kGlobalInfo = "GLOBALINFO";
constexpr std::array<std::string_view, 3> kCloseGlyphs = {"BICONCLOSE", "BICLOSEALONE",
                                                          "SICONCLOSE"};
constexpr std::array<std::string_view, 7> kOtherTitleGlyphs = {
    "BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP", "SICONMAX", "SICONMIN", "SICONNORM"};
constexpr std::array<std::string_view, 4> kDensitySuffixes = {"", "*125", "*150", "*200"};

// Rows of `r` below its first row of frames: the mask rows of an entry with a mask type of 1 or
// more; empty for entries without.
TRect MaskRows(TRect r, int mask_type) {
  if (mask_type < 1 || r.IsEmpty()) {
    return {};
  }
  const int image_rows = r.Height() / (mask_type + 1);
  return Rect(r.Left, r.Top + image_rows, r.Right, r.Bottom);
}

// Pixels of some rectangles of a bitmap, put aside while the whole bitmap changes.
class KeptAreas {
 public:
  KeptAreas(Bitmap& bmp, const std::vector<TRect>& areas) : bmp_(bmp) {
    for (const TRect& area : areas) {
      const TRect r = ClipToPicture(area, bmp);
      if (!r.IsEmpty()) {
        areas_.push_back({r, CopyPicture(bmp, r)});
      }
    }
  }
  KeptAreas(const KeptAreas&) = delete;
  KeptAreas& operator=(const KeptAreas&) = delete;
  ~KeptAreas() {
    for (const Area& area : areas_) {
      const auto bytes = static_cast<std::size_t>(area.r.Width()) * 4;
      for (int y = 0; y < area.r.Height(); ++y) {
        std::memcpy(bmp_.Row32(area.r.Top + y) + area.r.Left, area.pixels.Row32(y), bytes);
      }
    }
  }

 private:
  struct Area {
    TRect r;
    Bitmap pixels;
  };
  Bitmap& bmp_;
  std::vector<Area> areas_;
};

// The master-image rectangle of an image entry written in the options, or an empty one for an
// entry that names a picture of its own, has no mask row when `masks_only`, or cannot be read
// (such an entry is reported by the load that uses it).
TRect MasterRect(const std::string& value, bool masks_only) {
  const std::string upper = Upper(value);
  if (!IsImageEntry(upper)) {
    return {};
  }
  TsMaskData md;
  try {
    ReadCanonicalEntry(CanonicalImageEntry(upper), md);
  } catch (const std::exception&) {
    return {};
  }
  if (!md.FileName.empty()) {
    return {};
  }
  return masks_only ? MaskRows(md.R, md.MaskType) : md.R;
}

// The mask rows in the master image of every entry the options write for any density, and of
// every record of `data` that cuts from the master image.
std::vector<TRect> MasterMaskRows(const TsSkinManager& manager, const TacSkinData& data) {
  std::vector<TRect> rows;
  for (const IniStore::Section& section : manager.SkinFile.Sections()) {
    for (const auto& [key, value] : section.Keys) {
      if (const TRect r = MasterRect(value, true); !r.IsEmpty()) {
        rows.push_back(r);
      }
    }
  }
  for (const TacBmpData& cached : data.BmpArray) {
    if (!cached.Ext && cached.FileName.empty()) {
      rows.push_back(MaskRows(cached.SrcRect, cached.MaskType));
    }
  }
  for (const TsMaskData& md : data.ma) {
    if (!md.Bmp) {
      rows.push_back(MaskRows(md.R, md.MaskType));
    }
  }
  return rows;
}

// The title-bar glyphs that keep their colours under a hue rotation.
std::vector<std::string_view> KeptGlyphNames(int keep_hue) {
  std::vector<std::string_view> names(kCloseGlyphs.begin(), kCloseGlyphs.end());
  if (keep_hue == 1) {
    names.insert(names.end(), kOtherTitleGlyphs.begin(), kOtherTitleGlyphs.end());
  }
  return names;
}

// Where the kept glyphs lie in the master image, for every density the options write them for,
// and the pictures of their own that `data` holds for them.
struct KeptGlyphs {
  std::vector<TRect> master_rects;
  std::unordered_set<const Bitmap*> pictures;
};

KeptGlyphs FindKeptGlyphs(const TsSkinManager& manager, const TacSkinData& data, int keep_hue) {
  KeptGlyphs kept;
  for (const std::string_view name : KeptGlyphNames(keep_hue)) {
    for (const std::string_view suffix : kDensitySuffixes) {
      const std::string key = std::string(name) + std::string(suffix);
      if (const std::string* value = manager.SkinFile.Find(kGlobalInfo, key)) {
        kept.master_rects.push_back(MasterRect(*value, false));
      }
    }
    const int index = data.GetMaskIndex(kGlobalInfo, name);
    if (index >= 0) {
      const TsMaskData& md = data.ma[static_cast<std::size_t>(index)];
      if (md.Bmp) {
        kept.pictures.insert(md.Bmp.get());
      } else {
        kept.master_rects.push_back(md.R);
      }
    }
  }
  return kept;
}

// The cached pictures of `data` that do not carry the adjustment yet, each once.
std::vector<const TacBmpData*> PicturesToAdjust(const TacSkinData& data) {
  std::vector<const TacBmpData*> pictures;
  std::unordered_set<const Bitmap*> seen;
  for (const TacBmpData& cached : data.BmpArray) {
    if (!cached.Adjusted && cached.Bmp && !cached.Bmp->Empty() &&
        seen.insert(cached.Bmp.get()).second) {
      pictures.push_back(&cached);
    }
  }
  return pictures;
}

// ChangeBitmapPixels with the transparent fuchsia value kept, remembering recent results: skin
// pictures hold few distinct colours, and the per-pixel operations keep alpha and depend on the
// colour alone, so a repeated colour costs a lookup instead of a hue or saturation formula.
void ChangePixels(Bitmap& bmp, TPixelProc proc, int value) {
  struct Memo {
    std::uint32_t color = 0xFFFFFFFFu;  // No colour: the alpha byte is never part of the key.
    std::uint32_t result = 0;
  };
  constexpr std::uint32_t kColor = 0x00FFFFFFu;
  constexpr std::size_t kMemoSize = 4096;
  std::vector<Memo> memo(kMemoSize);
  for (int y = 0; y < bmp.Height(); ++y) {
    std::uint32_t* row = bmp.Row32(y);
    for (int x = 0; x < bmp.Width(); ++x) {
      std::uint32_t& pixel = row[x];
      if (pixel == kTransparentFuchsia) {
        continue;
      }
      const std::uint32_t color = pixel & kColor;
      Memo& slot = memo[(color * 2654435761u) >> 20];
      if (slot.color != color) {
        std::uint32_t changed = color;
        proc(changed, value);
        slot = {color, changed & kColor};
      }
      pixel = (pixel & ~kColor) | slot.result;
    }
  }
}

// Changes every pixel of `bmp` except the transparent fuchsia value and the mask rows.
void ChangePicture(Bitmap& bmp, int mask_type, TPixelProc proc, int value) {
  const KeptAreas masks(bmp, {MaskRows(Rect(0, 0, bmp.Width(), bmp.Height()), mask_type)});
  ChangePixels(bmp, proc, value);
}

template <typename Change>
void ChangeStateColors(TacSkinData& data, Change change) {
  const auto unless = [&change](TColor& color, TColor none) {
    if (color != none) {
      color = change(color);
    }
  };
  for (TsGeneralData& section : data.gd) {
    for (TsGenState& state : section.Props) {
      unless(state.Color, -1);
      unless(state.GlowColor, -1);
      unless(state.LightColor, -1);
      unless(state.FontColor.Color, -1);
      unless(state.FontColor.Left, -1);
      unless(state.FontColor.Top, -1);
      unless(state.FontColor.Right, -1);
      unless(state.FontColor.Bottom, -1);
      unless(state.BorderColor, clFuchsia);
      for (TsGradPoint& point : state.GradientArray) {
        point.Color = change(point.Color);
      }
    }
  }
}

template <typename Change>
void ChangePalette(TacPalette& palette, Change change) {
  for (const TacPaletteColors index : ChangeableColors) {
    palette[index] = change(palette[index]);
  }
}

// The first record that uses `bmp` is the one whose picture was loaded.
const TsMaskData* FirstUser(const TacSkinData& data, const Bitmap* bmp) {
  for (const TsMaskData& md : data.ma) {
    if (md.Bmp.get() == bmp) {
      return &md;
    }
  }
  return nullptr;
}

}  // namespace

int LimitBrightness(int value) {
  return std::clamp(value, -100, 100);
}

int SaturationValue(int saturation) {
  const long long value = static_cast<long long>(saturation) * 255 / 100;
  return static_cast<int>(std::clamp<long long>(value, -255, 255));
}

void ChangeSkinHue(TsSkinManager& manager, int value, int ppi) {
  TacSkinData* data = manager.LoadedCopy(ppi);
  if (value == 0 || data == nullptr) {
    return;
  }
  const int keep_hue = manager.SkinCommonInfo.BIKeepHUE;
  KeptGlyphs kept;
  if (keep_hue > 0) {
    kept = FindKeptGlyphs(manager, *data, keep_hue);
  }
  if (!manager.MasterAdjusted) {
    const KeptAreas glyphs(manager.MasterBitmap, kept.master_rects);
    ChangePixels(manager.MasterBitmap, ChangeColorHUE, value);
    manager.SkinCommonInfo.Shadow1Color = ChangeHue(value, manager.SkinCommonInfo.Shadow1Color);
  }
  for (const TacBmpData* cached : PicturesToAdjust(*data)) {
    if (!kept.pictures.contains(cached->Bmp.get())) {
      ChangePixels(*cached->Bmp, ChangeColorHUE, value);
    }
  }
  const auto hue = [value](TColor c) { return ChangeHue(value, c); };
  ChangeStateColors(*data, hue);
  ChangePalette(manager.Palette, hue);
}

void ChangeSkinSaturation(TsSkinManager& manager, int value, int ppi) {
  TacSkinData* data = manager.LoadedCopy(ppi);
  const int v = SaturationValue(value);
  if (v == 0 || data == nullptr) {
    return;
  }
  if (!manager.MasterAdjusted) {
    const KeptAreas masks(manager.MasterBitmap, MasterMaskRows(manager, *data));
    ChangePixels(manager.MasterBitmap, ChangeColorSaturation, v);
    manager.SkinCommonInfo.Shadow1Color = ChangeSaturation(v, manager.SkinCommonInfo.Shadow1Color);
  }
  for (const TacBmpData* cached : PicturesToAdjust(*data)) {
    ChangePicture(*cached->Bmp, cached->MaskType, ChangeColorSaturation, v);
  }
  const auto saturation = [v](TColor c) { return ChangeSaturation(v, c); };
  ChangeStateColors(*data, saturation);
  ChangePalette(manager.Palette, saturation);
}

void ChangeSkinBrightness(TsSkinManager& manager, int value, int ppi) {
  TacSkinData* data = manager.LoadedCopy(ppi);
  if (value == 0 || data == nullptr) {
    return;
  }
  if (!manager.MasterAdjusted) {
    const KeptAreas masks(manager.MasterBitmap, MasterMaskRows(manager, *data));
    ChangePixels(manager.MasterBitmap, ChangeColorBrightness, value);
  }
  for (const TacBmpData* cached : PicturesToAdjust(*data)) {
    ChangePicture(*cached->Bmp, cached->MaskType, ChangeColorBrightness, value);
    // While brightening, loading leaves the alpha of these pictures unprepared so that the
    // change works on straight colours; it is prepared now instead.
    const TsMaskData* user = FirstUser(*data, cached->Bmp.get());
    if (value > 0 && cached->FileName.ends_with(".PNG") && user != nullptr &&
        user->ImgType != itisaBorder) {
      UpdateAlpha(*cached->Bmp);
    }
  }
  ChangeStateColors(*data, [value](TColor c) { return ChangeBrightness(c, value); });
}

void AdjustPicture(const TsSkinManager& manager, std::string_view section, std::string_view key,
                   Bitmap& bmp, int mask_type) {
  const int keep_hue = manager.SkinCommonInfo.BIKeepHUE;
  const std::vector<std::string_view> kept = KeptGlyphNames(keep_hue);
  const bool hue_kept = keep_hue > 0 && section == kGlobalInfo &&
                        std::find(kept.begin(), kept.end(), key) != kept.end();
  const int hue = hue_kept ? 0 : manager.HueOffset();
  const int saturation = manager.Saturation();
  const int brightness = manager.Brightness();
  if (hue != 0) {
    ChangePixels(bmp, ChangeColorHUE, hue);
  }
  if (const int v = SaturationValue(saturation); v != 0) {
    ChangePicture(bmp, mask_type, ChangeColorSaturation, v);
  }
  if (brightness != 0) {
    ChangePicture(bmp, mask_type, ChangeColorBrightness, brightness);
  }
}

}  // namespace kestrune::skin
