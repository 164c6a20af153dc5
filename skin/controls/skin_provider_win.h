#pragma once
// TsSkinProvider: makes one form look as the skin says. It sits in front of the form's window
// procedure, keeps one 32-bit bitmap of the whole window (frame, title bar, menu band and client
// background), repainted only when marked stale, and copies it to the screen on non-client
// paint and background erase. The frame keeps the size the system gives it; the provider paints
// the skin into that standard area and answers the frame's hit tests itself, so nothing of the
// system's caption shows. Include only from Windows sources.
//
// Painting never throws; a skin without the FORM section leaves the system frame in place.
// Everything runs on the form's thread.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls_win.h"
#include "platform/form_description.h"
#include "platform/form_win.h"
#include "platform/gdi_win.h"
#include "platform/window_owners_win.h"
#include "skin/controls/caption_buttons_win.h"
#include "skin/controls/skin_provider_metrics.h"
#include "skin/controls/skinable_menus_win.h"
#include "skin/controls/system_menu_win.h"
#include "skin/paint/common_data.h"
#include "skin/pixels/bitmap.h"

namespace kestrune::skin {

class TsSkinManager;
class WinSkinOwner;
class TacFormTransitions;

// The warnings of a provider that cannot serve its owner.
inline constexpr char kProviderFormsOnly[] =
    "TsSkinProvider component may be used with forms only!";
inline constexpr char kProviderOnlyOne[] =
    "Only one instance of the TsSkinProvider component is allowed!";

// The owner-draw state a menu-band item is drawn with: no accelerator, and the reserved flag
// that marks a drawing into the provider's bitmap.
inline constexpr UINT kMenuBandItemState = 0x500;

class TsSkinProvider : private TacCaptionHost {
 public:
  // Attaches to `form` at once (its window must exist). `manager` null: the default manager.
  // When another provider already answers for the form, this one stays inert.
  TsSkinProvider(platform::Form& form, TsSkinManager* manager = nullptr);
  TsSkinProvider(const TsSkinProvider&) = delete;
  TsSkinProvider& operator=(const TsSkinProvider&) = delete;
  // Gives the form's window procedure back and restores the system's look.
  ~TsSkinProvider() override;

  // The provider a stored description names for `form` (kind skin_provider, property
  // skin_section). A provider whose parent is not the form shows kProviderFormsOnly through
  // `warn` and is not made (null). Throws kestrune::Error for a property of the wrong shape.
  [[nodiscard]] static std::unique_ptr<TsSkinProvider> Create(
      platform::Form& form, const platform::ComponentDescription& description,
      TsSkinManager* manager, const std::function<void(std::string_view)>& warn);

  // Loading finished: prepares the form when a skin is active.
  void Loaded();
  void LoadInit();
  // The form's window exists and a skin is active: indexes, buttons, colours.
  void PrepareForm();
  void InitIndexes();
  void UpdateIconsIndexes();

  // Feeds a message through the provider's procedure.
  LRESULT ProcessMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // The menu band changed: mark stale, forget the row count, repaint the frame.
  void RepaintMenu();
  // Lets `item` draw itself into the bitmap at `r` (window coordinates) and shows r.
  void RepaintMenuItem(platform::MenuItem& item, const RECT& r, UINT state);
  // Recolours a label with the skin's label colour, or gives its own colour back.
  void InitLabel(platform::Label& label, bool skinned);

  // Metrics of the live window.
  [[nodiscard]] TacFrameMetrics Metrics() const;
  [[nodiscard]] int MenuHeight() const { return Metrics().MenuHeight(); }
  [[nodiscard]] int GetLinesCount();
  [[nodiscard]] int CaptionHeight() const { return Metrics().CaptionHeight(); }
  [[nodiscard]] int BorderWidth() const { return Metrics().BorderWidth(); }
  [[nodiscard]] int OffsetX() const { return Metrics().OffsetX(); }
  [[nodiscard]] int OffsetY() const { return Metrics().OffsetY(); }

  // Repaints the window bitmap from the skin.
  void PaintAll();

  [[nodiscard]] platform::Form& Form() const { return form_; }
  [[nodiscard]] TsCommonData& SkinData() const { return *common_data_; }
  [[nodiscard]] bool Inert() const { return inert_; }
  [[nodiscard]] bool FormActive() const { return form_active_; }
  [[nodiscard]] const TacTitleLayout& Layout() const { return layout_; }
  // The menu band's background as last painted, and its top row in the window.
  [[nodiscard]] const Bitmap& MenuLineBmp() const { return menu_line_bmp_; }
  [[nodiscard]] int MenuLineTop() const { return menu_line_top_; }
  // The band as the skinned menus draw the band's items over it, in window coordinates; no band
  // before the first paint.
  [[nodiscard]] TacMenuBand MenuBand() const {
    return menu_line_bmp_.Empty() ? TacMenuBand{}
                                  : TacMenuBand{&menu_line_bmp_, {0, menu_line_top_}};
  }
  // The window bitmap as last painted (a test hook); empty before the first paint.
  [[nodiscard]] const Bitmap& WindowBitmap() const;
  // The caption buttons' hot, pressed and fading states.
  [[nodiscard]] const TacCaptionCycle& Caption() const { return caption_; }
  // Activation and caption changes, the show, close and minimize animations; null when inert.
  [[nodiscard]] TacFormTransitions* Transitions() const { return transitions_.get(); }

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR ref);
  LRESULT NewWndProc(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT CallOld(UINT message, WPARAM wparam, LPARAM lparam);

  // NewWndProc's handlers, one per group of messages, in the order it routes them.
  // The provider's own skin commands; the rest go on to the form's skin state.
  LRESULT SkinCommand(UINT message, WPARAM wparam, LPARAM lparam);
  // A redraw lock or a new density, followed with or without a skin.
  LRESULT RedrawOrDensityMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // Drops the skinned system menu in place of the system's own; false for any other message.
  bool DropSystemMenu(UINT message, WPARAM wparam, LPARAM lparam);
  // Frame and client background painted from the window bitmap, also into a print DC.
  LRESULT FramePaintMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // Activation and a new caption text or icon: the caption is painted as ours.
  LRESULT ActivationMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // Showing, closing and the system commands the transitions animate.
  LRESULT ShowCloseMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // Hit tests and the mouse over the frame: the caption buttons answer.
  LRESULT CaptionMouseMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // A new size or position: the window region and the caption button fades follow.
  LRESULT SizeMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // A menu loop's idle time, and its end, after which the frame is painted again.
  LRESULT MenuLoopMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // Changed system settings or colours: the bitmap is stale and the fonts are made again.
  LRESULT SystemSettingMessage(UINT message, WPARAM wparam, LPARAM lparam);

  void Detach();
  [[nodiscard]] bool Skinned() const;
  [[nodiscard]] TacFrameInput FrameInput() const;
  [[nodiscard]] bool PaintBlocked() const;
  void NcPaint(HDC given_dc);
  void PaintFrameNow();
  void PaintCaption(HDC dc);
  void FrameUnblocked();
  void PaintTitle(const TacSkinData& sd, int width);
  void PaintMenuBand(const TacSkinData& sd, const TacFrameMetrics& metrics, int width);
  void PaintText(const TacSkinData& sd);
  void DrawAppIcon();
  void SaveBGForBtns(const TacFrameMetrics& metrics, int width);
  void UpdateFonts();
  void PaintButtons(const TacSkinData& sd);
  void PaintButton(const TsCaptionButton& button, bool enabled, const TacSkinData& sd);
  void PaintButton(const TsCaptionButton& button, bool enabled, const TacSkinData& sd,
                   Bitmap& target, TPoint at);
  [[nodiscard]] bool ButtonEnabled(unsigned hit) const;
  void FillArOR();
  void UpdateRgn(bool redraw);
  void EraseClient(HDC dc);
  void DpiChanged(int dpi);
  void UpdateAdapter(bool skinned);

  // The caption buttons' host.
  [[nodiscard]] HWND CaptionWindow() const override { return form_.Handle(); }
  [[nodiscard]] TacHitFrame HitFrame() override;
  void ShowButton(unsigned hit, int state, const TacSBAnimation* fade) override;
  [[nodiscard]] Bitmap ButtonLook(unsigned hit, int state) override;
  [[nodiscard]] bool FadesAllowed() const override;
  [[nodiscard]] bool AnimationAllowed() const override;

  platform::Form& form_;
  TsSkinManager* manager_;
  std::unique_ptr<TacSkinOwner> owner_;
  std::unique_ptr<TsCommonData> common_data_;
  platform::WindowSubclass subclass_;  // where the procedure sits
  bool inert_ = false;
  bool prepared_ = false;
  bool form_active_ = true;
  int title_skin_index_ = -1;
  int caption_skin_index_ = -1;
  int header_index_ = -1;
  int menu_line_index_ = -1;
  TacCaptionButtons buttons_;
  TacTitleLayout layout_;
  Bitmap temp_bmp_;  // the strip under the caption buttons
  Bitmap menu_line_bmp_;
  int menu_line_top_ = 0;
  int lines_count_ = -1;
  std::vector<RECT> rects_;  // corner pixels cut out of the window region
  bool rgn_changed_ = true;
  SIZE rgn_size_{-1, -1};
  SIZE recorded_size_{};  // the size of the last position change
  bool redraw_off_ = false;
  bool frame_dropped_ = false;  // a frame paint waits for the blocking state to end
  bool dpi_changing_ = false;
  struct SavedLabel {
    platform::Label* label;
    platform::ControlColor font_color;
  };
  std::vector<SavedLabel> saved_labels_;
  platform::UniqueFont caption_font_;
  platform::UniqueFont menu_font_;
  UINT font_dpi_ = 0;  // the density the fonts were made for; 0: make them again
  std::unique_ptr<TsSystemMenu> system_menu_;  // made when first dropped
  // Last, so that its fade windows go before anything they draw from.
  TacCaptionCycle caption_{*this};
  // What the transitions see of the provider, and the transitions; they go before the rest.
  class TransitionHost;
  std::unique_ptr<TransitionHost> transition_host_;
  std::unique_ptr<TacFormTransitions> transitions_;
};

}  // namespace kestrune::skin
