#include "skin/controls/skin_provider_metrics.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "skin/paint/item_paint.h"
#include "skin/paint/masked_copy.h"
#include "skin/paint/nine_slice.h"
#include "skin/paint/round_masks.h"

namespace kestrune::skin {
namespace {

constexpr int kNoGlyphSize = 21;

// Neither transparent nor the key colour.
bool Shows(std::uint32_t pixel) {
  return (pixel >> 24) != 0 && (pixel & 0xFFFFFFu) != 0xFF00FFu;
}

}  // namespace

bool CaptionGlyphUsable(const TacSkinData& sd, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= sd.ma.size())
    return false;
  const TsMaskData& md = sd.ma[static_cast<std::size_t>(index)];
  const Bitmap* picture = EntryPicture(md, sd.MasterBmp);
  if (picture == nullptr || md.Width <= 0 || md.Height <= 0)
    return false;
  const TRect cell = FrameCell(md, 0);
  if (cell.Left < 0 || cell.Top < 0 || cell.Right > picture->Width() ||
      cell.Bottom > picture->Height())
    return false;
  for (int y = cell.Top; y < cell.Bottom; ++y) {
    const std::uint32_t* row = picture->Row32(y);
    if (std::any_of(row + cell.Left, row + cell.Right, Shows))
      return true;
  }
  return false;
}

TacTitleSkin TitleSkinOf(const TacSkinData& data, int bi_valign, bool has_caption_section) {
  TacTitleSkin skin;
  skin.BISpacing = data.BISpacing;
  skin.BIRightMargin = data.BIRightMargin;
  skin.BILeftMargin = data.BILeftMargin;
  skin.BITopMargin = data.BITopMargin;
  skin.BIVAlign = bi_valign;
  skin.Spacing = data.Spacing;
  skin.HasCaptionSection = has_caption_section;
  for (std::size_t i = 0; i < kTitleGlyphCount; ++i) {
    const int index = data.TitleGlyphs[i];
    // A glyph the skin cannot show is drawn built in, at the size of a button without a glyph.
    if (CaptionGlyphUsable(data, index))
      skin.Glyphs[i] = TSize{data.ma[static_cast<std::size_t>(index)].Width,
                             data.ma[static_cast<std::size_t>(index)].Height};
  }
  skin.UserGlyph = skin.Glyphs[tgUser];
  return skin;
}

bool BigButtons(TacBorderStyle style) {
  return style == bsSingle || style == bsSizeable || style == bsDialog;
}

void UpdateIconsIndexes(const TacFormFrame& form, TacCaptionButtons& buttons) {
  buttons.Min.cpHitCode = kHitMinButton;
  buttons.Max.cpHitCode = kHitMaxButton;
  buttons.Close.cpHitCode = kHitClose;
  const bool big = BigButtons(form.BorderStyle);
  if (big) {
    buttons.Min.cpGlyphType = tgMin;
    buttons.Max.cpGlyphType = tgMax;
    buttons.Close.cpGlyphType = form.VisibleMax || form.VisibleMin ? tgClose : tgCloseAlone;
    buttons.Help.cpGlyphType = tgHelp;
  } else {
    buttons.Min.cpGlyphType = tgSmallMin;
    buttons.Max.cpGlyphType = tgSmallMax;
    buttons.Close.cpGlyphType = tgSmallClose;
    buttons.Help.cpGlyphType = tgSmallHelp;
  }
  for (TsCaptionButton* button : {&buttons.Close, &buttons.Max, &buttons.Min, &buttons.Help})
    button->cpHaveAlignment = big;
}

int GetNearestSize(int n) {
  if (n >= -100 && n <= 47)
    return 16;
  if (n >= 48 && n <= 64)
    return 24;
  return 32;
}

int TacFrameMetrics::PaddedBorder() const {
  const TacBorderStyle style = in_.Form.BorderStyle;
  return style == bsSizeable || style == bsSizeToolWin ? in_.Sys.CxPaddedBorder : 0;
}

int TacFrameMetrics::ThickFrameAnswer() const {
  return in_.Sys.CxFrame + PaddedBorder();
}

int TacFrameMetrics::FixedFrameAnswer() const {
  return (in_.Sys.Dpi == 96 ? in_.Sys.CxFixedFrame : in_.Sys.CxPaddedBorder) + PaddedBorder();
}

int TacFrameMetrics::FrameAnswer(int argument, int high_word) const {
  switch (argument) {
    case 1:
      return ThickFrameAnswer();
    case 2:
      return FixedFrameAnswer();
    case 3: {
      if (in_.Form.WrapperLeftEdge >= 0)
        return in_.Form.WrapperLeftEdge - in_.Form.BorderWidthProp;
      const int real = (in_.Form.Width - in_.Form.ClientWidth) / 2 - in_.Form.BorderWidthProp;
      if (real != 0)
        return real;
      if (high_word == 1)
        return ThickFrameAnswer();
      if (high_word == 2)
        return FixedFrameAnswer();
      return PaddedBorder();
    }
    default:
      return 0;
  }
}

int TacFrameMetrics::SysBorderWidth() const {
  if (in_.Form.ThickFrame)
    return FrameAnswer(1);
  if (in_.Form.BorderBit)
    return FrameAnswer(2) + (in_.Sys.OSMajor > 6 ? 5 : 0);
  return FrameAnswer(3, 0);
}

int TacFrameMetrics::SysCaptHeight() const {
  switch (in_.Form.BorderStyle) {
    case bsDialog:
      return in_.Sys.OSMajor >= 10 && !in_.Form.Minimized ? in_.Sys.CySmCaption : in_.Sys.CyCaption;
    case bsToolWindow:
    case bsSizeToolWin:
      return !in_.Form.Minimized ? in_.Sys.CySmCaption : in_.Sys.CyCaption;
    default:
      return in_.Sys.CyCaption;
  }
}

int TacFrameMetrics::CaptionHeight() const {
  if ((in_.Form.BorderStyle == bsNone || !in_.Form.CaptionStyle) && !in_.Form.Minimized)
    return 0;
  return SysCaptHeight();
}

int TacFrameMetrics::MenuHeight() const {
  return in_.Form.MenuBarVisible ? in_.Sys.CyMenu - 1 : 0;
}

int TacFrameMetrics::HeaderHeight() const {
  return std::max(0, in_.Form.Height - in_.Form.ClientHeight - BorderHeight());
}

int TacFrameMetrics::CornerRadius(int radius) const {
  // From the system's metrics, not the window's current size: a region made while the window
  // is still being laid out must not differ from the one made after.
  return std::clamp(radius, 0, std::max(SysBorderHeight() + CaptionHeight(), BorderWidth()));
}

int TacFrameMetrics::OffsetX() const {
  return (in_.Form.Width - in_.Form.ClientWidth) / 2;
}

int TacFrameMetrics::OffsetY() const {
  const int frame = in_.Form.BorderStyle != bsNone ? BorderWidth() : 0;
  return in_.Form.Height - in_.Form.ClientHeight - frame;
}

int TacFrameMetrics::CaptionWidth() const {
  return in_.Form.Minimized && !in_.Form.MainForm ? 160 : in_.Form.Width;
}

int TacFrameMetrics::GlyphWidth(TacTitleGlyph glyph) const {
  if (glyph >= tgNone)
    return kNoGlyphSize;
  const int width = in_.Skin.Glyphs[glyph].cx;
  return width > 0 ? width : kNoGlyphSize;
}

int TacFrameMetrics::ButtonHeight() const {
  const int height = in_.Skin.Glyphs[tgClose].cy;
  return height > 0 ? height : kNoGlyphSize;
}

int TacFrameMetrics::SysButtonWidth(const TsCaptionButton& button) const {
  return GlyphWidth(button.cpGlyphType);
}

int TacFrameMetrics::UserButtonWidth() const {
  const int image = in_.Skin.UserGlyph.cx > 0 ? in_.Skin.UserGlyph.cx : kNoGlyphSize;
  return std::max(2, image);  // the user buttons of this program carry no glyph of their own
}

int TacFrameMetrics::TitleBtnsWidth(const TacCaptionButtons& buttons) const {
  if (!in_.Form.SystemMenu)
    return 0;
  const int gap = BigButtons(in_.Form.BorderStyle) ? in_.Skin.BISpacing : 0;
  int width = in_.Skin.BIRightMargin + SysButtonWidth(buttons.Close);
  if (in_.Form.VisibleMax)
    width += gap + SysButtonWidth(buttons.Max);
  if (in_.Form.VisibleMin)
    width += gap + SysButtonWidth(buttons.Min);
  if (in_.Form.ShowHelp)
    width += gap + SysButtonWidth(buttons.Help);
  if (in_.Form.UserButtons > 0)
    width += in_.Skin.Spacing + in_.Form.UserButtons * (gap + UserButtonWidth());
  return width;
}

int TacFrameMetrics::SysButtonsCount() const {
  if (!in_.Form.SystemMenu)
    return 0;
  return 3 + (in_.Form.ShowHelp ? 1 : 0) - (in_.Form.VisibleMin ? 0 : 1) -
         (in_.Form.VisibleMax ? 0 : 1);
}

bool TacFrameMetrics::IconVisible() const {
  const TacBorderStyle style = in_.Form.BorderStyle;
  return in_.Form.TitleIconVisible && (style == bsSingle || style == bsSizeable) &&
         in_.Form.ShowAppIcon && in_.Form.SystemMenu;
}

int TacFrameMetrics::TitleIconWidth() const {
  if (!IconVisible())
    return 0;
  if (in_.Form.TitleIconWidth > 0)
    return in_.Form.TitleIconWidth;
  return GetNearestSize(CaptionHeight() - in_.Skin.BITopMargin);
}

int TacFrameMetrics::TitleIconHeight() const {
  if (!IconVisible())
    return 0;
  if (in_.Form.TitleIconHeight > 0)
    return in_.Form.TitleIconHeight;
  return GetNearestSize(CaptionHeight() - in_.Skin.BITopMargin);
}

TacTitleLayout TacFrameMetrics::CalcItems(const TacCaptionButtons& buttons) const {
  TacTitleLayout layout;
  layout.Buttons = buttons;
  const int border = SysBorderWidth();
  const int caption = CaptionHeight();
  const int dpi = in_.Sys.Dpi > 0 ? in_.Sys.Dpi : 96;
  // Never inside the frame the system really drew (Wine reports no padded border off 96).
  int left = std::max(border, OffsetX());
  int right = CaptionWidth() - std::max(4, border);
  layout.VCenter = caption / 2 + border / 2 + (in_.Form.Maximized ? 2 : 0);
  const int top_line = in_.Form.Maximized ? in_.Sys.CxFrame - 1 : 0;
  layout.HeaderHeight = SysBorderHeight() + caption;

  const int h = TitleIconHeight() * dpi / 96;
  const int w = TitleIconWidth() * dpi / 96;
  if (w > 0 && h > 0) {
    const int top = layout.VCenter - h / 2;
    layout.IconRect = TRect{left, top, left + w, top + h};
  } else {
    layout.IconRect = TRect{left, 0, left, 0};
  }

  const bool big = BigButtons(in_.Form.BorderStyle);
  const int gap = big ? in_.Skin.BISpacing : 0;
  const auto place = [&](TsCaptionButton& button, bool shown) {
    if (!shown) {
      button.cpRect = TRect{right, 0, right, 0};
      return;
    }
    const int top = in_.Skin.BIVAlign == 1 && button.cpHaveAlignment
                        ? top_line
                        : layout.VCenter - ButtonHeight() / 2;
    button.cpRect = TRect{right - SysButtonWidth(button), top, right, top + ButtonHeight()};
    right = button.cpRect.Left - gap;
  };
  TacCaptionButtons& b = layout.Buttons;
  if (b.Max.cpGlyphType == tgMax || b.Max.cpGlyphType == tgNormal)
    b.Max.cpGlyphType = in_.Form.Maximized ? tgNormal : tgMax;
  else if (b.Max.cpGlyphType == tgSmallMax || b.Max.cpGlyphType == tgSmallNormal)
    b.Max.cpGlyphType = in_.Form.Maximized ? tgSmallNormal : tgSmallMax;
  const bool minimized_child = in_.Form.Minimized && !in_.Form.MainForm;
  if (b.Min.cpGlyphType == tgMin || b.Min.cpGlyphType == tgNormal)
    b.Min.cpGlyphType = minimized_child ? tgNormal : tgMin;
  else if (b.Min.cpGlyphType == tgSmallMin || b.Min.cpGlyphType == tgSmallNormal)
    b.Min.cpGlyphType = minimized_child ? tgSmallNormal : tgSmallMin;
  const bool system_menu = in_.Form.SystemMenu && caption > 0;
  place(b.Close, system_menu);
  place(b.Max, system_menu && in_.Form.VisibleMax);
  place(b.Min, system_menu && in_.Form.VisibleMin);
  if (system_menu && in_.Form.ShowHelp)
    right -= in_.Skin.Spacing;
  place(b.Help, system_menu && in_.Form.ShowHelp);

  if (w > 0 && h > 0)
    layout.TextLeft = layout.IconRect.Right + in_.Skin.Spacing;
  else
    layout.TextLeft = border + in_.Skin.BILeftMargin + (in_.Skin.HasCaptionSection ? 2 : 0);
  layout.TextRight = CaptionWidth() - TitleBtnsWidth(b) - border - in_.Skin.Spacing;
  return layout;
}

TRect CaptionTextRect(const TacTitleLayout& layout, int line_height) {
  const int top = layout.VCenter - line_height / 2 - 1;
  return TRect{layout.TextLeft, top, layout.TextRight, top + line_height};
}

std::vector<TacCornerRow> CornerRows(int form_radius, int title_radius, int height) {
  std::vector<TacCornerRow> rows;
  const auto cut = [&](int radius, bool top) {
    const auto mask = GetRoundMask(radius);
    if (!mask)
      return;
    for (int k = 0; k <= radius; ++k) {
      const int mask_row = top ? k : mask->Side - 1 - k;
      int cut_width = 0;
      while (cut_width <= radius && mask->At(cut_width, mask_row) > 127)
        ++cut_width;
      if (cut_width > 0)
        rows.push_back(TacCornerRow{top ? k : height - 1 - k, cut_width});
    }
  };
  const int top_radius = std::max(form_radius, title_radius);
  if (top_radius > 0)
    cut(top_radius, true);
  if (form_radius > 0)
    cut(form_radius, false);
  return rows;
}

std::vector<TacRegionCut> MaskCornerCuts(const TsMaskData& md, const Bitmap* master, int width,
                                         int height, bool bottom) {
  std::vector<TacRegionCut> cuts;
  const Bitmap* picture = EntryPicture(md, master);
  const bool masked = md.MaskType != 0 && !HasOwnAlpha(md);
  const TRect cell{md.R.Left, md.R.Top, md.R.Left + md.Width, md.R.Top + md.Height};
  const int mask_rows = masked ? MaskOffset(md) : 0;
  if (picture == nullptr || cell.IsEmpty() || cell.Left < 0 || cell.Top < 0 ||
      cell.Right > picture->Width() || cell.Bottom + mask_rows > picture->Height())
    return cuts;
  // The corner pieces keep the size the frame is drawn with, margins fitted to a small window
  // (and, for a broken entry, to its picture).
  TSliceMargins m = FitSliceMargins({md.WL, md.WT, md.WR, md.WB}, width, height);
  m = TSliceMargins{std::clamp(m.Left, 0, cell.Width()), std::clamp(m.Top, 0, cell.Height()),
                    std::clamp(m.Right, 0, cell.Width()), std::clamp(m.Bottom, 0, cell.Height())};
  const auto transparent = [&](int x, int y) {
    const std::uint32_t pixel = picture->Row32(y)[x];
    if ((pixel & 0xFFFFFFu) == 0xFF00FFu)
      return true;
    if (HasOwnAlpha(md))
      return (pixel >> 24) == 0;
    return masked && (picture->Row32(y + mask_rows)[x] & 0xFFFFFFu) == 0xFFFFFFu;
  };
  // One corner piece: w x h pixels of the picture from (sx, sy), drawn at (dx, dy), touching the
  // window's left or right edge and its top or bottom edge. Only the transparent pixels that
  // reach those edges lie outside the frame: the ones the frame's band encloses let the form's
  // background show and stay in the window.
  const auto corner = [&](int sx, int sy, int w, int h, int dx, int dy, bool left, bool top) {
    if (w <= 0 || h <= 0)
      return;
    const auto at = [w](int x, int y) { return static_cast<std::size_t>(y * w + x); };
    std::vector<char> outside(static_cast<std::size_t>(w * h), 0);
    std::vector<std::pair<int, int>> queue;
    const auto reach = [&](int x, int y) {
      if (x < 0 || y < 0 || x >= w || y >= h || outside[at(x, y)] != 0 ||
          !transparent(sx + x, sy + y))
        return;
      outside[at(x, y)] = 1;
      queue.emplace_back(x, y);
    };
    for (int x = 0; x < w; ++x)
      reach(x, top ? 0 : h - 1);
    for (int y = 0; y < h; ++y)
      reach(left ? 0 : w - 1, y);
    // Side by side only: a diagonal step would leak through a frame line drawn one pixel thin.
    for (std::size_t i = 0; i < queue.size(); ++i) {
      const auto [x, y] = queue[i];
      reach(x - 1, y);
      reach(x + 1, y);
      reach(x, y - 1);
      reach(x, y + 1);
    }
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w;) {
        if (outside[at(x, y)] == 0) {
          ++x;
          continue;
        }
        const int run = x;
        while (x < w && outside[at(x, y)] != 0)
          ++x;
        cuts.push_back(TacRegionCut{dy + y, dx + run, dx + x});
      }
    }
  };
  corner(cell.Left, cell.Top, m.Left, m.Top, 0, 0, true, true);
  corner(cell.Right - m.Right, cell.Top, m.Right, m.Top, width - m.Right, 0, false, true);
  if (bottom) {
    corner(cell.Left, cell.Bottom - m.Bottom, m.Left, m.Bottom, 0, height - m.Bottom, true, false);
    corner(cell.Right - m.Right, cell.Bottom - m.Bottom, m.Right, m.Bottom, width - m.Right,
           height - m.Bottom, false, false);
  }
  return cuts;
}

}  // namespace kestrune::skin
