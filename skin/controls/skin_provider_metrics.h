#pragma once
// The form provider's measurements of a standard frame: frame widths, title and menu heights,
// where the client area lies in the window bitmap, and the title bar's layout (icon, caption
// buttons, caption text). Everything here is a pure function of the system metrics, the Windows
// version, the form's frame and the skin, so the rules are tested without windows; the provider
// fills TacFrameInput from the live window.

#include <array>
#include <cstdint>
#include <vector>

#include "skin/data/skin_data.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// Which title glyph of the skin a caption button shows; the order of TacSkinData::TitleGlyphs.
enum TacTitleGlyph : std::uint8_t {
  tgCloseAlone,
  tgClose,
  tgMax,
  tgMin,
  tgNormal,
  tgHelp,
  tgSmallClose,
  tgSmallMax,
  tgSmallMin,
  tgSmallNormal,
  tgSmallHelp,
  tgUser,
  tgNone,
};

// The system's hit-test codes of the caption buttons.
inline constexpr unsigned kHitMinButton = 8;
inline constexpr unsigned kHitMaxButton = 9;
inline constexpr unsigned kHitClose = 20;

// The system commands the caption buttons and the system menu give (the values of SC_SIZE and
// its kin).
inline constexpr unsigned kScSize = 0xF000;
inline constexpr unsigned kScMove = 0xF010;
inline constexpr unsigned kScMinimize = 0xF020;
inline constexpr unsigned kScMaximize = 0xF030;
inline constexpr unsigned kScClose = 0xF060;
inline constexpr unsigned kScRestore = 0xF120;
inline constexpr unsigned kScContextHelp = 0xF180;

struct TsCaptionButton {
  int cpState = -1;  // 0 normal, 1 hot, 2 pressed, -1 never drawn
  int cpGlowID = -1;
  TRect cpRect;  // window coordinates; an absent button has Right == Left
  unsigned cpHitCode = 0;
  const void* cpTimer = nullptr;  // the running fade (TacSBAnimation); null when none
  bool cpHaveAlignment = false;
  TacTitleGlyph cpGlyphType = tgNone;

  [[nodiscard]] bool Present() const { return cpRect.Right > cpRect.Left; }
};

enum TacBorderStyle : std::uint8_t {
  bsNone,
  bsSingle,
  bsSizeable,
  bsDialog,
  bsToolWindow,
  bsSizeToolWin,
};

// System metrics at the window's density (GetSystemMetricsForDpi where it exists).
struct TacSystemMetrics {
  int CxFrame = 4;
  int CxFixedFrame = 3;
  int CxPaddedBorder = 0;
  int CyCaption = 23;
  int CySmCaption = 15;
  int CyMenu = 19;
  int Dpi = 96;
  int OSMajor = 6;  // GetVersion's major number: 10 on Windows 10 and 11, 6 under Wine
};

// The form as the frame rules see it.
struct TacFormFrame {
  TacBorderStyle BorderStyle = bsSingle;
  bool ThickFrame = false;   // WS_THICKFRAME
  bool BorderBit = true;     // WS_BORDER (part of WS_CAPTION)
  bool CaptionStyle = true;  // WS_CAPTION whole
  int BorderWidthProp = 0;   // the form's own BorderWidth property
  int Width = 0;             // window
  int Height = 0;
  int ClientWidth = 0;
  int ClientHeight = 0;
  bool Minimized = false;
  bool Maximized = false;
  bool MainForm = true;
  bool SystemMenu = true;  // WS_SYSMENU
  bool VisibleMin = false;
  bool VisibleMax = false;
  bool ShowHelp = false;
  bool MenuBarVisible = false;
  int MenuLines = 0;  // menu bar rows
  // The left edge width recorded by the form's own scroll-bar wrapper; -1 when none.
  int WrapperLeftEdge = -1;
  bool ShowAppIcon = true;
  bool TitleIconVisible = true;
  int TitleIconWidth = 0;  // TitleIcon.Width / Height; 0: from the glyph or the caption height
  int TitleIconHeight = 0;
  int UserButtons = 0;
};

// What the skin says of the title bar, already at the window's density.
struct TacTitleSkin {
  int BISpacing = 0;
  int BIRightMargin = 0;
  int BILeftMargin = 0;
  int BITopMargin = 0;
  int BIVAlign = 0;
  int Spacing = 4;  // 4 scaled to the density
  bool HasCaptionSection = false;
  // One state of each title glyph; 0 x 0 where the skin has none.
  std::array<TSize, kTitleGlyphCount> Glyphs{};
  TSize UserGlyph;  // the TITLEBUTTON image
};

// Whether entry `index` of sd.ma can be drawn as a title glyph: a picture holds its first frame
// whole, and some pixel of that frame is not transparent.
[[nodiscard]] bool CaptionGlyphUsable(const TacSkinData& sd, int index);

// The title skin of one density copy of the skin.
[[nodiscard]] TacTitleSkin TitleSkinOf(const TacSkinData& data, int bi_valign,
                                       bool has_caption_section);

struct TacFrameInput {
  TacSystemMetrics Sys;
  TacFormFrame Form;
  TacTitleSkin Skin;
};

// The caption buttons of a form, in the provider's order.
struct TacCaptionButtons {
  TsCaptionButton Close;
  TsCaptionButton Max;
  TsCaptionButton Min;
  TsCaptionButton Help;
};

// Glyph types, hit codes and alignment of the caption buttons.
[[nodiscard]] bool BigButtons(TacBorderStyle style);
void UpdateIconsIndexes(const TacFormFrame& form, TacCaptionButtons& buttons);

// The title bar's layout for one paint.
struct TacTitleLayout {
  int VCenter = 0;
  int HeaderHeight = 0;  // SysBorderHeight + CaptionHeight
  TRect IconRect;
  TacCaptionButtons Buttons;
  int TextLeft = 0;  // the caption text's horizontal span (left alignment)
  int TextRight = 0;
};

class TacFrameMetrics {
 public:
  explicit TacFrameMetrics(const TacFrameInput& input) : in_(input) {}

  // The provider's answer to AC_GETBORDERWIDTH: argument 1 the thick frame, 2 the fixed frame,
  // 3 the real frame (high_word chooses the fallback when the form has no BorderWidth).
  [[nodiscard]] int FrameAnswer(int argument, int high_word = 0) const;
  [[nodiscard]] int PaddedBorder() const;
  [[nodiscard]] int SysBorderWidth() const;
  [[nodiscard]] int SysBorderHeight() const { return SysBorderWidth(); }
  [[nodiscard]] int SysCaptHeight() const;
  [[nodiscard]] int CaptionHeight() const;
  [[nodiscard]] int BorderWidth() const { return SysBorderWidth() + in_.Form.BorderWidthProp; }
  [[nodiscard]] int BorderHeight() const { return BorderWidth(); }
  [[nodiscard]] int MenuHeight() const;
  [[nodiscard]] int HeaderHeight() const;
  [[nodiscard]] int OffsetX() const;
  [[nodiscard]] int OffsetY() const;
  [[nodiscard]] int CaptionWidth() const;
  [[nodiscard]] int ButtonHeight() const;
  [[nodiscard]] int SysButtonWidth(const TsCaptionButton& button) const;
  [[nodiscard]] int UserButtonWidth() const;
  [[nodiscard]] int TitleBtnsWidth(const TacCaptionButtons& buttons) const;
  [[nodiscard]] int SysButtonsCount() const;
  [[nodiscard]] bool IconVisible() const;
  [[nodiscard]] int TitleIconWidth() const;
  [[nodiscard]] int TitleIconHeight() const;
  // The window's corner radius for the skin's `radius`: never beyond the title bar and the
  // frame above it (or the border, without a title), so that a skin cannot cut the window into
  // an ellipse over its controls.
  [[nodiscard]] int CornerRadius(int radius) const;

  // Places icon and caption buttons (`buttons` carries their glyph types and states in).
  [[nodiscard]] TacTitleLayout CalcItems(const TacCaptionButtons& buttons) const;

  [[nodiscard]] const TacFrameInput& Input() const { return in_; }

 private:
  [[nodiscard]] int GlyphWidth(TacTitleGlyph glyph) const;
  [[nodiscard]] int ThickFrameAnswer() const;
  [[nodiscard]] int FixedFrameAnswer() const;

  TacFrameInput in_;
};

// 16 for -100..47, 24 for 48..64, 32 otherwise.
[[nodiscard]] int GetNearestSize(int n);

// The caption text's rectangle for a line of height `line_height`.
[[nodiscard]] TRect CaptionTextRect(const TacTitleLayout& layout, int line_height);

// One row of the window region's rounded corners: CutWidth pixels are cut off both ends of row Y.
struct TacCornerRow {
  int Y = 0;
  int CutWidth = 0;
  friend bool operator==(const TacCornerRow&, const TacCornerRow&) = default;
};

// The rows cut out of a window `height` rows tall at its rounded corners. The top corners take
// the larger of the form's and the title's radius (0 without a title section), the bottom ones
// the form's. Row k (0..r) from the edge of a corner of radius r loses the pixels that are mostly
// outside the disc (round mask value above 127), counted in from the side and at most r + 1; a
// row that loses none is left out. A radius below 1 or beyond the largest round mask cuts
// nothing. The top rows come first, each from the edge inwards.
[[nodiscard]] std::vector<TacCornerRow> CornerRows(int form_radius, int title_radius, int height);

// A run of pixels cut out of the window region: columns Left to Right - 1 of row Y.
struct TacRegionCut {
  int Y = 0;
  int Left = 0;
  int Right = 0;
  friend bool operator==(const TacRegionCut&, const TacRegionCut&) = default;
};

// What a frame picture `md` (of `master`, or its own picture) cuts out of a window `width` x
// `height` it is drawn over: the transparent pixels of its corner pieces that reach the window's
// edges side by side through transparent pixels (those outside the frame), in the first state's
// picture, where the frame draws them (WL x WT at the top left, WR x WT at the top right, and with
// `bottom` WL x WB and WR x WB at the bottom corners). A pixel is transparent when it has the
// key colour, when its alpha is 0 in a picture with its own alpha, and when its mask is white in
// a picture with a mask. Runs come corner by corner (top left, top right, bottom left, bottom
// right), each row by row; a picture that does not hold the entry's rectangle cuts nothing.
[[nodiscard]] std::vector<TacRegionCut> MaskCornerCuts(const TsMaskData& md, const Bitmap* master,
                                                       int width, int height, bool bottom);

}  // namespace kestrune::skin
