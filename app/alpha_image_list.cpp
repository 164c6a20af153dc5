#include "app/alpha_image_list.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <iterator>

#include "platform/ascii_text.h"
#include "platform/error.h"
#include "platform/file_bytes.h"
#include "platform/files.h"
#include "skin/pixels/cache_info.h"
#include "skin/pixels/pixel_ops.h"
#include "skin/pixels/png_decode.h"
#include "skin/pixels/stretch.h"

namespace kestrune {

using skin::Bitmap;

bool acIgnoreBlendColor = false;

namespace {

// The process-wide list of image lists, in creation order.
std::vector<TacImageList*>& ImageLists() {
  static std::vector<TacImageList*> lists;
  return lists;
}

// Files larger than this are not pictures for a list of icons.
constexpr std::size_t kMaxPictureFile = 64 << 20;

void CopyPixels(const Bitmap& from, Bitmap& to) {
  const int w = std::min(from.Width(), to.Width());
  for (int y = 0; y < std::min(from.Height(), to.Height()); ++y)
    std::copy_n(from.Row32(y), w, to.Row32(y));
}

std::unique_ptr<Bitmap> CopyOf(const Bitmap& bmp) {
  auto copy = std::make_unique<Bitmap>(skin::CreateBmp32(bmp.Width(), bmp.Height()));
  CopyPixels(bmp, *copy);
  return copy;
}

// Puts `picture` into `target` at target's size, resampling when the sizes differ.
void Fit(const Bitmap& picture, Bitmap& target) {
  if (picture.Width() == target.Width() && picture.Height() == target.Height())
    CopyPixels(picture, target);
  else
    skin::Stretch(picture, target, target.Width(), target.Height(), skin::ftMitchell);
}

}  // namespace

TacImageList::TacImageList() {
  ImageLists().push_back(this);
}

TacImageList::~TacImageList() {
  auto& lists = ImageLists();
  lists.erase(std::remove(lists.begin(), lists.end(), this), lists.end());
}

void IterateImageLists(TImageListCallback callback, void* data) {
  // A callback may create or destroy lists; walk a snapshot of the ones alive now.
  const std::vector<TacImageList*> lists = ImageLists();
  for (TacImageList* list : lists) {
    const auto& alive = ImageLists();
    if (std::find(alive.begin(), alive.end(), list) != alive.end())
      callback(*list, data);
  }
}

Bitmap DecodeItem(TsImageFormat format, std::span<const std::uint8_t> bytes) {
  switch (format) {
    case ifPNG:
      return DecodePngPicture(bytes);
    case ifICO:
      return DecodeIcoPicture(bytes);
    case ifBMP32:
      return DecodeBmpPicture(bytes);
  }
  throw Error("Unknown image format");
}

TsAlphaImageList::TsAlphaImageList(bool being_read) {
  FLoaded = !being_read;
}

TsAlphaImageList::~TsAlphaImageList() {
  ItemsUpdating = true;
  items_.clear();
}

void TsAlphaImageList::RecordSize() {
  SavedWidth = width_;
  SavedHeight = height_;
}

void TsAlphaImageList::Loaded() {
  FLoaded = true;
  if (SavedWidth != 0) {
    KillImgList();
  } else if (width_ == 16 && height_ == 16) {
    const bool was_changing = AcChanging;
    AcChanging = true;
    KillImgList();
    SetSize(16, 16);
    AcChanging = was_changing;
  }
  if (SavedWidth == 0)
    RecordSize();
  if (!StdListIsGenerated) {
    GenerateStdList();
    StdListIsGenerated = true;
    Change();
  }
}

void TsAlphaImageList::SetSize(int width, int height) {
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  if (!FLoaded)
    return;
  RecordSize();
  // The system list holds icons of one size: a new size needs a new list.
  const bool was_changing = AcChanging;
  AcChanging = true;
  KillImgList();
  AcChanging = was_changing;
  if (!AcChanging && !items_.empty()) {
    GenerateStdList();
    Change();
  }
}

void TsAlphaImageList::KillImgList() {
  std_list_.reset();
  if (!AcChanging)
    Change();
}

int TsAlphaImageList::GetCount() {
  if (std_list_ != nullptr && std_list_->Count() > static_cast<int>(items_.size()) &&
      (items_.empty() || items_.front()->ImageFormat == ifICO))
    UpdateFromStd();
  return static_cast<int>(items_.size());
}

void TsAlphaImageList::UpdateFromStd() {
  ItemsUpdating = true;
  items_.clear();
  for (int i = 0; i < std_list_->Count(); ++i) {
    auto item = std::make_unique<TsImgListItem>();
    item->ImageFormat = ifICO;
    Bitmap icon;
    if (std_list_->GetIconBitmap(i, icon)) {
      item->ImgData = EncodeIco32(icon);
      item->OrigWidth = icon.Width();
      item->OrigHeight = icon.Height();
    }
    items_.push_back(std::move(item));
  }
  ItemsUpdating = false;
}

void TsAlphaImageList::GenerateStdList() {
  if (StdMode)
    return;
  if (SavedWidth == 0) {
    if (width_ != 16 || height_ != 16)
      return;
    RecordSize();
  }
  if (std_list_ == nullptr)
    std_list_ = CreateStdImageList(SavedWidth, SavedHeight, Masked);
  const bool was_changing = AcChanging;
  AcChanging = true;
  std_list_->Clear();
  for (auto& item : items_) {
    try {
      const Bitmap picture = DecodeItem(item->ImageFormat, item->ImgData);
      item->OrigWidth = picture.Width();
      item->OrigHeight = picture.Height();
      AddAsIcon(picture);
    } catch (const Error&) {
      // A damaged picture gets a blank icon, so the indexes of the ones after it stay right.
      AddAsIcon(skin::CreateBmp32(width_, height_));
    }
  }
  if (!items_.empty()) {
    StdListIsGenerated = true;
    if (!IsDuplicated()) {
      ItemsUpdating = true;
      items_.clear();
      ItemsUpdating = false;
    }
  }
  AcChanging = was_changing;
}

int TsAlphaImageList::AddAsIcon(const Bitmap& picture, int index) {
  if (std_list_ == nullptr)
    return -1;
  if (picture.Width() == width_ && picture.Height() == height_) {
    const auto copy = CopyOf(picture);
    return std_list_->AddIcon(*copy, index);
  }
  const int side = std::max(width_, height_);
  Bitmap square = skin::CreateBmp32(side, side);
  if (picture.Width() >= 2 && picture.Height() >= 2)
    skin::Stretch(picture, square, side, side, skin::ftMitchell);
  return std_list_->AddIcon(square, index);
}

void TsAlphaImageList::ClearCache(int index) {
  if (index >= 0 && index < static_cast<int>(items_.size())) {
    items_[static_cast<std::size_t>(index)]->CacheBmp.reset();
    return;
  }
  for (auto& item : items_)
    item->CacheBmp.reset();
}

void TsAlphaImageList::SetUseCache(bool use_cache) {
  use_cache_ = use_cache;
  if (!use_cache)
    ClearCache(-1);
}

bool TsAlphaImageList::Render(int index, Bitmap& target, bool fill_cache) {
  if (std_list_ == nullptr || index < 0 || index >= GetCount() || target.Empty())
    return false;
  const auto at = static_cast<std::size_t>(index);
  if (IsDuplicated() && at < items_.size() && !items_[at]->ImgData.empty() &&
      items_[at]->ImageFormat != ifICO) {
    TsImgListItem& item = *items_[at];
    if (use_cache_ && item.CacheBmp != nullptr && item.CacheBmp->Width() == target.Width() &&
        item.CacheBmp->Height() == target.Height()) {
      CopyPixels(*item.CacheBmp, target);
      return true;
    }
    item.CacheBmp.reset();
    try {
      Fit(DecodeItem(item.ImageFormat, item.ImgData), target);
    } catch (const std::exception&) {
      // Damaged bytes or no memory for the picture: painting goes on without it.
      return false;
    }
    if (BlendColor != skin::clNone && !acIgnoreBlendColor)
      skin::ChangeBitmapPixels(target, skin::ChangeColorTone, skin::ColorToRGB(BlendColor),
                               skin::clFuchsia);
    if (use_cache_ && fill_cache)
      item.CacheBmp = CopyOf(target);
    return true;
  }
  Bitmap icon;
  if (!std_list_->GetIconBitmap(index, icon))
    return false;
  Fit(icon, target);
  return true;
}

std::unique_ptr<Bitmap> TsAlphaImageList::CreateBitmap32(int index, int width, int height,
                                                         int /*glyph_height*/) {
  auto result = std::make_unique<Bitmap>(skin::CreateBmp32(width, height));
  Render(index, *result, true);
  return result;
}

bool TsAlphaImageList::GetBitmap32(int index, Bitmap& target, int /*glyph_height*/) {
  return Render(index, target, target.Width() == width_ && target.Height() == height_);
}

void TsAlphaImageList::DoDrawBitmap(int index, Bitmap& canvas, int x, int y, bool /*enabled*/) {
  if (index < 0)
    return;
  const auto at = static_cast<std::size_t>(index);
  std::unique_ptr<Bitmap> picture;
  if (IsDuplicated() && at < items_.size() && !items_[at]->ImgData.empty() &&
      items_[at]->ImageFormat != ifICO) {
    picture = CreateBitmap32(index, width_ * PixelsPerInch / 96, height_ * PixelsPerInch / 96);
  } else if (std_list_ != nullptr) {
    picture = std::make_unique<Bitmap>();
    if (!std_list_->GetIconBitmap(index, *picture))
      return;
  } else {
    return;
  }
  const skin::TRect whole = skin::Rect(0, 0, picture->Width(), picture->Height());
  skin::CopyBmp32(skin::Rect(x, y, x + whole.Right, y + whole.Bottom), whole, canvas, *picture,
                  skin::EmptyCI, false);
}

void TsAlphaImageList::AcEndUpdate(bool do_change) {
  AcChanging = false;
  if (do_change) {
    GenerateStdList();
    Change();
  }
}

void TsAlphaImageList::Change() {
  if (!FLoaded || AcChanging)
    return;
  // A consumer may unlink itself while repainting.
  const auto links = change_links_;
  for (const auto& link : links)
    link.second();
}

int TsAlphaImageList::AddChangeLink(std::function<void()> on_change) {
  change_links_.emplace_back(next_link_, std::move(on_change));
  return next_link_++;
}

void TsAlphaImageList::RemoveChangeLink(int id) {
  std::erase_if(change_links_, [id](const auto& link) { return link.first == id; });
}

void TsAlphaImageList::Rebuild() {
  if (AcChanging)
    return;
  GenerateStdList();
  Change();
}

int TsAlphaImageList::Add(const Bitmap& picture) {
  if (picture.Empty())
    return -1;
  // An 8-bit picture is grey; it comes in opaque.
  const auto full = CopyOf(picture);
  if (picture.PixelFormat() != skin::TPixelFormat::pf32bit) {
    for (int y = 0; y < picture.Height(); ++y) {
      for (int x = 0; x < picture.Width(); ++x) {
        const std::uint32_t g = picture.Row8(y)[x];
        full->Row32(y)[x] = 0xFF000000u | g << 16 | g << 8 | g;
      }
    }
  }
  auto item = std::make_unique<TsImgListItem>();
  item->ImageFormat = ifBMP32;
  item->ImgData = EncodeBmp32(*full);
  item->OrigWidth = full->Width();
  item->OrigHeight = full->Height();
  items_.push_back(std::move(item));
  const int index = AddAsIcon(*full);
  Change();
  return index;
}

int TsAlphaImageList::AddImage(const TsAlphaImageList& other, int index) {
  if (index < 0 || index >= static_cast<int>(other.items_.size()))
    return -1;
  const TsImgListItem& source = *other.items_[static_cast<std::size_t>(index)];
  auto item = std::make_unique<TsImgListItem>();
  item->ImageFormat = source.ImageFormat;
  item->ImageName = source.ImageName;
  item->Text = source.Text;
  item->ImgData = source.ImgData;
  item->OrigWidth = source.OrigWidth;
  item->OrigHeight = source.OrigHeight;
  items_.push_back(std::move(item));
  Rebuild();
  return static_cast<int>(items_.size());
}

void TsAlphaImageList::Replace(int index, const Bitmap& picture) {
  if (index < 0 || index >= static_cast<int>(items_.size()) || picture.Empty())
    return;
  try {
    TsImgListItem& item = *items_[static_cast<std::size_t>(index)];
    ByteBuffer bytes = EncodeBmp32(picture);
    item.ImgData = std::move(bytes);
    item.ImageFormat = ifBMP32;
    item.OrigWidth = picture.Width();
    item.OrigHeight = picture.Height();
    ClearCache(index);
    AddAsIcon(picture, index);
    Rebuild();
  } catch (const std::exception&) {
    // Replacing is best effort: the item keeps what it had got to.
  }
}

void TsAlphaImageList::Delete(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size()))
    return;
  items_.erase(items_.begin() + index);
  if (std_list_ != nullptr)
    std_list_->Remove(index);
  Change();
}

void TsAlphaImageList::MoveItem(int from, int to) {
  const int count = static_cast<int>(items_.size());
  if (from < 0 || from >= count || to < 0 || to >= count || from == to)
    return;
  auto moving = std::move(items_[static_cast<std::size_t>(from)]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, std::move(moving));
  if (std_list_ != nullptr)
    std_list_->Move(from, to);
  Change();
}

void TsAlphaImageList::Clear() {
  ItemsUpdating = true;
  items_.clear();
  ItemsUpdating = false;
  if (std_list_ != nullptr)
    std_list_->Clear();
  Change();
}

void TsAlphaImageList::Assign(const TsAlphaImageList& other) {
  if (&other == this)
    return;
  const bool was_changing = AcChanging;
  AcChanging = true;
  Masked = other.Masked;
  BkColor = other.BkColor;
  BlendColor = other.BlendColor;
  SetSize(other.width_, other.height_);
  ItemsUpdating = true;
  items_.clear();
  ItemsUpdating = false;
  if (IsDuplicated()) {
    for (int i = 0; i < static_cast<int>(other.items_.size()); ++i)
      AddImage(other, i);
    AcChanging = was_changing;
    Rebuild();
    return;
  }
  // A list that keeps no pictures takes the other list's icons as they are.
  if (other.std_list_ != nullptr) {
    if (SavedWidth == 0)
      RecordSize();
    if (std_list_ == nullptr)
      std_list_ = CreateStdImageList(SavedWidth, SavedHeight, Masked);
    std_list_->Clear();
    for (int i = 0; i < other.std_list_->Count(); ++i) {
      Bitmap icon;
      if (other.std_list_->GetIconBitmap(i, icon))
        AddAsIcon(icon);
    }
  }
  AcChanging = was_changing;
  Change();
}

bool TsAlphaImageList::Append(TsImageFormat format, ByteBuffer bytes, std::string name) {
  Bitmap picture;
  try {
    picture = DecodeItem(format, bytes);
  } catch (const Error&) {
    return false;
  }
  auto item = std::make_unique<TsImgListItem>();
  item->ImageFormat = format;
  item->ImageName = std::move(name);
  item->ImgData = std::move(bytes);
  item->OrigWidth = picture.Width();
  item->OrigHeight = picture.Height();
  items_.push_back(std::move(item));
  Rebuild();
  return true;
}

bool TsAlphaImageList::TryLoadFromFile(const std::string& file_name) {
  TsImageFormat format = ifPNG;
  ByteBuffer bytes;
  if (!GetImageFormat(file_name, format))
    return false;
  try {
    bytes = platform::ReadFileBytes(file_name, kMaxPictureFile);
  } catch (const Error&) {
    return false;
  }
  const std::string name =
      file_name.size() > 4 ? file_name.substr(0, file_name.size() - 4) : std::string();
  return Append(format, std::move(bytes), name);
}

void TsAlphaImageList::LoadFromFile(const std::string& file_name) {
  if (!TryLoadFromFile(file_name))
    throw Error("Cannot load " + file_name + "\r\nInvalid or unexpected image format.");
}

bool TsAlphaImageList::TryLoadFromPngStream(std::span<const std::uint8_t> bytes) {
  return Append(ifPNG, ByteBuffer(bytes.begin(), bytes.end()), std::string());
}

skin::TSize DrawAlphaImgList(TacImageList& img_list, Bitmap& dest_bmp, int left, int top,
                             int image_index, int blend, skin::TColor grayed_color, int state,
                             int num_glyphs, bool reflected, int ppi) {
  auto* list = dynamic_cast<TsAlphaImageList*>(&img_list);
  if (list == nullptr || dest_bmp.Width() <= 0 || list->StdList() == nullptr || image_index < 0)
    return {};
  const int w0 = GetImageWidth(*list, image_index, ppi);
  const int h = GetImageHeight(*list, image_index, ppi);
  const int count = std::max(1, num_glyphs);
  const int w = w0 / count;
  const int shown = state >= count ? count - 1 : state;
  skin::TRect r1 = skin::Rect(left, top, left + w, top + h);
  skin::TRect r2 = skin::Rect(w * shown, 0, w * shown + w, h);
  if (list->BkColor != skin::clNone)
    skin::FillRect32(dest_bmp, r1, list->BkColor);
  SetImagesPPI(*list, ppi);
  const auto bmp = list->CreateBitmap32(image_index, w0, h, 0);
  list->ForeColor = skin::clNone;
  if (r2.Left < 0) {
    r1.Left -= r2.Left;
    r2.Left = 0;
  }
  if (r2.Top < 0) {
    r1.Top -= r2.Top;
    r2.Top = 0;
  }
  r2.Right = std::min(r2.Right, bmp->Width());
  r2.Bottom = std::min(r2.Bottom, bmp->Height());
  if (list->IgnoreTransparency) {
    const int cw = std::min({r1.Width(), bmp->Width(), dest_bmp.Width() - r1.Left});
    const int ch = std::min({r1.Height(), bmp->Height(), dest_bmp.Height() - r1.Top});
    for (int y = std::max(0, -r1.Top); y < ch; ++y) {
      for (int x = std::max(0, -r1.Left); x < cw; ++x)
        dest_bmp.Row32(r1.Top + y)[r1.Left + x] = bmp->Row32(y)[x];
    }
  } else {
    skin::CopyBmp32(r1, r2, dest_bmp, *bmp, skin::EmptyCI, false, grayed_color, blend, reflected);
  }
  SetImagesPPI(*list, 96);
  return {w, h};
}

bool SetImagesPPI(TacImageList& img_list, int ppi) {
  if (img_list.PixelsPerInch == ppi)
    return false;
  img_list.PixelsPerInch = ppi;
  return true;
}

int GetImageWidth(const TsAlphaImageList& list, int /*index*/, int ppi) {
  return list.Width() * ppi / 96;
}

int GetImageHeight(const TsAlphaImageList& list, int /*index*/, int ppi) {
  return list.Height() * ppi / 96;
}

bool GetImageFormat(const std::string& file_name, TsImageFormat& format) {
  ByteBuffer head;
  try {
    head = platform::ReadFileStart(file_name, 8);
  } catch (const Error&) {
    return false;
  }
  if (HasPngSignature(head)) {
    format = ifPNG;
    return true;
  }
  std::string extension = file_name.size() >= 3 ? file_name.substr(file_name.size() - 3) : "";
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (head.size() >= 2 && head[0] == 0 && head[1] == 0 && extension == "ico" &&
      file_name.size() >= 4 && file_name[file_name.size() - 4] == '.') {
    format = ifICO;
    return true;
  }
  if (head.size() >= 2 && head[0] == 'B' && head[1] == 'M') {
    format = ifBMP32;
    return true;
  }
  return false;
}

bool GetImageFormat(std::span<const std::uint8_t> /*stream*/, TsImageFormat& format) {
  format = ifPNG;
  return true;
}

void ReadImageList(const platform::ComponentDescription& description, TsAlphaImageList& list) {
  if (description.Has("size")) {
    const std::vector<int> size = description.Numbers("size", 2);
    list.SetSize(size[0], size[1]);
  }
  for (int i = 0;; ++i) {
    const std::string key = "item" + std::to_string(i);
    if (!description.Has(key))
      break;
    const auto& values = description.Values(key);
    const std::string where = "Form description: " + description.name + "." + key;
    using Type = platform::DescriptionValue::Type;
    if (values.size() != 3 || values[0].type != Type::kWord || values[1].type != Type::kText ||
        values[2].type != Type::kText)
      throw Error(where + " needs a format, a quoted name and quoted picture bytes");
    auto item = std::make_unique<TsImgListItem>();
    static constexpr std::array<const char*, 3> kFormats = {"ifPNG", "ifICO", "ifBMP32"};
    const auto format = std::find(kFormats.begin(), kFormats.end(), values[0].text);
    if (format == kFormats.end())
      throw Error(where + ": unknown image format '" + values[0].text + "'");
    item->ImageFormat = static_cast<TsImageFormat>(std::distance(kFormats.begin(), format));
    item->ImageName = values[1].text;
    const std::string& hex = values[2].text;
    if (hex.size() % 2 != 0)
      throw Error(where + ": the picture bytes are damaged");
    item->ImgData.reserve(hex.size() / 2);
    for (std::size_t at = 0; at < hex.size(); at += 2) {
      const int high = HexDigitValue(hex[at]);
      const int low = HexDigitValue(hex[at + 1]);
      if (high < 0 || low < 0)
        throw Error(where + ": the picture bytes are damaged");
      item->ImgData.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    list.Items().push_back(std::move(item));
  }
  list.Loaded();
}

}  // namespace kestrune
