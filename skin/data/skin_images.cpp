#include "skin/data/skin_images.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/ascii_text.h"
#include "platform/error.h"
#include "platform/file_bytes.h"
#include "platform/files.h"
#include "skin/data/skin_options.h"
#include "skin/pixels/image_codecs.h"
#include "skin/pixels/pixel_ops.h"
#include "skin/pixels/stretch.h"

namespace kestrune::skin {

namespace {

constexpr std::uint32_t kColorBits = 0x00FFFFFFu;
constexpr std::uint32_t kFuchsiaBits = 0x00FF00FFu;
constexpr std::uint32_t kOpaque = 0xFF000000u;
// A picture larger than this cannot be a skin picture; the archive limit still applies.
constexpr std::size_t kMaxPictureFile = std::size_t{64} << 20;

bool IsFuchsia(std::uint32_t pixel) {
  return (pixel & kColorBits) == kFuchsiaBits;
}

Bitmap NewBitmap(int width, int height) {
  Bitmap bmp = CreateBmp32(width, height);
  if (bmp.Empty() && width > 0 && height > 0) {
    throw Error("Not enough memory for a skin picture of " + std::to_string(width) + " x " +
                std::to_string(height) + " pixels");
  }
  return bmp;
}

Bitmap DecodePng(const Bytes& bytes) {
  Bitmap bmp = DecodePngPicture(bytes);
  ApplyFuchsiaKey(bmp);
  return bmp;
}

// BMP files below 32 bits carry no alpha: everything opaque except the key colour.
Bitmap DecodeBmp(const Bytes& bytes) {
  Bitmap bmp = DecodeBmpPicture(bytes);
  const bool has_alpha = bytes.size() > 29 && (bytes[28] | (bytes[29] << 8)) == 32;
  if (has_alpha) {
    ApplyFuchsiaKey(bmp);
  } else {
    FillAlphaRect(bmp, Rect(0, 0, bmp.Width(), bmp.Height()), 255, clFuchsia);
  }
  return bmp;
}

// Copies r of src (inside src) to (0, 0) of a new bitmap.
Bitmap CopyRows(const Bitmap& src, TRect r) {
  Bitmap out = NewBitmap(r.Width(), r.Height());
  for (int y = 0; y < r.Height(); ++y) {
    std::memcpy(out.Row32(y), src.Row32(r.Top + y) + r.Left,
                static_cast<std::size_t>(r.Width()) * 4);
  }
  return out;
}

void FillRegion(Bitmap& bmp, TRect r, Bitmap* other, std::uint32_t fuchsia_to,
                std::uint32_t other_to) {
  r = ClipToPicture(r, bmp);
  for (int y = r.Top; y < r.Bottom; ++y) {
    for (int x = r.Left; x < r.Right; ++x) {
      std::uint32_t& pixel = bmp.Row32(y)[x];
      if (IsFuchsia(pixel)) {
        pixel = fuchsia_to;
        if (other != nullptr && x < other->Width() && y < other->Height()) {
          other->Row32(y)[x] = other_to;
        }
      }
    }
  }
}

// The four corner regions of frame `frame` of a picture frame_w x frame_h starting at origin.
std::array<TRect, 4> CornerRegions(const TsMaskData& md, TPoint origin, int frame_w, int frame_h) {
  const int left = origin.X;
  const int top = origin.Y;
  const int right = origin.X + frame_w;
  const int bottom = origin.Y + frame_h;
  const auto clamp_x = [&](int v) { return std::clamp(v, left, right); };
  const auto clamp_y = [&](int v) { return std::clamp(v, top, bottom); };
  return {
      Rect(left, top, clamp_x(left + md.WL), clamp_y(top + md.WT)),
      Rect(clamp_x(right - md.WR), top, right, clamp_y(top + md.WT)),
      Rect(left, clamp_y(bottom - md.WB), clamp_x(left + md.WL), bottom),
      Rect(clamp_x(right - md.WR), clamp_y(bottom - md.WB), right, bottom),
  };
}

void MarkCorners(Bitmap& image, Bitmap* mask, const TsMaskData& md, int frame_w, int count) {
  for (int f = 0; f < count; ++f) {
    for (const TRect& r : CornerRegions(md, TPoint{f * frame_w, 0}, frame_w, image.Height())) {
      FillRegion(image, r, mask, 0u, 0xFFFFFFFFu);
    }
  }
}

std::int16_t ClampMargin(int value) {
  return static_cast<std::int16_t>(std::clamp(value, 0, 9999));
}

}  // namespace

std::optional<Bytes> TacPictureSource::Find(std::string_view name) const {
  if (name.empty()) {
    return std::nullopt;
  }
  if (Archive != nullptr) {
    const std::string wanted = Upper(name);
    for (const TacFileItem& item : Archive->Files) {
      if (Upper(item.Name) == wanted) {
        return item.Stream;
      }
    }
    return std::nullopt;
  }
  const std::string path =
      name.find(':') != std::string_view::npos ? std::string(name) : SkinPath + std::string(name);
  if (!platform::FileExists(path)) {
    return std::nullopt;
  }
  return platform::ReadFileBytes(path, kMaxPictureFile);
}

void ApplyFuchsiaKey(Bitmap& bmp) {
  for (int y = 0; y < bmp.Height(); ++y) {
    std::uint32_t* row = bmp.Row32(y);
    for (int x = 0; x < bmp.Width(); ++x) {
      if (row[x] == (kOpaque | kFuchsiaBits)) {
        row[x] = kTransparentFuchsia;
      }
    }
  }
}

Bitmap LoadMasterImage(std::string_view name, const TacPictureSource& source) {
  const std::optional<Bytes> bytes = source.Find(name);
  if (!bytes) {
    return Bitmap();
  }
  return Upper(name).find(".PNG") != std::string::npos ? DecodePng(*bytes) : DecodeBmp(*bytes);
}

std::optional<Bitmap> DecodeSkinPicture(std::string_view upper_name, const Bytes& bytes) {
  const auto ends_with = [upper_name](std::string_view ext) { return upper_name.ends_with(ext); };
  if (ends_with(".BMP")) {
    return DecodeBmp(bytes);
  }
  if (ends_with(".PNG")) {
    return DecodePng(bytes);
  }
  if (ends_with(".JPG") || ends_with(".JPEG")) {
    throw Error("JPEG pictures are not supported: " + std::string(upper_name));
  }
  return std::nullopt;
}

TRect ClipToPicture(TRect r, const Bitmap& bmp) {
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, bmp.Width());
  r.Bottom = std::min(r.Bottom, bmp.Height());
  return r.IsEmpty() ? TRect{} : r;
}

TRect ClipEntryToPicture(TRect r, int& frame_count, int mask_type, const Bitmap& picture) {
  const TRect inside = ClipToPicture(r, picture);
  const int count = std::max(1, frame_count);
  if (inside.IsEmpty() || (count == 1 && mask_type < 1)) {
    return inside;
  }
  TRect out = inside;
  if (mask_type >= 1 && (r.Top < 0 || r.Bottom > picture.Height())) {
    return {};  // The mask row lies half the height below each image pixel.
  }
  if (count > 1) {
    // A frame cut short would shift every later frame's cell.
    const int frame_width = r.Width() / count;
    const int fit = frame_width > 0 && r.Left >= 0
                        ? std::min(count, (picture.Width() - r.Left) / frame_width)
                        : 0;
    if (fit <= 0) {
      return {};
    }
    if (fit < count) {
      frame_count = fit;
      out.Right = r.Left + fit * frame_width;
    }
  }
  return out;
}

Bitmap CopyPicture(const Bitmap& src, TRect r) {
  r = ClipToPicture(r, src);
  return r.IsEmpty() ? Bitmap() : CopyRows(src, r);
}

void ScaleMargins(TsMaskData& md, int frame_width, int frame_height) {
  if (md.MulPPi != md.DivPPI && md.DivPPI > 0) {
    md.WL = ClampMargin(ScaleByDensity(md.WL, md.MulPPi, md.DivPPI));
    md.WT = ClampMargin(ScaleByDensity(md.WT, md.MulPPi, md.DivPPI));
    md.WR = ClampMargin(ScaleByDensity(md.WR, md.MulPPi, md.DivPPI));
    md.WB = ClampMargin(ScaleByDensity(md.WB, md.MulPPi, md.DivPPI));
  }
  md.WR = static_cast<std::int16_t>(std::max(0, std::min<int>(md.WR, frame_width - md.WL - 1)));
  md.WB = static_cast<std::int16_t>(std::max(0, std::min<int>(md.WB, frame_height - md.WT - 1)));
}

bool ScaleMaskData(TsMaskData& md, const Bitmap* src_bmp, bool ignore_fuchsia) {
  if (md.MulPPi == md.DivPPI || md.DivPPI <= 0 || md.MulPPi <= 0) {
    return false;
  }
  const Bitmap* source = md.Bmp ? md.Bmp.get() : src_bmp;
  if (source == nullptr || source->Empty()) {
    return false;
  }
  const int count = std::max(1, md.ImageCount);
  const TRect r = ClipToPicture(md.R, *source);
  const bool mask_row = md.MaskType >= 1;
  const int frame_w = r.Width() / count;
  const int frame_h = mask_row ? r.Height() / 2 : r.Height();
  if (md.WL + md.WR == 2 || md.WT + md.WB == 2 || frame_w <= 2 || frame_h <= 2) {
    return false;
  }
  const int new_frame_w = frame_w * md.MulPPi / md.DivPPI;
  const int new_w = new_frame_w * count;
  const int new_h = frame_h * md.MulPPi / md.DivPPI;
  if (new_frame_w <= 0 || new_h <= 0) {
    return false;
  }
  const bool own_alpha = (md.DrawMode & kDrawModeOwnAlpha) != 0;
  const int strip_w = frame_w * count;
  Bitmap result;

  if (mask_row) {
    Bitmap image = CopyRows(*source, Rect(r.Left, r.Top, r.Left + strip_w, r.Top + frame_h));
    Bitmap mask =
        CopyRows(*source, Rect(r.Left, r.Top + frame_h, r.Left + strip_w, r.Top + 2 * frame_h));
    MarkCorners(image, &mask, md, frame_w, count);
    Bitmap image_scaled;
    Bitmap mask_scaled;
    Stretch(image, image_scaled, new_w, new_h);
    Stretch(mask, mask_scaled, new_w, new_h);
    if (image_scaled.Width() != new_w || mask_scaled.Width() != new_w) {
      return false;
    }
    result = NewBitmap(new_w, 2 * new_h);
    for (int y = 0; y < new_h; ++y) {
      const std::uint32_t* in = image_scaled.Row32(y);
      std::uint32_t* out = result.Row32(y);
      for (int x = 0; x < new_w; ++x) {
        out[x] = (in[x] >> 24) < 100 ? kTransparentFuchsia : in[x];
      }
      std::memcpy(result.Row32(new_h + y), mask_scaled.Row32(y),
                  static_cast<std::size_t>(new_w) * 4);
    }
  } else {
    const bool keyed = !own_alpha && !ignore_fuchsia;
    Bitmap image = CopyRows(*source, Rect(r.Left, r.Top, r.Left + strip_w, r.Top + frame_h));
    if (keyed) {
      FillRegion(image, Rect(0, 0, image.Width(), image.Height()), nullptr, 0u, 0u);
    }
    Stretch(image, result, new_w, new_h);
    if (result.Width() != new_w || result.Height() != new_h) {
      return false;
    }
    if (keyed) {
      for (int y = 0; y < new_h; ++y) {
        std::uint32_t* row = result.Row32(y);
        for (int x = 0; x < new_w; ++x) {
          row[x] = (row[x] >> 24) > 89 ? (row[x] | kOpaque) : kTransparentFuchsia;
        }
      }
    }
  }

  md.Bmp = std::make_shared<Bitmap>(std::move(result));
  md.R = Rect(0, 0, md.Bmp->Width(), md.Bmp->Height());
  md.Width = md.Bmp->Width() / count;
  md.Height = own_alpha ? md.Bmp->Height() : md.Bmp->Height() / (mask_row ? 2 : 1);
  ScaleMargins(md, md.Width, mask_row ? new_h : md.Height);
  return true;
}

int CornerFlag(const TsMaskData& md, const Bitmap* master) {
  const Bitmap* picture = md.Bmp ? md.Bmp.get() : master;
  if (picture == nullptr || picture->Empty()) {
    return 0;
  }
  const TRect r = ClipToPicture(md.R, *picture);
  const int count = std::max(1, md.ImageCount);
  const int frame_w = r.Width() / count;
  const int frame_h = md.MaskType >= 1 ? r.Height() / (md.MaskType + 1) : r.Height();
  if (frame_h <= 0 || frame_w <= 0) {
    return 0;
  }
  const bool own_alpha = (md.DrawMode & kDrawModeOwnAlpha) != 0;
  for (int f = 0; f < count; ++f) {
    for (const TRect& c :
         CornerRegions(md, TPoint{r.Left + f * frame_w, r.Top}, frame_w, frame_h)) {
      for (int y = c.Top; y < c.Bottom; ++y) {
        const std::uint32_t* row = picture->Row32(y);
        for (int x = c.Left; x < c.Right; ++x) {
          if (own_alpha ? (row[x] >> 24) == 0 : row[x] == kTransparentFuchsia) {
            return 1;
          }
        }
      }
    }
  }
  return 0;
}

bool PtIsTransparent(int x, int y, const TsMaskData& md, int height, int width) {
  if (!md.Bmp || md.Bmp->Empty()) {
    return false;
  }
  const bool left = x < md.WL;
  const bool right = x >= width - md.WR;
  const bool top = y < md.WT;
  const bool bottom = y >= height - md.WB;
  if (!(left || right) || !(top || bottom)) {
    return false;
  }
  const int px = md.R.Left + (left ? x : x + md.Width - width);
  const int py = md.R.Top + (top ? y : y + md.Height - height);
  if (px < 0 || py < 0 || px >= md.Bmp->Width() || py >= md.Bmp->Height()) {
    return false;
  }
  const std::uint32_t pixel = md.Bmp->Row32(py)[px];
  return (md.Cfg & 1) != 0 ? pixel == kTransparentFuchsia : (pixel >> 24) == 0;
}

void MirrorFrames(Bitmap& bmp, TRect r, int frame_count) {
  r = ClipToPicture(r, bmp);
  const int count = std::max(1, frame_count);
  const int frame_w = r.Width() / count;
  if (frame_w <= 1) {
    return;
  }
  for (int f = 0; f < count; ++f) {
    const int left = r.Left + f * frame_w;
    for (int y = r.Top; y < r.Bottom; ++y) {
      std::uint32_t* row = bmp.Row32(y);
      std::reverse(row + left, row + left + frame_w);
    }
  }
}

}  // namespace kestrune::skin
