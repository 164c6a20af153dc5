#pragma once
// What the skinned button and group box answer alike: the skin commands every skinned control
// takes, and the paint of a window whose picture the skin draws. Include only from Windows
// sources.

#include <windows.h>

#include <functional>
#include <string_view>

#include "skin/paint/common_data.h"

namespace kestrune::skin {

// How a control takes its part in the skin commands it shares with the others.
struct TacSkinCommandHooks {
  std::string_view DefaultSection;         // the section a control of its kind takes by default
  std::function<void()> PrepareCache;      // fills the control's picture
  std::function<void()> BeforeSkinChange;  // before its state takes the change; may be empty
  std::function<void()> AfterSkinChange;   // follows the skin (or its going) and repaints
};

// Answers AC_GETDEFINDEX, AC_CTRLHANDLED, AC_PREPARECACHE and a skin that came, went or changed
// (AC_SETNEWSKIN, AC_REMOVESKIN, AC_REFRESH) for the control whose state is `data`; false for
// any other command. The state takes a change first and binds itself again when a skin that
// comes back finds it unbound.
bool AnswerSkinCommand(TacMessage& message, TsCommonData& data, const TacSkinCommandHooks& hooks);

// WM_PAINT of `window` (into the DC of wParam when it carries one, else between BeginPaint and
// EndPaint), and WM_PRINTCLIENT and WM_ERASEBKGND with a DC: `paint` draws the control's picture
// into it. False, leaving the message to the system, while the control is not `skinned` or a
// print comes without a DC.
bool PaintSkinnedWindow(HWND window, TacMessage& message, TsCommonData& data, bool skinned,
                        const std::function<void(HDC)>& paint);

}  // namespace kestrune::skin
