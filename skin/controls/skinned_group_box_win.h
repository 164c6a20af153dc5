#pragma once
// TsGroupBox: a group box of the window framework drawn from the skin's GROUPBOX section over
// its parent's background, its caption written on a backdrop of the parent's picture so the
// frame line stops behind it. It keeps a picture of its whole area (the cache) and lends it to
// its children as their background. While no skin is active the framework paints the box.
// Include only from Windows sources.

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/controls_win.h"
#include "platform/window_owners_win.h"
#include "skin/controls/group_box_layout.h"
#include "skin/paint/common_data.h"
#include "skin/paint/skin_owner_win.h"

namespace kestrune::skin {

class TsGroupBox final {
 public:
  // Skins `box` (which outlives this object) with the default manager's skin.
  explicit TsGroupBox(platform::GroupBox& box);
  TsGroupBox(const TsGroupBox&) = delete;
  TsGroupBox& operator=(const TsGroupBox&) = delete;
  ~TsGroupBox();

  [[nodiscard]] TsCommonData& SkinData() { return *data_; }
  [[nodiscard]] HWND Handle() const { return box_.Handle(); }

  // Lays out the caption for the current size, font and text.
  void InitPaintData();
  // Fills the cache; false (and marked updating) while the parent has no background to lend.
  bool PrepareCache();
  // Paints the box into `dc`: the cache without the child windows, then the labels over it;
  // then tells the children their background is ready.
  void PaintToDC(HDC dc);
  // Tells the children (AC_ENDPARENTUPDATE) that this box's picture is there to borrow.
  void SetParentUpdated();

  // Properties.
  TacCaptionLayout CaptionLayout = clTopLeft;
  TRect CaptionMargin;
  int CaptionYOffset = 0;
  int CaptionWidth = 0;
  std::string CaptionSkin;  // empty: the skin's TRANSPARENT section

  [[nodiscard]] const TsGroupBoxLayout& Layout() const { return layout_; }
  // The section whose font colours the caption took in the last cache.
  [[nodiscard]] int TextIndex() const { return text_index_; }

 private:
  bool HandleMessage(TacMessage& message);
  // After a skin came, went or changed.
  void FollowSkin();
  [[nodiscard]] bool Skinned() const;
  void PaintCaptionArea(Bitmap& cache, const TCacheInfo& ci, int caption_index);
  void WriteText(Bitmap& cache, int text_index);
  [[nodiscard]] int CaptionSection();
  [[nodiscard]] int FontSection(int caption_index);
  // The labels inside take the caption's text colour while skinned, their own colour again
  // when the skin goes.
  void ColorLabels();
  void RestoreLabels();

  platform::GroupBox& box_;
  std::unique_ptr<WinSkinOwner> owner_;
  std::unique_ptr<TsCommonData> data_;
  TsGroupBoxLayout layout_;
  int text_index_ = -1;
  std::vector<std::pair<platform::Label*, platform::ControlColor>> saved_label_colors_;
  platform::WindowTimer retry_timer_;  // a deferred paint tries again
};

}  // namespace kestrune::skin
