#include "skin/controls/group_box_layout.h"

#include <algorithm>

namespace kestrune::skin {

TsGroupBoxLayout LayoutGroupBox(const TsGroupBoxLayoutInput& in) {
  TsGroupBoxLayout out;
  const bool image = in.Image.cx > 0 && in.Image.cy > 0;
  const int h = std::max(4, in.LetterHeight) + 2;
  out.TextHeight = h;
  int caption_height = h + in.CaptionYOffset + 2;
  if (image)
    caption_height = std::max(caption_height, in.Image.cy);
  if (in.ShowCheckBox)
    caption_height = std::max(caption_height, in.CheckBox.cy);
  int top = in.CaptionMargin.Top + std::min(0, in.CaptionYOffset);

  int caption_width =
      in.CaptionWidth > 0 ? in.CaptionWidth : in.TextWidth + (image ? in.Image.cx + in.Spacing : 0);
  if (in.ShowCheckBox)
    caption_width += in.CheckBox.cx + in.Spacing;

  if (in.CardStyle) {
    caption_height += in.Spacing;
    if (top < 0) {
      caption_height += top;
      top = 0;
    }
  }

  const int width = in.Size.cx;
  int left = 0;
  const bool at_start =
      (in.Layout == clTopLeft && !in.RightToLeft) || (in.Layout == clTopRight && in.RightToLeft);
  if (at_start)
    left = in.CaptionMargin.Left + 6;
  else if (in.Layout == clTopCenter)
    left = (width - caption_width) / 2;
  else
    left = width - caption_width - in.CaptionMargin.Right - 6;
  left = std::max(0, left);
  int right = std::min(left + caption_width, width - 1);
  if (caption_width < 2 * in.BevelWidth) {
    left -= in.BevelWidth;
    right += in.BevelWidth;
  }
  out.CaptionRect = TRect{left, top, right, top + caption_height};
  out.CaptionHeight = caption_height;

  // Check box, picture and text follow each other, mirrored when reading right to left.
  const auto place = [&](int& cursor, int item_width, int item_height) {
    const int item_top = top + (caption_height - item_height) / 2;
    TRect r = in.RightToLeft ? TRect{cursor - item_width, item_top, cursor, item_top + item_height}
                             : TRect{cursor, item_top, cursor + item_width, item_top + item_height};
    cursor += in.RightToLeft ? -(item_width + in.Spacing) : item_width + in.Spacing;
    return r;
  };
  int cursor = in.RightToLeft ? right : left;
  if (in.ShowCheckBox)
    out.CheckBoxRect = place(cursor, in.CheckBox.cx, in.CheckBox.cy);
  if (image)
    out.GlyphRect = place(cursor, in.Image.cx, in.Image.cy);
  const int text_top = top + (caption_height - h) / 2;
  out.TextRect = in.RightToLeft ? TRect{left, text_top, cursor, text_top + h}
                                : TRect{cursor, text_top, right, text_top + h};

  out.TopRect = TRect{0, 0, width, std::max(0, caption_height / 2 + in.CaptionMargin.Top)};
  return out;
}

TRect CaptionBackdropRect(const TsGroupBoxLayout& layout, TRect caption_margin) {
  const TRect& c = layout.CaptionRect;
  return TRect{c.Left - caption_margin.Left, c.Top - caption_margin.Top,
               c.Right + caption_margin.Right, c.Bottom + caption_margin.Bottom + 1};
}

TacBoxPaint GroupBoxPaintDecision(const TsGroupBoxPaintInput& in) {
  if (!in.Showing || in.Destroying || in.Updating)
    return TacBoxPaint::Skip;
  return in.ParentBackgroundReady ? TacBoxPaint::Paint : TacBoxPaint::Defer;
}

}  // namespace kestrune::skin
