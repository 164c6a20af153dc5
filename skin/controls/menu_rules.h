#pragma once
// The measuring rules of skinned menus, apart from any window: what kind an item is, how wide
// and tall it is, where its picture, text and shortcut go and how the drop-down's background bitmap
// lines up with the window the system made. Everything here is pure and portable.

#include <cstdint>
#include <string>
#include <string_view>

#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// Kinds of menu items, by caption.
enum TacMenuItemType : std::uint8_t { smCaption, smDivider, smNormal };

// "-" is a divider; "-text-" (longer than one character, starting and ending with "-") a
// caption divider; anything else a normal item.
[[nodiscard]] TacMenuItemType MenuItemKind(std::string_view caption);
// The text a caption divider shows: its caption without the first and last character.
[[nodiscard]] std::string_view DivText(std::string_view caption);
// The caption with every "&" removed, as the menu band measures it.
[[nodiscard]] std::string StripAmpersands(std::string_view caption);

// v scaled from 96 dots per inch to `ppi`.
[[nodiscard]] constexpr int ScaleToPPI(int value, int ppi) {
  return value * ppi / 96;
}

// What a drop-down item's size depends on, in pixels of the menu's density.
struct TacItemMeasure {
  int GlyphWidth = 16;
  int GlyphHeight = 16;
  int Margin = 2;
  int Spacing = 8;
  int BorderWidth = 3;
  bool NoBorder = false;  // the skin draws no frame of its own
  int ExtraWidth = 0;     // the extra line's width when this item stands beside it
};

// Width of a drop-down item whose text (caption plus shortcut) measures text_width; has_text is
// false for dividers, whose text is not measured.
[[nodiscard]] int MenuItemWidth(const TacItemMeasure& m, bool has_text, int text_width);
// Height: 2 for a divider, text + 2 x margin + 3 for a caption divider, max(text, glyph) +
// 2 x margin + 2 for a normal item.
[[nodiscard]] int MenuItemHeight(TacMenuItemType kind, const TacItemMeasure& m, int text_height);
// Width of the image column of a drop-down: glyph + margin + spacing.
[[nodiscard]] int ImageColumnWidth(const TacItemMeasure& m);

// Width of a menu-band item: its text (without "&") plus the picture and 6 when it has one
// (image_width 0: none).
[[nodiscard]] int LineItemWidth(int text_width, int image_width);

// The frame width the skin draws around a drop-down: with a border image the image's left
// margin, kept to 1..3; else max(0, radius div 2 - 4).
[[nodiscard]] int SkinBorderWidthOf(bool has_border_image, int image_left_margin,
                                    int border_radius);

// How a drop-down window made by the system lines up with its background bitmap (which has the
// window's size). The system keeps a frame around the items either outside the client area (a
// non-client frame; items start at client (0, 0)) or inside it (no non-client area; items start
// a few pixels in, over an edge the system paints itself). Both ways the bitmap point of client
// point p is p + ClientOffset, and the skin's frame covers Frame pixels along each window edge.
struct TacPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const TacPoint&, const TacPoint&) = default;
};
struct TacDropDownFrame {
  TacPoint ClientOffset;
  int Frame = 3;
  friend bool operator==(const TacDropDownFrame&, const TacDropDownFrame&) = default;
};
// From the window's and client area's top-left corners in screen coordinates and the first
// item's top-left corner in client coordinates.
[[nodiscard]] TacDropDownFrame DropDownFrame(TacPoint window, TacPoint client, TacPoint first_item);

// Whether the accelerator prefix of an item's text is hidden: only when the system asks for no
// accelerators (the owner-draw state bit 0x100) and the menus do not show them always.
inline constexpr unsigned kStateNoAccel = 0x100;
[[nodiscard]] constexpr bool HidesPrefix(unsigned owner_draw_state, bool show_always) {
  return (owner_draw_state & kStateNoAccel) != 0 && !show_always;
}

// Picture placement in a drop-down item of the given height: centred in the image column.
[[nodiscard]] TacPoint MenuGlyphPos(int column_width, int item_height, int glyph_width,
                                    int glyph_height, int extra_width);
// Picture placement in a menu-band item: 3 from the left (from the right for right-to-left
// menus), centred vertically.
[[nodiscard]] TacPoint LineGlyphPos(int item_width, int item_height, int glyph_width,
                                    int glyph_height, bool right_to_left);

// Where the parts of a drop-down item `width` x `height` go, in the item's coordinates. All of
// them stand right of the extra line (m.ExtraWidth; 0 without one).
struct TacItemColumns {
  TRect Background;   // the item's or caption divider's section: all right of the extra line
  TRect Divider;      // a divider's image, from the text column to the right margin; its plain
                      // line is the top row
  TRect CaptionText;  // a caption divider's centred text, margin + 2 in from top and bottom
  TRect Text;         // a normal item's caption: from the text column (glyph + 2 x margin +
                      // spacing) to the right edge, within the margins
  TRect ShortCut;     // its shortcut, right-aligned to twice 4 (scaled) before the right edge
  friend bool operator==(const TacItemColumns&, const TacItemColumns&) = default;
};
[[nodiscard]] TacItemColumns MenuItemColumns(const TacItemMeasure& m, int width, int height,
                                             int ppi);

}  // namespace kestrune::skin
