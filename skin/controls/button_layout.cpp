#include "skin/controls/button_layout.h"

#include <algorithm>

namespace kestrune::skin {
namespace {

bool Valid(int index, int count) {
  return index >= 0 && index < count;
}

bool HasGlyph(const TsButtonLayoutInput& in) {
  return in.Glyph.cx > 0 && in.Glyph.cy > 0;
}

TRect Moved(TRect r, int dx, int dy) {
  return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

}  // namespace

int ButtonCurrentState(const TsButtonStateInput& in) {
  if ((in.Pushed && (in.MouseAbove || !in.HoverTracking)) || in.Down || in.DroppedDown)
    return 2;
  if (in.Active)
    return 1;
  return in.IsDefault ? 3 : 0;
}

int ButtonPaintState(int state, int section_states) {
  if (state == 3 && section_states < 4)
    state = 1;
  return std::max(0, std::min(state, section_states - 1));
}

int CurrentImageIndex(const TsButtonImages& images, bool enabled, int state, bool focused) {
  int wanted = -1;
  if (!enabled)
    wanted = images.DisabledImageIndex;
  else if (state == 2)
    wanted = images.PressedImageIndex;
  else if (focused)
    wanted = images.SelectedImageIndex;
  else if (state == 1)
    wanted = images.HotImageIndex;
  return Valid(wanted, images.Count) ? wanted : images.ImageIndex;
}

int CaptionAreaWidth(const TsButtonLayoutInput& in) {
  const int w = in.Size.cx;
  if (!HasGlyph(in) || in.Alignment == iaTop || in.Alignment == iaBottom ||
      in.Alignment == iaCenter)
    return std::max(0, w - 2 * in.ContentMargin);
  const int used = in.ContentSpacing + in.Glyph.cx + in.ImageMargins.Left + in.ContentMargin +
                   in.ImageMargins.Right;
  return std::max(0, w - in.ContentMargin - used);
}

TsButtonLayout LayoutButtonMeasured(const TsButtonLayoutInput& in, int text_width, TSize text) {
  const int w = in.Size.cx;
  const int h = in.Size.cy;
  TsButtonLayout out;
  if (!HasGlyph(in)) {
    // Without a picture the measured text is centred in the whole button.
    const int left = (w - text.cx) / 2;
    const int top = (h - text.cy) / 2;
    out.CaptionRect = TRect{left, top, left + text.cx, top + text.cy};
  } else {
    const TSize image{in.Glyph.cx + in.ImageMargins.Left + in.ImageMargins.Right,
                      in.Glyph.cy + in.ImageMargins.Top + in.ImageMargins.Bottom};
    const int caption_top = (h - text.cy) / 2;
    int glyph_left = 0;
    int glyph_top = (h - image.cy) / 2 + in.ImageMargins.Top;
    switch (in.Alignment) {
      case iaLeft:
        glyph_left = in.ImageMargins.Left + in.ContentMargin;
        out.CaptionRect = TRect{w - in.ContentMargin - text_width, caption_top,
                                w - in.ContentMargin, h - caption_top};
        break;
      case iaRight:
        glyph_left = w - in.ImageMargins.Right - in.ContentMargin - in.Glyph.cx;
        out.CaptionRect =
            TRect{in.ContentMargin, caption_top, in.ContentMargin + text_width, h - caption_top};
        break;
      case iaTop:
      case iaBottom:
      case iaCenter:
        glyph_left = (w - image.cx) / 2 + in.ImageMargins.Left;
        if (in.Alignment == iaTop)
          glyph_top = in.ImageMargins.Top + in.ContentMargin;
        else if (in.Alignment == iaBottom)
          glyph_top = h - in.ImageMargins.Bottom - in.ContentMargin - in.Glyph.cy;
        out.CaptionRect =
            TRect{in.ContentMargin, caption_top, in.ContentMargin + text_width, h - caption_top};
        break;
    }
    out.GlyphRect = TRect{glyph_left, glyph_top, glyph_left + in.Glyph.cx, glyph_top + in.Glyph.cy};
  }
  if (in.ClickShift) {
    out.CaptionRect = Moved(out.CaptionRect, 1, 1);
    if (!out.GlyphRect.IsEmpty())
      out.GlyphRect = Moved(out.GlyphRect, 1, 1);
  }
  return out;
}

TRect FocusFrameRect(TRect caption, int focus_margin, int height) {
  TRect r{caption.Left - focus_margin - 1, caption.Top - focus_margin,
          caption.Right + focus_margin + 1, caption.Bottom + focus_margin};
  r.Top = std::max(r.Top, 3);
  r.Bottom = std::min(r.Bottom, height - 3);
  return r;
}

}  // namespace kestrune::skin
