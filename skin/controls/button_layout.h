#pragma once
// The rules of the skinned push button that need no window: which state it shows, which picture
// of its image list, and where picture, caption and focus frame lie. Portable and exact.

#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// What the state choice reads of the button and its window.
struct TsButtonStateInput {
  bool Pushed = false;        // the window reports the pushed state
  bool MouseAbove = false;    // the mouse is over the button
  bool HoverTracking = true;  // false: the pushed state alone counts, wherever the mouse is
  bool Down = false;          // the button stays pressed
  bool DroppedDown = false;   // its drop-down is open
  bool Active = false;        // focused or hovered (ControlIsActive)
  bool IsDefault = false;     // the form's default button
};

// 2 pressed, 1 hot, 3 for the default button, else 0.
[[nodiscard]] int ButtonCurrentState(const TsButtonStateInput& in);
// The state a section of `section_states` states is painted in: 3 becomes 1 with fewer than 4
// states; every state is capped to states - 1 (and never below 0).
[[nodiscard]] int ButtonPaintState(int state, int section_states);

// The pictures a button may show; -1 and any index outside 0..Count-1 are not valid.
struct TsButtonImages {
  int Count = 0;
  int ImageIndex = -1;
  int HotImageIndex = -1;
  int PressedImageIndex = -1;
  int SelectedImageIndex = -1;
  int DisabledImageIndex = -1;
};

// Disabled, pressed (state 2), focused and hot (state 1) pick their own picture when it is a
// valid index, else ImageIndex. The result may itself be invalid: then no glyph is drawn.
[[nodiscard]] int CurrentImageIndex(const TsButtonImages& images, bool enabled, int state,
                                    bool focused);

enum TacImageAlignment { iaLeft, iaRight, iaTop, iaBottom, iaCenter };

struct TsButtonLayoutInput {
  TSize Size;          // the button
  TSize Glyph;         // the image list's picture size at the density; 0 x 0 for none
  TRect ImageMargins;  // widths on each side of the picture
  int ContentMargin = 6;
  int ContentSpacing = 6;  // already scaled to the density
  TacImageAlignment Alignment = iaLeft;
  bool ClickShift = false;  // pressed and the section lets content move
};

struct TsButtonLayout {
  TRect GlyphRect;  // empty without a glyph
  TRect CaptionRect;
};

// Places picture and caption. `measure(width)` gives the caption's size when it is laid out in a
// rectangle that wide (wrapping as the button does); it is called once.
template <typename Measure>
[[nodiscard]] TsButtonLayout LayoutButton(const TsButtonLayoutInput& in, Measure&& measure);

// The focus frame around the caption: grown by focus_margin + 1 across and focus_margin up and
// down, but never closer than 3 pixels to the top and bottom edges of a button `height` high.
[[nodiscard]] TRect FocusFrameRect(TRect caption, int focus_margin, int height);

// ---- Implementation of the template.

[[nodiscard]] TsButtonLayout LayoutButtonMeasured(const TsButtonLayoutInput& in, int text_width,
                                                  TSize text);
[[nodiscard]] int CaptionAreaWidth(const TsButtonLayoutInput& in);

template <typename Measure>
TsButtonLayout LayoutButton(const TsButtonLayoutInput& in, Measure&& measure) {
  const int width = CaptionAreaWidth(in);
  return LayoutButtonMeasured(in, width, measure(width));
}

}  // namespace kestrune::skin
