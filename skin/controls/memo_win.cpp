#include "skin/controls/memo_win.h"

#include <algorithm>

#include "platform/control_messages.h"
#include "platform/form_win.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/control_kinds.h"

namespace kestrune::skin {
namespace {

constexpr char kDefaultSection[] = "EDIT";

platform::Form* FormOf(const platform::Control& control) {
  platform::WinControl* top = control.Parent();
  while (top != nullptr && top->Parent() != nullptr)
    top = top->Parent();
  return dynamic_cast<platform::Form*>(top);
}

}  // namespace

TsMemo::TsMemo(platform::Memo& memo, TsSkinManager* manager) : memo_(memo), owner_(memo) {
  data_ = std::make_unique<TsScrollWndData>(&owner_, true);
  data_->COC = COC_TsMemo;
  data_->SetSkinManager(manager);
  data_->SetSkinSection(kDefaultSection);
  owner_.on_message = [this](TacMessage& message) { return OnMessage(message); };
  data_->Loaded(true);
  RefreshEditScrolls(*data_, list_sw_);
  if (platform::Form* form = FormOf(memo))
    popup_menu_ = std::make_unique<TacEditMenu>(*form, memo.Name() + "Menu", manager);
}

TsMemo::~TsMemo() {
  owner_.on_message = nullptr;
  popup_menu_.reset();
  list_sw_.reset();
  data_.reset();
}

bool TsMemo::Updating() const {
  return data_->FUpdating;
}

void TsMemo::SetPaintColors() {
  const TsGeneralData* gd = data_->Section();
  if (gd == nullptr)
    return;
  const int state = SectionState(*gd, data_->ControlIsActive() ? 1 : 0);
  const TsGenState& props = gd->Props[static_cast<std::size_t>(state)];
  const TColor color = data_->FCustomColor ? owner_.Color() : ApplyColorShift(*data_, props.Color);
  const TColor font = data_->FCustomFont ? owner_.FontColor() : props.FontColor.Color;
  if (color != data_->SavedColor || font != data_->SavedFontColor) {
    data_->SavedColor = color;
    data_->SavedFontColor = font;
    data_->BGChanged = true;
  }
  data_->CtrlSkinState |= ACS_CHANGING;
  owner_.SetColor(color);
  owner_.SetFontColor(font);
  owner_.SetBackgroundBrush(color);
  data_->CtrlSkinState &= ~ACS_CHANGING;
}

bool TsMemo::OnMessage(TacMessage& message) {
  HWND window = memo_.Handle();
  switch (message.Msg) {
    case WM_PAINT:
      if (!data_->Skinned())
        return false;
      if (Updating()) {
        ::ValidateRect(window, nullptr);
        message.Result = 0;
        return true;
      }
      SetPaintColors();
      return false;
    case WM_ERASEBKGND:
      if (data_->Skinned() && Updating()) {
        message.Result = 1;
        return true;
      }
      return false;
    case WM_KEYDOWN:
      // Ctrl+A alone selects everything; the character the key also makes must not reach the
      // text.
      if (message.WParam == 'A' && ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_SHIFT) >= 0 &&
          ::GetKeyState(VK_MENU) >= 0) {
        ::SendMessageW(window, EM_SETSEL, 0, -1);
        MSG pending{};
        if (::PeekMessageW(&pending, window, WM_CHAR, WM_CHAR, PM_NOREMOVE) && pending.wParam == 1)
          ::PeekMessageW(&pending, window, WM_CHAR, WM_CHAR, PM_REMOVE);
        message.Result = 0;
        return true;
      }
      return false;
    case WM_CHAR:
      // The same character when it was already waiting apart from its key (sent, not posted).
      if (message.WParam == 1 && ::GetKeyState(VK_CONTROL) < 0) {
        message.Result = 0;
        return true;
      }
      return false;
    case WM_CONTEXTMENU:
      // The wrapper in front has kept the requests on its scroll bars.
      if (data_->Skinned() && popup_menu_ != nullptr &&
          popup_menu_->DropDown(window, static_cast<LPARAM>(message.LParam))) {
        message.Result = 0;
        return true;
      }
      return false;
    case platform::CM_VISIBLECHANGED:
      data_->CommonWndProc(message);
      RefreshEditScrolls(*data_, list_sw_);
      return true;
    case SM_ALPHACMD:
      break;
    default:
      return false;
  }
  TsSkinManager* manager = data_->GetSkinManager();
  const bool own_manager = message.LParam == reinterpret_cast<std::intptr_t>(manager);
  switch (CommandOf(message.WParam)) {
    case AC_GETDEFINDEX: {
      TacSkinData* sd = data_->GetCommonSkinData();
      message.Result = sd != nullptr ? sd->GetSkinIndex(kDefaultSection) + 1 : 0;
      return true;
    }
    case AC_REMOVESKIN: {
      if (!own_manager || message.Foreign)
        return data_->CommonMessage(message);
      data_->CommonMessage(message);
      // The window is made again without the wrapper, so the system lays out and draws its
      // own frame and bars from the start; the text stays.
      list_sw_.reset();
      memo_.RecreateWindow();
      data_->InitCommonProp();
      data_->UpdateControlColors(true);
      message.Result = 0;
      return true;
    }
    case AC_REFRESH: {
      data_->CommonMessage(message);
      RefreshEditScrolls(*data_, list_sw_);
      HWND now = memo_.Handle();
      if (now != nullptr && ::IsWindowVisible(now))
        ::RedrawWindow(now, nullptr, nullptr,
                       RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace kestrune::skin
