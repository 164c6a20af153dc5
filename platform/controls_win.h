#pragma once
// Controls as thin classes over real Win32 windows. A windowed control puts its own procedure in
// front of the window class's one and passes on every message it does not handle, so a skin can
// later put its procedure in front of ours the same way. Graphic controls have no window: their
// parent paints them. Sizes are kept at 96 dots per inch and scaled to the window's density.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi_win.h"

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

class Control : public Component {
 public:
  Control(std::string name, WinControl* parent, Bounds design_bounds);

  [[nodiscard]] WinControl* Parent() const { return parent_; }
  [[nodiscard]] const Bounds& DesignBounds() const { return design_bounds_; }
  // The control's text: a caption, or the content of a text box.
  [[nodiscard]] virtual std::string Text() const = 0;
  // Places the control for `dpi`; called after creation and when the density changes.
  virtual void ApplyDpi(int dpi) = 0;

 protected:
  void SetDesignBounds(const Bounds& bounds) { design_bounds_ = bounds; }

 private:
  WinControl* parent_;  // not owned; outlives the control
  Bounds design_bounds_;
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

 protected:
  // Creates the window and puts this control's procedure in front of the class's one.
  void CreateHandle(const wchar_t* class_name, DWORD style, DWORD ex_style, HWND parent,
                    HMENU menu_or_id);
  virtual LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam);
  // The procedure this control's replaced, for every message it leaves alone.
  LRESULT CallPrevious(UINT message, WPARAM wparam, LPARAM lparam);
  // A WM_COMMAND notification sent by this control to its parent; true when handled.
  virtual bool HandleNotification(WORD /*code*/) { return false; }
  [[nodiscard]] int Dpi() const { return dpi_; }
  // Recreates the fonts of this control and its children for `dpi`.
  void UpdateFont(int dpi);

 private:
  static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Paint();
  void Detach();

  HWND handle_ = nullptr;
  WNDPROC previous_ = nullptr;
  std::vector<Control*> children_;  // not owned; the form owns every control
  FontSettings own_font_settings_;
  bool has_own_font_ = false;
  UniqueFont own_font_;
  const wchar_t* cursor_ = nullptr;  // a system cursor id, or nullptr for the class cursor
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
};

// A control without a window, painted by its parent inside the parent's WM_PAINT.
class GraphicControl : public Control {
 public:
  GraphicControl(std::string name, WinControl* parent, Bounds design_bounds);
  // Draws onto the parent's client area. Never throws.
  virtual void Paint(HDC dc) noexcept = 0;
  [[nodiscard]] const RECT& Area() const { return area_; }

 protected:
  void SetArea(const RECT& area);

 private:
  RECT area_{};
};

class Label : public GraphicControl {
 public:
  Label(std::string name, WinControl* parent, Bounds design_bounds, std::string text,
        bool auto_size);
  [[nodiscard]] std::string Text() const override { return text_; }
  void SetText(std::string_view text);
  void ApplyDpi(int dpi) override;
  void Paint(HDC dc) noexcept override;

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

 private:
  std::string caption_;
  std::string hint_;
  UINT id_;
};

}  // namespace kestrune::platform
