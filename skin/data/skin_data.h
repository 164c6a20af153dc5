#pragma once
// One loaded copy of a skin at one pixel density (TacSkinData), and the lookups by section and
// key that painting code asks of it. The skin manager creates and fills the copies; pictures
// of the image entries are prepared separately (the fields below keep their place).

#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "skin/data/skin_images.h"
#include "skin/data/skin_options.h"
#include "skin/data/skin_records.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// Cached indexes of a section that painters use often.
struct TacConstElementData {
  int SkinIndex = -1;
  int MaskIndex = -1;                      // BORDERSMASK
  int GlyphIndex = -1;                     // GLYPHMASK
  std::array<int, 3> BGIndex{-1, -1, -1};  // PATTERN, HOTPATTERN; the third is not filled
  std::string SkinSection;                 // The section name that was found.
};

struct TacTrackBarData {
  int SkinIndex = -1;
  int MaskIndex = -1;
  int GlyphIndex = -1;
  std::array<int, 3> BGIndex{-1, -1, -1};
  int TickIndex = -1;
  int ProgIndex = -1;    // SLIDERCHANNEL
  int SliderIndex = -1;  // SLIDERMASK, or SLIDERVMASK for the vertical bar
};

// One cached picture of a density copy (separate pictures and rescaled cut-outs).
struct TacBmpData {
  int MulPPI = 96;
  int DivPPI = 96;
  int MaskType = 0;
  std::string Path;
  std::string FileName;
  std::shared_ptr<Bitmap> Bmp;  // Shared with the records that use it.
  TRect R;
  TRect SrcRect;
  bool Ext = false;
  // The pixels carry the skin's colour adjustment: adjusted with this copy's load, or cut from
  // a master image that an earlier copy's load had already adjusted.
  bool Adjusted = false;
};

inline constexpr std::size_t kTitleGlyphCount = 13;  // The last slot stays -1.

// Tab sections by side (left, top, right, bottom) and position (the side's own section, then
// FIRST, LAST and MIDDLE); a missing position takes the side's own section.
enum TacTabSide : std::uint8_t { tsLeft, tsTop, tsRight, tsBottom };
enum TacTabPosition : std::uint8_t { tpWhole, tpFirst, tpLast, tpMiddle };

// The metrics read from the options (Shadow1Blur ... GlowMargins) are the base's fields.
class TacSkinData : public TacSkinMetrics {
 public:
  std::vector<TsGeneralData> gd;
  std::vector<TsMaskData> ma;
  std::array<TacOutEffData, 2> oe{};
  std::vector<TacBmpData> BmpArray;

  int PPI = 96;
  int ScalePercent = 100;
  int ScaleValue = 0;  // Density index of PPI.
  bool Initializing = false;

  int Spacing = 4;
  int LineWidth = 2;
  int ArrowSize = 5;
  int SmallArrowSize = 4;
  int ScrollBtnLength = 16;

  std::array<TacConstElementData, 4> Scrolls{};     // SCROLLBAR1H, 1V, 2H, 2V
  std::array<TacConstElementData, 4> ScrollBtns{};  // SCROLLBTNLEFT, TOP, RIGHT, BOTTOM
  std::array<TacConstElementData, 4> UpDownBtns{};  // left, top, right, bottom
  std::array<TacConstElementData, 2> Sliders{};     // SCROLLSLIDERH, SCROLLSLIDERV
  TacConstElementData MenuItem;
  TacConstElementData ComboBtn;
  std::array<std::array<TacConstElementData, 4>, 4> Tabs{};  // [TacTabSide][TacTabPosition]
  std::array<TacTrackBarData, 2> TrackBar{};                 // horizontal, vertical

  std::array<int, kTitleGlyphCount> TitleGlyphs{};
  std::array<std::vector<int>, 7> TitleGlows{};
  std::array<int, 2> RadioButton{-1, -1};
  std::array<int, 3> CheckBox{-1, -1, -1};
  std::array<int, 3> SmallCheckBox{-1, -1, -1};
  int ExBorder = -1;
  int GripVertical = -1;
  int GripHorizontal = -1;
  int GripRightBottom = -1;

  Bitmap ShdaTemplate;
  Bitmap ShdiTemplate;
  TRect FormShadowSize;
  Bitmap rsta;
  Bitmap rsti;

  // Sets up an empty copy for `ppi`: density values, no tables.
  void Reset(int ppi);
  [[nodiscard]] bool HasSections() const { return !gd.empty(); }

  // Index in gd of the first section named exactly `name`; -1 for none or an empty name.
  [[nodiscard]] int GetSkinIndex(std::string_view name) const;
  // Index in ma of the first entry of section `skin_index` with `key`, else the same search in
  // the PARENTCLASS chain; -1 when none.
  [[nodiscard]] int GetMaskIndex(int skin_index, std::string_view key) const;
  // As above, but the parent is only searched when its name differs from `section_name`.
  [[nodiscard]] int GetMaskIndex(int skin_index, std::string_view section_name,
                                 std::string_view key) const;
  // The first entry of `section_name` with `key`; no parent search.
  [[nodiscard]] int GetMaskIndex(std::string_view section_name, std::string_view key) const;
  // As GetMaskIndex, counting only texture entries.
  [[nodiscard]] int GetTextureIndex(int skin_index, std::string_view key) const;
  [[nodiscard]] int GetTextureIndex(int skin_index, std::string_view section_name,
                                    std::string_view key) const;

  // Spacing, LineWidth, ArrowSize, SmallArrowSize and ScrollBtnLength for PPI.
  void LoadParams(int line_width, int scroll_btn_length);
  // The steps after the tables are read: cached indexes, frame sizes of the entries, and the
  // image indexes of every section.
  void InitConstantIndexes();
  void InitMaskIndexes();
  void InitMaskParams();

  // Pictures of the image entries (skin_masks.cpp). The master image belongs to the manager.
  const Bitmap* MasterBmp = nullptr;
  // Gives every entry of `entries` (in file order) its pixels and appends it to ma; an entry
  // whose picture is missing is dropped, a cut-out reaching outside the master image is cut to
  // it. A damaged picture throws kestrune::Error.
  void LoadAllMasks(std::vector<TsMaskData> entries, const TacPictureSource& source,
                    int brightness);
  int MakeNewItem(TsMaskData item);
  // False when the picture cannot be found.
  bool DefineBmp(TsMaskData& md, const std::string& img_name, bool ignore_fuchsia, TRect r);
  int AddImage(const TsMaskData& md, const std::string& img_name, TRect src_rect, bool ext);
  [[nodiscard]] int SearchBmpIndex(const std::string& img_name, TRect r) const;
  void UpdateItem(TsMaskData& md, int bmp_index) const;
  // Generated outer images of sections with OuterMode 3 or 4, and the skin-wide outer effects.
  void PrepareOuter();
  void MakeCommonMask();
  // The window shadow templates ShdaTemplate and ShdiTemplate.
  void MakeShadowTemplates(bool exborder_image);

 private:
  struct LookupIndex;
  // The lookups' indexes of gd and ma, built on first use and again whenever either table has
  // been replaced or has grown (tables are not edited in place once loaded). A copy of the skin
  // data starts without them.
  class LookupCache {
   public:
    LookupCache();
    LookupCache(const LookupCache&);
    LookupCache& operator=(const LookupCache&);
    ~LookupCache();
    std::mutex mutex;
    std::unique_ptr<LookupIndex> index;
  };
  // The index for the current tables; the caller holds lookups_.mutex.
  LookupIndex& Lookups() const;

  [[nodiscard]] int FindMask(int skin_index, std::string_view key, bool textures_only,
                             std::string_view stop_at_parent) const;
  [[nodiscard]] TacConstElementData ConstElement(std::string_view name) const;

  const TacPictureSource* pictures_ = nullptr;  // During LoadAllMasks only.
  mutable LookupCache lookups_;
  int brightness_ = 0;
};

// The section record of `index` in `sd`, or nullptr when there is none.
[[nodiscard]] inline const TsGeneralData* SectionOf(const TacSkinData* sd, int index) {
  if (sd == nullptr || index < 0 || static_cast<std::size_t>(index) >= sd->gd.size())
    return nullptr;
  return &sd->gd[static_cast<std::size_t>(index)];
}

}  // namespace kestrune::skin
