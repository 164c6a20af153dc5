#include "skin/controls/caption_rules.h"

#include <algorithm>

namespace kestrune::skin {
namespace {

bool Inside(const TRect& r, TPoint p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// The button's code where its action is enabled; a disabled button is plain caption, so a press
// on it drags the window as the caption would.
unsigned ButtonCode(const TacHitFrame& frame, const TsCaptionButton& button) {
  switch (button.cpHitCode) {
    case kHitClose:
      return frame.CloseEnabled ? kHitClose : kHitCaption;
    case kHitMaxButton:
      return frame.MaxEnabled ? kHitMaxButton : kHitCaption;
    case kHitMinButton:
      return frame.MinEnabled || frame.Minimized ? kHitMinButton : kHitCaption;
    default:
      return button.cpHitCode;
  }
}

unsigned SizingCode(const TacHitFrame& frame, TPoint p) {
  const int left = frame.Client.Left;
  const int right = frame.Window.cx - frame.Client.Right;
  const int bottom = frame.Window.cy - frame.Client.Bottom;
  const int top = left;  // the sizing band along the top is as wide as the side frame
  const int corner = std::max(frame.CornerSize, std::max(left, bottom));
  const bool near_top = p.Y < corner;
  const bool near_bottom = p.Y >= frame.Window.cy - corner;
  const bool near_left = p.X < corner;
  const bool near_right = p.X >= frame.Window.cx - corner;
  if (p.X < left)
    return near_top ? kHitTopLeft : near_bottom ? kHitBottomLeft : kHitLeft;
  if (p.X >= frame.Window.cx - right)
    return near_top ? kHitTopRight : near_bottom ? kHitBottomRight : kHitRight;
  if (p.Y < top)
    return near_left ? kHitTopLeft : near_right ? kHitTopRight : kHitTop;
  if (p.Y >= frame.Window.cy - bottom)
    return near_left ? kHitBottomLeft : near_right ? kHitBottomRight : kHitBottom;
  return kHitNowhere;
}

}  // namespace

unsigned HTProcess(const TacHitFrame& frame, TPoint p) {
  if (p.X < 0 || p.Y < 0 || p.X >= frame.Window.cx || p.Y >= frame.Window.cy)
    return kHitNowhere;
  const TacCaptionButtons& b = frame.Layout.Buttons;
  for (const TsCaptionButton* button : {&b.Close, &b.Max, &b.Min, &b.Help}) {
    if (button->Present() && Inside(button->cpRect, p))
      return ButtonCode(frame, *button);
  }
  if (frame.ThickFrame && !frame.Minimized) {
    if (const unsigned sizing = SizingCode(frame, p); sizing != kHitNowhere)
      return frame.Maximized ? kHitClient : sizing;
  }
  if (p.Y < frame.MenuTop)
    return Inside(frame.Layout.IconRect, p) ? kHitSysMenu : kHitCaption;
  if (p.Y < frame.Client.Top)
    return kHitMenu;
  if (Inside(frame.Client, p)) {
    const TRect& g = frame.Grip;
    return !g.IsEmpty() && p.X >= g.Left && p.Y >= g.Top ? kHitBottomRight : kHitClient;
  }
  return kHitBorder;
}

bool IsCaptionButtonHit(unsigned hit) {
  return hit == kHitMinButton || hit == kHitMaxButton || hit == kHitClose || hit == kHitHelp;
}

unsigned ReleaseCommand(const TacHitFrame& frame, unsigned pressed, TPoint window_point) {
  if (!IsCaptionButtonHit(pressed) || HTProcess(frame, window_point) != pressed)
    return 0;
  switch (pressed) {
    case kHitMinButton:
      return frame.Minimized && !frame.MainForm ? kScRestore : kScMinimize;
    case kHitMaxButton:
      return frame.Maximized ? kScRestore : kScMaximize;
    case kHitClose:
      return kScClose;
    default:
      return kScContextHelp;
  }
}

int SBFadeSteps(int to_state, bool animation_allowed) {
  if (to_state >= 2 || !animation_allowed)
    return 1;
  return kSBFadeSteps;
}

void TacSBFade::Start(bool fade_in, int steps) {
  alpha_ = fade_in ? 0 : 255;
  Turn(fade_in, steps);
}

void TacSBFade::Turn(bool fade_in, int steps) {
  fade_in_ = fade_in;
  steps_ = std::max(1, steps);
  step_ = 0;
}

bool TacSBFade::Step() {
  if (Done())
    return true;
  const int delta = 255 / steps_;
  alpha_ = std::clamp(alpha_ + (fade_in_ ? delta : -delta), 0, 255);
  ++step_;
  if (alpha_ == (fade_in_ ? 255 : 0))
    step_ = steps_;
  return Done();
}

}  // namespace kestrune::skin
