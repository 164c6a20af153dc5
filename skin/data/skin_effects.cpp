// Generated pictures of a density copy (outer effects, window shadow templates), and the
// manager's image operations across copies: on-demand records for other densities and the
// mirroring of title-bar glyphs.

#include <algorithm>
#include <cctype>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "platform/ascii_text.h"
#include "skin/data/image_entry.h"
#include "skin/data/skin_adjustment.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_images.h"
#include "skin/data/skin_manager.h"
#include "skin/pixels/gradient.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {

namespace {

constexpr std::string_view kGlobalInfo = "GLOBALINFO";

// Each pixel takes the colour of its nearest edge, relative to the picture's size.
void FillFourColors(Bitmap& bmp, TRect r, const std::array<TColor, 4>& ltrb) {
  const int w = std::max(1, r.Width());
  const int h = std::max(1, r.Height());
  for (int y = r.Top; y < r.Bottom; ++y) {
    std::uint32_t* row = bmp.Row32(y);
    for (int x = r.Left; x < r.Right; ++x) {
      // Distances scaled to a common measure so that a wide picture is not all top and bottom.
      const long dl = static_cast<long>(x - r.Left) * h;
      const long dr = static_cast<long>(r.Right - 1 - x) * h;
      const long dt = static_cast<long>(y - r.Top) * w;
      const long db = static_cast<long>(r.Bottom - 1 - y) * w;
      std::size_t side = 0;
      long best = dl;
      for (const auto& [d, s] : {std::pair{dt, std::size_t{1}}, std::pair{dr, std::size_t{2}},
                                 std::pair{db, std::size_t{3}}}) {
        if (d < best) {
          best = d;
          side = s;
        }
      }
      row[x] = SwapRedBlue(ltrb[side]) | 0xFF000000u;
    }
  }
}

std::int16_t Margin(int value) {
  return static_cast<std::int16_t>(std::clamp(value, 0, 9999));
}

}  // namespace

void TacSkinData::PrepareOuter() {
  for (std::size_t i = 0; i < gd.size(); ++i) {
    TsGeneralData& section = gd[i];
    if ((section.OuterMode != 3 && section.OuterMode != 4) || section.OuterMask >= 0) {
      continue;
    }
    const TRect& off = section.OuterOffset;
    const int left = std::max(0, off.Left);
    const int top = std::max(0, off.Top);
    const int right = std::max(0, off.Right);
    const int bottom = std::max(0, off.Bottom);
    const Bitmap shadow = MakeShadow({.Color = section.OuterColorL,
                                      .Radius = section.OuterRadius,
                                      .BodyHeight = top + bottom,
                                      .BodyWidth = left + right,
                                      .BlurSize = section.OuterBlur,
                                      .MaskMode = true});
    if (shadow.Empty()) {
      continue;
    }
    const int w = shadow.Width();
    const int h = shadow.Height();
    auto bmp = std::make_shared<Bitmap>(CreateBmp32(w, 2 * h));
    if (bmp->Empty()) {
      continue;
    }
    const TRect upper = Rect(0, 0, w, h);
    if (section.OuterMode == 3) {
      FillRect32(*bmp, upper, section.OuterColorL);
    } else {
      FillFourColors(
          *bmp, upper,
          {section.OuterColorL, section.OuterColorT, section.OuterColorR, section.OuterColorB});
    }
    for (int y = 0; y < h; ++y) {
      std::copy_n(shadow.Row32(y), w, bmp->Row32(h + y));
    }
    TsMaskData md;
    md.Bmp = std::move(bmp);
    md.ClassName = section.ClassName;
    md.PropertyName = "OUTERMASK";
    md.R = Rect(0, 0, w, 2 * h);
    md.ImageCount = 1;
    md.MaskType = 1;
    md.ImgType = itisaBorder;
    md.DivPPI = PPI;
    md.SkinIndex = static_cast<int>(i);
    md.Width = w;
    md.Height = h;
    md.WL = Margin((w + off.Left - off.Right) / 2);
    md.WR = Margin((w + off.Right - off.Left) / 2);
    md.WT = Margin((h + off.Top - off.Bottom) / 2);
    md.WB = Margin((h + off.Bottom - off.Top) / 2);
    ScaleMargins(md, w, h);
    md.Cfg = CornerFlag(md, MasterBmp);
    const int index = MakeNewItem(std::move(md));
    const TsMaskData& added = ma[static_cast<std::size_t>(index)];
    AddImage(added, "Outer" + std::to_string(index), TRect{}, false);
    BmpArray.back().Path = "Outer" + std::to_string(index);
    section.OuterMask = index;
  }
}

void TacSkinData::MakeCommonMask() {
  constexpr std::array<std::string_view, 2> kKeys = {"LO_MASK", "SH_MASK"};
  const int global = GetSkinIndex(kGlobalInfo);
  for (std::size_t e = 0; e < oe.size(); ++e) {
    TacOutEffData& effect = oe[e];
    effect.Mask = -1;
    if (effect.Source == 1) {
      effect.Mask = GetMaskIndex(kGlobalInfo, kKeys[e]);
      continue;
    }
    if (effect.Source != 2) {
      continue;
    }
    const int body_w = std::max(0, effect.OffsetL) + std::max(0, effect.OffsetR);
    const int body_h = std::max(0, effect.OffsetT) + std::max(0, effect.OffsetB);
    // The shape lies in the picture's alpha; the effect's Opacity is applied when it is drawn.
    Bitmap shadow = MakeShadow(
        {.Color = static_cast<TColor>(static_cast<std::uint32_t>(effect.ColorL) | 0xFF000000u),
         .Radius = effect.Radius,
         .BodyHeight = body_h,
         .BodyWidth = body_w,
         .BlurSize = effect.Blur});
    if (shadow.Empty()) {
      continue;
    }
    const int w = shadow.Width();
    const int h = shadow.Height();
    TsMaskData md;
    md.Bmp = std::make_shared<Bitmap>(std::move(shadow));
    md.ClassName = std::string(kGlobalInfo);
    md.PropertyName = std::string(kKeys[e]);
    md.R = Rect(0, 0, w, h);
    md.ImageCount = 1;
    md.MaskType = 0;
    md.DrawMode = kDrawModeOwnAlpha;
    md.ImgType = itisaBorder;
    md.DivPPI = PPI;
    md.SkinIndex = global;
    md.Width = w;
    md.Height = h;
    const auto side = [](int given, int size, int near, int far) {
      return Margin(given >= 0 ? given : (size + near - far) / 2);
    };
    md.WL = side(effect.WidthL, w, effect.OffsetL, effect.OffsetR);
    md.WR = side(effect.WidthR, w, effect.OffsetR, effect.OffsetL);
    md.WT = side(effect.WidthT, h, effect.OffsetT, effect.OffsetB);
    md.WB = side(effect.WidthB, h, effect.OffsetB, effect.OffsetT);
    ScaleMargins(md, w, h);
    md.Cfg = CornerFlag(md, MasterBmp);
    effect.Mask = MakeNewItem(std::move(md));
    AddImage(ma.back(), "CommonMask" + std::to_string(e), TRect{}, false);
  }
}

void TacSkinData::MakeShadowTemplates(bool exborder_image) {
  ShdaTemplate = Bitmap();
  ShdiTemplate = Bitmap();
  if (exborder_image && ExBorder >= 0 && static_cast<std::size_t>(ExBorder) < ma.size()) {
    const TsMaskData& md = ma[static_cast<std::size_t>(ExBorder)];
    const Bitmap* picture = md.Bmp ? md.Bmp.get() : MasterBmp;
    if (picture == nullptr || md.Width <= 0 || md.Height <= 0) {
      return;
    }
    const auto frame = [&md](int f) {
      const int left = md.R.Left + f * md.Width;
      return Rect(left, md.R.Top, left + md.Width, md.R.Top + md.Height);
    };
    ShdiTemplate = CopyPicture(*picture, frame(0));
    ShdaTemplate = CopyPicture(*picture, frame(md.ImageCount > 1 ? 1 : 0));
    return;
  }
  // The body spans twice the shadow so that the sides have a straight middle to stretch.
  const int body = 2 * std::max(0, WndShadowSize);
  const auto shadow = [&](TColor color) {
    return MakeShadow({.Color = color,
                       .Radius = WndShadowRadius,
                       .Offset = WndShadowOffset,
                       .BodyHeight = body,
                       .BodyWidth = body});
  };
  ShdaTemplate = shadow(WndShadowColorA);
  ShdiTemplate = shadow(WndShadowColorN);
}

int TsSkinManager::GetScaledMaskData(std::string_view section_name, std::string_view prop_name,
                                     TsMaskData& md, int mul_ppi) {
  if ((!SkinCommonInfo.Active && !Has96Sections()) || mul_ppi <= 0) {
    return -1;
  }
  // A load lets the options and pictures go once its tables are built: read them again.
  const SourceHold hold(*this);
  if (!hold.Shared() && !ReopenSkinFile()) {
    return -1;
  }
  const std::string section(section_name);
  const std::string* value = nullptr;
  const int found = NearestDensityIndex(mul_ppi, [&](int index) {
    value = SkinFile.Find(section, std::string(prop_name) + std::string(ScaleSuffix(index)));
    return value != nullptr && IsImageEntry(Upper(*value));
  });
  if (found < 0) {
    return -1;
  }
  TsMaskData out;
  ReadCanonicalEntry(CanonicalImageEntry(Upper(*value)), out);
  out.ClassName = section;
  out.PropertyName = std::string(prop_name);
  out.SkinIndex = 0;
  out.DivPPI = IndexToPPI(found);
  out.MulPPi = mul_ppi;
  const bool unscaled = out.DivPPI == mul_ppi || (out.DrawMode & kDrawModeUnscaled) != 0;
  if (!out.FileName.empty()) {
    const std::optional<Bytes> bytes = PictureSource().Find(out.FileName);
    std::optional<Bitmap> picture;
    if (bytes) {
      picture = DecodeSkinPicture(Upper(out.FileName), *bytes);
    }
    if (!picture || picture->Empty()) {
      return -1;
    }
    out.Bmp = std::make_shared<Bitmap>(std::move(*picture));
    out.R = Rect(0, 0, out.Bmp->Width(), out.Bmp->Height());
    if (!unscaled) {
      ScaleMaskData(
          out, nullptr,
          out.ImgType == itisaTexture || out.ImgType == itisaGlow || out.ImgType == itisaPngGlyph);
    }
    // Cut-outs come from the adjusted master image; a separate picture is adjusted here.
    AdjustPicture(*this, section, prop_name, *out.Bmp, out.MaskType);
  } else {
    out.R = ClipEntryToPicture(out.R, out.ImageCount, out.MaskType, MasterBitmap);
    if (unscaled || !ScaleMaskData(out, &MasterBitmap, false)) {
      out.Bmp = std::make_shared<Bitmap>(CopyPicture(MasterBitmap, out.R));
      out.R = Rect(0, 0, out.Bmp->Width(), out.Bmp->Height());
    }
  }
  const int count = std::max(1, out.ImageCount);
  out.ImageCount = count;
  out.Width = out.R.Width() / count;
  out.Height = out.MaskType == -1 ? 0 : out.R.Height() / (out.MaskType + 1);
  if (out.ImgType == itisaBorder) {
    out.Cfg = CornerFlag(out, &MasterBitmap);
  }
  md = std::move(out);
  return 0;
}

void TsSkinManager::FlipImages(bool flip) {
  if (flip == ((ManagerState & msRTLFlipped) != 0)) {
    return;
  }
  ManagerState ^= msRTLFlipped;
  // Records may share one bitmap (the master image, the picture cache): each picture area is
  // mirrored once, or a second mirroring would undo the first.
  std::set<std::pair<const Bitmap*, std::array<int, 4>>> done;
  const auto mirror = [&](const TacSkinData& data, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= data.ma.size()) {
      return;
    }
    const TsMaskData& md = data.ma[static_cast<std::size_t>(index)];
    Bitmap* picture = md.Bmp ? md.Bmp.get() : &MasterBitmap;
    if (done.insert({picture, {md.R.Left, md.R.Top, md.R.Right, md.R.Bottom}}).second) {
      MirrorFrames(*picture, md.R, md.ImageCount);
    }
  };
  for (const std::unique_ptr<TacSkinData>& data : SkinDataArray) {
    if (!data) {
      continue;
    }
    for (std::size_t slot = 1; slot <= 4; ++slot) {
      mirror(*data, data->TitleGlyphs[slot]);
      if (!data->TitleGlows[slot].empty()) {
        mirror(*data, data->TitleGlows[slot].front());
      }
    }
  }
}

}  // namespace kestrune::skin
