#include "skin/controls/skin_provider_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/error.h"
#include "platform/gdi_win.h"
#include "platform/own_messages_win.h"
#include "platform/win_util.h"
#include "skin/controls/caption_glyphs.h"
#include "skin/controls/form_transitions_win.h"
#include "skin/data/skin_commands.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/bg_info.h"
#include "skin/paint/item_paint.h"
#include "skin/paint/masked_copy.h"
#include "skin/paint/skin_owner_win.h"
#include "skin/paint/skin_text_win.h"
#include "skin/pixels/bitmap_win.h"

namespace kestrune::skin {
namespace {

constexpr UINT_PTR kProviderSubclassId = 0x4B50;
constexpr wchar_t kCommonDataProperty[] = L"ACSDATA";

RECT ToRect(const TRect& r) {
  return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

TRect ToTRect(const RECT& r) {
  return TRect{r.left, r.top, r.right, r.bottom};
}

SIZE WindowSize(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// The client rectangle in window coordinates.
RECT ClientInWindow(HWND window) {
  RECT frame{};
  ::GetWindowRect(window, &frame);
  RECT client{};
  ::GetClientRect(window, &client);
  ::MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  ::OffsetRect(&client, -frame.left, -frame.top);
  return client;
}

int SystemMetric(int index, int dpi) {
  using ForDpi = int(WINAPI*)(int, UINT);
  static const auto for_dpi = reinterpret_cast<ForDpi>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
  return for_dpi != nullptr ? for_dpi(index, static_cast<UINT>(dpi)) : ::GetSystemMetrics(index);
}

// The skin-owner view of the provider's form.
class ProviderOwner final : public TacSkinOwner {
 public:
  explicit ProviderOwner(platform::Form& form) : form_(form) {}

  [[nodiscard]] Kind OwnerKind() const override { return Kind::Provider; }
  [[nodiscard]] bool Windowed() const override { return true; }
  [[nodiscard]] TacWindow Handle() const override { return form_.Handle(); }
  [[nodiscard]] TacSkinOwner* Parent() const override { return nullptr; }
  [[nodiscard]] std::vector<TacSkinOwner*> Children() const override {
    std::vector<TacSkinOwner*> children;
    for (platform::Control* child : form_.Children()) {
      if (auto* owner = static_cast<WinSkinOwner*>(child->SkinOwner())) {
        children.push_back(owner);
        continue;
      }
      auto found = std::find_if(adapters_.begin(), adapters_.end(),
                                [child](const auto& a) { return a.first == child; });
      if (found == adapters_.end()) {
        adapters_.emplace_back(child, std::make_unique<WinSkinOwner>(*child));
        found = std::prev(adapters_.end());
      }
      children.push_back(found->second.get());
    }
    return children;
  }
  [[nodiscard]] std::string ClassName() const override {
    wchar_t name[256] = {};
    ::GetClassNameW(form_.Handle(), name, 256);
    return platform::Narrow(name);
  }
  [[nodiscard]] bool Loading() const override { return form_.Loading(); }
  [[nodiscard]] bool Destroying() const override { return form_.Destroying(); }
  [[nodiscard]] bool Enabled() const override { return form_.Enabled(); }
  [[nodiscard]] bool Visible() const override { return form_.Visible(); }
  [[nodiscard]] bool Showing() const override { return ::IsWindowVisible(form_.Handle()) != FALSE; }
  [[nodiscard]] TColor Color() const override { return form_.Color(); }
  void SetColor(TColor color) override { form_.SetColor(color); }
  [[nodiscard]] TColor FontColor() const override { return form_.FontColor(); }
  void SetFontColor(TColor color) override { form_.SetFontColor(color); }
  [[nodiscard]] TRect BoundsRect() const override {
    RECT r{};
    ::GetWindowRect(form_.Handle(), &r);
    return ToTRect(r);
  }
  [[nodiscard]] TPoint ClientOffset() const override {
    const RECT client = ClientInWindow(form_.Handle());
    return TPoint{client.left, client.top};
  }
  [[nodiscard]] int PPI() const override {
    return static_cast<int>(::GetDpiForWindow(form_.Handle()));
  }
  std::intptr_t Send(std::uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam) override {
    return platform::SendOwnMessage(form_.Handle(), msg, wparam, lparam);
  }
  void Redraw(std::uint32_t flags) override {
    ::RedrawWindow(form_.Handle(), nullptr, nullptr, flags);
  }
  void SetCommonProp(TsCommonData* data) override {
    property_.Set(form_.Handle(), kCommonDataProperty, data);
  }
  void RemoveCommonProp() override { property_.Reset(); }

 private:
  platform::Form& form_;
  platform::WindowProperty property_;
  mutable std::vector<std::pair<platform::Control*, std::unique_ptr<WinSkinOwner>>> adapters_;
};

}  // namespace

// ---- What the transitions see of the provider.

class TsSkinProvider::TransitionHost final : public TacTransitionHost {
 public:
  explicit TransitionHost(TsSkinProvider& provider) : p_(provider) {}

  [[nodiscard]] HWND Window() const override { return p_.form_.Handle(); }
  [[nodiscard]] std::string FormName() const override { return p_.form_.Name(); }
  [[nodiscard]] const Bitmap* CurrentBitmap() const override {
    const Bitmap& bmp = p_.WindowBitmap();
    return bmp.Empty() ? nullptr : &bmp;
  }
  const Bitmap* FreshBitmap() override {
    if (p_.common_data_->BGChanged || p_.WindowBitmap().Empty())
      p_.PaintAll();
    return CurrentBitmap();
  }
  [[nodiscard]] bool FormActive() const override { return p_.form_active_; }
  void SetFormActive(bool active) override {
    if (active == p_.form_active_)
      return;
    p_.form_active_ = active;
    TacSkinData* sd = p_.common_data_->GetCommonSkinData();
    if (sd == nullptr ||
        ActivationChangesLook(*sd, p_.common_data_->SkinIndex, p_.Layout().HeaderHeight > 0))
      p_.common_data_->BGChanged = true;
  }
  void MarkStale() override { p_.common_data_->BGChanged = true; }
  LRESULT CallDefault(UINT message, WPARAM wparam, LPARAM lparam) override {
    return p_.CallOld(message, wparam, lparam);
  }
  void RepaintFrame() override { p_.PaintFrameNow(); }
  void ForgetMenuRows() override { p_.lines_count_ = -1; }
  [[nodiscard]] bool Initialised() const override { return !p_.WindowBitmap().Empty(); }
  [[nodiscard]] bool NcPaintAllowed() const override {
    return p_.manager_ == nullptr || p_.manager_->Options.DrawNonClientArea;
  }
  [[nodiscard]] bool PopupOpen() const override { return false; }  // no such drop-downs here
  [[nodiscard]] bool SizeSettled() const override {
    const SIZE size = WindowSize(p_.form_.Handle());
    return size.cx == p_.recorded_size_.cx && size.cy == p_.recorded_size_.cy;
  }
  // The provider keeps no glow of the caption of its own.
  void DropGlowCaches() override {}
  [[nodiscard]] bool ManagerAllowsAnimation() const override {
    return p_.manager_ == nullptr || p_.manager_->Effects.AllowAnimation;
  }
  [[nodiscard]] TacAnimEffects AnimEffects() const override {
    return p_.manager_ != nullptr ? p_.manager_->AnimEffects : TacAnimEffects{};
  }
  void BackgroundReady() override {
    for (TacSkinOwner* child : p_.owner_->Children())
      child->Send(SM_ALPHACMD, MakeCommandParam(AC_SETBGCHANGED, 1), 0);
  }

 private:
  TsSkinProvider& p_;
};

// ---- Creation and attachment.

TsSkinProvider::TsSkinProvider(platform::Form& form, TsSkinManager* manager)
    : form_(form), manager_(manager != nullptr ? manager : DefaultManager()) {
  HWND window = form_.Handle();
  if (window == nullptr ||
      ::SendMessageW(window, SM_ALPHACMD, MakeCommandParam(AC_GETPROVIDER), 0) != 0) {
    inert_ = true;
    return;
  }
  owner_ = std::make_unique<ProviderOwner>(form_);
  common_data_ = std::make_unique<TsCommonData>(owner_.get(), true);
  common_data_->COC = COC_TsSkinProvider;
  common_data_->FSkinManager = manager;
  common_data_->SetSkinSection("FORM");
  recorded_size_ = WindowSize(window);
  if (!subclass_.Set(window, SubclassProc, kProviderSubclassId,
                     reinterpret_cast<DWORD_PTR>(this))) {
    inert_ = true;
    return;
  }
  transition_host_ = std::make_unique<TransitionHost>(*this);
  transitions_ = std::make_unique<TacFormTransitions>(*transition_host_);
}

TsSkinProvider::~TsSkinProvider() {
  transitions_.reset();
  if (subclass_.Window() == nullptr)
    return;
  const bool was_skinned = Skinned();
  UpdateAdapter(false);
  HWND window = subclass_.Window();
  Detach();
  if (was_skinned && !form_.Destroying() && ::IsWindow(window)) {
    ::SetWindowRgn(window, nullptr, FALSE);
    ::RedrawWindow(window, nullptr, nullptr, RDWA_ALL);
  }
}

std::unique_ptr<TsSkinProvider> TsSkinProvider::Create(
    platform::Form& form, const platform::ComponentDescription& description, TsSkinManager* manager,
    const std::function<void(std::string_view)>& warn) {
  if (description.parent != form.Name()) {
    if (warn)
      warn(kProviderFormsOnly);
    return nullptr;
  }
  const std::string section = description.TextOr("skin_section", "FORM");
  auto provider = std::make_unique<TsSkinProvider>(form, manager);
  if (provider->Inert())
    return provider;
  if (section != "FORM")
    provider->common_data_->SetSkinSection(section);
  provider->Loaded();
  return provider;
}

void TsSkinProvider::Detach() {
  if (subclass_.Window() == nullptr)
    return;
  // The procedure before the property that leads to the skin state it uses.
  subclass_.Reset();
  if (common_data_)
    common_data_->RemoveCommonProp();
}

void TsSkinProvider::Loaded() {
  if (inert_)
    return;
  common_data_->Loaded(false);
  LoadInit();
}

void TsSkinProvider::LoadInit() {
  if (inert_ || manager_ == nullptr || !manager_->IsActive())
    return;
  PrepareForm();
  UpdateAdapter(true);
}

void TsSkinProvider::PrepareForm() {
  if (inert_ || form_.Handle() == nullptr || manager_ == nullptr || !manager_->IsActive())
    return;
  common_data_->FCommonSkinData = nullptr;
  common_data_->UpdateIndexes(true);
  InitIndexes();
  UpdateIconsIndexes();
  lines_count_ = -1;
  rgn_changed_ = true;
  common_data_->BGChanged = true;
  prepared_ = common_data_->SkinIndex >= 0;
}

void TsSkinProvider::InitIndexes() {
  title_skin_index_ = caption_skin_index_ = header_index_ = menu_line_index_ = -1;
  TacSkinData* sd = common_data_->GetCommonSkinData();
  if (sd == nullptr)
    return;
  title_skin_index_ = sd->GetSkinIndex("FORMTITLE");
  caption_skin_index_ = sd->GetSkinIndex("CAPTION");
  header_index_ = sd->GetSkinIndex("FORMHEADER");
  menu_line_index_ = sd->GetSkinIndex("MENULINE");
}

void TsSkinProvider::UpdateIconsIndexes() {
  skin::UpdateIconsIndexes(FrameInput().Form, buttons_);
}

bool TsSkinProvider::Skinned() const {
  return !inert_ && prepared_ && subclass_.Window() != nullptr && manager_ != nullptr &&
         manager_->IsActive() && common_data_->SkinIndex >= 0 && !form_.Destroying();
}

const Bitmap& TsSkinProvider::WindowBitmap() const {
  static const Bitmap empty;
  return common_data_ && common_data_->FCacheBmp ? *common_data_->FCacheBmp : empty;
}

// ---- Metrics of the live window.

int TsSkinProvider::GetLinesCount() {
  if (lines_count_ >= 0)
    return lines_count_;
  HWND window = form_.Handle();
  HMENU menu = form_.MenuBar();
  if (menu == nullptr || ::GetMenuItemCount(menu) <= 0 || ::IsIconic(window)) {
    lines_count_ = 0;
    return 0;
  }
  RECT item{};
  if (!::GetMenuItemRect(window, menu, 0, &item))
    return 1;  // not laid out yet; asked again next time
  POINT client{0, 0};
  ::ClientToScreen(window, &client);
  const int dpi = static_cast<int>(::GetDpiForWindow(window));
  const int row = std::max(1, SystemMetric(SM_CYMENU, dpi) - 2);
  lines_count_ = item.bottom >= client.y ? 1 : (client.y - item.bottom) / row + 1;
  return lines_count_;
}

TacFrameInput TsSkinProvider::FrameInput() const {
  TacFrameInput in;
  HWND window = form_.Handle();
  const int dpi = window != nullptr ? static_cast<int>(::GetDpiForWindow(window)) : 96;
  in.Sys.Dpi = dpi;
  in.Sys.CxFrame = SystemMetric(SM_CXFRAME, dpi);
  in.Sys.CxFixedFrame = SystemMetric(SM_CXFIXEDFRAME, dpi);
  in.Sys.CxPaddedBorder = SystemMetric(SM_CXPADDEDBORDER, dpi);
  in.Sys.CyCaption = SystemMetric(SM_CYCAPTION, dpi);
  in.Sys.CySmCaption = SystemMetric(SM_CYSMCAPTION, dpi);
  in.Sys.CyMenu = SystemMetric(SM_CYMENU, dpi);
  in.Sys.OSMajor = LOBYTE(LOWORD(::GetVersion()));

  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  const auto ex_style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
  TacFormFrame& f = in.Form;
  f.ThickFrame = (style & WS_THICKFRAME) != 0;
  f.BorderBit = (style & WS_BORDER) != 0;
  f.CaptionStyle = (style & WS_CAPTION) == WS_CAPTION;
  if ((ex_style & WS_EX_TOOLWINDOW) != 0)
    f.BorderStyle = f.ThickFrame ? bsSizeToolWin : bsToolWindow;
  else if (f.ThickFrame)
    f.BorderStyle = bsSizeable;
  else if ((ex_style & WS_EX_DLGMODALFRAME) != 0)
    f.BorderStyle = bsDialog;
  else if ((style & (WS_CAPTION | WS_BORDER | WS_DLGFRAME)) == 0)
    f.BorderStyle = bsNone;
  else
    f.BorderStyle = bsSingle;
  RECT frame{};
  ::GetWindowRect(window, &frame);
  RECT client{};
  ::GetClientRect(window, &client);
  f.Width = frame.right - frame.left;
  f.Height = frame.bottom - frame.top;
  f.ClientWidth = client.right;
  f.ClientHeight = client.bottom;
  f.Minimized = ::IsIconic(window) != FALSE;
  f.Maximized = ::IsZoomed(window) != FALSE;
  f.MainForm = ::GetWindow(window, GW_OWNER) == nullptr;
  f.SystemMenu = (style & WS_SYSMENU) != 0;
  f.VisibleMin = f.SystemMenu && (style & WS_MINIMIZEBOX) != 0;
  f.VisibleMax = f.SystemMenu && (style & WS_MAXIMIZEBOX) != 0;
  f.ShowHelp =
      f.SystemMenu && (ex_style & WS_EX_CONTEXTHELP) != 0 && !f.VisibleMin && !f.VisibleMax;
  HMENU menu = form_.MenuBar();
  f.MenuBarVisible = menu != nullptr && ::GetMenuItemCount(menu) > 0 && f.BorderStyle != bsDialog;
  f.MenuLines = f.MenuBarVisible ? const_cast<TsSkinProvider*>(this)->GetLinesCount() : 0;

  if (common_data_ != nullptr) {
    if (TacSkinData* sd = common_data_->GetCommonSkinData()) {
      const int valign = manager_ != nullptr ? manager_->SkinCommonInfo.BIVAlign : 0;
      in.Skin = TitleSkinOf(*sd, valign, caption_skin_index_ >= 0);
    }
  }
  return in;
}

TacFrameMetrics TsSkinProvider::Metrics() const {
  return TacFrameMetrics(FrameInput());
}

// ---- Painting the window bitmap.

void TsSkinProvider::PaintAll() {
  if (!Skinned())
    return;
  TacSkinData* sd = common_data_->GetCommonSkinData();
  if (sd == nullptr || common_data_->SkinIndex < 0 ||
      static_cast<std::size_t>(common_data_->SkinIndex) >= sd->gd.size())
    return;
  const TacFrameMetrics metrics = Metrics();
  const TacFrameInput& in = metrics.Input();
  const int width = metrics.CaptionWidth();
  const int height = in.Form.Height;
  if (width <= 0 || height <= 0)
    return;
  try {
    auto& bmp = common_data_->FCacheBmp;
    if (!bmp)
      bmp = std::make_unique<Bitmap>();
    if (bmp->Width() != width || bmp->Height() != height || BitmapDC(*bmp) == nullptr)
      *bmp = CreateBmp32(width, height);
    if (bmp->Empty())
      return;

    layout_ = metrics.CalcItems(buttons_);
    const TsGeneralData& gd = sd->gd[static_cast<std::size_t>(common_data_->SkinIndex)];
    const int state = SectionState(gd, form_active_ ? 1 : 0);
    // Pixels the window region leaves as partly visible at the corners fade into a dark edge.
    TCacheInfo ci;
    ci.FillColor = clBlack;
    PaintItem(common_data_->SkinIndex, ci, state, TRect{0, 0, width, height}, TPoint{}, *bmp, *sd,
              metrics.CornerRadius(gd.BorderRadius));
    PaintTitle(*sd, width);
    PaintMenuBand(*sd, metrics, width);
    PaintText(*sd);
    if (layout_.HeaderHeight > 0) {
      SaveBGForBtns(metrics, width);
      PaintButtons(*sd);
    }
    common_data_->BGChanged = false;
  } catch (const std::exception&) {
    // Painting never throws: a bitmap that cannot be had leaves the frame as it was.
  }
}

void TsSkinProvider::PaintTitle(const TacSkinData& sd, int width) {
  Bitmap& bmp = *common_data_->FCacheBmp;
  if (title_skin_index_ >= 0 && layout_.HeaderHeight > 0) {
    const TsGeneralData& title = sd.gd[static_cast<std::size_t>(title_skin_index_)];
    const int state = SectionState(title, form_active_ ? 1 : 0);
    const TRect r{0, 0, width, std::min(layout_.HeaderHeight, bmp.Height())};
    // The title lies over the form's own pixels, which its rounded corners show through.
    Bitmap behind = CreateBmp32(r.Width(), r.Height());
    CopyPixels(behind, TPoint{}, bmp, r);
    PaintItem(title_skin_index_, MakeCacheInfo(behind), state, r, TPoint{}, bmp, sd);
  }
  DrawAppIcon();
}

void TsSkinProvider::PaintMenuBand(const TacSkinData& sd, const TacFrameMetrics& metrics,
                                   int width) {
  menu_line_bmp_ = Bitmap();
  const int rows = metrics.Input().Form.MenuLines;
  const int menu_height = metrics.MenuHeight();
  if (!metrics.Input().Form.MenuBarVisible || rows <= 0 || menu_height <= 0)
    return;
  Bitmap& bmp = *common_data_->FCacheBmp;
  // The band ends where the client area begins, whatever the system's own frame metrics say.
  const RECT client = ClientInWindow(form_.Handle());
  const int bottom = std::min<int>(client.top, bmp.Height());
  const int top = std::max(0, bottom - rows * menu_height - 1);
  menu_line_top_ = top;
  const TRect band{0, top, width, bottom};
  if (band.IsEmpty())
    return;
  if (menu_line_index_ >= 0) {
    Bitmap behind = CreateBmp32(band.Width(), band.Height());
    CopyPixels(behind, TPoint{}, bmp, band);
    PaintItem(menu_line_index_, MakeCacheInfo(behind), 0, band, TPoint{}, bmp, sd);
  }
  menu_line_bmp_ = CreateBmp32(band.Width(), band.Height());
  CopyPixels(menu_line_bmp_, TPoint{}, bmp, band);

  HWND window = form_.Handle();
  HMENU menu = form_.MenuBar();
  RECT frame{};
  ::GetWindowRect(window, &frame);
  HDC dc = BitmapDC(bmp);
  if (dc == nullptr)
    return;
  const int count = ::GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info))
      continue;
    platform::MenuItem* item = form_.MenuItemById(info.wID);
    RECT r{};
    if (item == nullptr || !::GetMenuItemRect(window, menu, static_cast<UINT>(position), &r))
      continue;
    ::OffsetRect(&r, -frame.left, -frame.top);
    if (item->on_advanced_draw_item) {
      item->on_advanced_draw_item(dc, r, kMenuBandItemState);
      continue;
    }
    // No skinned drawing installed: the caption alone, in the band's text colour.
    const TsGeneralData* line =
        menu_line_index_ >= 0 ? &sd.gd[static_cast<std::size_t>(menu_line_index_)] : nullptr;
    const TColor color = line != nullptr
                             ? line->Props[0].FontColor.Color
                             : (manager_ != nullptr ? manager_->GetGlobalFontColor() : clWhite);
    UpdateFonts();
    const HGDIOBJ old_font = ::SelectObject(dc, menu_font_.Get());
    WriteText32(bmp, platform::Widen(item->Caption()), r,
                DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_HIDEPREFIX, color);
    ::SelectObject(dc, old_font);
  }
}

void TsSkinProvider::PaintText(const TacSkinData& sd) {
  const int section = caption_skin_index_ >= 0 ? caption_skin_index_ : title_skin_index_;
  if (section < 0 || layout_.HeaderHeight <= 0)
    return;
  Bitmap& bmp = *common_data_->FCacheBmp;
  HDC dc = BitmapDC(bmp);
  if (dc == nullptr)
    return;
  const std::wstring text = platform::Widen(form_.Text());
  if (text.empty())
    return;
  UpdateFonts();
  const HGDIOBJ old_font = ::SelectObject(dc, caption_font_.Get());
  RECT measure{0, 0, 0, 0};
  acDrawText(dc, text, measure, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  const TRect tr = CaptionTextRect(layout_, measure.bottom - measure.top);
  TsTextStyle style;
  style.Section = &sd.gd[static_cast<std::size_t>(section)];
  style.Hot = form_active_ ? 1 : 0;
  style.Cache = &bmp;
  style.GlobalColor = manager_ != nullptr ? manager_->GetGlobalColor() : clBtnFace;
  WriteTextEx(dc, text, true, ToRect(tr),
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | DT_ALPHATEXT, style);
  ::SelectObject(dc, old_font);
}

void TsSkinProvider::UpdateFonts() {
  const UINT dpi = ::GetDpiForWindow(form_.Handle());
  if (dpi == font_dpi_ && caption_font_.Get() != nullptr && menu_font_.Get() != nullptr)
    return;
  NONCLIENTMETRICSW metrics_info{};
  metrics_info.cbSize = sizeof metrics_info;
  ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics_info, &metrics_info, 0, dpi);
  // The system's caption font at the skin's height, in the skin's face when the manager says so.
  LOGFONTW font_info = metrics_info.lfCaptionFont;
  font_info.lfHeight = ::MulDiv(-13, static_cast<int>(dpi), 96);
  font_info.lfWeight = FW_NORMAL;
  if (manager_ != nullptr && manager_->Fonts().MainMode != fmDefault) {
    const std::string& face = manager_->Fonts().MainMode == fmFromSkin
                                  ? manager_->SkinCommonInfo.MainFont
                                  : manager_->Fonts().MainFont;
    if (!face.empty())
      ::lstrcpynW(font_info.lfFaceName, platform::Widen(face).c_str(), LF_FACESIZE);
  }
  caption_font_ = platform::UniqueFont(::CreateFontIndirectW(&font_info));
  menu_font_ = platform::UniqueFont(::CreateFontIndirectW(&metrics_info.lfMenuFont));
  font_dpi_ = dpi;
}

void TsSkinProvider::DrawAppIcon() {
  const TRect r = layout_.IconRect;
  if (r.IsEmpty())
    return;
  HWND window = form_.Handle();
  const bool big = r.Height() > 16;
  auto icon =
      reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, big ? ICON_BIG : ICON_SMALL2, 0));
  if (icon == nullptr)
    icon = reinterpret_cast<HICON>(::GetClassLongPtrW(window, big ? GCLP_HICON : GCLP_HICONSM));
  if (icon == nullptr)
    icon = reinterpret_cast<HICON>(::GetClassLongPtrW(window, GCLP_HICON));
  if (icon == nullptr)
    icon = ::LoadIconW(nullptr, IDI_APPLICATION);
  Bitmap& bmp = *common_data_->FCacheBmp;
  TRect clipped = r;
  if (!ClipToBitmap(bmp, clipped))
    return;
  Bitmap before = CreateBmp32(clipped.Width(), clipped.Height());
  CopyPixels(before, TPoint{}, bmp, clipped);
  ::DrawIconEx(BitmapDC(bmp), r.Left, r.Top, icon, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
  ::GdiFlush();
  // Every pixel the icon changed becomes opaque.
  for (int y = 0; y < clipped.Height(); ++y) {
    std::uint32_t* row = bmp.Row32(clipped.Top + y) + clipped.Left;
    const std::uint32_t* old_row = before.Row32(y);
    for (int x = 0; x < clipped.Width(); ++x) {
      if (row[x] != old_row[x])
        row[x] |= 0xFF000000u;
    }
  }
}

void TsSkinProvider::SaveBGForBtns(const TacFrameMetrics& metrics, int width) {
  Bitmap& bmp = *common_data_->FCacheBmp;
  const int strip_width =
      std::min(width, metrics.SysBorderWidth() + metrics.TitleBtnsWidth(layout_.Buttons) + 10);
  // Down to the buttons' bottom at least: where the system's frame is thinner than the skin's
  // metrics say (Wine off 96 dots per inch), the buttons reach below the title's metric height,
  // and a button repainted from a shorter strip would keep the bottom rows of its last look.
  int bottom = metrics.SysBorderHeight() + metrics.CaptionHeight();
  const TacCaptionButtons& b = layout_.Buttons;
  for (const TsCaptionButton* button : {&b.Close, &b.Max, &b.Min, &b.Help}) {
    if (button->Present())
      bottom = std::max(bottom, button->cpRect.Bottom);
  }
  const int strip_height = std::min(bmp.Height(), bottom);
  if (strip_width <= 0 || strip_height <= 0) {
    temp_bmp_ = Bitmap();
    return;
  }
  const int left = std::max(0, width - 1 - strip_width);
  temp_bmp_ = CreateBmp32(strip_width, strip_height);
  CopyPixels(temp_bmp_, TPoint{}, bmp, TRect{left, 0, left + strip_width, strip_height});
}

void TsSkinProvider::PaintButtons(const TacSkinData& sd) {
  const bool form_enabled = ::IsWindowEnabled(form_.Handle()) != FALSE;
  HMENU system_menu = ::GetSystemMenu(form_.Handle(), FALSE);
  const auto enabled = [&](UINT command) {
    if (!form_enabled)
      return false;
    if (system_menu == nullptr)
      return true;
    const UINT state = ::GetMenuState(system_menu, command, MF_BYCOMMAND);
    return state == static_cast<UINT>(-1) || (state & (MF_GRAYED | MF_DISABLED)) == 0;
  };
  const TacCaptionButtons& b = layout_.Buttons;
  if (b.Close.Present())
    PaintButton(b.Close, enabled(SC_CLOSE), sd);
  if (b.Max.Present())
    PaintButton(b.Max, enabled(::IsZoomed(form_.Handle()) ? SC_RESTORE : SC_MAXIMIZE), sd);
  if (b.Min.Present())
    PaintButton(b.Min, enabled(SC_MINIMIZE), sd);
  if (b.Help.Present())
    PaintButton(b.Help, form_enabled, sd);
}

void TsSkinProvider::PaintButton(const TsCaptionButton& button, bool enabled,
                                 const TacSkinData& sd) {
  PaintButton(button, enabled, sd, *common_data_->FCacheBmp,
              TPoint{button.cpRect.Left, button.cpRect.Top});
}

void TsSkinProvider::PaintButton(const TsCaptionButton& button, bool enabled, const TacSkinData& sd,
                                 Bitmap& target, TPoint at) {
  if (button.cpGlyphType >= tgNone)
    return;
  TsCaptionLook look;
  // A fading button shows its normal look under the fade window.
  look.State = button.cpTimer != nullptr ? 0 : std::max(button.cpState, 0);
  look.Faded = (look.State == 0 && !form_active_) || !enabled;
  const int section = caption_skin_index_ >= 0 ? caption_skin_index_ : title_skin_index_;
  if (section >= 0) {
    const TsGeneralData& gd = sd.gd[static_cast<std::size_t>(section)];
    const TsGenState& props =
        gd.Props[static_cast<std::size_t>(SectionState(gd, form_active_ ? 1 : 0))];
    look.Text = props.FontColor.Color;
    look.Background = props.Color;
  }
  PaintCaptionGlyph(target,
                    TRect{at.X, at.Y, at.X + button.cpRect.Width(), at.Y + button.cpRect.Height()},
                    button.cpGlyphType, look, sd);
}

// ---- The window region.

void TsSkinProvider::FillArOR() {
  rects_.clear();
  TacSkinData* sd = common_data_->GetCommonSkinData();
  if (sd == nullptr || common_data_->SkinIndex < 0)
    return;
  const SIZE size = WindowSize(form_.Handle());
  const auto frame_mask = [sd](int section) -> const TsMaskData* {
    if (section < 0)
      return nullptr;
    const int index = sd->gd[static_cast<std::size_t>(section)].BorderIndex;
    return index >= 0 && static_cast<std::size_t>(index) < sd->ma.size()
               ? &sd->ma[static_cast<std::size_t>(index)]
               : nullptr;
  };
  const TsMaskData* form_mask = frame_mask(common_data_->SkinIndex);
  const TsMaskData* title_mask = frame_mask(title_skin_index_);
  // A frame picture cuts the corners it draws; a section without one is rounded by its radius.
  // Radii are held within the frame, so that no skin value cuts the window to an ellipse.
  const TacFrameMetrics metrics = Metrics();
  const int width = metrics.CaptionWidth();
  const int form_radius =
      form_mask != nullptr
          ? 0
          : metrics.CornerRadius(
                sd->gd[static_cast<std::size_t>(common_data_->SkinIndex)].BorderRadius);
  const int title_radius =
      title_skin_index_ >= 0 && title_mask == nullptr
          ? metrics.CornerRadius(sd->gd[static_cast<std::size_t>(title_skin_index_)].BorderRadius)
          : 0;
  for (const TacCornerRow& row : CornerRows(form_radius, title_radius, static_cast<int>(size.cy))) {
    rects_.push_back(RECT{0, row.Y, row.CutWidth, row.Y + 1});
    rects_.push_back(RECT{width - row.CutWidth, row.Y, width, row.Y + 1});
  }
  const auto add_cuts = [this](const std::vector<TacRegionCut>& cuts) {
    for (const TacRegionCut& cut : cuts)
      rects_.push_back(RECT{cut.Left, cut.Y, cut.Right, cut.Y + 1});
  };
  if (form_mask != nullptr)
    add_cuts(MaskCornerCuts(*form_mask, sd->MasterBmp, width, static_cast<int>(size.cy), true));
  if (title_mask != nullptr)
    add_cuts(MaskCornerCuts(*title_mask, sd->MasterBmp, width,
                            metrics.SysBorderHeight() + metrics.CaptionHeight(), false));
}

void TsSkinProvider::UpdateRgn(bool redraw) {
  HWND window = form_.Handle();
  const SIZE size = WindowSize(window);
  rgn_size_ = size;
  rgn_changed_ = false;
  if (::IsZoomed(window)) {
    const int frame = Metrics().BorderWidth();
    platform::SetWindowRegion(
        window,
        platform::UniqueRegion(::CreateRectRgn(frame, frame, size.cx - frame, size.cy - frame)),
        redraw);
    return;
  }
  if (rects_.empty()) {
    if (platform::WindowRegionOf(window).Get() != nullptr)
      ::SetWindowRgn(window, nullptr, redraw);
    return;
  }
  platform::SetWindowRegion(
      window, platform::RectMinusRects(RECT{0, 0, Metrics().CaptionWidth(), size.cy}, rects_),
      redraw);
}

// ---- Putting the bitmap on the screen.

bool TsSkinProvider::PaintBlocked() const {
  HWND window = form_.Handle();
  if (::IsWindowVisible(window) == FALSE || redraw_off_ || form_.Loading())
    return true;
  const SIZE size = WindowSize(window);
  return size.cx != recorded_size_.cx || size.cy != recorded_size_.cy;
}

void TsSkinProvider::FrameUnblocked() {
  if (!frame_dropped_ || PaintBlocked())
    return;
  frame_dropped_ = false;
  ::RedrawWindow(form_.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

void TsSkinProvider::NcPaint(HDC given_dc) {
  if (given_dc == nullptr && PaintBlocked()) {
    frame_dropped_ = true;
    return;
  }
  frame_dropped_ = false;
  if (common_data_->BGChanged || WindowBitmap().Empty())
    PaintAll();
  if (WindowBitmap().Empty())
    return;
  if (rgn_changed_) {
    FillArOR();
    UpdateRgn(false);
  }
  if (given_dc != nullptr) {
    PaintCaption(given_dc);
    return;
  }
  platform::WindowDc dc(form_.Handle(), platform::WindowDc::Area::Whole);
  PaintCaption(dc.Get());
}

void TsSkinProvider::PaintFrameNow() {
  NcPaint(nullptr);
}

void TsSkinProvider::PaintCaption(HDC dc) {
  // The strips around the client area as the system laid it out: the skin's frame metrics can
  // be narrower than the real frame (Wine reports no padded border), and nothing of the
  // system's frame may stay unpainted.
  const Bitmap& bmp = WindowBitmap();
  HDC source = BitmapDC(bmp);
  if (source == nullptr)
    return;
  const RECT client = ClientInWindow(form_.Handle());
  const int width = bmp.Width();
  const int height = bmp.Height();
  ::BitBlt(dc, 0, 0, width, client.top, source, 0, 0, SRCCOPY);
  ::BitBlt(dc, 0, client.top, client.left, client.bottom - client.top, source, 0, client.top,
           SRCCOPY);
  ::BitBlt(dc, client.right, client.top, width - client.right, client.bottom - client.top, source,
           client.right, client.top, SRCCOPY);
  ::BitBlt(dc, 0, client.bottom, width, height - client.bottom, source, 0, client.bottom, SRCCOPY);
}

void TsSkinProvider::EraseClient(HDC dc) {
  if (common_data_->BGChanged || WindowBitmap().Empty())
    PaintAll();
  const Bitmap& bmp = WindowBitmap();
  HDC source = BitmapDC(bmp);
  if (source == nullptr)
    return;
  const RECT client = ClientInWindow(form_.Handle());
  RECT clip{};
  if (::GetClipBox(dc, &clip) == ERROR)
    return;
  ::BitBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, source,
           client.left + clip.left, client.top + clip.top, SRCCOPY);
}

void TsSkinProvider::RepaintMenu() {
  common_data_->BGChanged = true;
  lines_count_ = -1;
  PaintFrameNow();
}

void TsSkinProvider::RepaintMenuItem(platform::MenuItem& item, const RECT& r, UINT state) {
  if (!Skinned() || WindowBitmap().Empty() || !item.on_advanced_draw_item)
    return;
  Bitmap& bmp = *common_data_->FCacheBmp;
  // The band's background first, so the item draws over what the skin put there.
  if (!menu_line_bmp_.Empty())
    CopyPixels(bmp, TPoint{r.left, r.top}, menu_line_bmp_,
               TRect{r.left, r.top - menu_line_top_, r.right, r.bottom - menu_line_top_});
  item.on_advanced_draw_item(BitmapDC(bmp), r, state);
  ::GdiFlush();
  if (PaintBlocked())
    return;
  platform::WindowDc dc(form_.Handle(), platform::WindowDc::Area::Whole);
  ::BitBlt(dc.Get(), r.left, r.top, r.right - r.left, r.bottom - r.top, BitmapDC(bmp), r.left,
           r.top, SRCCOPY);
}

// ---- Labels and other children.

void TsSkinProvider::InitLabel(platform::Label& label, bool skinned) {
  const auto saved = std::find_if(saved_labels_.begin(), saved_labels_.end(),
                                  [&](const SavedLabel& s) { return s.label == &label; });
  if (skinned) {
    if (manager_ == nullptr || !manager_->IsActive())
      return;
    if (saved == saved_labels_.end())
      saved_labels_.push_back({&label, label.FontColor()});
    label.SetFontColor(manager_->GetGlobalFontColor());
    return;
  }
  if (saved != saved_labels_.end()) {
    label.SetFontColor(saved->font_color);
    saved_labels_.erase(saved);
  }
}

void TsSkinProvider::UpdateAdapter(bool skinned) {
  // Labels whose colour no skin of their own sets take the skin's label colour, where their
  // parent paints a skinned background (on an unskinned one the light colour would vanish).
  std::vector<platform::WinControl*> pending{&form_};
  while (!pending.empty()) {
    platform::WinControl* parent = pending.back();
    pending.pop_back();
    const bool skinned_parent = parent == &form_ || GetCommonData(parent->Handle()) != nullptr;
    for (platform::Control* child : parent->Children()) {
      if (auto* windowed = dynamic_cast<platform::WinControl*>(child))
        pending.push_back(windowed);
      else if (auto* label = dynamic_cast<platform::Label*>(child);
               label != nullptr && label->SkinOwner() == nullptr)
        InitLabel(*label, skinned && skinned_parent);
    }
  }
}

// ---- Density.

void TsSkinProvider::DpiChanged(int dpi) {
  if (dpi_changing_ || manager_ == nullptr)
    return;
  dpi_changing_ = true;
  if (dpi == common_data_->CurrentPPI && common_data_->FCommonSkinData != nullptr) {
    common_data_->BGChanged = true;
    ::RedrawWindow(form_.Handle(), nullptr, nullptr, RDWA_ALL);
    dpi_changing_ = false;
    return;
  }
  common_data_->FCommonSkinData = nullptr;
  rgn_changed_ = true;
  lines_count_ = -1;
  if (manager_->Options.ScaleMode == smVCL) {
    common_data_->FUpdating = true;
    if (::GetWindow(form_.Handle(), GW_OWNER) == nullptr)
      manager_->Options.PixelsPerInch = dpi;
    common_data_->FUpdating = false;
    InitIndexes();
    common_data_->BGChanged = true;
    PaintAll();
    FillArOR();
    UpdateRgn(false);
    for (TacSkinOwner* child : owner_->Children()) {
      child->Send(SM_ALPHACMD, MakeCommandParam(AC_SETBGCHANGED, 1), 0);
      child->Send(SM_ALPHACMD, MakeCommandParam(AC_REFRESH),
                  reinterpret_cast<std::intptr_t>(manager_));
    }
  } else {
    common_data_->BGChanged = true;
  }
  ::RedrawWindow(form_.Handle(), nullptr, nullptr, RDWA_ALL);
  dpi_changing_ = false;
}

// ---- The caption buttons' host.

bool TsSkinProvider::ButtonEnabled(unsigned hit) const {
  HWND window = form_.Handle();
  if (::IsWindowEnabled(window) == FALSE)
    return false;
  HMENU system_menu = ::GetSystemMenu(window, FALSE);
  if (system_menu == nullptr || hit == kHitHelp)
    return true;
  const UINT command = hit == kHitClose       ? SC_CLOSE
                       : hit == kHitMinButton ? SC_MINIMIZE
                       : ::IsZoomed(window)   ? SC_RESTORE
                                              : SC_MAXIMIZE;
  const UINT state = ::GetMenuState(system_menu, command, MF_BYCOMMAND);
  return state == static_cast<UINT>(-1) || (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

TacHitFrame TsSkinProvider::HitFrame() {
  if (common_data_->BGChanged || WindowBitmap().Empty())
    PaintAll();
  HWND window = form_.Handle();
  TacHitFrame f;
  f.Layout = layout_;
  const SIZE size = WindowSize(window);
  f.Window = TSize{size.cx, size.cy};
  f.Client = ToTRect(ClientInWindow(window));
  f.MenuTop = menu_line_bmp_.Empty() ? f.Client.Top : menu_line_top_;
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  f.ThickFrame = (style & WS_THICKFRAME) != 0;
  f.Maximized = ::IsZoomed(window) != FALSE;
  f.Minimized = ::IsIconic(window) != FALSE;
  f.CornerSize = Metrics().SysCaptHeight();
  f.CloseEnabled = ButtonEnabled(kHitClose);
  f.MaxEnabled = ButtonEnabled(kHitMaxButton);
  f.MinEnabled = ButtonEnabled(kHitMinButton);
  f.MainForm = ::GetWindow(window, GW_OWNER) == nullptr;
  return f;
}

void TsSkinProvider::ShowButton(unsigned hit, int state, const TacSBAnimation* fade) {
  // The layout's copy is the one painted; the provider's own keeps the state for the next layout.
  TsCaptionButton* shown = nullptr;
  TacCaptionButtons& laid = layout_.Buttons;
  for (TsCaptionButton* b : {&buttons_.Close, &buttons_.Max, &buttons_.Min, &buttons_.Help,
                             &laid.Close, &laid.Max, &laid.Min, &laid.Help}) {
    if (b->cpHitCode != hit)
      continue;
    b->cpState = state;
    b->cpTimer = fade;
    if (b == &laid.Close || b == &laid.Max || b == &laid.Min || b == &laid.Help)
      shown = b;
  }
  if (shown == nullptr || !shown->Present() || !Skinned())
    return;
  TacSkinData* sd = common_data_->GetCommonSkinData();
  if (sd == nullptr || common_data_->BGChanged || WindowBitmap().Empty() || temp_bmp_.Empty()) {
    common_data_->BGChanged = true;
    PaintFrameNow();
    return;
  }
  // Restore the title under the button from the saved strip, then draw that button alone: a
  // glyph blended again over itself would grow bolder with every repaint.
  Bitmap& bmp = *common_data_->FCacheBmp;
  const int strip_left = std::max(0, bmp.Width() - 1 - temp_bmp_.Width());
  const TRect r = shown->cpRect;
  CopyPixels(bmp, TPoint{r.Left, r.Top}, temp_bmp_,
             TRect{r.Left - strip_left, r.Top, r.Right - strip_left, r.Bottom});
  PaintButton(*shown, ButtonEnabled(hit), *sd);
  if (PaintBlocked()) {
    frame_dropped_ = true;
    return;
  }
  platform::WindowDc dc(form_.Handle(), platform::WindowDc::Area::Whole);
  ::BitBlt(dc.Get(), r.Left, r.Top, r.Width(), r.Height(), BitmapDC(bmp), r.Left, r.Top, SRCCOPY);
}

Bitmap TsSkinProvider::ButtonLook(unsigned hit, int state) {
  TacSkinData* sd = common_data_->GetCommonSkinData();
  if (sd == nullptr || temp_bmp_.Empty() || WindowBitmap().Empty())
    return Bitmap();
  const TacCaptionButtons& laid = layout_.Buttons;
  for (const TsCaptionButton* b : {&laid.Close, &laid.Max, &laid.Min, &laid.Help}) {
    if (b->cpHitCode != hit || !b->Present())
      continue;
    try {
      const TRect r = b->cpRect;
      Bitmap look = CreateBmp32(r.Width(), r.Height());
      if (look.Empty())
        return look;
      const int strip_left = std::max(0, WindowBitmap().Width() - 1 - temp_bmp_.Width());
      CopyPixels(look, TPoint{}, temp_bmp_,
                 TRect{r.Left - strip_left, r.Top, r.Right - strip_left, r.Bottom});
      TsCaptionButton in_state = *b;
      in_state.cpState = state;
      in_state.cpTimer = nullptr;
      PaintButton(in_state, ButtonEnabled(hit), *sd, look, TPoint{});
      ::GdiFlush();
      return look;
    } catch (const std::exception&) {
      return Bitmap();  // no look: the button changes without a fade
    }
  }
  return Bitmap();
}

bool TsSkinProvider::FadesAllowed() const {
  const auto style = ::GetWindowLongPtrW(form_.Handle(), GWL_STYLE);
  return manager_ != nullptr && manager_->Effects.AllowGlowing && (style & WS_CHILD) == 0;
}

bool TsSkinProvider::AnimationAllowed() const {
  return manager_ != nullptr && manager_->Effects.AllowAnimation;
}

// ---- The procedure.

LRESULT CALLBACK TsSkinProvider::SubclassProc(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam, UINT_PTR /*id*/, DWORD_PTR ref) {
  auto* provider = reinterpret_cast<TsSkinProvider*>(ref);
  if (message == WM_NCDESTROY) {
    provider->Detach();
    return ::DefSubclassProc(window, message, wparam, lparam);
  }
  return provider->NewWndProc(message, wparam, lparam);
}

LRESULT TsSkinProvider::CallOld(UINT message, WPARAM wparam, LPARAM lparam) {
  return ::DefSubclassProc(form_.Handle(), message, wparam, lparam);
}

LRESULT TsSkinProvider::ProcessMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (subclass_.Window() == nullptr)
    return ::SendMessageW(form_.Handle(), message, wparam, lparam);
  return NewWndProc(message, wparam, lparam);
}

LRESULT TsSkinProvider::SkinCommand(UINT message, WPARAM wparam, LPARAM lparam) {
  const std::uint16_t command = CommandOf(static_cast<std::uint32_t>(wparam));
  const std::uint16_t argument = static_cast<std::uint16_t>(wparam & 0xFFFF);
  switch (command) {
    case AC_GETPROVIDER:
      return reinterpret_cast<LRESULT>(this);
    case AC_CTRLHANDLED:
      return Skinned() ? 1 : 0;
    case AC_GETDEFINDEX: {
      if (manager_ == nullptr || !manager_->IsActive())
        return 0;
      const std::string& section = common_data_->SkinSection();
      return manager_->GetSkinIndex(section.empty() ? "FORM" : section,
                                    common_data_->GetCommonSkinData()) +
             1;
    }
    case AC_GETBORDERWIDTH:
      return Metrics().FrameAnswer(LOWORD(lparam), HIWORD(lparam));
    case AC_SETNEWSKIN:
    case AC_REFRESH:
      // Skin changes come from the form's manager, which names itself; from anyone else they
      // would take the form's skin away or rebuild it for nothing.
      if (lparam != reinterpret_cast<LPARAM>(manager_))
        return 0;
      if (manager_ != nullptr && manager_->IsActive()) {
        PrepareForm();
        UpdateAdapter(true);
        if (command == AC_REFRESH || ::IsWindowVisible(form_.Handle()))
          ::RedrawWindow(form_.Handle(), nullptr, nullptr, RDWA_ALL);
      }
      return 0;
    case AC_REMOVESKIN:
      if (prepared_ && lparam == reinterpret_cast<LPARAM>(manager_)) {
        prepared_ = false;
        UpdateAdapter(false);
        ::SetWindowRgn(form_.Handle(), nullptr, FALSE);
        rgn_size_ = SIZE{-1, -1};
        ::RedrawWindow(form_.Handle(), nullptr, nullptr, RDWA_ALL);
      }
      return 0;
    case AC_SETBGCHANGED:
      common_data_->BGChanged = true;
      return 0;
    case AC_INVALIDATE:
      common_data_->BGChanged = true;
      ::RedrawWindow(form_.Handle(), nullptr, nullptr, argument != 0 ? RDWA_ALLNOW : RDWA_ALL);
      return 0;
    case AC_PREPARECACHE:
      if (common_data_->BGChanged || WindowBitmap().Empty())
        PaintAll();
      return 0;
    case AC_NCPAINT:
      PaintFrameNow();
      return 0;
    case AC_MOUSELEAVE:
      caption_.MouseLeave();
      return 0;
    default:
      break;
  }
  TacMessage m = ReceivedMessage(form_.Handle(), message, wparam, lparam);
  if (Skinned() && common_data_->CommonMessage(m))
    return m.Result;
  return CallOld(message, wparam, lparam);
}

LRESULT TsSkinProvider::NewWndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == SM_ALPHACMD)
    return SkinCommand(message, wparam, lparam);
  if (message == WM_DPICHANGED || message == WM_SETREDRAW)
    return RedrawOrDensityMessage(message, wparam, lparam);
  if (!Skinned())
    return CallOld(message, wparam, lparam);
  if (DropSystemMenu(message, wparam, lparam))
    return 0;
  switch (message) {
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_PRINT:
    case WM_PRINTCLIENT:
      return FramePaintMessage(message, wparam, lparam);
    case WM_NCACTIVATE:
    case WM_SETTEXT:
    case WM_SETICON:
    case WM_ACTIVATE:
      return ActivationMessage(message, wparam, lparam);
    case WM_CLOSE:
    case WM_SYSCOMMAND:
    case WM_SHOWWINDOW:
      return ShowCloseMessage(message, wparam, lparam);
    case WM_NCHITTEST:
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
    case WM_CAPTURECHANGED:
      return CaptionMouseMessage(message, wparam, lparam);
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      return SizeMessage(message, wparam, lparam);
    case WM_EXITMENULOOP:
    case WM_ENTERIDLE:
      return MenuLoopMessage(message, wparam, lparam);
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      return SystemSettingMessage(message, wparam, lparam);
    default:
      return CallOld(message, wparam, lparam);
  }
}

LRESULT TsSkinProvider::RedrawOrDensityMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DPICHANGED) {
    // The form takes its new size and layout first; the skin follows at the new density.
    const LRESULT result = CallOld(message, wparam, lparam);
    if (Skinned())
      DpiChanged(HIWORD(wparam));
    return result;
  }
  if (message == WM_SETREDRAW) {
    const LRESULT result = CallOld(message, wparam, lparam);
    redraw_off_ = wparam == 0;
    FrameUnblocked();
    return result;
  }
  return CallOld(message, wparam, lparam);
}

bool TsSkinProvider::DropSystemMenu(UINT message, WPARAM wparam, LPARAM lparam) {
  // The skinned system menu drops where system_menu_rules says, in place of the system's own.
  const unsigned hit =
      SysMenuNeedsHit(message, lparam)
          ? static_cast<unsigned>(::SendMessageW(form_.Handle(), WM_NCHITTEST, 0, lparam))
          : kHitNowhere;
  if (const TacSysMenuDrop drop = SysMenuDropOf(message, wparam, lparam, hit);
      drop != TacSysMenuDrop::None) {
    if (system_menu_ == nullptr) {
      system_menu_ = std::make_unique<TsSystemMenu>(form_, manager_);
      system_menu_->SetBeforeMinimize([this] {
        if (transitions_ != nullptr)
          transitions_->SkipMinimizeAnimation();
      });
    }
    if (drop == TacSysMenuDrop::AtMouse) {
      system_menu_->DropSysMenu(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return true;
    }
    RECT frame{};
    ::GetWindowRect(form_.Handle(), &frame);
    const TacFrameMetrics metrics = Metrics();
    const TPoint at =
        SysMenuIconDropPoint(TPoint{frame.left, frame.top}, metrics.BorderHeight(),
                             metrics.SysBorderWidth(), metrics.SysBorderHeight(), layout_.IconRect);
    system_menu_->DropSysMenu(at.X, at.Y);
    return true;
  }
  return false;
}

LRESULT TsSkinProvider::FramePaintMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCPAINT:
      NcPaint(nullptr);
      return 0;
    case WM_ERASEBKGND:
      EraseClient(reinterpret_cast<HDC>(wparam));
      return 1;
    case WM_PRINT: {
      const LRESULT result = CallOld(message, wparam, lparam);
      if ((lparam & PRF_NONCLIENT) != 0)
        NcPaint(reinterpret_cast<HDC>(wparam));
      return result;
    }
    case WM_PRINTCLIENT:
      return 0;
    default:
      break;
  }
  return CallOld(message, wparam, lparam);
}

LRESULT TsSkinProvider::ActivationMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCACTIVATE:
      return transitions_->AC_WMNCActivate(wparam, lparam);
    case WM_SETTEXT:
      return transitions_->SetText(wparam, lparam);
    case WM_SETICON: {
      // The default handling draws the system's caption straight away; paint ours over it.
      const LRESULT result = CallOld(message, wparam, lparam);
      common_data_->BGChanged = true;
      PaintFrameNow();
      return result;
    }
    case WM_ACTIVATE: {
      const LRESULT result = CallOld(message, wparam, lparam);
      lines_count_ = -1;
      return result;
    }
    default:
      break;
  }
  return CallOld(message, wparam, lparam);
}

LRESULT TsSkinProvider::ShowCloseMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      return transitions_->Close(wparam, lparam);
    case WM_SYSCOMMAND: {
      LRESULT result = 0;
      if (transitions_->SysCommand(wparam, lparam, result))
        return result;
      break;
    }
    case WM_SHOWWINDOW: {
      const LRESULT result = transitions_->ShowWindowMessage(wparam, lparam);
      if (wparam != 0)
        FrameUnblocked();
      return result;
    }
    default:
      break;
  }
  return CallOld(message, wparam, lparam);
}

LRESULT TsSkinProvider::CaptionMouseMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (LRESULT result = 0; caption_.Message(message, wparam, lparam, result))
    return result;
  return CallOld(message, wparam, lparam);
}

LRESULT TsSkinProvider::SizeMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE: {
      const LRESULT result = CallOld(message, wparam, lparam);
      const SIZE size = WindowSize(form_.Handle());
      lines_count_ = -1;
      if (size.cx != rgn_size_.cx || size.cy != rgn_size_.cy) {
        common_data_->BGChanged = true;
        rgn_changed_ = true;
        FillArOR();
        UpdateRgn(true);
      }
      return result;
    }
    case WM_WINDOWPOSCHANGED: {
      // A fade window stays where the button was; moving or hiding ends the fades at once.
      if (const auto* pos = reinterpret_cast<const WINDOWPOS*>(lparam);
          pos != nullptr &&
          ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE) ||
           (pos->flags & SWP_HIDEWINDOW) != 0))
        caption_.FinishFades();
      const LRESULT result = CallOld(message, wparam, lparam);
      recorded_size_ = WindowSize(form_.Handle());
      FrameUnblocked();
      if ((reinterpret_cast<const WINDOWPOS*>(lparam)->flags & SWP_SHOWWINDOW) != 0)
        transitions_->WindowShown();
      return result;
    }
    default:
      break;
  }
  return CallOld(message, wparam, lparam);
}

LRESULT TsSkinProvider::MenuLoopMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_EXITMENULOOP: {
      // The system may have drawn a menu-band item of its own while the menu was open.
      const LRESULT result = CallOld(message, wparam, lparam);
      PaintFrameNow();
      return result;
    }
    case WM_ENTERIDLE:
      if (wparam != 0)
        return 0;
      break;
    default:
      break;
  }
  return CallOld(message, wparam, lparam);
}

LRESULT TsSkinProvider::SystemSettingMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  common_data_->BGChanged = true;
  font_dpi_ = 0;
  return CallOld(message, wparam, lparam);
}

}  // namespace kestrune::skin
