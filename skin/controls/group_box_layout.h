#pragma once
// The rules of the skinned group box that need no window: where its caption, the parts of the
// caption and the band above the frame line lie, and when a paint must wait. Portable and exact.

#include "skin/pixels/geometry.h"

namespace kestrune::skin {

enum TacCaptionLayout { clTopLeft, clTopCenter, clTopRight };

struct TsGroupBoxLayoutInput {
  TSize Size;            // the box
  int LetterHeight = 0;  // height of "W" in the box's font
  int TextWidth = 0;     // the caption text as measured
  TSize Image;           // 0 x 0 without a picture
  TSize CheckBox;        // used only when ShowCheckBox
  bool ShowCheckBox = false;
  TRect CaptionMargin;  // Left, Top, Right, Bottom
  int CaptionYOffset = 0;
  int CaptionWidth = 0;  // 0: measured
  int Spacing = 4;       // already scaled to the density
  int BevelWidth = 1;    // the framework's bevel
  TacCaptionLayout Layout = clTopLeft;
  bool RightToLeft = false;
  bool CardStyle = false;
};

struct TsGroupBoxLayout {
  TRect CaptionRect;
  TRect TextRect;
  TRect GlyphRect;
  TRect CheckBoxRect;
  TRect TopRect;  // the band above the frame line
  int CaptionHeight = 0;
  int TextHeight = 0;
};

[[nodiscard]] TsGroupBoxLayout LayoutGroupBox(const TsGroupBoxLayoutInput& in);

// The caption's backdrop: the caption rectangle widened by the caption margins on each side and
// one more pixel at the bottom.
[[nodiscard]] TRect CaptionBackdropRect(const TsGroupBoxLayout& layout, TRect caption_margin);

// A group box paint waits (the box marks itself updating) only while its parent cannot lend the
// background behind it; the parent's finished paint then tells the box to paint. Hidden, dying
// or already updating boxes paint nothing either.
struct TsGroupBoxPaintInput {
  bool Showing = true;
  bool Destroying = false;
  bool Updating = false;
  bool ParentBackgroundReady = true;
};
enum class TacBoxPaint { Paint, Skip, Defer };
[[nodiscard]] TacBoxPaint GroupBoxPaintDecision(const TsGroupBoxPaintInput& in);

}  // namespace kestrune::skin
