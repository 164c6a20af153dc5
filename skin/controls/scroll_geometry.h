#pragma once
// The geometry of skinned scroll bars, apart from any window: where the bars go in the window's
// frame, how long the slider is and where it sits, which part of a bar lies under a point, and
// which scroll position a dragged slider stands for, and how a bar's picture is split into its
// parts and their states. All of it is exact integer arithmetic on
// the values the window reports, so the window side only reads and paints.
//
// Positions along a bar are one axis (y for a vertical bar, x for a horizontal one); "across"
// is the other.

#include <cstdint>

#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// The standard scroll codes a bar sends with WM_VSCROLL / WM_HSCROLL, and -1 for no part.
enum TacScrollCode : int {
  scNone = -1,
  scLineUp = 0,
  scLineDown = 1,
  scPageUp = 2,
  scPageDown = 3,
  scThumbPosition = 4,
  scThumbTrack = 5,
  scEndScroll = 8,
};

// Non-client hit codes a bar answers with.
inline constexpr int kHtNowhere = 0;
inline constexpr int kHtHScroll = 6;
inline constexpr int kHtVScroll = 7;

// The scroll information of one bar as the window reports it.
struct TacScrollInfo {
  int nMin = 0;
  int nMax = 0;
  unsigned nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
  friend bool operator==(const TacScrollInfo&, const TacScrollInfo&) = default;
};

// fScrollFlags of a bar.
inline constexpr std::uint16_t kSfFirstArrowDisabled = 1;
inline constexpr std::uint16_t kSfSecondArrowDisabled = 2;
// The window has the bar's scroll style (WS_HSCROLL / WS_VSCROLL).
inline constexpr std::uint16_t kSfHasStyle = 8;

// The smallest slider, and the length a slider shorter than kShortSlider takes on a bar without
// arrow buttons (so it stays easy to grab).
inline constexpr int kDefMinThumbSize = 16;
inline constexpr int kShortSlider = 18;
inline constexpr int kNoArrowSliderLength = 19;

// The system's MulDiv: a * b / c in 64 bits, rounded half away from zero; -1 when c is 0.
[[nodiscard]] int AcMulDiv(std::int64_t a, std::int64_t b, std::int64_t c);

// The slider of a bar from `start` to `end` (along the bar) with arrow buttons of length
// `arrow` at each end.
struct TacThumb {
  int Start = 0;        // where the slider begins, along the bar
  int Length = 0;       // 0: no slider (a range too large to show)
  int TrackStart = 0;   // the track between the arrow buttons
  int TrackLength = 0;  // may be smaller than Length on a very short bar
  // The slider fits the track and leaves room to move it.
  [[nodiscard]] bool Fits() const { return Length > 0 && Length < TrackLength; }
};
[[nodiscard]] TacThumb Ac_CalcThumbSize(int start, int end, int arrow, const TacScrollInfo& si,
                                        int min_thumb = kDefMinThumbSize);

// The part of a vertical bar `bar` under `pt` (a scroll code, scNone outside the bar or on a
// track fully taken by the slider). With `shift` a track click asks for scThumbPosition.
[[nodiscard]] int Ac_GetVertScrollPortion(TRect bar, TPoint pt, int arrow, const TacThumb& thumb,
                                          bool shift);
// The same for a horizontal bar.
[[nodiscard]] int Ac_GetHorzScrollPortion(TRect bar, TPoint pt, int arrow, const TacThumb& thumb,
                                          bool shift);

// Dragging: the slider start for the mouse at `mouse` grabbed `grab_offset` pixels into the
// slider, kept on the track.
[[nodiscard]] int Ac_DragSliderStart(int mouse, int grab_offset, const TacThumb& thumb);
// The scroll offset (position - nMin) a slider starting at `slider_start` stands for. It never
// goes past the last valid position, and a slider that fills its track stands for 0.
[[nodiscard]] int Ac_DragOffset(int slider_start, const TacThumb& thumb, const TacScrollInfo& si);
// The last valid position offset of a bar: range - page + 1 (range with a page of 0), never
// below 0.
[[nodiscard]] int Ac_LastOffset(const TacScrollInfo& si);

// A bar takes input and shows its slider: the system does not report it unavailable, its two
// arrows are not both disabled, and a bar of the window's own scroll style has something to
// scroll (max >= page, min < max, max <> 0), whatever the system says about it.
[[nodiscard]] bool Ac_ScrollBarActive(std::uint16_t flags, const TacScrollInfo& si,
                                      bool system_available);

// The non-client layout of a window with skinned bars (WM_NCCALCSIZE).
struct TacNCLayoutIn {
  TRect Window;  // the window rectangle
  TRect Client;  // the client rectangle the system computed without scroll bars
  bool HasHorzStyle = false;
  bool HasVertStyle = false;
  bool LeftScrollbar = false;
  int Thickness = 0;  // the bars' thickness
  // A negative offset grows the client area by that much on every side when the system frame
  // is wider than one pixel (a thin skin border on a thick system frame).
  int ScrollBorderOffset = 0;
};
struct TacNCLayout {
  TRect Client;
  bool HorzVisible = false;
  bool VertVisible = false;
  int cxLeftEdge = 0;
  int cxRightEdge = 0;
  int cyTopEdge = 0;
  int cyBottomEdge = 0;
};
[[nodiscard]] TacNCLayout Ac_NCCalcSize(const TacNCLayoutIn& in);

// The bars' rectangles in window coordinates (origin at the window's top-left corner) for a
// window of `width` x `height`; empty while the bar is hidden.
[[nodiscard]] TRect Ac_VertBarRect(int width, int height, const TacNCLayout& layout, int thickness,
                                   bool left_scrollbar);
[[nodiscard]] TRect Ac_HorzBarRect(int width, int height, const TacNCLayout& layout, int thickness,
                                   bool left_scrollbar);

// The bar thickness: the manager's fixed size when set (not -1), else the skin's width (already
// scaled to the density) when set, else the system's thickness at the density.
[[nodiscard]] int Ac_ScrollThickness(int manager_size, int skin_width, int system_width);
// The arrow button length: the control's own, else the manager's, else by the skin's arrow
// setting (0: none, 1: max(16 scaled, the skin's button length), else the bar thickness).
// `scaled16` is 16 scaled to the density.
[[nodiscard]] int Ac_ArrowLength(int control_size, int manager_size, int skin_arrows, int scaled16,
                                 int skin_button_length, int thickness);

// What a bar's picture depends on. Thumb and Origin share one coordinate along the bar (the
// window's); the rest is in the bar's own pixels.
struct TacBarPaintIn {
  bool Vertical = true;
  int Width = 0;  // the bar's size
  int Height = 0;
  int Arrow = 0;  // arrow button length; 0: none
  TacThumb Thumb;
  int Origin = 0;  // where the bar starts, in the thumb's coordinate
  bool Active = true;
  int PressedPart = scNone;  // the part under a held button
  int HotPart = scNone;      // the part under the mouse
  bool Dragging = false;     // the slider follows the mouse
  int ThumbWidth = 0;        // the skin's slider thickness; 0: the bar's
};

// One part of a bar's picture in the bar's coordinates (0, 0 at its top-left corner), with the
// state it is painted in: 0 normal, 1 hot, 2 pressed. An empty rectangle is not painted.
struct TacBarPart {
  TRect Rect;
  int State = 0;
  friend bool operator==(const TacBarPart&, const TacBarPart&) = default;
};
struct TacBarPaint {
  TacBarPart TrackBefore;   // from the bar's start to the split
  TacBarPart TrackAfter;    // from the split to the bar's end
  TacBarPart ButtonBefore;  // empty without arrow buttons
  TacBarPart ButtonAfter;
  bool Arrows = false;  // the buttons carry drawn arrows
  bool ShowSlider = false;
  TacBarPart Slider;
  friend bool operator==(const TacBarPaint&, const TacBarPaint&) = default;
};

// The parts of a bar's picture. A bar longer than its two arrow buttons splits its track under
// the slider's middle (the bar's middle while no slider shows; a track half is pressed while
// held), puts its buttons at both ends with arrows on them, and shows the slider where the bar
// is active and the slider fits its track: pressed while held or dragged, else hot under the
// mouse, across the skin's thickness centred when that is narrower than the bar. A shorter bar
// splits track and buttons at its middle, with no arrows, no slider and tracks never pressed.
// Buttons are pressed while held, else hot under the mouse.
[[nodiscard]] TacBarPaint Ac_BarPaint(const TacBarPaintIn& in);

}  // namespace kestrune::skin
