#include "skin/paint/skin_owner_win.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/own_messages_win.h"
#include "platform/win_util.h"
#include "skin/paint/bg_info.h"

namespace kestrune::skin {
namespace {

constexpr wchar_t kCommonDataProperty[] = L"ACSDATA";
constexpr UINT_PTR kSkinSubclassId = 0x4B53;

static_assert(wm::Move == WM_MOVE && wm::Size == WM_SIZE && wm::Paint == WM_PAINT &&
              wm::SetRedraw == WM_SETREDRAW && wm::WindowPosChanging == WM_WINDOWPOSCHANGING &&
              wm::Print == WM_PRINT && wm::PrintClient == WM_PRINTCLIENT &&
              wm::DpiChanged == WM_DPICHANGED && wm::NcPaint == WM_NCPAINT);
static_assert(RDWA_ALL == (RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE));
static_assert(RDWA_ALLNOW == (RDWA_ALL | RDW_UPDATENOW));

TRect ToTRect(const RECT& r) {
  return TRect{r.left, r.top, r.right, r.bottom};
}

bool IsChildWindow(HWND window) {
  return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0;
}

}  // namespace

TsCommonData* GetCommonData(HWND window) {
  return window != nullptr ? static_cast<TsCommonData*>(::GetPropW(window, kCommonDataProperty))
                           : nullptr;
}

TacMessage ReceivedMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  TacMessage m = MakeMessage(message, wparam, static_cast<std::intptr_t>(lparam));
  // Posted, or sent from another thread or process: a pointer in it is not ours. A click sent
  // from outside runs the whole extraction inside that send; the commands the program sends
  // meanwhile are still its own.
  m.Foreign = message == SM_ALPHACMD && !platform::IsOwnMessage(window, message, wparam, lparam);
  return m;
}

bool WndIsSkinned(HWND window) {
  if (window == nullptr || !::IsWindow(window))
    return false;
  if (GetCommonData(window) != nullptr)
    return true;
  DWORD_PTR answer = 0;
  ::SendMessageTimeoutW(window, SM_ALPHACMD, AC_CTRLHANDLED_HI, 0, SMTO_ABORTIFHUNG, 1000, &answer);
  return answer != 0;
}

WinSkinOwner::WinSkinOwner(platform::Control& control)
    : control_(&control),
      win_control_(dynamic_cast<platform::WinControl*>(&control)),
      graphic_(dynamic_cast<platform::GraphicControl*>(&control)) {}

WinSkinOwner::WinSkinOwner(HWND window) : window_(window) {}

WinSkinOwner::~WinSkinOwner() {
  Unbind();
}

HWND WinSkinOwner::Window() const {
  if (win_control_ != nullptr)
    return win_control_->Handle();
  return window_;
}

TacSkinOwner::Kind WinSkinOwner::OwnerKind() const {
  return control_ != nullptr ? Kind::Control : Kind::Other;
}

TacSkinOwner* WinSkinOwner::OwnerOf(platform::Control& control) const {
  if (auto* owner = static_cast<WinSkinOwner*>(control.SkinOwner()))
    return owner;
  for (const auto& relative : relatives_) {
    if (relative->control_ == &control)
      return relative.get();
  }
  relatives_.push_back(std::make_unique<WinSkinOwner>(control));
  return relatives_.back().get();
}

TacSkinOwner* WinSkinOwner::OwnerOf(HWND window) const {
  if (platform::WinControl* control = platform::WinControl::FromHandle(window))
    return OwnerOf(*control);
  if (TsCommonData* data = GetCommonData(window); data != nullptr && data->FOwnerObject != nullptr)
    return data->FOwnerObject;
  for (const auto& relative : relatives_) {
    if (relative->window_ == window)
      return relative.get();
  }
  relatives_.push_back(std::make_unique<WinSkinOwner>(window));
  return relatives_.back().get();
}

TacSkinOwner* WinSkinOwner::Parent() const {
  if (control_ != nullptr)
    return control_->Parent() != nullptr ? OwnerOf(*control_->Parent()) : nullptr;
  if (window_ == nullptr || !IsChildWindow(window_))
    return nullptr;
  HWND parent = ::GetParent(window_);
  return parent != nullptr ? OwnerOf(parent) : nullptr;
}

std::vector<TacSkinOwner*> WinSkinOwner::Children() const {
  std::vector<TacSkinOwner*> children;
  if (win_control_ != nullptr) {
    for (platform::Control* child : win_control_->Children())
      children.push_back(OwnerOf(*child));
    return children;
  }
  if (window_ != nullptr) {
    for (HWND child = ::GetWindow(window_, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT))
      children.push_back(OwnerOf(child));
  }
  return children;
}

std::string WinSkinOwner::ClassName() const {
  HWND window = Window();
  if (window == nullptr)
    return "TLABEL";
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return platform::Narrow(name);
}

bool WinSkinOwner::Loading() const {
  return control_ != nullptr && control_->Loading();
}

bool WinSkinOwner::Destroying() const {
  return control_ != nullptr && control_->Destroying();
}

bool WinSkinOwner::Enabled() const {
  if (control_ != nullptr)
    return control_->Enabled();
  return window_ != nullptr && ::IsWindowEnabled(window_) != FALSE;
}

bool WinSkinOwner::Visible() const {
  if (control_ != nullptr)
    return control_->Visible();
  return window_ != nullptr && (::GetWindowLongPtrW(window_, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool WinSkinOwner::Showing() const {
  if (graphic_ != nullptr)
    return graphic_->Visible() && ::IsWindowVisible(graphic_->Parent()->Handle()) != FALSE;
  HWND window = Window();
  return window != nullptr && ::IsWindowVisible(window) != FALSE;
}

bool WinSkinOwner::Focused() const {
  HWND window = Window();
  return window != nullptr && ::GetFocus() == window;
}

TColor WinSkinOwner::Color() const {
  if (control_ != nullptr)
    return control_->Color();
  return static_cast<TColor>(platform::kSystemColor | COLOR_BTNFACE);
}

void WinSkinOwner::SetColor(TColor color) {
  if (control_ != nullptr)
    control_->SetColor(color);
}

TColor WinSkinOwner::FontColor() const {
  if (control_ != nullptr)
    return control_->FontColor();
  return static_cast<TColor>(platform::kSystemColor | COLOR_WINDOWTEXT);
}

void WinSkinOwner::SetFontColor(TColor color) {
  if (control_ != nullptr)
    control_->SetFontColor(color);
}

TRect WinSkinOwner::BoundsRect() const {
  if (control_ != nullptr)
    return ToTRect(control_->BoundsRect());
  RECT r{};
  if (window_ == nullptr)
    return {};
  ::GetWindowRect(window_, &r);
  if (IsChildWindow(window_))
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window_), reinterpret_cast<POINT*>(&r), 2);
  return ToTRect(r);
}

TPoint WinSkinOwner::ClientOffset() const {
  HWND window = Window();
  if (window == nullptr)
    return {};
  RECT frame{};
  ::GetWindowRect(window, &frame);
  POINT client{0, 0};
  ::ClientToScreen(window, &client);
  return TPoint{client.x - frame.left, client.y - frame.top};
}

int WinSkinOwner::PPI() const {
  HWND window = Window();
  if (window == nullptr && graphic_ != nullptr)
    window = graphic_->Parent()->Handle();
  return window != nullptr ? static_cast<int>(::GetDpiForWindow(window)) : 96;
}

bool WinSkinOwner::MouseInControl() const {
  HWND window = Window();
  if (window == nullptr)
    return false;
  POINT cursor{};
  if (!::GetCursorPos(&cursor))
    return false;
  RECT frame{};
  ::GetWindowRect(window, &frame);
  if (!::PtInRect(&frame, cursor))
    return false;
  HWND under = ::WindowFromPoint(cursor);
  return under == window || ::IsChild(window, under) != FALSE;
}

bool WinSkinOwner::MouseCaptured() const {
  return ::GetCapture() != nullptr;
}

bool WinSkinOwner::LeftButtonDown() const {
  return (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0 && MouseInControl();
}

TRect WinSkinOwner::VisibleScreenRect() const {
  HWND window = Window();
  if (window == nullptr)
    return {};
  RECT frame{};
  ::GetWindowRect(window, &frame);
  platform::WindowDc dc(window);
  RECT clip{};
  if (::GetClipBox(dc.Get(), &clip) == NULLREGION)
    return {};
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  ::OffsetRect(&clip, origin.x, origin.y);
  RECT visible{};
  ::IntersectRect(&visible, &frame, &clip);
  return ToTRect(visible);
}

TacWindow WinSkinOwner::ParentForm() const {
  HWND window = Window();
  if (window == nullptr && graphic_ != nullptr)
    window = graphic_->Parent()->Handle();
  return window != nullptr ? ::GetAncestor(window, GA_ROOT) : nullptr;
}

std::intptr_t WinSkinOwner::Send(std::uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam) {
  if (HWND window = Window()) {
    return platform::SendOwnMessage(window, msg, wparam, static_cast<LPARAM>(lparam));
  }
  // A graphic control: the message is performed on the object itself.
  if (data_ == nullptr)
    return 0;
  TacMessage message = MakeMessage(msg, wparam, lparam);
  if (on_message && on_message(message))
    return message.Result;
  data_->CommonWndProc(message);
  return message.Result;
}

void WinSkinOwner::Redraw(std::uint32_t flags) {
  if (HWND window = Window()) {
    ::RedrawWindow(window, nullptr, nullptr, flags);
    return;
  }
  if (graphic_ != nullptr)
    graphic_->Parent()->InvalidateArea(graphic_->Area());
}

void WinSkinOwner::Repaint() {
  if (HWND window = Window()) {
    ::InvalidateRect(window, nullptr, TRUE);
    ::UpdateWindow(window);
    return;
  }
  if (graphic_ != nullptr) {
    graphic_->Parent()->InvalidateArea(graphic_->Area());
    ::UpdateWindow(graphic_->Parent()->Handle());
  }
}

void WinSkinOwner::FrameChanged() {
  if (HWND window = Window())
    ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWPA_FRAMECHANGED);
}

// The skin's background is painted for this window alone: the window class (and so every other
// window of it) keeps its own brush.
void WinSkinOwner::SetBackgroundBrush(TColor color) {
  if (brush_.Get() != nullptr && brush_color_ == color)
    return;
  brush_.Reset(::CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(color)) & 0xFFFFFFu));
  brush_color_ = color;
}

void WinSkinOwner::RestoreBackgroundBrush() {
  brush_.Reset();
  brush_color_ = clNone;
}

void WinSkinOwner::SetCommonProp(TsCommonData* data) {
  data_ = data;
  if (control_ != nullptr)
    control_->SetSkinOwner(this);
  HWND window = Window();
  if (window == nullptr)
    return;
  procedure_.Set(window, kCommonDataProperty, data, &WinSkinOwner::SubclassProc, kSkinSubclassId,
                 reinterpret_cast<DWORD_PTR>(this));
}

void WinSkinOwner::RemoveCommonProp() {
  Unbind();
}

void WinSkinOwner::Unbind() {
  procedure_.Reset();
  if (control_ != nullptr && control_->SkinOwner() == this)
    control_->SetSkinOwner(nullptr);
  data_ = nullptr;
  brush_.Reset();
}

void WinSkinOwner::PaintInto(TacDC dc, TPoint offset, TRect clip) {
  auto* target = static_cast<HDC>(dc);
  HWND window = Window();
  if (target == nullptr || window == nullptr)
    return;
  const int saved = ::SaveDC(target);
  POINT origin{};
  ::GetViewportOrgEx(target, &origin);
  ::SetViewportOrgEx(target, origin.x - offset.X, origin.y - offset.Y, nullptr);
  ::IntersectClipRect(target, clip.Left, clip.Top, clip.Right, clip.Bottom);
  // WM_PAINT would paint the screen through BeginPaint and validate it, leaving the DC empty.
  ::SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target), 0);
  ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target),
                 PRF_ERASEBKGND | PRF_CLIENT);
  ::RestoreDC(target, saved);
}

LRESULT CALLBACK WinSkinOwner::SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                            UINT_PTR /*id*/, DWORD_PTR ref) {
  auto* owner = reinterpret_cast<WinSkinOwner*>(ref);
  try {
    return owner->Process(window, message, wparam, lparam);
  } catch (...) {
    // Painting and message handling never raise; the message still reaches the window.
    return ::DefSubclassProc(window, message, wparam, lparam);
  }
}

LRESULT WinSkinOwner::Process(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCDESTROY:
      procedure_.Reset();
      return ::DefSubclassProc(window, message, wparam, lparam);
    case WM_ERASEBKGND:
      if (brush_.Get() != nullptr && wparam != 0) {
        RECT client{};
        ::GetClientRect(window, &client);
        ::FillRect(reinterpret_cast<HDC>(wparam), &client, brush_.Get());
        return 1;
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      // A skinned child's colours, answered by its parent as the system asks.
      TsCommonData* child = GetCommonData(reinterpret_cast<HWND>(lparam));
      auto* child_owner =
          child != nullptr ? dynamic_cast<WinSkinOwner*>(child->FOwnerObject) : nullptr;
      if (child_owner != nullptr && child_owner->BackgroundBrush() != nullptr) {
        auto* dc = reinterpret_cast<HDC>(wparam);
        ::SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(child_owner->Color())) & 0xFFFFFFu);
        ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(child_owner->FontColor())) & 0xFFFFFFu);
        return reinterpret_cast<LRESULT>(child_owner->BackgroundBrush());
      }
      break;
    }
    default:
      break;
  }
  TacMessage m = ReceivedMessage(window, message, wparam, lparam);
  if (on_message && on_message(m))
    return m.Result;
  if (data_ != nullptr && data_->CommonWndProc(m))
    return m.Result;
  return ::DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace kestrune::skin
