#pragma once
// The window's image list of PNG pictures. Each picture is kept as the bytes of its file and
// decoded on demand into a 32-bit bitmap with straight alpha, at whatever size the consumer asks
// for (resampled with the Mitchell filter when that differs from the picture's own). Beside the
// pictures the list keeps a system image list of icons at its nominal size.
//
// Painting entry points (CreateBitmap32, GetBitmap32, DrawAlphaImgList, DoDrawBitmap) never
// throw: an invalid index or an undecodable picture gives a blank result. Loading operations
// refuse damaged files up front.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/std_image_list.h"
#include "platform/form_description.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"
#include "skin/pixels/image_codecs.h"

namespace kestrune {

enum TsImageFormat { ifPNG = 0, ifICO = 1, ifBMP32 = 2 };

struct TsImgListItem {
  TsImageFormat ImageFormat = ifPNG;
  std::string ImageName;  // informational only
  std::string Text;
  ByteBuffer ImgData;  // the whole image file
  int OrigWidth = 0;   // the decoded picture's own size, recorded when the system list is built
  int OrigHeight = 0;
  std::unique_ptr<skin::Bitmap> CacheBmp;  // the last bitmap rendered for this picture
};

using TsImgListItems = std::vector<std::unique_ptr<TsImgListItem>>;

// Common base of the skin's image lists; every one is registered process-wide while it lives.
class TacImageList {
 public:
  TacImageList();
  TacImageList(const TacImageList&) = delete;
  TacImageList& operator=(const TacImageList&) = delete;
  virtual ~TacImageList();

  virtual void ClearCache(int index) = 0;
  // A new width x height bitmap of the picture; the caller owns it.
  [[nodiscard]] virtual std::unique_ptr<skin::Bitmap> CreateBitmap32(int index, int width,
                                                                     int height,
                                                                     int glyph_height) = 0;
  // Renders the picture into `target` at target's size; true when something was rendered.
  virtual bool GetBitmap32(int index, skin::Bitmap& target, int glyph_height) = 0;

  skin::TColor ForeColor = skin::clNone;
  int PixelsPerInch = 96;
  bool IgnoreTransparency = false;
};

// Calls `callback` for every living image list, oldest first.
using TImageListCallback = void (*)(TacImageList& list, void* data);
void IterateImageLists(TImageListCallback callback, void* data);

class TsAlphaImageList : public TacImageList {
 public:
  // `being_read`: the list is filled from a stored description and Loaded() follows.
  explicit TsAlphaImageList(bool being_read = false);
  ~TsAlphaImageList() override;

  // After the stored properties have been read: builds the system list and notifies.
  void Loaded();

  [[nodiscard]] int GetCount();
  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }
  // Nominal size at 96 DPI; once loaded the system list is rebuilt at the new size.
  void SetSize(int width, int height);
  [[nodiscard]] const TsImgListItems& Items() const { return items_; }
  [[nodiscard]] TsImgListItems& Items() { return items_; }
  // The system list; null before it is built or after it was discarded.
  [[nodiscard]] const StdImageList* StdList() const { return std_list_.get(); }

  void ClearCache(int index) override;
  [[nodiscard]] std::unique_ptr<skin::Bitmap> CreateBitmap32(int index, int width, int height,
                                                             int glyph_height = 0) override;
  bool GetBitmap32(int index, skin::Bitmap& target, int glyph_height = 0) override;

  // Draws picture `index` into `canvas` at (x, y), the nominal size scaled by PixelsPerInch,
  // blended over what is there. Items without bytes and icon items are drawn from the system
  // list at its size. `enabled` does not change the picture.
  void DoDrawBitmap(int index, skin::Bitmap& canvas, int x, int y, bool enabled);

  void SetUseCache(bool use_cache);
  [[nodiscard]] bool UseCache() const { return use_cache_; }
  void AcBeginUpdate() { AcChanging = true; }
  void AcEndUpdate(bool do_change);
  // Notifies every linked consumer, once loaded and outside updates.
  void Change();
  // Consumers linked to the list; they repaint when it changes.
  int AddChangeLink(std::function<void()> on_change);
  void RemoveChangeLink(int id);

  // Changing the list. Each rebuilds the system list and notifies, unless held back.
  // A 32-bit picture stored as BMP bytes; returns its system-list index or -1.
  int Add(const skin::Bitmap& picture);
  // A copy of another list's item; the new item count, or -1 for an invalid index.
  int AddImage(const TsAlphaImageList& other, int index);
  // Errors are swallowed: the item keeps what it had.
  void Replace(int index, const skin::Bitmap& picture);
  void Delete(int index);
  void MoveItem(int from, int to);
  void Clear();
  void Assign(const TsAlphaImageList& other);

  // Appends a picture file (PNG, ICO or BMP); false when the file cannot be read or decoded.
  bool TryLoadFromFile(const std::string& file_name);
  // As TryLoadFromFile; throws "Cannot load <file>\r\nInvalid or unexpected image format."
  void LoadFromFile(const std::string& file_name);
  bool TryLoadFromPngStream(std::span<const std::uint8_t> bytes);

  // Builds the system list from the items (nothing in StdMode).
  void GenerateStdList();

  skin::TColor BkColor = skin::clNone;
  skin::TColor BlendColor = skin::clNone;
  bool DoubleData = true;
  bool StdMode = false;
  bool Masked = true;
  bool StdListIsGenerated = false;
  bool AcChanging = false;
  bool ItemsUpdating = false;
  bool FLoaded = false;
  int SavedWidth = 0;
  int SavedHeight = 0;

  // Items are kept and drawn from only in a duplicate-keeping list.
  [[nodiscard]] bool IsDuplicated() const { return DoubleData; }

 private:
  // Renders into `target` at its size; `fill_cache` lets the result become the item's cache.
  bool Render(int index, skin::Bitmap& target, bool fill_cache);
  // Appends (or puts at `index`) `picture` as an icon of the nominal size.
  int AddAsIcon(const skin::Bitmap& picture, int index = -1);
  void KillImgList();
  void RecordSize();
  void Rebuild();
  void UpdateFromStd();
  bool Append(TsImageFormat format, ByteBuffer bytes, std::string name);

  int width_ = 16;
  int height_ = 16;
  bool use_cache_ = true;
  TsImgListItems items_;
  std::unique_ptr<StdImageList> std_list_;
  std::vector<std::pair<int, std::function<void()>>> change_links_;
  int next_link_ = 1;
};

// Process-wide switch: when set, lists ignore their BlendColor.
extern bool acIgnoreBlendColor;

// Decodes one item's bytes; throws kestrune::Error.
[[nodiscard]] skin::Bitmap DecodeItem(TsImageFormat format, std::span<const std::uint8_t> bytes);

// Draws picture `image_index` into dest_bmp for a skinned consumer at density `ppi` and returns
// the size drawn. `blend` is a transparency percentage, `grayed_color` a tint (clNone for none),
// `num_glyphs` the number of state pictures side by side in the picture and `state` the one shown.
skin::TSize DrawAlphaImgList(TacImageList& img_list, skin::Bitmap& dest_bmp, int left, int top,
                             int image_index, int blend, skin::TColor grayed_color, int state,
                             int num_glyphs, bool reflected, int ppi);

// Sets the list's PixelsPerInch; true when it changed.
bool SetImagesPPI(TacImageList& img_list, int ppi);

// Picture size at a density: Width x PPI / 96 by Height x PPI / 96.
[[nodiscard]] int GetImageWidth(const TsAlphaImageList& list, int index, int ppi);
[[nodiscard]] int GetImageHeight(const TsAlphaImageList& list, int index, int ppi);

// The file's kind from its first bytes (and, for icons, its extension); false when unknown.
bool GetImageFormat(const std::string& file_name, TsImageFormat& format);
// The stream form answers ifPNG for every stream.
bool GetImageFormat(std::span<const std::uint8_t> stream, TsImageFormat& format);

// Fills a list from its stored description: `size = W, H` when not 16 x 16, and items
// `item0`, `item1`, ... each `FORMAT, "name", "HEX BYTES"` (FORMAT ifPNG, ifICO or ifBMP32).
// Then Loaded(). Throws kestrune::Error naming the item for a malformed entry.
void ReadImageList(const platform::ComponentDescription& description, TsAlphaImageList& list);

}  // namespace kestrune
