#pragma once
// TsCommonData: the skin state that every skinned control and the form provider own. It binds
// the owner to one section of the active skin, keeps the owner's cache bitmap and the flags
// that say when it is stale, derives the paint state and the skin colours, and carries out the
// common part of the skin command protocol (skin_commands.h).
//
// The rules are written against TacSkinOwner, the small interface through which the state reads
// its owner and sends messages; the Windows side (skin_owner_win.h) answers it from a real
// window, tests answer it from a fake. Nothing here throws: painting and message handling never
// raise, and a lookup that finds nothing leaves the control unskinned.
//
// Everything runs on the window thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skin/data/skin_commands.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/control_kinds.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/cache_info.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

class TacSkinData;
class TsSkinManager;
class TsCommonData;
class TacGlows;
struct TsGeneralData;

// A window or a device context of the platform, carried through the portable code untouched.
using TacWindow = void*;
using TacDC = void*;

// The window messages the common handling reads, with their system values.
namespace wm {
inline constexpr std::uint32_t Create = 0x0001;
inline constexpr std::uint32_t Move = 0x0003;
inline constexpr std::uint32_t Size = 0x0005;
inline constexpr std::uint32_t SetFocus = 0x0007;
inline constexpr std::uint32_t KillFocus = 0x0008;
inline constexpr std::uint32_t SetRedraw = 0x000B;
inline constexpr std::uint32_t Paint = 0x000F;
inline constexpr std::uint32_t EraseBkgnd = 0x0014;
inline constexpr std::uint32_t ShowWindow = 0x0018;
inline constexpr std::uint32_t WindowPosChanging = 0x0046;
inline constexpr std::uint32_t NcCreate = 0x0081;
inline constexpr std::uint32_t NcPaint = 0x0085;
inline constexpr std::uint32_t DpiChanged = 0x02E0;
inline constexpr std::uint32_t Print = 0x0317;
inline constexpr std::uint32_t PrintClient = 0x0318;
}  // namespace wm

// SetWindowPos flags of a window-position change (WM_WINDOWPOSCHANGING).
inline constexpr std::uint32_t kSwpNoSize = 0x0001;
inline constexpr std::uint32_t kSwpNoMove = 0x0002;

// RedrawWindow flags: frame, update now, all children, erase, invalidate.
inline constexpr std::uint32_t RDWA_ALL = 0x485;
inline constexpr std::uint32_t RDWA_ALLNOW = 0x585;
// SetWindowPos flags that make a window lay out its frame again.
inline constexpr std::uint32_t SWPA_FRAMECHANGED = 0x737;

// CtrlSkinState flags.
inline constexpr std::uint32_t ACS_PRINTING = 0x200;
inline constexpr std::uint32_t ACS_MNUPDATING = 0x400;
inline constexpr std::uint32_t ACS_LOCKED = 0x800;
inline constexpr std::uint32_t ACS_FOCUSCHANGING = 0x1000;
inline constexpr std::uint32_t ACS_CHANGING = 0x2000;
inline constexpr std::uint32_t ACS_REPAINTNEEDH = 0x8000;
inline constexpr std::uint32_t ACS_REPAINTNEEDV = 0x10000;
inline constexpr std::uint32_t ACS_CTRLSCALING = 0x20000;
inline constexpr std::uint32_t ACS_NCCHANGED = 0x40000;
inline constexpr std::uint32_t ACS_TEXTANIMATING = 0x80000;
inline constexpr std::uint32_t ACS_INIT = 0x100000;
inline constexpr std::uint32_t ACS_SIZING = 0x200000;

// BGType flags: how the background depends on the control's size.
inline constexpr std::uint16_t BGT_GRADIENTHORZ = 1;
inline constexpr std::uint16_t BGT_GRADIENTVERT = 2;
inline constexpr std::uint16_t BGT_STRETCH = 4;
inline constexpr std::uint16_t BGT_TEXTURELEFT = 0x10;
inline constexpr std::uint16_t BGT_TEXTURETOP = 0x20;
inline constexpr std::uint16_t BGT_TEXTURERIGHT = 0x40;
inline constexpr std::uint16_t BGT_TEXTUREBOTTOM = 0x80;

// Paint states.
inline constexpr int ACHOT = 1;
inline constexpr int ACPRESSED = 2;
inline constexpr int ACDEFAULT = 3;

enum TacOpaqueMode : std::uint8_t { omAuto, omForceOpaque, omAlphaChannel };
enum TacOuterVisibility : std::uint8_t { ovNone, ovAlways, ovFocused, ovMouseHovered };

// One window message as the common handling sees it.
struct TacMessage {
  std::uint32_t Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;
  // Posted, or sent from another thread or process: a pointer in LParam is not one of ours.
  bool Foreign = false;
};

[[nodiscard]] inline TacMessage MakeMessage(std::uint32_t msg, std::uintptr_t wparam,
                                            std::intptr_t lparam) {
  return TacMessage{msg, wparam, lparam, 0, false};
}

// AC_UPDATESECTION and AC_SETSECTION carry a section name as a NUL-terminated char pointer.

// The record of AC_GETFONTINDEX.
struct TacPaintInfo {
  int State = 0;
  int FontIndex = -1;
  TRect R;
  TsSkinManager* SkinManager = nullptr;  // not owned
};

// The record of AC_GETSKININDEX: the answer lands in the second field.
struct TacSkinIndexInfo {
  TsSkinManager* SkinManager = nullptr;  // not owned
  int SkinIndex = -1;
};

// What the skin state reads from its owner and how it talks to it. Implementations never throw.
class TacSkinOwner {
 public:
  enum class Kind : std::uint8_t { Control, Provider, Other };

  virtual ~TacSkinOwner() = default;

  [[nodiscard]] virtual Kind OwnerKind() const { return Kind::Control; }
  // A windowed control (or a bare window), as opposed to a graphic control painted by its parent.
  [[nodiscard]] virtual bool Windowed() const = 0;
  // The owner's window; nullptr while it has none.
  [[nodiscard]] virtual TacWindow Handle() const = 0;
  // The parent control or parent window; nullptr at the top. Not owned.
  [[nodiscard]] virtual TacSkinOwner* Parent() const = 0;
  // The direct children, windowed and graphic. Not owned.
  [[nodiscard]] virtual std::vector<TacSkinOwner*> Children() const { return {}; }
  // The class name, the section a kind without a default takes.
  [[nodiscard]] virtual std::string ClassName() const = 0;
  // The skin state of this owner, when it has one (not owned).
  [[nodiscard]] virtual TsCommonData* SkinState() const { return nullptr; }

  [[nodiscard]] virtual bool Loading() const { return false; }
  [[nodiscard]] virtual bool Destroying() const { return false; }
  [[nodiscard]] virtual bool Enabled() const { return true; }
  [[nodiscard]] virtual bool Visible() const { return true; }
  // The owner and every parent are visible.
  [[nodiscard]] virtual bool Showing() const { return Visible(); }
  // The owner's window has the input focus.
  [[nodiscard]] virtual bool Focused() const { return false; }
  // The owner paints its whole area itself.
  [[nodiscard]] virtual bool Opaque() const { return false; }
  [[nodiscard]] virtual TColor Color() const = 0;
  virtual void SetColor(TColor /*color*/) {}
  [[nodiscard]] virtual TColor FontColor() const = 0;
  virtual void SetFontColor(TColor /*color*/) {}
  // In the parent's client area, at the current density.
  [[nodiscard]] virtual TRect BoundsRect() const = 0;
  // Where the client area begins inside the window (the frame of a bare window).
  [[nodiscard]] virtual TPoint ClientOffset() const { return {}; }
  [[nodiscard]] virtual int PPI() const { return 96; }
  // The cursor is inside the control (or over one of its child windows).
  [[nodiscard]] virtual bool MouseInControl() const { return false; }
  // Some window has captured the mouse; the left button is held down on the owner.
  [[nodiscard]] virtual bool MouseCaptured() const { return false; }
  [[nodiscard]] virtual bool LeftButtonDown() const { return false; }
  // The part of the owner that is visible on the screen, in screen coordinates.
  [[nodiscard]] virtual TRect VisibleScreenRect() const { return {}; }
  // The window of the owner's form; nullptr when it has none.
  [[nodiscard]] virtual TacWindow ParentForm() const { return nullptr; }

  // SendMessage to a window, or the same message performed on a control without one.
  virtual std::intptr_t Send(std::uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam) = 0;
  // RedrawWindow with RDW_ flags; a graphic control repaints.
  virtual void Redraw(std::uint32_t /*flags*/) {}
  virtual void Repaint() {}
  // SetWindowPos with SWPA_FRAMECHANGED.
  virtual void FrameChanged() {}
  // The background brush of the owner's window: the skin's colour, or back to the original.
  virtual void SetBackgroundBrush(TColor /*color*/) {}
  virtual void RestoreBackgroundBrush() {}
  // Makes `data` findable from the owner's window ("ACSDATA"), or forgets it.
  virtual void SetCommonProp(TsCommonData* /*data*/) {}
  virtual void RemoveCommonProp() {}
  // Erases and paints the owner into `dc` with the origin moved by -offset and the clip set to
  // `clip` (owner coordinates); for a parent that does not answer the background request.
  virtual void PaintInto(TacDC /*dc*/, TPoint /*offset*/, TRect /*clip*/) {}
};

// A per-control border that replaces the section's one when any value is set.
struct TacPaintBorderData {
  int Width = -1;  // -1: the section's border width
  TColor ColorNormal = clNone;
  TColor ColorActive = clNone;
  TColor ColorPressed = clNone;
  int RadiusTopLeft = -1;
  int RadiusTopRight = -1;
  int RadiusBottomLeft = -1;
  int RadiusBottomRight = -1;

  [[nodiscard]] bool IsChanged() const {
    return Width != -1 || ColorNormal != clNone || ColorActive != clNone ||
           ColorPressed != clNone || RadiusTopLeft != -1 || RadiusTopRight != -1 ||
           RadiusBottomLeft != -1 || RadiusBottomRight != -1;
  }
};

struct TacOuterEffects {
  TacOuterVisibility Visibility = ovNone;
  // Drawn around the control now; a hovered control's effect is the glow's business instead.
  [[nodiscard]] bool IsShown(bool focused) const {
    return Visibility == ovAlways || (Visibility == ovFocused && focused);
  }
};

// The state fade of a control: its look cross-faded to the state it is in now, frame by frame
// on a window timer. A control that fades sets TsCommonData::AnimTimer; the glow starts it too.
class TacStateFade {
 public:
  virtual ~TacStateFade() = default;
  virtual void FadeToCurrentState() = 0;
  virtual void Stop() = 0;
  [[nodiscard]] virtual bool Running() const = 0;
};

struct TacBGInfo;

class TsCommonData {
 public:
  // `owner` outlives this object (not owned). With `create_cache_bmp` an empty cache bitmap is
  // made at once. Registers the state with the owner's window.
  TsCommonData(TacSkinOwner* owner, bool create_cache_bmp);
  TsCommonData(const TsCommonData&) = delete;
  TsCommonData& operator=(const TsCommonData&) = delete;
  // Always takes the state off the owner's window, so nothing finds freed memory there.
  virtual ~TsCommonData();

  // ---- Binding.
  void InitCommonProp();
  void RemoveCommonProp();
  [[nodiscard]] TacWindow OwnerHandle() const;
  void Loaded(bool update_colors = true);
  [[nodiscard]] TsSkinManager* GetSkinManager() const;
  void SetSkinManager(TsSkinManager* value);
  // The skin copy of the owner's density; nullptr without any manager.
  TacSkinData* GetCommonSkinData();
  [[nodiscard]] const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(std::string_view value);
  void UpdateIndexes(bool update_main = true);
  void InitIndexes(const std::vector<std::string_view>& sections);
  void UpdateData();
  [[nodiscard]] bool Skinned(bool check_skin_active = false) const;
  void InitBGType();
  [[nodiscard]] bool FullRepaintOnly() const;

  // ---- Painting support.
  // Makes FCacheBmp 32-bit and of the owner's size.
  void InitCacheBmp();
  [[nodiscard]] bool ControlIsActive() const;
  [[nodiscard]] TColor GetBGColor(int state, TacSkinOwner* window = nullptr);
  void UpdateCtrlColors(bool redraw);
  void UpdateControlColors(bool allow_repaint);
  // The section's state record for `state`, clamped; nullptr when unbound.
  [[nodiscard]] const TsGeneralData* Section();

  // ---- Lifecycle.
  void Invalidate(bool update_now = false);
  void BeginUpdate();
  void EndUpdate(bool repaint = false);
  [[nodiscard]] bool GetUpdating() const;
  bool InUpdating(bool reset = false);
  [[nodiscard]] bool RepaintIfMoved();
  [[nodiscard]] int ScaleInt(int value, bool calc_vcl_mode = false);
  [[nodiscard]] int GetPPI();
  void ShowGlowingIfNeeded(bool clicked = false, int skin_index = -1, bool allow_animation = true,
                           std::uint8_t alpha = 255);
  // Stops the state fade, when the owner runs one.
  void StopTimers() {
    if (AnimTimer != nullptr)
      AnimTimer->Stop();
  }

  // ---- Outer effects: a shadow or glow the control throws onto its parent's cache.
  // Changes when the effect is shown; the parent's cache and the control are painted again.
  void SetOuterVisibility(TacOuterVisibility value);
  // The answer to AC_PAINTOUTER: draws the effect into info.PaintBmp around the owner (its
  // rectangle there moved by info.Offset), first keeping the pixels under it in FOuterCache.
  // With bit 0 of `data` the effect is drawn again over those kept pixels, so a repeat never
  // lays one effect over another.
  void PaintOuter(TacBGInfo& info, int data);
  // The parent's side, after it painted its cache: every visible, ready child of `owner_ctrl`
  // draws its effect into this state's cache, whose client origin lies at `offset` there.
  void PaintOuterEffects(TacSkinOwner* owner_ctrl, TPoint offset);

  // ---- Messages. True: handled (CommonMessage) / keep from the default handling
  // (CommonWndProc).
  bool CommonWndProc(TacMessage& message);
  bool CommonMessage(TacMessage& message);
  [[nodiscard]] bool RefreshNeeded(const TacMessage& message) const;

  // ---- Fields.
  TacSkinData* FCommonSkinData = nullptr;  // not owned; the manager's copy
  TacOpaqueMode FOpaqueMode = omAuto;
  TacPaintBorderData FCustomBorder;
  bool FCustomFont = false;
  bool FCustomColor = false;
  std::unique_ptr<Bitmap> FOuterCache;
  std::string FSkinSection;
  TsSkinManager* FSkinManager = nullptr;  // not owned; nullptr: the default manager
  TacOuterEffects FOuterEffects;
  int RedrawLockCount = 0;
  TColor FColorTone = clNone;
  TColor SavedColor = clNone;
  TColor SavedFontColor = clNone;
  bool FFocused = false;
  bool FUpdating = false;
  bool HalfVisible = false;
  bool Loading = true;
  bool GlassModeInit = false;
  std::uint8_t COC = 0;
  std::uint8_t TranspMode = 0;
  int GlowID = -1;
  // The glows that GlowID belongs to: the ones that showed it, whatever manager the control has
  // when it is hidden.
  TacGlows* FGlows = nullptr;
  int CircleID = -1;
  int PPIIndex = -1;
  // The density of a stand-in skin copy answered before the real one was known (0: none).
  int FStandInPPI = 0;
  int FHUEOffset = 0;
  int FSaturation = 0;
  int CurrentPPI = 96;
  int FUpdateCount = 0;
  TacDC PrintDC = nullptr;
  std::unique_ptr<Bitmap> FCacheBmp;
  TacWindow FSWHandle = nullptr;
  TacSkinOwner* FOwnerObject = nullptr;  // not owned
  std::uint16_t BGType = 0;
  TRect InvalidRectH;
  TRect InvalidRectV;
  std::uint32_t CtrlSkinState = 0;
  bool FMouseAbove = false;
  bool BGChanged = true;
  int SkinIndex = -1;
  TacSkinOwner* FOwnerControl = nullptr;  // the owner when it is a control; not owned
  TacStateFade* AnimTimer = nullptr;      // the owner's state fade; not owned, none by default
  TRect FOuterRect;                       // where FOuterCache was taken from in the parent's cache

 private:
  [[nodiscard]] bool CacheEmpty() const { return !FCacheBmp || FCacheBmp->Empty(); }
  [[nodiscard]] bool OwnerReady() const;
  void SetSkinColors(int state);
  void MouseEnter(TacMessage& message);
  void MouseLeave();
  void BroadcastToChildren(const TacMessage& message);
  void HideOwnGlow(bool animated);
  void RepaintOwnGlow();
  [[nodiscard]] TColor ControlColor() const;

  // CommonMessage's handlers, one per group of commands, in the order it routes them.
  // A skin is applied, removed or refreshed, or the owner's glow and timers end.
  bool SkinLifetimeCommand(TacMessage& message);
  // The cache goes stale, is prepared or cleared; the owner repaints or ends an update.
  bool CacheCommand(TacMessage& message);
  // Density, fonts, glass mode and printing: how the owner paints from now on.
  bool PaintModeCommand(TacMessage& message);
  // Questions answered in the result: binding, colours, density, opacity, the state itself.
  bool QueryCommand(TacMessage& message);
  // Commands whose lParam points at a section name or a record to read or fill.
  bool PointerCommand(TacMessage& message);
};

// The glow windows around hot controls, as a control's state shows and hides its own.
class TacGlows : public TacGlowLink {
 public:
  // A glow around the control of `data` from image `image` + "0" of `section`; returns its
  // identifier, or -1.
  virtual int ShowGlow(TRect screen_rect, std::string_view section, std::string_view image,
                       int margin, std::uint8_t alpha, TacWindow parent_form,
                       TsCommonData* data) = 0;
  // Hides glow `id` (faded when `animated`); `id` becomes -1 once it is gone.
  virtual void HideGlow(int& id, bool animated) = 0;
  virtual void RepaintGlow(int id) = 0;
};
// The glows of `manager`'s controls, or nullptr.
[[nodiscard]] TacGlows* GlowsOf(const TsSkinManager* manager);

// Adds hue, saturation and colour tone of `data` to a colour (the painting tints of a control).
[[nodiscard]] TColor ApplyColorShift(const TsCommonData& data, TColor color);

// Text colours. `ctrl` may be nullptr.
[[nodiscard]] TColor GetFontColor(TacSkinOwner* ctrl, int def_skin_index,
                                  TsSkinManager* skin_manager, int state,
                                  TsCommonData* data = nullptr);
[[nodiscard]] int GetFontIndex(TacSkinOwner* ctrl, int def_skin_index, TsSkinManager* skin_manager,
                               int state);

// The skin state of a control with a scroll bar, and the widths it publishes.
class TacScrollData {
 public:
  explicit TacScrollData(TsCommonData& owner) : owner_(owner) {}
  [[nodiscard]] int ScrollWidth() const { return scroll_width_; }
  void SetScrollWidth(int value);
  [[nodiscard]] int ButtonsSize() const { return buttons_size_; }
  void SetButtonsSize(int value);

 private:
  [[nodiscard]] TacSkinOwner* LiveWindowedOwner() const;

  TsCommonData& owner_;
  int scroll_width_ = -1;  // -1: not set
  int buttons_size_ = -1;  // -1: not set
};

class TsCtrlSkinData : public TsCommonData {
 public:
  using TsCommonData::TsCommonData;
};

class TsScrollWndData : public TsCommonData {
 public:
  TsScrollWndData(TacSkinOwner* owner, bool create_cache_bmp)
      : TsCommonData(owner, create_cache_bmp), VertScrollData(*this), HorzScrollData(*this) {}
  TacScrollData VertScrollData;
  TacScrollData HorzScrollData;
};

// Message utilities. Sending to nullptr answers 0.
std::intptr_t SendAMessage(TacSkinOwner* target, std::uint16_t cmd, std::intptr_t lparam = 0);
[[nodiscard]] bool GetBoolMsg(TacSkinOwner* target, std::uint16_t cmd);
// Passes `message` to every child of `owner`.
void AlphaBroadCast(TacSkinOwner* owner, TacMessage& message);

// Whether a control's content moves by one pixel while pressed.
[[nodiscard]] bool CanClickShift(int skin_index, TacSkinData* data);

}  // namespace kestrune::skin
