#include "skin/controls/skinned_control_win.h"

#include "platform/gdi_win.h"
#include "skin/data/skin_manager.h"

namespace kestrune::skin {

bool AnswerSkinCommand(TacMessage& message, TsCommonData& data, const TacSkinCommandHooks& hooks) {
  const std::uint16_t command = CommandOf(static_cast<std::uint32_t>(message.WParam));
  switch (command) {
    case AC_GETDEFINDEX: {
      TsSkinManager* manager = data.GetSkinManager();
      message.Result = manager != nullptr ? manager->GetSkinIndex(hooks.DefaultSection) + 1 : 0;
      return true;
    }
    case AC_CTRLHANDLED:
      message.Result = 1;
      return true;
    case AC_PREPARECACHE:
      hooks.PrepareCache();
      data.CommonWndProc(message);
      return true;
    case AC_SETNEWSKIN:
    case AC_REMOVESKIN:
    case AC_REFRESH:
      if (hooks.BeforeSkinChange)
        hooks.BeforeSkinChange();
      data.CommonWndProc(message);
      // A skin that comes back may find the state unbound: bind it again.
      if (data.SkinIndex < 0 && command != AC_REMOVESKIN)
        data.UpdateIndexes(true);
      hooks.AfterSkinChange();
      return true;
    default:
      return false;
  }
}

bool PaintSkinnedWindow(HWND window, TacMessage& message, TsCommonData& data, bool skinned,
                        const std::function<void(HDC)>& paint) {
  const auto wparam = static_cast<WPARAM>(message.WParam);
  if (!skinned)
    return false;
  if (message.Msg == WM_PAINT) {
    data.CtrlSkinState &= ~ACS_SIZING;
    if (wparam != 0) {
      paint(reinterpret_cast<HDC>(wparam));
    } else {
      const platform::PaintDc dc(window);
      paint(dc.Get());
    }
    message.Result = 0;
    return true;
  }
  if (wparam == 0)
    return false;
  paint(reinterpret_cast<HDC>(wparam));
  message.Result = message.Msg == WM_ERASEBKGND ? 1 : 0;
  return true;
}

}  // namespace kestrune::skin
