#include "platform/controls_win.h"

#include <commctrl.h>

#include "platform/application_win.h"
#include "platform/control_messages.h"
#include "platform/error.h"
#include "platform/win_util.h"

namespace kestrune::platform {
namespace {

constexpr wchar_t kControlProperty[] = L"Kestrune.Control";

UniqueFont MakeFont(const FontSettings& settings, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -ScaleForDpi(settings.height, dpi);
  font.lfWeight = settings.bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = Widen(settings.face);
  lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  return UniqueFont(::CreateFontIndirectW(&font));
}

}  // namespace

int ScaleForDpi(int value, int dpi) {
  return ::MulDiv(value, dpi, USER_DEFAULT_SCREEN_DPI);
}

COLORREF ResolveControlColor(ControlColor color) {
  const auto value = static_cast<std::uint32_t>(color);
  if ((value & 0xFF000000u) == 0xFF000000u)
    return ::GetSysColor(static_cast<int>(value & 0xFFu));
  return value & 0x00FFFFFFu;
}

Control::Control(std::string name, WinControl* parent, Bounds design_bounds)
    : Component(std::move(name)), parent_(parent), design_bounds_(design_bounds) {
  if (parent != nullptr)
    parent->AddChild(this);
}

void Control::SetColor(ControlColor color) {
  if (color == color_)
    return;
  color_ = color;
  ColorsChanged();
}

void Control::SetFontColor(ControlColor color) {
  if (color == font_color_)
    return;
  font_color_ = color;
  ColorsChanged();
}

// ---- WinControl

WinControl::WinControl(std::string name, WinControl* parent, Bounds design_bounds)
    : Control(std::move(name), parent, design_bounds) {}

WinControl::~WinControl() {
  MarkDestroying();
  if (handle_ != nullptr)
    ::DestroyWindow(handle_);
}

WinControl* WinControl::FromHandle(HWND window) {
  return window != nullptr ? static_cast<WinControl*>(::GetPropW(window, kControlProperty))
                           : nullptr;
}

void WinControl::CreateHandle(const wchar_t* class_name, DWORD style, DWORD ex_style, HWND parent,
                              HMENU menu_or_id) {
  const std::wstring caption;
  handle_ = ::CreateWindowExW(ex_style, class_name, caption.c_str(), style, 0, 0, 0, 0, parent,
                              menu_or_id, ::GetModuleHandleW(nullptr), nullptr);
  if (handle_ == nullptr)
    throw Error("Cannot create the window '" + Name() + "': " + SystemErrorText(::GetLastError()));
  // The property first: the procedure finds its control through it.
  property_.Set(handle_, kControlProperty, this);
  procedure_.Set(handle_, &WinControl::StaticWindowProc);
}

LRESULT CALLBACK WinControl::StaticWindowProc(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
  WinControl* control = FromHandle(window);
  if (control == nullptr)
    return ::DefWindowProcW(window, message, wparam, lparam);
  try {
    return control->WindowProc(message, wparam, lparam);
  } catch (...) {
    // No error may cross the system's code; show it as any other error of an event.
    if (Application* application = Application::Current())
      application->ShowException(std::current_exception());
    return 0;
  }
}

LRESULT WinControl::CallPrevious(UINT message, WPARAM wparam, LPARAM lparam) {
  return ::CallWindowProcW(procedure_.Previous(), handle_, message, wparam, lparam);
}

LRESULT WinControl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      // Controls answer their own notifications, whichever window is their parent.
      if (lparam != 0) {
        WinControl* child = FromHandle(reinterpret_cast<HWND>(lparam));
        if (child != nullptr && child != this && child->HandleNotification(HIWORD(wparam)))
          return 0;
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (WinControl* child = FromHandle(reinterpret_cast<HWND>(lparam));
          child != nullptr && child != this) {
        if (HBRUSH brush = child->ControlBrush(reinterpret_cast<HDC>(wparam)))
          return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_SETCURSOR:
      if (cursor_ != nullptr && reinterpret_cast<HWND>(wparam) == handle_ &&
          LOWORD(lparam) == HTCLIENT) {
        ::SetCursor(::LoadCursorW(nullptr, cursor_));
        return TRUE;
      }
      break;
    case WM_PAINT:
      for (Control* child : children_) {
        if (dynamic_cast<GraphicControl*>(child) != nullptr)
          return Paint(reinterpret_cast<HDC>(wparam));
      }
      break;
    case WM_PRINTCLIENT: {
      const LRESULT result = CallPrevious(message, wparam, lparam);
      if (wparam != 0)
        PaintGraphicChildren(reinterpret_cast<HDC>(wparam), POINT{0, 0}, nullptr);
      return result;
    }
    case WM_MOUSEMOVE:
      TrackMouse();
      break;
    case WM_MOUSELEAVE:
      mouse_inside_ = false;
      ::SendMessageW(handle_, CM_MOUSELEAVE, 0, 0);
      break;
    case WM_NCDESTROY: {
      const LRESULT result = CallPrevious(message, wparam, lparam);
      Detach();
      return result;
    }
    default:
      break;
  }
  return CallPrevious(message, wparam, lparam);
}

LRESULT WinControl::Paint(HDC given_dc) {
  if (given_dc != nullptr) {
    // Painting into a DC handed over (a parent drawing this window into its own picture).
    CallPrevious(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(given_dc), PRF_CLIENT | PRF_ERASEBKGND);
    PaintGraphicChildren(given_dc, POINT{0, 0}, nullptr);
    return 0;
  }
  const PaintDc dc(handle_);
  CallPrevious(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
  PaintGraphicChildren(dc.Get(), POINT{0, 0}, &dc.Area());
  return 0;
}

void WinControl::PaintGraphicChildren(HDC dc, POINT origin, const RECT* clip) {
  for (Control* child : children_) {
    auto* graphic = dynamic_cast<GraphicControl*>(child);
    if (graphic == nullptr || !graphic->Visible())
      continue;
    RECT overlap{};
    if (clip != nullptr && !::IntersectRect(&overlap, &graphic->Area(), clip))
      continue;
    graphic->PaintAt(dc, POINT{origin.x + graphic->Area().left, origin.y + graphic->Area().top});
  }
}

void WinControl::TrackMouse() {
  if (mouse_inside_)
    return;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = handle_;
  if (::TrackMouseEvent(&track)) {
    mouse_inside_ = true;
    ::SendMessageW(handle_, CM_MOUSEENTER, 0, 0);
  }
}

bool WinControl::Enabled() const {
  return handle_ != nullptr && ::IsWindowEnabled(handle_) != FALSE;
}

void WinControl::SetEnabled(bool enabled) {
  if (handle_ == nullptr || enabled == Enabled())
    return;
  ::EnableWindow(handle_, enabled ? TRUE : FALSE);
  ::SendMessageW(handle_, CM_ENABLEDCHANGED, 0, 0);
}

bool WinControl::Visible() const {
  return handle_ != nullptr && (::GetWindowLongPtrW(handle_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void WinControl::SetVisible(bool visible) {
  if (handle_ == nullptr || visible == Visible())
    return;
  ::ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
  ::SendMessageW(handle_, CM_VISIBLECHANGED, visible ? 1 : 0, 0);
}

RECT WinControl::BoundsRect() const {
  RECT r{};
  if (handle_ == nullptr)
    return r;
  ::GetWindowRect(handle_, &r);
  HWND parent = ::GetParent(handle_);
  if (parent != nullptr && (::GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD) != 0)
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void WinControl::ColorsChanged() {
  if (handle_ != nullptr)
    ::InvalidateRect(handle_, nullptr, TRUE);
}

void WinControl::Detach() {
  if (handle_ == nullptr)
    return;
  // The procedure before the property it finds its control by; it stays in the chain when
  // another was put in front of it since, and then passes everything to DefWindowProc.
  procedure_.Reset();
  property_.Reset();
  handle_ = nullptr;
}

std::string WinControl::Text() const {
  const int length = ::GetWindowTextLengthW(handle_);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(handle_, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return Narrow(text);
}

void WinControl::SetText(std::string_view text) {
  ::SetWindowTextW(handle_, Widen(text).c_str());
}

HFONT WinControl::EffectiveFont() const {
  if (has_own_font_)
    return own_font_.Get();
  return Parent() != nullptr ? Parent()->EffectiveFont() : nullptr;
}

void WinControl::UpdateFont(int dpi) {
  if (has_own_font_)
    own_font_ = MakeFont(own_font_settings_, dpi);
  ::SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(EffectiveFont()), FALSE);
}

void WinControl::ApplyDpi(int dpi) {
  dpi_ = dpi;
  // The size first, the font last: a multi-line edit wraps its lines again on either, but takes
  // its new scroll range only from the font, so the range fits the lines at the final size.
  if (Parent() != nullptr) {
    const Bounds& bounds = DesignBounds();
    ::SetWindowPos(handle_, nullptr, ScaleForDpi(bounds.left, dpi), ScaleForDpi(bounds.top, dpi),
                   ScaleForDpi(bounds.width, dpi), ScaleForDpi(bounds.height, dpi),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  UpdateFont(dpi);
  for (Control* child : children_)
    child->ApplyDpi(dpi);
  ::InvalidateRect(handle_, nullptr, TRUE);
}

void WinControl::InvalidateArea(const RECT& rect) {
  if (handle_ != nullptr)
    ::InvalidateRect(handle_, &rect, TRUE);
}

// ---- GraphicControl and Label

GraphicControl::GraphicControl(std::string name, WinControl* parent, Bounds design_bounds)
    : Control(std::move(name), parent, design_bounds) {
  if (parent == nullptr)
    throw Error("Form description: the graphic control '" + Name() + "' needs a parent");
}

void GraphicControl::SetArea(const RECT& area) {
  Parent()->InvalidateArea(area_);
  area_ = area;
  Parent()->InvalidateArea(area_);
}

void GraphicControl::SetEnabled(bool enabled) {
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  Parent()->InvalidateArea(area_);
}

void GraphicControl::SetVisible(bool visible) {
  if (visible == visible_)
    return;
  visible_ = visible;
  Parent()->InvalidateArea(area_);
}

void GraphicControl::ColorsChanged() {
  Parent()->InvalidateArea(area_);
}

Label::Label(std::string name, WinControl* parent, Bounds design_bounds, std::string text,
             bool auto_size)
    : GraphicControl(std::move(name), parent, design_bounds),
      text_(std::move(text)),
      wide_text_(Widen(text_)),
      auto_size_(auto_size) {}

void Label::SetText(std::string_view text) {
  if (text == text_)
    return;
  text_ = std::string(text);
  wide_text_ = Widen(text_);
  Measure();
}

void Label::ApplyDpi(int dpi) {
  dpi_ = dpi;
  Measure();
}

void Label::Measure() {
  const Bounds& design = DesignBounds();
  RECT area{ScaleForDpi(design.left, dpi_), ScaleForDpi(design.top, dpi_), 0, 0};
  SIZE size{ScaleForDpi(design.width, dpi_), ScaleForDpi(design.height, dpi_)};
  if (auto_size_ && Parent()->Handle() != nullptr) {
    WindowDc dc(Parent()->Handle());
    SelectedObject font(dc.Get(), Parent()->EffectiveFont());
    ::GetTextExtentPoint32W(dc.Get(), wide_text_.c_str(), static_cast<int>(wide_text_.size()),
                            &size);
  }
  area.right = area.left + size.cx;
  area.bottom = area.top + size.cy;
  SetArea(area);
}

void Label::PaintAt(HDC dc, POINT origin) noexcept {
  SelectedObject font(dc, Parent()->EffectiveFont());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ResolveControlColor(FontColor()));
  RECT area{origin.x, origin.y, origin.x + Area().right - Area().left,
            origin.y + Area().bottom - Area().top};
  ::DrawTextW(dc, wide_text_.c_str(), static_cast<int>(wide_text_.size()), &area,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

// ---- GroupBox

GroupBox::GroupBox(std::string name, WinControl* parent, Bounds design_bounds,
                   std::string_view caption)
    : WinControl(std::move(name), parent, design_bounds) {
  CreateHandle(WC_BUTTONW, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | BS_GROUPBOX,
               WS_EX_CONTROLPARENT, parent->Handle(), nullptr);
  SetText(caption);
}

LRESULT GroupBox::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCHITTEST:
      // The system's group box lets the mouse fall through; ours holds the controls.
      return HTCLIENT;
    case WM_ERASEBKGND: {
      RECT client{};
      ::GetClientRect(Handle(), &client);
      ::FillRect(reinterpret_cast<HDC>(wparam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
      return TRUE;
    }
    default:
      return WinControl::WindowProc(message, wparam, lparam);
  }
}

// ---- Button

Button::Button(std::string name, WinControl* parent, Bounds design_bounds, std::string_view caption)
    : WinControl(std::move(name), parent, design_bounds) {
  CreateHandle(WC_BUTTONW, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, parent->Handle(),
               nullptr);
  SetText(caption);
}

bool Button::HandleNotification(WORD code) {
  if (code != BN_CLICKED)
    return false;
  if (on_click) {
    if (Application* application = Application::Current())
      application->HandleEvent(on_click);
  }
  return true;
}

// ---- Memo

Memo::Memo(std::string name, WinControl* parent, Bounds design_bounds, const MemoOptions& options)
    : WinControl(std::move(name), parent, design_bounds) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (options.vertical_scroll_bar)
    style |= WS_VSCROLL;
  if (options.horizontal_scroll_bar)
    style |= WS_HSCROLL;
  if (!options.word_wrap)
    style |= ES_AUTOHSCROLL;
  CreateHandle(WC_EDITW, style, WS_EX_CLIENTEDGE, parent->Handle(), nullptr);
  // Without this a multi-line edit stops taking text at 32767 characters.
  ::SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
}

void Memo::Clear() {
  ::SetWindowTextW(Handle(), L"");
}

void Memo::AppendLine(std::string_view line) {
  std::wstring text;
  // The last line is empty exactly when the text is empty or ends with a line break.
  const auto last_line = static_cast<WPARAM>(::SendMessageW(Handle(), EM_GETLINECOUNT, 0, 0) - 1);
  const LRESULT last_start = ::SendMessageW(Handle(), EM_LINEINDEX, last_line, 0);
  if (::SendMessageW(Handle(), EM_LINELENGTH, static_cast<WPARAM>(last_start), 0) > 0)
    text = L"\r\n";
  text += Widen(line);
  text += L"\r\n";
  const auto end = static_cast<WPARAM>(::GetWindowTextLengthW(Handle()));
  ::SendMessageW(Handle(), EM_SETSEL, end, static_cast<LPARAM>(end));
  ::SendMessageW(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void Memo::AppendLines(std::string_view lines) {
  const std::wstring text = Widen(lines);
  const auto end = static_cast<WPARAM>(::GetWindowTextLengthW(Handle()));
  ::SendMessageW(Handle(), EM_SETSEL, end, static_cast<LPARAM>(end));
  ::SendMessageW(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void Memo::RecreateWindow() {
  HWND old = Handle();
  if (old == nullptr)
    return;
  const std::string text = Text();
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(old, GWL_STYLE));
  const auto ex_style = static_cast<DWORD>(::GetWindowLongPtrW(old, GWL_EXSTYLE));
  HWND parent = ::GetParent(old);
  HWND before = ::GetWindow(old, GW_HWNDPREV);
  ::DestroyWindow(old);
  CreateHandle(WC_EDITW, style, ex_style, parent, nullptr);
  ::SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
  // Back to its place in the tab order.
  ::SetWindowPos(Handle(), before != nullptr ? before : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ApplyDpi(Dpi());
  SetText(text);
}

void Memo::ColorsChanged() {
  own_colors_ = true;
  brush_.Reset();
  WinControl::ColorsChanged();
}

HBRUSH Memo::ControlBrush(HDC dc) {
  if (!own_colors_)
    return nullptr;
  const COLORREF color = ResolveControlColor(Color());
  if (brush_.Get() == nullptr)
    brush_.Reset(::CreateSolidBrush(color));
  ::SetBkColor(dc, color);
  ::SetTextColor(dc, ResolveControlColor(FontColor()));
  return brush_.Get();
}

// ---- ProgressBar

ProgressBar::ProgressBar(std::string name, WinControl* parent, Bounds design_bounds)
    : WinControl(std::move(name), parent, design_bounds) {
  CreateHandle(PROGRESS_CLASSW, WS_CHILD | WS_VISIBLE, 0, parent->Handle(), nullptr);
}

void ProgressBar::SetMinimum(int minimum) {
  ::SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(minimum), Maximum());
}

void ProgressBar::SetMaximum(int maximum) {
  ::SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(Minimum()), maximum);
}

void ProgressBar::SetPosition(int position) {
  ::SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int ProgressBar::Minimum() const {
  return static_cast<int>(::SendMessageW(Handle(), PBM_GETRANGE, TRUE, 0));
}

int ProgressBar::Maximum() const {
  return static_cast<int>(::SendMessageW(Handle(), PBM_GETRANGE, FALSE, 0));
}

int ProgressBar::Position() const {
  return static_cast<int>(::SendMessageW(Handle(), PBM_GETPOS, 0, 0));
}

}  // namespace kestrune::platform
