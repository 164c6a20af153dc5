#pragma once
// TsSkinManager: the one component that owns the active skin. It finds the skin by name (a skin
// folder, a packed ".asz" file, or one of its internal skins), reads the archive and the options
// file, keeps one loaded copy of the tables per pixel density in use, answers lookups, and tells
// every window when a skin is applied or removed (through SkinManagerPlatform).
//
// Failure contract: loading catches its own errors. An error while loading restores the previous
// skin name and is shown in an error dialog; a skin without options shows the format-error text;
// no skin at all switches Active off. Lookups never throw and return -1 for anything missing.
// Everything runs on the window thread.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "skin/data/ini_store.h"
#include "skin/data/skin_archive.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_manager_platform.h"
#include "skin/data/skin_records.h"
#include "skin/data/stored_skin.h"

namespace kestrune::skin {

enum TacScaleMode : std::uint8_t {
  sm100,
  sm125,
  sm150,
  sm200,
  smAuto,
  smOldMode,
  smVCL,
  smCustomPPI,
};
enum TacOptimizingPriority : std::uint8_t { opSpeed, opMemory };
enum TacGroupBoxStyle : std::uint8_t { gsStandard };
enum TacFontMode : std::uint8_t { fmDefault, fmFromSkin, fmCustom };
enum TacExtBordersMode : std::uint8_t { ebmFull, ebmShadow };

// Flags of SkinningRules.
enum TacSkinningRule : std::uint8_t { srStdForms = 1, srStdDialogs = 2, srThirdParty = 4 };

// Flags of ManagerState.
enum TacManagerState : std::uint16_t {
  msFontChanging = 1,
  msScaleChanging = 2,
  msSkinRemoving = 4,
  msSkinChanging = 8,
  msBroadCasting = 16,
  msAnimScaling = 32,
  msFormScaling = 64,
  msRTLFlipped = 128,
};

struct TacOptions {
  TacScaleMode ScaleMode = smVCL;
  int PixelsPerInch = 96;
  bool DrawNonClientArea = true;
  bool ChangeSysColors = false;
  bool CheckEmptyAlpha = false;
  bool NoMouseHover = false;
  bool NativeBordersMaximized = false;
  bool StdGlyphsOrder = false;
  bool StdImgTransparency = false;
  TacArrowsStyle ArrowsStyle = arsDefault;
  TacOptimizingPriority OptimizingPriority = opSpeed;
  TacGroupBoxStyle GroupBoxStyle = gsStandard;
  bool RotateArrows = false;
};

struct TacButtonsOptions {
  bool OldGlyphsMode = false;
  bool ShiftContentOnClick = true;  // a pressed control's content moves by one pixel
};

// Fixed sizes of skinned scroll bars; -1 leaves them to the skin.
struct TacScrollsOptions {
  int ScrollSize = -1;   // bar thickness
  int ButtonsSize = -1;  // arrow button length
};

// Switches of the effects that skinned controls read.
struct TacEffects {
  bool AllowGlowing = true;
  bool AllowAnimation = true;
  bool AllowOuterEffects = false;
  bool AllowHotEdits = false;  // hovering makes edits hot too
};

// One form animation: its switch, its length in milliseconds and its manner (0: a fade).
struct TacFormAnimation {
  bool Active = true;
  int Time = 0;
  int Mode = 0;
};

// The form animations of skinned forms. A show time of 0 shows the finished picture at once.
struct TacAnimEffects {
  TacFormAnimation FormShow;
  TacFormAnimation FormHide;
  TacFormAnimation Minimizing{true, 80, 0};
};

struct TacMenuSupport {
  std::string FontName = "Segoe UI";
  int FontHeight = -11;
  TColor FontColor = static_cast<TColor>(0xFF000008u);  // The window text colour.
  std::string IcoLineSkin;                              // "ICOLINE" when empty at load.
  bool UseExtraLine = false;                            // a band at the left of drop-downs
  int ExtraLineWidth = 32;
  std::string ExtraLineFontName = "Segoe UI";
  std::uint8_t AlphaBlend = 254;  // opacity of drop-down windows; 255 is not layered
  bool SkinnedShadows = true;     // drop-downs lose the system's shadow
  bool ShowAccelCharAlways = false;
};

// The menu skinning object the manager owns (TsSkinableMenus): made by the window side, which
// the manager does not know; told when a skin has been loaded, when the skin's tables go and
// when the windows have been told of a new skin or of its removal.
class TacSkinableMenusLink {
 public:
  virtual ~TacSkinableMenusLink() = default;
  virtual void SkinLoaded() = 0;
  // The tables of every loaded copy are being freed: nothing may keep pointing into them.
  virtual void SkinDataCleared() = 0;
  // The windows now have the new skin, or know it has gone (IsActive tells which).
  virtual void SkinSwitched() = 0;
};

// The glow windows around hot controls (the glow registry): made by the window side, which the
// manager does not know. The controls of this manager reach them through it (GlowsOf).
class TacGlowLink {
 public:
  virtual ~TacGlowLink() = default;
};

struct TacFonts {
  TacFontMode MainMode = fmDefault;
  std::string MainFont;
};

// The class-name lists of ThirdParty, by index (ThirdEdits ... ThirdNativePaint).
inline constexpr std::size_t kThirdListCount = 23;
using TacThirdPartyLists = std::array<std::string, kThirdListCount>;
// Lines of class names per list; these are also the lists an empty property takes at load.
[[nodiscard]] const TacThirdPartyLists& DefaultThirdPartyLists();

inline constexpr std::string_view kDefaultSkinDirectory = "c:\\Skins";
inline constexpr std::string_view kNoSkinInfo = "N/A";

class TsSkinManager {
 public:
  // `platform` must outlive the manager. The first manager alive becomes DefaultManager.
  explicit TsSkinManager(SkinManagerPlatform& platform);
  TsSkinManager(const TsSkinManager&) = delete;
  TsSkinManager& operator=(const TsSkinManager&) = delete;
  ~TsSkinManager();

  // Reading the stored description: properties set between BeginLoading and Loaded load the
  // skin but broadcast nothing; Loaded does the first broadcast.
  void BeginLoading();
  void Loaded();

  [[nodiscard]] bool Active() const { return active_; }
  void SetActive(bool value);
  [[nodiscard]] const std::string& SkinName() const { return skin_name_; }
  void SetSkinName(std::string value);
  // The active skin's VERSION with "." as decimal separator, or "N/A" without a skin.
  [[nodiscard]] std::string SkinInfo() const;
  [[nodiscard]] bool IsDefault() const;
  void SetIsDefault(bool value);
  [[nodiscard]] const TacFonts& Fonts() const { return fonts_; }
  // Applies the font of the new mode at once.
  void SetFontsMainMode(TacFontMode mode);

  // Colour adjustment of the whole skin (skin_adjustment.h). Setting a different value reloads
  // the current skin (UpdateCurrentSkin); Brightness is limited to -100 ... 100.
  [[nodiscard]] int HueOffset() const { return hue_offset_; }
  void SetHueOffset(int value);
  [[nodiscard]] int Saturation() const { return saturation_; }
  void SetSaturation(int value);
  [[nodiscard]] int Brightness() const { return brightness_; }
  void SetBrightness(int value);
  // Reloads the current skin with the present settings and broadcasts it; nothing while
  // skinning is off, the manager is being read or a skin change is already running.
  void UpdateCurrentSkin();

  // Sets Options.ChangeSysColors; while this default manager's skin is broadcast, the system
  // colour substitution is switched on or off at once.
  void SetChangeSysColors(bool value);
  // A solid brush of a palette colour, made on first use after each load and kept by the manager
  // until the next load or its end; 0 where the platform makes no brushes.
  [[nodiscard]] std::uintptr_t PaletteBrush(TacPaletteColors color);

  std::string SkinDirectory;
  TsStoredSkins InternalSkins;
  TacOptions Options;
  TacButtonsOptions ButtonsOptions;
  TacScrollsOptions ScrollsOptions;
  TacEffects Effects;
  TacAnimEffects AnimEffects;
  // The skin state of the control under the mouse; compared, never dereferenced (not owned).
  const void* ActiveControl = nullptr;
  TacMenuSupport MenuSupport;
  std::unique_ptr<TacSkinableMenusLink> SkinableMenus;  // freed first when the manager goes
  TacGlowLink* Glows = nullptr;                         // not owned; none: nothing glows
  TacThirdPartyLists ThirdParty{};  // Empty: the default list; " ": an empty list.
  std::uint8_t SkinningRules = srStdForms | srStdDialogs | srThirdParty;
  bool SkinnedPopups = true;
  std::string CommonSections;
  bool ExtendedBorders = false;
  TacExtBordersMode ExtBordersMode = ebmFull;
  // Library-wide metrics that other code may change before a load.
  int LibraryLineWidth = 2;
  int LibraryScrollBtnLength = 16;

  std::function<void()> OnActivate;
  std::function<void()> OnDeactivate;
  std::function<void()> OnBeforeChange;
  std::function<void()> OnAfterChange;
  // Answering false cancels the change; the new name stays stored.
  std::function<bool(const std::string& new_name)> OnSkinChanging;
  std::function<void()> OnSkinLoading;
  std::function<void()> OnFontChanged;

  // The copy for `ppi`, created and loaded on demand.
  TacSkinData& CommonSkinData(int ppi = 96);
  // The copy that holds `ppi` when it exists; never creates or loads one.
  [[nodiscard]] TacSkinData* LoadedCopy(int ppi);
  // (Re)loads the copy for `ppi`.
  void ReloadSkin(int ppi);

  // Lookups; `data` null means the 96-PPI copy.
  [[nodiscard]] int GetSkinIndex(std::string_view name, const TacSkinData* data = nullptr);
  [[nodiscard]] int GetMaskIndex(int skin_index, std::string_view key,
                                 const TacSkinData* data = nullptr);
  [[nodiscard]] int GetMaskIndex(int skin_index, std::string_view section_name,
                                 const TacSkinData* data, std::string_view key);
  [[nodiscard]] int GetMaskIndex(std::string_view section_name, std::string_view key,
                                 const TacSkinData* data = nullptr);
  [[nodiscard]] int GetTextureIndex(int skin_index, std::string_view key,
                                    const TacSkinData* data = nullptr);
  [[nodiscard]] int GetTextureIndex(int skin_index, std::string_view section_name,
                                    const TacSkinData* data, std::string_view key);
  [[nodiscard]] bool IsValidSkinIndex(int index);
  [[nodiscard]] bool IsValidImgIndex(int index);
  [[nodiscard]] const std::vector<TsGeneralData>& gd() { return CommonSkinData().gd; }
  [[nodiscard]] const std::vector<TsMaskData>& ma() { return CommonSkinData().ma; }
  [[nodiscard]] const std::array<TacOutEffData, 2>& oe() { return CommonSkinData().oe; }
  [[nodiscard]] bool IsActive() const { return SkinCommonInfo.Active; }

  [[nodiscard]] TColor GetGlobalColor() const { return Palette[pcMainColor]; }
  [[nodiscard]] TColor GetGlobalFontColor() const { return Palette[pcLabelText]; }
  [[nodiscard]] TColor GetActiveEditColor() const { return Palette[pcEditBG]; }
  [[nodiscard]] TColor GetActiveEditFontColor() const { return Palette[pcEditText]; }
  [[nodiscard]] TColor GetHighLightColor(bool focused) const;
  [[nodiscard]] TColor GetHighLightFontColor(bool focused) const;

  // Index scaling by the manager's scale index (scale_index -1) or the given one.
  [[nodiscard]] int ScaleInt(int value, int scale_index = -1) const;
  [[nodiscard]] static int ScalePPI(int value, int ppi) { return value * ppi / 96; }
  [[nodiscard]] int GetScale() const;

  // Broadcasting.
  void SendNewSkin(bool repaint);
  void SendRemoveSkin();
  void RepaintForms(bool lock_forms);
  void UpdateSkin(bool repaint);
  void UpdateSkinSection(std::string_view section_name);
  void BeginUpdate();
  void EndUpdate(bool repaint, bool allow_animation);

  // Fills md with the entry SECTION/KEY for `mul_ppi`, taken from the nearest density variant
  // and rescaled, with a bitmap of its own (not cached); -1 without a skin or such an entry.
  int GetScaledMaskData(std::string_view section_name, std::string_view prop_name, TsMaskData& md,
                        int mul_ppi);
  // Mirrors the title-bar glyphs BICONCLOSE ... BICONNORM and their first glow, frame by frame,
  // in every copy, when `flip` differs from the msRTLFlipped state.
  void FlipImages(bool flip);

  // SkinDirectory resolved against the program folder, ending in a separator.
  [[nodiscard]] std::string FullSkinDirectory() const;

  // State of the loaded skin.
  TacSkinCommonInfo SkinCommonInfo;
  TacPalette Palette{};
  std::vector<std::unique_ptr<TacSkinData>> SkinDataArray;  // By density index; null: absent.
  Bitmap MasterBitmap;
  // MasterBitmap and SkinCommonInfo.Shadow1Color carry the colour adjustment already.
  bool MasterAdjusted = false;
  // The skin's unpacked archive and its options store, only while a copy of the tables is built
  // from them (or GetScaledMaskData reads them): they are emptied when that ends, also by an
  // error, so that a loaded skin keeps its tables and nothing of the data they came from.
  TacSkinConvertor sc;
  IniStore SkinFile;
  bool SkinIsPacked = false;
  bool CommonDataLoaded = false;
  std::uint16_t ManagerState = 0;
  bool NoAutoUpdate = false;
  std::vector<TsFontEntry> EmbeddedFonts;
  std::string DefStoredFontName;
  std::array<std::vector<std::string>, kThirdListCount> ThirdLists{};

 private:
  void ClearSkinData();
  void InitCommonData();
  // Clears and rebuilds every density copy from the current name; mirrors glyphs where needed.
  void ReloadSkinData();
  void LoadCopy(TacSkinData& data);
  // Holds sc and SkinFile for one load or lookup; the last hold to end empties both.
  class SourceHold {
   public:
    explicit SourceHold(TsSkinManager& manager);
    SourceHold(const SourceHold&) = delete;
    SourceHold& operator=(const SourceHold&) = delete;
    ~SourceHold();
    // True when an outer hold has the source already.
    [[nodiscard]] bool Shared() const { return manager_.source_holds_ > 1; }

   private:
    TsSkinManager& manager_;
  };

  // Finds the skin by name and reads its options (and archive). `quiet`: for reading it again
  // after a load; shows nothing, and fails rather than change the name or switch skinning off.
  [[nodiscard]] bool InitSkinFile(bool quiet = false);
  // InitSkinFile(true), failing instead of throwing.
  [[nodiscard]] bool ReopenSkinFile();
  [[nodiscard]] bool ReadArchive(std::span<const std::uint8_t> archive, const ShowSkinError& show);
  void LoadOptionsFromArchive();
  void ShowFormatError();
  void LoadCommonData(const TsSkinOptions& options);
  void CheckVersion();
  void CheckShadows(TacSkinData& data) const;
  void AdjustColors(TacSkinData& data);
  void FreeBrushes();
  void SetSystemColorsHooked(bool on);
  void ApplyMainFont();
  void BuildThirdLists();
  void Broadcast(std::uint16_t command, std::uint16_t argument = 0);
  [[nodiscard]] bool Has96Sections() const;
  [[nodiscard]] const TacSkinData& DataOrDefault(const TacSkinData* data);
  [[nodiscard]] bool ImageExists(const std::string& file_name) const;
  [[nodiscard]] TacPictureSource PictureSource() const;

  SkinManagerPlatform& platform_;
  bool active_ = true;
  std::string skin_name_;
  TacFonts fonts_;
  bool loading_ = false;
  bool hooks_installed_ = false;
  bool system_colors_hooked_ = false;
  int hue_offset_ = 0;
  int saturation_ = 0;
  int brightness_ = 0;
  std::array<std::uintptr_t, kPaletteSize> brushes_{};
  int source_holds_ = 0;
  std::array<TacSkinData, 4> idle_copies_{};  // Answer lookups while no skin is active.
};

// The first manager created in the process, or the one made default; null when none.
[[nodiscard]] TsSkinManager* DefaultManager();

// SkinDirectory resolved against `program_folder` (ending in a separator): ".." and "." prefixes
// and names without a drive or a leading "\\" are relative to the program folder.
[[nodiscard]] std::string ResolveSkinDirectory(std::string_view directory,
                                               std::string_view program_folder);

}  // namespace kestrune::skin
