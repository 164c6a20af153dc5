#include "skin/controls/menu_rules.h"

#include <algorithm>

namespace kestrune::skin {

TacMenuItemType MenuItemKind(std::string_view caption) {
  if (caption == "-")
    return smDivider;
  if (caption.size() > 1 && caption.front() == '-' && caption.back() == '-')
    return smCaption;
  return smNormal;
}

std::string_view DivText(std::string_view caption) {
  return caption.size() < 2 ? std::string_view{} : caption.substr(1, caption.size() - 2);
}

std::string StripAmpersands(std::string_view caption) {
  std::string text;
  text.reserve(caption.size());
  for (const char c : caption) {
    if (c != '&')
      text += c;
  }
  return text;
}

int MenuItemWidth(const TacItemMeasure& m, bool has_text, int text_width) {
  int width = 2 * m.GlyphWidth + 3 * m.Margin + m.Spacing;
  if (has_text) {
    width += text_width;
    if (m.NoBorder)
      width -= 2 * m.BorderWidth;
  }
  return width + m.ExtraWidth;
}

int MenuItemHeight(TacMenuItemType kind, const TacItemMeasure& m, int text_height) {
  switch (kind) {
    case smDivider:
      return 2;
    case smCaption:
      return text_height + 2 * m.Margin + 3;
    case smNormal:
      break;
  }
  return std::max(text_height, m.GlyphHeight) + 2 * m.Margin + 2;
}

int ImageColumnWidth(const TacItemMeasure& m) {
  return m.GlyphWidth + m.Margin + m.Spacing;
}

int LineItemWidth(int text_width, int image_width) {
  return text_width + (image_width > 0 ? image_width + 6 : 0);
}

int SkinBorderWidthOf(bool has_border_image, int image_left_margin, int border_radius) {
  if (has_border_image)
    return image_left_margin < 1 ? 3 : std::min(image_left_margin, 3);
  return std::max(0, border_radius / 2 - 4);
}

TacDropDownFrame DropDownFrame(TacPoint window, TacPoint client, TacPoint first_item) {
  const TacPoint offset{client.x - window.x, client.y - window.y};
  return {offset, std::max(offset.x + first_item.x, offset.y + first_item.y)};
}

TacPoint MenuGlyphPos(int column_width, int item_height, int glyph_width, int glyph_height,
                      int extra_width) {
  return {(column_width - glyph_width) / 2 + extra_width, (item_height - glyph_height) / 2};
}

TacPoint LineGlyphPos(int item_width, int item_height, int glyph_width, int glyph_height,
                      bool right_to_left) {
  return {right_to_left ? item_width - glyph_width - 3 : 3, (item_height - glyph_height) / 2};
}

TacItemColumns MenuItemColumns(const TacItemMeasure& m, int width, int height, int ppi) {
  const int extra = m.ExtraWidth;
  const int text_left = m.GlyphWidth + 2 * m.Margin + m.Spacing + extra;
  TacItemColumns c;
  c.Background = TRect{extra, 0, width, height};
  c.Divider = TRect{m.Margin + ImageColumnWidth(m) + extra, 0, width - m.Margin, height};
  const int inset = m.Margin + 2;
  c.CaptionText = TRect{extra, inset, width, height - inset};
  c.Text = TRect{text_left, m.Margin, width, height - m.Margin};
  c.ShortCut = TRect{text_left, m.Margin, width - 2 * ScaleToPPI(4, ppi), height - m.Margin};
  return c;
}

}  // namespace kestrune::skin
