#pragma once
// Painting one skin section into a 32-bit bitmap: the background (own colour, gradient and
// texture mixed with the parent's picture by the section's transparency), the corner images, the
// frame (a nine-slice cut from the skin's pictures, or a coloured border with rounded corners),
// single state images, and the outer effect a control throws onto its parent.
//
// Everything here is portable and exact to the bit; nothing throws. An invalid section or image
// index, a missing picture, an empty rectangle or one outside the bitmap draws nothing. Indexes
// count from 0: index 0 is a valid section or image.

#include <array>
#include <cstdint>

#include "skin/data/skin_data.h"
#include "skin/data/skin_records.h"
#include "skin/paint/common_data.h"
#include "skin/paint/round_masks.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/cache_info.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// Texture fill modes; 8, 9 and 14 have no drawing of their own and tile as fmTiled.
enum TacFillMode : std::uint8_t {
  fmTiled,
  fmStretched,
  fmTiledHorz,
  fmTiledVert,
  fmStretchHorzTop,
  fmStretchVertLeft,
  fmTileHorBtm,
  fmTileVertRight,
  fmStretchHorBtm,
  fmStretchVertRight,
  fmDisTiled,
  fmStretchHorz,
  fmStretchVert,
  fmFromBottomToTop,
  fmReserved1,
};

// DrawMode bits of frames.
inline constexpr int kDrawStretch = 1;
inline constexpr int kDrawNotInState0 = 2;
inline constexpr int kDrawCentre = 4;

// The colour of a section with transparency t (percent) over a parent colour: the one mixing
// rule used wherever a transparent section stands for a flat colour.
[[nodiscard]] TColor TransparentColor(TColor parent, TColor own, int transparency);

// The picture an entry is cut from: its own, else the master image; null when neither.
[[nodiscard]] const Bitmap* EntryPicture(const TsMaskData& md, const Bitmap* master);
// The rectangle of state image `state` (clamped to the entry's frames) in that picture.
[[nodiscard]] TRect FrameCell(const TsMaskData& md, int state);

// Nine-slice frame of md over r; see nine_slice.h for the geometry. Corners may show ci's
// background through their transparent pixels when update_corners and the entry's Cfg allows.
void DrawSkinRect(Bitmap& bmp, TRect r, const TCacheInfo& ci, const TsMaskData& md,
                  const Bitmap* master, int state, bool update_corners);

// One state image with its top-left corner at p; the parts left of or above 0 are cut.
void DrawSkinGlyph(Bitmap& bmp, TPoint p, int state, int added_transparency, const TsMaskData& md,
                   const Bitmap* master, const TCacheInfo& ci);

// Texture fills over r in fill mode `fill_mode`. On return r is the part left uncovered, or
// (-1, -1, -1, -1) when all of it is covered. A texture of size 0 covers nothing.
void TileBitmap(Bitmap& bmp, TRect& r, const Bitmap& picture, const TsMaskData& md, int fill_mode);
// Masked textures, drawn in modes 0 and 10 only; in mode 10 the strips beyond the last whole
// tile take ci's background.
void TileMasked(Bitmap& bmp, TRect& r, const TCacheInfo& ci, const TsMaskData& md,
                const Bitmap& picture, int fill_mode);

// A section state's own fill: colour, texture and gradient shares in percent.
struct TsSectionFill {
  TColor Color = clWhite;
  int ImagePercent = 0;
  int GradientPercent = 0;
  int TextureIndex = -1;
  const TsGradArray* Gradient = nullptr;  // not owned; null or empty for none
};
void PaintAddons(Bitmap& bmp, TRect r, const TsSectionFill& fill, const TacSkinData& sd);

// The background of section skin_index in `state` over r, mixed with what ci describes
// (pp: where r lies in that area).
void PaintItemBG(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp,
                 Bitmap& item_bmp, const TacSkinData& sd, int texture_index = -1,
                 int hot_texture_index = -1, TColor custom_color = clFuchsia);

// A control's overrides of its section's border.
struct TsBorderOverride {
  int Width = -1;  // -1: the section's
  TColor ColorNormal = clNone;
  TColor ColorActive = clNone;
  TColor ColorPressed = clNone;
  TCornerRadii Radii{-1, -1, -1, -1};
  [[nodiscard]] bool IsChanged() const {
    return Width >= 0 || ColorNormal != clNone || ColorActive != clNone || ColorPressed != clNone ||
           Radii != TCornerRadii{-1, -1, -1, -1};
  }
};

// Fits radii to a control of width x height: pairs along the shorter sides whose sum exceeds
// the size - 1 are set to (size - 1) div 2 each.
void UpdateCtrlCorners(TCornerRadii& radii, int width, int height);

// The coloured border of gd (or of the override) in `state`; true when a border was drawn.
// fit_corners stands for a control that fits its radii (and asks for square corners as -1).
// The section's own radius is held to max_radius (a window's corners stay in its frame).
bool TryPaintBorder(Bitmap& bmp, TRect r, const TsGeneralData& gd, int state, const TCacheInfo& ci,
                    const TsBorderOverride* custom, int ppi, bool fit_corners,
                    int max_radius = INT32_MAX);

// What a control adds to the section: its own colour, tint and border.
struct TsItemStyle {
  TColor CustomColor = clFuchsia;  // clFuchsia: the section's colours
  TColor ColorTone = clNone;
  int HueOffset = 0;
  int Saturation = 0;  // percent, -100..100
  const TsBorderOverride* Border = nullptr;
  int PPI = 96;
  bool UpdateCorners = true;
  bool ColorsAutoUpdate = true;
};

// A whole section: background, corner images, frame, and with a style the control's tint.
void PaintItem(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp,
               Bitmap& item_bmp, const TacSkinData& sd);
// With the section's corner radius held to at most max_radius.
void PaintItem(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp,
               Bitmap& item_bmp, const TacSkinData& sd, int max_radius);
void PaintItem(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp,
               Bitmap& item_bmp, const TacSkinData& sd, const TsItemStyle& style);
// Painted into a bitmap of r's size and copied to dc at r (a device context on Windows; elsewhere
// a HeadlessDC, see bg_info.h); pp is still where r lies in the area ci describes.
void PaintItem(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp, TacDC dc,
               const TacSkinData& sd);
// A bitmap pointer is never a device context.
void PaintItem(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp, Bitmap* bmp,
               const TacSkinData& sd) = delete;
// With the frame taken from md whenever the section has a valid frame image.
void PaintItem(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp,
               Bitmap& item_bmp, const TacSkinData& sd, const TsMaskData& md);
// Parts that are not whole sections: the texture comes from bg_index in state 0 and
// bg_hot_index otherwise; the frame from mask_index when valid, else the section's border.
void PaintItemFast(int skin_index, int mask_index, int bg_index, int bg_hot_index,
                   const TCacheInfo& ci, int state, TRect r, TPoint pp, Bitmap& item_bmp,
                   const TacSkinData& sd);
void PaintItemBGFast(int skin_index, int bg_index, int bg_hot_index, const TCacheInfo& ci,
                     int state, TRect r, TPoint pp, Bitmap& item_bmp, const TacSkinData& sd);
// The whole bitmap with section_index (second_index when that is below 0) over bg_color;
// returns the index used.
int PaintSection(Bitmap& bmp, int section_index, int second_index, int state, const TacSkinData& sd,
                 TPoint parent_offset, TColor bg_color);
// Over what parent_dc shows: bmp is first filled from the DC at parent_offset, and those pixels
// are the section's ready background (kept apart, so rounded corners show them and not the
// section's own paint). Without a DC as above.
int PaintSection(Bitmap& bmp, int section_index, int second_index, int state, const TacSkinData& sd,
                 TPoint parent_offset, TColor bg_color, TacDC parent_dc);

// The tint of a control's own bitmap: tone towards `tone` (skipped for clNone), hue rotated,
// saturation changed by saturation * 255 div 100; key-colour pixels are left.
void UpdateBmpColors(Bitmap& bmp, TColor tone, int hue_offset, int saturation);

// The forms bound to a control's skin state: its section, colour, tint, border and density.
// PaintItem paints r of item_bmp as the control's section; UpdateBmpColors tints a cache the
// control built itself (the tone color_tone_bg for the two button kinds) and refreshes its
// corners; UpdateCorners lays the selected corners of the control's cache over its parent's
// background again. Nothing happens for an unbound or unskinned state.
void PaintItem(TsCommonData& data, const TCacheInfo& ci, int state, TRect r, TPoint pp,
               Bitmap& item_bmp, bool update_corners = true, bool colors_auto_update = true);
void UpdateBmpColors(Bitmap& bmp, TsCommonData& data, int state, TColor color_tone_bg);
// The background alone, in the control's own colour when it has one.
void PaintItemBG(TsCommonData& data, const TCacheInfo& ci, int state, TRect r, TPoint pp,
                 Bitmap& item_bmp);
enum TsCorner : unsigned { scLeftTop = 1, scLeftBottom = 2, scRightTop = 4, scRightBottom = 8 };
inline constexpr unsigned kAllCorners = scLeftTop | scLeftBottom | scRightTop | scRightBottom;
void UpdateCorners(TsCommonData& data, int state, unsigned corners);

// The outer-effect nine-slice around a control: only the bands of the visible widths along r's
// edges are drawn, laid over the parent's pixels with the effect's opacity.
void DrawSkinRect32Ex(Bitmap& bmp, TRect r, const TCacheInfo& ci, const TsMaskData& md,
                      const Bitmap* master, int state, TRect max_widths, std::uint8_t opacity);

// The part of the parent an outer effect of section skin_index covers around control_rect (the
// control's rectangle there): that rectangle grown by the effect's offsets. Empty when the
// section throws no effect or its image is missing.
[[nodiscard]] TRect OuterEffectRect(TRect control_rect, int skin_index, const TacSkinData& sd);

// A control's outer effect (shadow or glow) drawn into its parent's picture `parent` around
// control_rect (the control's rectangle there). `focused` doubles the opacity. Nothing for a
// section without an outer mode, or an effect whose image is missing.
void PaintOuterEffect(Bitmap& parent, TRect control_rect, int skin_index, const TacSkinData& sd,
                      bool focused);

}  // namespace kestrune::skin
