#pragma once
// Controls as thin classes over real Win32 windows. A windowed control puts its own procedure in
// front of the window class's one and passes on every message it does not handle, so a skin can
// later put its procedure in front of ours the same way. Graphic controls have no window: their
// parent paints them. Sizes are kept at 96 dots per inch and scaled to the window's density.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi_win.h"
#include "platform/window_owners_win.h"

namespace kestrune::platform {

class Application;
class WinControl;

struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct FontSettings {
  std::string face = "Segoe UI";
  int height = 12;  // character height in pixels at 96 dots per inch
  bool bold = false;
};

[[nodiscard]] int ScaleForDpi(int value, int dpi);

// Anything a form owns by name: controls and menu items.
class Component {
 public:
  explicit Component(std::string name) : name_(std::move(name)) {}
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;
  virtual ~Component() = default;

  [[nodiscard]] const std::string& Name() const { return name_; }

 protected:
  void SetName(std::string name) { name_ = std::move(name); }

 private:
  std::string name_;
};

// Colours of controls: a COLORREF, or a system colour as 0xFF000000 plus its COLOR_ index.
using ControlColor = std::int32_t;
inline constexpr ControlColor kSystemColor = static_cast<ControlColor>(0xFF000000u);
[[nodiscard]] COLORREF ResolveControlColor(ControlColor color);

class Control : public Component {
 public:
  Control(std::string name, WinControl* parent, Bounds design_bounds);

  [[nodiscard]] WinControl* Parent() const { return parent_; }
  [[nodiscard]] const Bounds& DesignBounds() const { return design_bounds_; }
  // The control's text: a caption, or the content of a text box.
  [[nodiscard]] virtual std::string Text() const = 0;
  // Places the control for `dpi`; called after creation and when the density changes.
  virtual void ApplyDpi(int dpi) = 0;

  [[nodiscard]] virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  [[nodiscard]] virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  // The control's rectangle in its parent's client area, at the current density.
  [[nodiscard]] virtual RECT BoundsRect() const = 0;
  // Background and text colours; a skin sets them, the control paints with them.
  [[nodiscard]] ControlColor Color() const { return color_; }
  void SetColor(ControlColor color);
  [[nodiscard]] ControlColor FontColor() const { return font_color_; }
  void SetFontColor(ControlColor color);
  // Set while the form reads its description, and from the start of the destruction.
  [[nodiscard]] bool Loading() const { return loading_; }
  void SetLoading(bool loading) { loading_ = loading; }
  [[nodiscard]] bool Destroying() const { return destroying_; }
  // The skin code's object for this control, found from the control (not owned).
  [[nodiscard]] void* SkinOwner() const { return skin_owner_; }
  void SetSkinOwner(void* owner) { skin_owner_ = owner; }

 protected:
  void SetDesignBounds(const Bounds& bounds) { design_bounds_ = bounds; }
  void MarkDestroying() { destroying_ = true; }
  // The colours changed: paint again.
  virtual void ColorsChanged() = 0;

 private:
  WinControl* parent_;  // not owned; outlives the control
  Bounds design_bounds_;
  ControlColor color_ = kSystemColor | COLOR_BTNFACE;
  ControlColor font_color_ = kSystemColor | COLOR_WINDOWTEXT;
  bool loading_ = false;
  bool destroying_ = false;
  void* skin_owner_ = nullptr;
};

class WinControl : public Control {
 public:
  WinControl(std::string name, WinControl* parent, Bounds design_bounds);
  ~WinControl() override;

  [[nodiscard]] HWND Handle() const { return handle_; }
  [[nodiscard]] std::string Text() const override;
  void SetText(std::string_view text);
  void ApplyDpi(int dpi) override;

  // The control of a window made by this framework, or nullptr.
  [[nodiscard]] static WinControl* FromHandle(HWND window);

  // The font this control draws with: its own, or its parent's when it has none.
  void SetOwnFont(const FontSettings& font) {
    own_font_settings_ = font;
    has_own_font_ = true;
  }
  [[nodiscard]] HFONT EffectiveFont() const;
  void SetCursorShape(const wchar_t* system_cursor) { cursor_ = system_cursor; }

  void AddChild(Control* child) { children_.push_back(child); }
  [[nodiscard]] const std::vector<Control*>& Children() const { return children_; }
  // Asks for the area `rect` (client coordinates) to be painted again.
  void InvalidateArea(const RECT& rect);

  [[nodiscard]] bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  [[nodiscard]] bool Visible() const override;
  void SetVisible(bool visible) override;
  [[nodiscard]] RECT BoundsRect() const override;
  // Paints the graphic children into `dc` (client coordinates of this window moved by `origin`).
  void PaintGraphicChildren(HDC dc, POINT origin, const RECT* clip);

 protected:
  void ColorsChanged() override;
  // Creates the window and puts this control's procedure in front of the class's one.
  void CreateHandle(const wchar_t* class_name, DWORD style, DWORD ex_style, HWND parent,
                    HMENU menu_or_id);
  virtual LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam);
  // The brush (with the DC's colours set) that this child paints its background with when its
  // parent is asked (WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC); nullptr leaves it to the system.
  virtual HBRUSH ControlBrush(HDC /*dc*/) { return nullptr; }
  // The procedure this control's replaced, for every message it leaves alone.
  LRESULT CallPrevious(UINT message, WPARAM wparam, LPARAM lparam);
  // A WM_COMMAND notification sent by this control to its parent; true when handled.
  virtual bool HandleNotification(WORD /*code*/) { return false; }
  [[nodiscard]] int Dpi() const { return dpi_; }
  // Recreates the fonts of this control and its children for `dpi`.
  void UpdateFont(int dpi);

 private:
  static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  // Paints through BeginPaint, or into the DC that came in wParam.
  LRESULT Paint(HDC given_dc);
  void TrackMouse();
  void Detach();

  HWND handle_ = nullptr;
  WindowProperty property_;  // leads from the window to this control
  ProcedureSwap procedure_;
  std::vector<Control*> children_;  // not owned; the form owns every control
  FontSettings own_font_settings_;
  bool has_own_font_ = false;
  UniqueFont own_font_;
  const wchar_t* cursor_ = nullptr;  // a system cursor id, or nullptr for the class cursor
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  bool mouse_inside_ = false;  // between the mouse's first move over the window and its leave
};

// A control without a window, painted by its parent inside the parent's WM_PAINT.
class GraphicControl : public Control {
 public:
  GraphicControl(std::string name, WinControl* parent, Bounds design_bounds);
  // Draws onto the parent's client area. Never throws.
  void Paint(HDC dc) noexcept { PaintAt(dc, POINT{area_.left, area_.top}); }
  // Draws into any DC with the control's top-left corner at `origin`. Never throws.
  virtual void PaintAt(HDC dc, POINT origin) noexcept = 0;
  [[nodiscard]] const RECT& Area() const { return area_; }

  [[nodiscard]] bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override;
  [[nodiscard]] bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override;
  [[nodiscard]] RECT BoundsRect() const override { return area_; }

 protected:
  void SetArea(const RECT& area);
  void ColorsChanged() override;

 private:
  RECT area_{};
  bool enabled_ = true;
  bool visible_ = true;
};

class Label : public GraphicControl {
 public:
  Label(std::string name, WinControl* parent, Bounds design_bounds, std::string text,
        bool auto_size);
  [[nodiscard]] std::string Text() const override { return text_; }
  void SetText(std::string_view text);
  void ApplyDpi(int dpi) override;
  void PaintAt(HDC dc, POINT origin) noexcept override;

 private:
  void Measure();

  std::string text_;
  std::wstring wide_text_;  // kept so that painting allocates nothing
  bool auto_size_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
};

class GroupBox : public WinControl {
 public:
  GroupBox(std::string name, WinControl* parent, Bounds design_bounds, std::string_view caption);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
};

class Button : public WinControl {
 public:
  Button(std::string name, WinControl* parent, Bounds design_bounds, std::string_view caption);
  std::function<void()> on_click;

 protected:
  bool HandleNotification(WORD code) override;
};

struct MemoOptions {
  bool vertical_scroll_bar = true;
  bool horizontal_scroll_bar = false;
  bool word_wrap = true;  // long lines wrap at the right edge instead of scrolling
};

// A multi-line text box the user may type into; there is no length limit.
class Memo : public WinControl {
 public:
  Memo(std::string name, WinControl* parent, Bounds design_bounds, const MemoOptions& options);
  void Clear();
  // Adds `line` as a new last line, ended by a line break.
  void AppendLine(std::string_view line);
  // Adds `lines` (each ended by CR LF) after the text, which the caller knows to be empty or to
  // end with a line break: unlike AppendLine it asks the control nothing about its last line, a
  // question whose cost grows with the text.
  void AppendLines(std::string_view lines);
  // Destroys the window and makes it again with the same style, place, font and text (a skin
  // that took over the window's frame leaves the new one to the system).
  void RecreateWindow();

 protected:
  void ColorsChanged() override;
  HBRUSH ControlBrush(HDC dc) override;

 private:
  // Set once colours were given: from then on the memo paints in them, not the system's.
  bool own_colors_ = false;
  UniqueBrush brush_;
};

class ProgressBar : public WinControl {
 public:
  ProgressBar(std::string name, WinControl* parent, Bounds design_bounds);
  void SetMinimum(int minimum);
  void SetMaximum(int maximum);
  void SetPosition(int position);
  [[nodiscard]] int Minimum() const;
  [[nodiscard]] int Maximum() const;
  [[nodiscard]] int Position() const;
};

class MenuItem : public Component {
 public:
  MenuItem(std::string name, std::string caption, std::string hint, UINT id)
      : Component(std::move(name)), caption_(std::move(caption)), hint_(std::move(hint)), id_(id) {}
  [[nodiscard]] const std::string& Caption() const { return caption_; }
  [[nodiscard]] const std::string& Hint() const { return hint_; }
  [[nodiscard]] UINT Id() const { return id_; }
  std::function<void()> on_click;
  // Owner-draw handlers, installed by a skin; empty while the system draws the item.
  std::function<void(HDC dc, int& width, int& height)> on_measure_item;
  std::function<void(HDC dc, const RECT& rect, UINT state)> on_advanced_draw_item;

 private:
  std::string caption_;
  std::string hint_;
  UINT id_;
};

}  // namespace kestrune::platform
