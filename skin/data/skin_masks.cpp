// The pictures of a density copy's image entries and its picture cache.

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <utility>

#include "platform/ascii_text.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_images.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {

namespace {

int FrameRows(const TsMaskData& md) {
  return md.MaskType >= 1 ? md.MaskType + 1 : 1;
}

}  // namespace

void TacSkinData::LoadAllMasks(std::vector<TsMaskData> entries, const TacPictureSource& source,
                               int brightness) {
  struct SourceGuard {
    const TacPictureSource*& pictures;
    ~SourceGuard() { pictures = nullptr; }
  } guard{pictures_};
  pictures_ = &source;
  brightness_ = brightness;
  ma.reserve(ma.size() + entries.size());
  for (TsMaskData& entry : entries) {
    const std::string file_name = entry.FileName;
    const TRect r = entry.R;
    const bool ignore_fuchsia = entry.ImgType == itisaTexture || entry.ImgType == itisaGlow;
    const auto index = static_cast<std::size_t>(MakeNewItem(std::move(entry)));
    if (!DefineBmp(ma[index], file_name, ignore_fuchsia, r)) {
      ma.pop_back();
      continue;
    }
    if (ma[index].ImgType == itisaBorder) {
      ma[index].Cfg = CornerFlag(ma[index], MasterBmp);
    }
  }
}

int TacSkinData::MakeNewItem(TsMaskData item) {
  item.MulPPi = PPI;
  ma.push_back(std::move(item));
  return static_cast<int>(ma.size()) - 1;
}

bool TacSkinData::DefineBmp(TsMaskData& md, const std::string& img_name, bool ignore_fuchsia,
                            TRect r) {
  if (img_name.empty()) {
    // A rectangle reaching outside the master image is cut to it, so that nothing ever reads
    // beyond the picture, and no frame is cut from where another one lies. Without a master
    // image the rectangle stays for the frame sizes; painters draw nothing from an empty
    // picture.
    if (MasterBmp != nullptr && !MasterBmp->Empty()) {
      r = ClipEntryToPicture(r, md.ImageCount, md.MaskType, *MasterBmp);
      md.R = r;
    }
  }
  const int cached = SearchBmpIndex(img_name, r);
  if (cached >= 0) {
    UpdateItem(md, cached);
    return true;
  }
  if (!img_name.empty()) {
    if (pictures_ == nullptr) {
      return false;
    }
    const std::optional<Bytes> bytes = pictures_->Find(img_name);
    if (!bytes) {
      return false;
    }
    const std::string upper = Upper(img_name);
    std::optional<Bitmap> picture = DecodeSkinPicture(upper, *bytes);
    if (!picture || picture->Empty()) {
      return false;
    }
    if (upper.ends_with(".PNG") && brightness_ < 1 && md.ImgType != itisaBorder) {
      UpdateAlpha(*picture);
    }
    md.Bmp = std::make_shared<Bitmap>(std::move(*picture));
    md.R = Rect(0, 0, md.Bmp->Width(), md.Bmp->Height());
    md.Width = md.Bmp->Width();
    md.Height = md.Bmp->Height();
    const bool rescaled = md.MulPPi != md.DivPPI &&
                          ScaleMaskData(md, nullptr, ignore_fuchsia || md.ImgType == itisaPngGlyph);
    const int added = AddImage(md, img_name, TRect{}, true);
    if (!rescaled) {
      // Records sharing a picture that was not rescaled take its margins as written.
      BmpArray[static_cast<std::size_t>(added)].DivPPI = md.MulPPi;
    }
  } else if (md.MulPPi != md.DivPPI && (md.DrawMode & kDrawModeUnscaled) == 0 &&
             ScaleMaskData(md, MasterBmp, false)) {
    AddImage(md, img_name, r, false);
  }
  if (md.R.IsEmpty() && md.Bmp) {
    md.R = Rect(0, 0, md.Bmp->Width(), md.Bmp->Height());
  }
  return true;
}

int TacSkinData::AddImage(const TsMaskData& md, const std::string& img_name, TRect src_rect,
                          bool ext) {
  TacBmpData entry;
  entry.MulPPI = md.MulPPi;
  entry.DivPPI = md.DivPPI;
  entry.MaskType = md.MaskType;
  entry.Path = md.ClassName + "-" + md.PropertyName;
  entry.FileName = Upper(img_name);
  entry.Bmp = md.Bmp;
  entry.R = md.R;
  entry.SrcRect = src_rect;
  entry.Ext = ext;
  BmpArray.push_back(std::move(entry));
  return static_cast<int>(BmpArray.size()) - 1;
}

int TacSkinData::SearchBmpIndex(const std::string& img_name, TRect r) const {
  const std::string wanted = Upper(img_name);
  for (std::size_t i = 0; i < BmpArray.size(); ++i) {
    const TacBmpData& entry = BmpArray[i];
    if (entry.FileName == wanted && (!wanted.empty() || entry.SrcRect == r)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void TacSkinData::UpdateItem(TsMaskData& md, int bmp_index) const {
  const TacBmpData& entry = BmpArray[static_cast<std::size_t>(bmp_index)];
  md.Bmp = entry.Bmp;
  md.R = entry.Bmp ? Rect(0, 0, entry.Bmp->Width(), entry.Bmp->Height()) : entry.R;
  md.MulPPi = entry.MulPPI;
  md.DivPPI = entry.DivPPI;
  md.Width = md.R.Width() / std::max(1, md.ImageCount);
  md.Height = md.R.Height() / FrameRows(md);
  ScaleMargins(md, md.Width, md.Height);
}

}  // namespace kestrune::skin
