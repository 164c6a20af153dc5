#include "app/alpha_image_list_win.h"

#include <commctrl.h>

#include "app/std_image_list_win.h"
#include "skin/pixels/bitmap_win.h"

namespace kestrune {

namespace {

// Blends through a bitmap that first receives the DC's pixels under (x, y, width, height).
template <class Draw>
void DrawOverBackground(HDC dc, int x, int y, int width, int height, Draw draw) {
  if (width <= 0 || height <= 0)
    return;
  skin::Bitmap canvas = skin::CreateBmp32(width, height);
  HDC canvas_dc = skin::BitmapDC(canvas);
  if (canvas.Empty() || canvas_dc == nullptr)
    return;
  ::BitBlt(canvas_dc, 0, 0, width, height, dc, x, y, SRCCOPY);
  draw(canvas);
  ::BitBlt(dc, x, y, width, height, canvas_dc, 0, 0, SRCCOPY);
}

}  // namespace

skin::TSize DrawAlphaImgListDC(TacImageList& img_list, HDC dc, int left, int top, int image_index,
                               int blend, skin::TColor grayed_color, int state, int num_glyphs,
                               bool reflected, int ppi) noexcept {
  auto* list = dynamic_cast<TsAlphaImageList*>(&img_list);
  if (list == nullptr || dc == nullptr || image_index < 0)
    return {};
  const int count = std::max(1, num_glyphs);
  const int width = GetImageWidth(*list, image_index, ppi) / count;
  const int height = GetImageHeight(*list, image_index, ppi);
  skin::TSize drawn;
  try {
    DrawOverBackground(dc, left, top, width, reflected ? height + height / 2 : height,
                       [&](skin::Bitmap& canvas) {
                         drawn = DrawAlphaImgList(*list, canvas, 0, 0, image_index, blend,
                                                  grayed_color, state, num_glyphs, reflected, ppi);
                       });
  } catch (...) {
    // Painting never raises; a picture that cannot be made is not drawn.
  }
  return drawn;
}

void DoDraw(TsAlphaImageList& list, int index, HDC dc, int x, int y, UINT /*style*/,
            bool enabled) noexcept {
  if (index < 0 || dc == nullptr)
    return;
  const auto at = static_cast<std::size_t>(index);
  const bool from_items = list.IsDuplicated() && at < list.Items().size() &&
                          !list.Items()[at]->ImgData.empty() &&
                          list.Items()[at]->ImageFormat != ifICO;
  try {
    if (from_items) {
      DrawOverBackground(
          dc, x, y, list.Width() * list.PixelsPerInch / 96, list.Height() * list.PixelsPerInch / 96,
          [&](skin::Bitmap& canvas) { list.DoDrawBitmap(index, canvas, 0, 0, enabled); });
    } else if (list.StdList() != nullptr && index < list.StdList()->Count()) {
      ::ImageList_Draw(StdImageListHandle(*list.StdList()), index, dc, x, y, ILD_NORMAL);
    }
  } catch (...) {
    // As above.
  }
}

}  // namespace kestrune
