#pragma once
// Skinned scroll bars of a window that has system ones: a wrapper that puts its procedure in
// front of the window's, hides the system bars from the non-client layout while reserving the
// same room, paints track and slider (and arrow buttons when the skin has them) from the skin,
// hit-tests them and turns presses, repeats and drags into the WM_VSCROLL / WM_HSCROLL messages
// the window already understands. TacEditWnd also paints the control's frame from its section.
//
// The wrapper is found from the window through the property "ACSBSC". Include only from Windows
// sources; everything runs on the window's thread.

#include <windows.h>

#include <cstdint>
#include <memory>

#include "platform/window_owners_win.h"
#include "skin/controls/scroll_geometry.h"
#include "skin/paint/common_data.h"
#include "skin/pixels/bitmap.h"

namespace kestrune::skin {

class TacScrollWnd;
class TsSkinManager;

struct TacScrollBar {
  std::uint16_t fScrollFlags = 0;  // kSfHasStyle, arrow-disabled bits
  std::uint16_t nBarType = 0;      // 0 horizontal, 1 vertical
  int nArrowWidth = -1;            // -1: the bar thickness
  int nArrowLength = -1;           // -1: from the skin
  int nButSizeAfter = 0;
  int nButSizeBefore = 0;
  int nMinThumbSize = kDefMinThumbSize;
  bool fButVisibleBefore = false;
  bool fButVisibleAfter = false;
  TacScrollWnd* sw = nullptr;  // the owner
  bool fScrollVisible = false;
  TacScrollInfo ScrollInfo;
};

class TacScrollWnd {
 public:
  // Takes over `window`'s procedure. `skin_data` (the control's skin state) outlives the
  // wrapper; `manager` may be null for the default one.
  TacScrollWnd(HWND window, TsCommonData& skin_data, TsSkinManager* manager);
  TacScrollWnd(const TacScrollWnd&) = delete;
  TacScrollWnd& operator=(const TacScrollWnd&) = delete;
  // UninitializeACScroll: gives the window its own procedure and system bars back.
  virtual ~TacScrollWnd();

  // Reads both bars' scroll information; with `repaint` paints the bars again. Nothing while
  // the skin state is updating or the window is hidden.
  void UpdateScrolls(bool repaint);
  // Thickness (true) or arrow length (false) of a bar.
  [[nodiscard]] int GetScrollMetric(const TacScrollBar& bar, bool thickness) const;
  // The bars' rectangles in screen coordinates; empty while hidden.
  [[nodiscard]] RECT ac_GetVScrollRect() const;
  [[nodiscard]] RECT ac_GetHScrollRect() const;
  // Paints the frame (TacEditWnd) and the bars now, straight onto the window.
  void RepaintNonClient();
  // The window is gone or going; the wrapper only waits to be freed.
  [[nodiscard]] bool Destroyed() const { return destroyed_; }
  [[nodiscard]] HWND Handle() const { return handle_; }
  // True while the bar is active (takes input and shows its slider).
  [[nodiscard]] bool BarActive(const TacScrollBar& bar) const;

  bool fLeftScrollbar = false;
  bool ScrollsInitialized = false;
  bool bPreventStyleChange = false;
  bool fThumbTracking = false;
  TacScrollBar sBarHorz;
  TacScrollBar sBarVert;
  int cxLeftEdge = 0;
  int cxRightEdge = 0;
  int cyTopEdge = 0;
  int cyBottomEdge = 0;

 protected:
  virtual LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT CallPrevious(UINT message, WPARAM wparam, LPARAM lparam);
  // The frame; nothing in the plain wrapper.
  virtual void PaintFrame(HDC /*window_dc*/) {}
  TsCommonData& SkinData() { return *skin_data_; }
  [[nodiscard]] TacSkinData* SkinDataCopy() const { return skin_data_->GetCommonSkinData(); }

 private:
  // The one scroll action of the window: what the mouse pressed and how it goes on.
  struct Tracking {
    TacScrollBar* bar = nullptr;  // the pressed bar, nullptr while idle
    UINT message = 0;             // WM_HSCROLL / WM_VSCROLL
    int part = scNone;            // the pressed part
    int part_now = scNone;        // the pressed part while the mouse is over it, else scNone
    int grab_offset = 0;          // mouse - slider start at the press
    TacThumb thumb;               // the slider at the press
    RECT bar_rect{};              // window coordinates, at the press
    int last_offset = -1;         // the last position offset sent while dragging
    int slider_start = 0;         // where the dragged slider is drawn
  };
  struct Hover {
    TacScrollBar* bar = nullptr;
    int part = scNone;
    RECT rect{};  // the hovered bar, window coordinates
  };

  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR ref);
  LRESULT NCCalcSize(WPARAM wparam, LPARAM lparam);
  LRESULT NCHitTest(WPARAM wparam, LPARAM lparam);
  void NCMouseMove(int hit);
  LRESULT NCButtonDown(UINT message, WPARAM wparam, LPARAM lparam);
  void Timer(UINT_PTR id);
  void MouseMove();
  // Ends the press (button up, or capture lost): the closing scroll codes and a repaint.
  void Release(bool capture_lost);
  void SendScrollMessage(UINT message, int code, int position);
  void JustDoIt(int part);
  void DragTo(int mouse_along);

  void ReadInfo(TacScrollBar& bar);
  [[nodiscard]] RECT BarRect(const TacScrollBar& bar) const;  // window coordinates
  [[nodiscard]] TacThumb ThumbOf(const TacScrollBar& bar, const RECT& r) const;
  [[nodiscard]] POINT CursorInWindow() const;
  [[nodiscard]] int PartAt(const TacScrollBar& bar, POINT window_pt, bool shift) const;
  void PaintBar(HDC window_dc, TacScrollBar& bar, const int* slider_at = nullptr);
  void PaintCorner(HDC window_dc);

  HWND handle_;
  // Cleared when the wrapper goes: code on the stack of a message that freed it checks this.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  TsCommonData* skin_data_;  // not owned
  TsSkinManager* manager_;   // not owned; null: the default manager
  bool destroyed_ = false;
  platform::SubclassWithProperty procedure_;  // the property leads to this wrapper
  platform::WindowTimer hover_timer_;
  platform::WindowTimer first_repeat_timer_;
  platform::WindowTimer repeat_timer_;
  platform::MouseCapture capture_;  // held while a press lasts
  Tracking track_;
  Hover hover_;
};

// The wrapper of a skinned edit control: the scroll bars plus the frame from the control's
// section (EDIT: state 1 while focused or hot), painted from the skin state's cache.
class TacEditWnd : public TacScrollWnd {
 public:
  TacEditWnd(HWND window, TsCommonData& skin_data, TsSkinManager* manager);

 protected:
  LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  void PaintFrame(HDC window_dc) override;

 private:
  void PrepareCache();
};

// The wrapper of `window`, or nullptr.
[[nodiscard]] TacScrollWnd* GetScrollWnd(HWND window);

// Makes `wrapper` match the control's skin state: created on the control's window while the
// control is skinned (a wrapper whose window is gone is freed first), freed while it is not.
void RefreshEditScrolls(TsCommonData& skin_data, std::unique_ptr<TacEditWnd>& wrapper);

}  // namespace kestrune::skin
