#include "skin/data/skin_manager.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <exception>
#include <string>
#include <utility>

#include "platform/ascii_text.h"
#include "platform/error.h"
#include "platform/file_bytes.h"
#include "platform/files.h"
#include "skin/data/skin_adjustment.h"
#include "skin/data/skin_commands.h"
#include "skin/data/system_colors.h"

namespace kestrune::skin {

namespace {

TsSkinManager* g_default_manager = nullptr;

constexpr double kNewestSupportedVersion = 16.99;
constexpr std::string_view kLibraryRelease = "17.10";
constexpr std::string_view kPreviewParameter = "/acpreview";

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

std::string WithSeparator(std::string path) {
#ifdef _WIN32
  std::replace(path.begin(), path.end(), '/', '\\');
#endif
  if (path.empty() || !IsSeparator(path.back())) {
    path += platform::kPathSeparator;
  }
  return path;
}

std::string ParentFolder(std::string_view folder) {
  while (!folder.empty() && IsSeparator(folder.back())) {
    folder.remove_suffix(1);
  }
  const std::size_t cut = folder.find_last_of("\\/");
  return cut == std::string_view::npos ? std::string() : std::string(folder.substr(0, cut + 1));
}

std::string_view WithoutLeadingSeparators(std::string_view text) {
  while (!text.empty() && IsSeparator(text.front())) {
    text.remove_prefix(1);
  }
  return text;
}

bool EndsWithAszSuffix(std::string_view name) {
  return name.size() > 4 && Upper(name.substr(name.size() - 4)) == ".ASZ";
}

std::string FormatVersion(double version, int decimals) {
  char buffer[64];
  const auto result = decimals < 0 ? std::to_chars(buffer, buffer + sizeof buffer, version)
                                   : std::to_chars(buffer, buffer + sizeof buffer, version,
                                                   std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    std::string_view line = text.substr(start, end - start);
    while (!line.empty() && line.back() == ' ') {
      line.remove_suffix(1);
    }
    while (!line.empty() && line.front() == ' ') {
      line.remove_prefix(1);
    }
    if (!line.empty()) {
      lines.emplace_back(line);
    }
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
      ++end;
    }
    start = end + 1;
  }
  return lines;
}

}  // namespace

const TacThirdPartyLists& DefaultThirdPartyLists() {
  static const TacThirdPartyLists lists = {
      "TEdit\nTMemo\nTMaskEdit\nTLabeledEdit\nTHotKey\nTListBox\nTCheckListBox\nTRichEdit\n"
      "TDateTimePicker",
      "TButton",
      "TBitBtn",
      "TCheckBox\nTRadioButton\nTGroupButton",
      "TComboBox\nTColorBox",
      "TStringGrid\nTDrawGrid",
      "TGroupBox\nTRadioGroup",
      "TListView",
      "TPanel",
      "TTreeView",
      " ",
      " ",
      " ",
      "TPageControl",
      "TTabControl",
      "TToolBar",
      "TStatusBar",
      "TSpeedButton",
      "TScrollBox",
      "TUpDown",
      "TScrollBar",
      "TStaticText",
      " ",
  };
  return lists;
}

TsSkinManager* DefaultManager() {
  return g_default_manager;
}

std::string ResolveSkinDirectory(std::string_view directory, std::string_view program_folder) {
  const std::string program = WithSeparator(std::string(program_folder));
  if (directory.starts_with("..")) {
    return WithSeparator(ParentFolder(program) +
                         std::string(WithoutLeadingSeparators(directory.substr(2))));
  }
  if (directory == "." || directory.starts_with(".\\") || directory.starts_with("./")) {
    return WithSeparator(program + std::string(WithoutLeadingSeparators(directory.substr(1))));
  }
#ifndef _WIN32
  if (directory.starts_with("/")) {
    return WithSeparator(std::string(directory));
  }
#endif
  if (directory.find(':') == std::string_view::npos && !directory.starts_with("\\\\")) {
    return WithSeparator(program + std::string(directory));
  }
  return WithSeparator(std::string(directory));
}

TsSkinManager::TsSkinManager(SkinManagerPlatform& platform) : platform_(platform) {
  if (g_default_manager == nullptr) {
    g_default_manager = this;
  }
  for (std::size_t i = 0; i < idle_copies_.size(); ++i) {
    idle_copies_[i].Reset(IndexToPPI(static_cast<int>(i)));
  }
  SkinCommonInfo.Sections.fill(-1);
  // The skin's inactive border is the desktop's own, taken once.
  SkinCommonInfo.SysInactiveBorderColor = CurrentSystemColors().Values[kSysInactiveBorder];
}

TsSkinManager::~TsSkinManager() {
  SkinableMenus.reset();
  if (SkinCommonInfo.Active && OnDeactivate) {
    OnDeactivate();
  }
  ClearSkinData();
  if (g_default_manager == this) {
    if (hooks_installed_) {
      platform_.RemoveHooks();
      hooks_installed_ = false;
      system_colors_hooked_ = false;
    }
    g_default_manager = nullptr;
  }
  FreeBrushes();
}

bool TsSkinManager::IsDefault() const {
  return g_default_manager == this;
}

void TsSkinManager::SetIsDefault(bool value) {
  if (value) {
    g_default_manager = this;
  } else if (g_default_manager == this) {
    g_default_manager = nullptr;
  }
}

void TsSkinManager::SetFontsMainMode(TacFontMode mode) {
  if (fonts_.MainMode == mode) {
    return;
  }
  fonts_.MainMode = mode;
  if (!loading_) {
    ApplyMainFont();
  }
}

void TsSkinManager::SetHueOffset(int value) {
  if (value != hue_offset_) {
    hue_offset_ = value;
    UpdateCurrentSkin();
  }
}

void TsSkinManager::SetSaturation(int value) {
  if (value != saturation_) {
    saturation_ = value;
    UpdateCurrentSkin();
  }
}

void TsSkinManager::SetBrightness(int value) {
  value = LimitBrightness(value);
  if (value != brightness_) {
    brightness_ = value;
    UpdateCurrentSkin();
  }
}

void TsSkinManager::ReloadSkinData() {
  ClearSkinData();
  InitCommonData();
  if (SkinableMenus) {
    SkinableMenus->SkinLoaded();
  }
  ManagerState &= static_cast<std::uint16_t>(~msRTLFlipped);  // The pictures are new.
  if (platform_.RightToLeft()) {
    FlipImages(true);
  }
}

void TsSkinManager::UpdateCurrentSkin() {
  // Without a skin name there is no current skin: a reload would pick the first internal one.
  if (!active_ || loading_ || (ManagerState & msSkinChanging) != 0 || skin_name_.empty()) {
    return;
  }
  const bool scaling = (ManagerState & msScaleChanging) != 0;
  ManagerState |= msSkinChanging;
  try {
    ReloadSkinData();
  } catch (const std::exception& error) {
    platform_.ShowErrorDialog(error.what());
  }
  if (!scaling) {
    SendNewSkin(true);
  }
  ManagerState &= static_cast<std::uint16_t>(~msSkinChanging);
  SkinCommonInfo.Active = Has96Sections();
  if (!NoAutoUpdate) {
    if (OnAfterChange) {
      OnAfterChange();
    }
    if (!scaling) {
      RepaintForms(true);
    }
  }
}

void TsSkinManager::SetChangeSysColors(bool value) {
  Options.ChangeSysColors = value;
  if (hooks_installed_ && IsDefault()) {
    SetSystemColorsHooked(value);
  }
}

void TsSkinManager::SetSystemColorsHooked(bool on) {
  if (on != system_colors_hooked_) {
    platform_.HookSystemColors(on);
    system_colors_hooked_ = on;
  }
}

std::uintptr_t TsSkinManager::PaletteBrush(TacPaletteColors color) {
  std::uintptr_t& brush = brushes_[color];
  if (brush == 0) {
    brush = platform_.MakeBrush(Palette[color]);
  }
  return brush;
}

void TsSkinManager::FreeBrushes() {
  for (std::uintptr_t& brush : brushes_) {
    if (brush != 0) {
      platform_.FreeBrush(std::exchange(brush, 0));
    }
  }
}

std::string TsSkinManager::SkinInfo() const {
  return SkinCommonInfo.Active ? FormatVersion(SkinCommonInfo.Version, -1)
                               : std::string(kNoSkinInfo);
}

std::string TsSkinManager::FullSkinDirectory() const {
  return ResolveSkinDirectory(SkinDirectory, platform_.ProgramFolder());
}

void TsSkinManager::BeginLoading() {
  loading_ = true;
}

void TsSkinManager::Loaded() {
  const bool was_active = SkinCommonInfo.Active;
  loading_ = false;
  if (SkinDirectory.empty()) {
    SkinDirectory = kDefaultSkinDirectory;
  }
  if (MenuSupport.IcoLineSkin.empty()) {
    MenuSupport.IcoLineSkin = "ICOLINE";
  }
  BuildThirdLists();
  if (platform_.SystemPPI() != 96) {
    platform_.ClearImageListCaches();
  }
  if (active_ && !skin_name_.empty()) {
    SendNewSkin(false);
  }
  platform_.RefreshCommonDialogs();
  if (!was_active && SkinCommonInfo.Active && OnActivate) {
    OnActivate();
  }
  if (Options.ScaleMode == smVCL) {
    Options.PixelsPerInch = platform_.SystemPPI();
  }
}

void TsSkinManager::BuildThirdLists() {
  for (std::size_t i = 0; i < kThirdListCount; ++i) {
    const std::string& text = ThirdParty[i].empty() ? DefaultThirdPartyLists()[i] : ThirdParty[i];
    ThirdLists[i] = SplitLines(text);
  }
}

void TsSkinManager::SetActive(bool value) {
  if (value == active_) {
    return;
  }
  active_ = value;
  if (value) {
    SetSkinName(skin_name_);
    return;
  }
  if (!loading_) {
    SendRemoveSkin();
  }
  ClearSkinData();
  platform_.RefreshCommonDialogs();
  if (OnDeactivate) {
    OnDeactivate();
  }
}

void TsSkinManager::SetSkinName(std::string value) {
  std::string old_name = std::move(skin_name_);
  skin_name_ = std::move(value);
  const bool was_active = SkinCommonInfo.Active;
  if (!active_) {
    return;
  }
  CommonDataLoaded = false;
  if (OnBeforeChange) {
    OnBeforeChange();
  }
  ManagerState |= msSkinChanging;
  // Snapshots of the skinned forms for a skin-change animation would be taken here.
  if (OnSkinChanging && !OnSkinChanging(skin_name_)) {
    ManagerState &= static_cast<std::uint16_t>(~msSkinChanging);
    return;
  }
  if (EndsWithAszSuffix(skin_name_)) {
    skin_name_.resize(skin_name_.size() - 4);
  }
  try {
    ReloadSkinData();
  } catch (const std::exception& error) {
    skin_name_ = old_name;
    platform_.ShowErrorDialog(error.what());
  }
  if (!active_) {
    SendRemoveSkin();
  } else if (!NoAutoUpdate) {
    SendNewSkin(true);
  }
  if (!was_active && Has96Sections() && OnActivate) {
    OnActivate();
  }
  ManagerState &= static_cast<std::uint16_t>(~msSkinChanging);
  SkinCommonInfo.Active = Has96Sections();
  if (!NoAutoUpdate && OnAfterChange) {
    OnAfterChange();
  }
  if (skin_name_ != old_name) {
    platform_.RefreshCommonDialogs();
  }
}

void TsSkinManager::ClearSkinData() {
  if (IsDefault()) {
    platform_.ClearGlowWindows();
  }
  SkinCommonInfo.Active = false;
  SkinCommonInfo.Sections.fill(-1);
  if (SkinableMenus) {
    SkinableMenus->SkinDataCleared();
  }
  SkinDataArray.clear();
  CommonDataLoaded = false;
}

void TsSkinManager::InitCommonData() {
  switch (Options.ScaleMode) {
    case smVCL: {
      CommonSkinData(96);
      const int system_ppi = platform_.SystemPPI();
      if (system_ppi != 96) {
        CommonSkinData(system_ppi);
      }
      break;
    }
    case smCustomPPI:
      CommonSkinData(Options.PixelsPerInch);
      break;
    default:
      CommonSkinData(IndexToPPI(GetScale()));
      break;
  }
  platform_.ClearImageListCaches();
}

bool TsSkinManager::Has96Sections() const {
  return !SkinDataArray.empty() && SkinDataArray[0] && SkinDataArray[0]->HasSections();
}

TacSkinData& TsSkinManager::CommonSkinData(int ppi) {
  const bool vcl = Options.ScaleMode == smVCL;
  const auto index = static_cast<std::size_t>(vcl ? PPIToIndex(ppi) : 0);
  const bool changing = (ManagerState & (msSkinChanging | msBroadCasting)) != 0;
  if (!SkinCommonInfo.Active && !changing) {
    TacSkinData& idle = idle_copies_[index];
    idle.PPI = ppi;
    idle.ScalePercent = ppi * 100 / 96;
    return idle;
  }
  if (vcl && SkinDataArray.empty() && index > 0) {
    SkinDataArray.push_back(std::make_unique<TacSkinData>());
    SkinDataArray[0]->Reset(96);
  }
  if (SkinDataArray.size() <= index) {
    SkinDataArray.resize(index + 1);
  }
  const bool skin_changing = (ManagerState & msSkinChanging) != 0;
  std::unique_ptr<TacSkinData>& slot = SkinDataArray[index];
  if (!slot) {
    slot = std::make_unique<TacSkinData>();
    slot->Reset(ppi);
    slot->ScaleValue = static_cast<int>(index);
    if ((ppi != 96 && Has96Sections()) || (skin_changing && index == 0 && !Has96Sections())) {
      LoadCopy(*slot);
    }
  } else if (skin_changing && !slot->Initializing && !Has96Sections()) {
    LoadCopy(*slot);
  }
  return *slot;
}

TacSkinData* TsSkinManager::LoadedCopy(int ppi) {
  const auto index = static_cast<std::size_t>(Options.ScaleMode == smVCL ? PPIToIndex(ppi) : 0);
  return index < SkinDataArray.size() ? SkinDataArray[index].get() : nullptr;
}

void TsSkinManager::ReloadSkin(int ppi) {
  const auto index = static_cast<std::size_t>(Options.ScaleMode == smVCL ? PPIToIndex(ppi) : 0);
  if (index < SkinDataArray.size() && SkinDataArray[index]) {
    LoadCopy(*SkinDataArray[index]);
  } else {
    CommonSkinData(ppi);
  }
}

void TsSkinManager::LoadCopy(TacSkinData& data) {
  struct InitializingGuard {
    TacSkinData& data;
    explicit InitializingGuard(TacSkinData& d) : data(d) { data.Initializing = true; }
    ~InitializingGuard() { data.Initializing = false; }
  };
  const int ppi = data.PPI;
  const int scale_value = data.ScaleValue;
  data.Reset(ppi);
  data.ScaleValue = scale_value;
  InitializingGuard guard(data);
  const SourceHold hold(*this);

  if (!active_ || !InitSkinFile()) {
    return;
  }
  TsOptionsContext context;
  context.PPI = ppi;
  context.ScaleIndex = Options.ScaleMode == smVCL ? -1 : GetScale();
  context.ShadowOnlyBorders = ExtendedBorders && ExtBordersMode == ebmShadow;
  context.SystemColors = CurrentSystemColors();
  context.CommonSections = CommonSections;
  context.ImageExists = [this](const std::string& file_name) { return ImageExists(file_name); };
  TsSkinOptions options = LoadSkinOptions(SkinFile, context);

  if (!CommonDataLoaded) {
    LoadCommonData(options);
    CommonDataLoaded = true;
  }
  data.LoadParams(LibraryLineWidth, LibraryScrollBtnLength);
  data.MasterBmp = &MasterBitmap;
  Palette[pcMainColor] = options.Palette[pcMainColor];  // Known before any picture is made.
  data.LoadAllMasks(std::move(options.ma), PictureSource(), brightness_);
  if (MasterAdjusted) {
    // Rescaled from a master image that an earlier copy's load has adjusted.
    for (TacBmpData& cached : data.BmpArray) {
      cached.Adjusted = !cached.Ext && cached.FileName.empty();
    }
  }
  data.gd = std::move(options.gd);
  data.oe = options.oe;
  static_cast<TacSkinMetrics&>(data) = options.Metrics;
  SkinCommonInfo.Sections = options.CommonInfo.Sections;
  SkinCommonInfo.IndexGlobalInfo = options.CommonInfo.IndexGlobalInfo;
  data.InitConstantIndexes();
  data.InitMaskIndexes();
  data.InitMaskParams();
  data.PrepareOuter();
  data.MakeCommonMask();
  Palette = options.Palette;
  AdjustColors(data);
  FreeBrushes();  // Made again from the new palette when asked for.
  CheckShadows(data);
  if (OnSkinLoading) {
    OnSkinLoading();
  }
}

void TsSkinManager::AdjustColors(TacSkinData& data) {
  ChangeSkinHue(*this, hue_offset_, data.PPI);
  ChangeSkinSaturation(*this, saturation_, data.PPI);
  ChangeSkinBrightness(*this, brightness_, data.PPI);
  MasterAdjusted = true;
  for (TacBmpData& cached : data.BmpArray) {
    cached.Adjusted = true;
  }
}

void TsSkinManager::LoadCommonData(const TsSkinOptions& options) {
  EmbeddedFonts = options.Fonts;
  const TacSkinCommonInfo& read = options.CommonInfo;
  TacSkinCommonInfo& info = SkinCommonInfo;
  info.UseAeroBluring = read.UseAeroBluring;
  info.Version = read.Version;
  info.Author = read.Author;
  info.MainFont = read.MainFont;
  info.Description = read.Description;
  info.FXColor = read.FXColor;
  info.Shadow1Color = read.Shadow1Color;
  info.DefLightColor = read.DefLightColor;
  info.ArrowStyle = read.ArrowStyle;
  info.BIVAlign = read.BIVAlign;
  info.BIKeepHUE = read.BIKeepHUE;
  info.BrightMin = read.BrightMin;
  info.BrightMax = read.BrightMax;
  MasterBitmap = Bitmap();
  MasterBitmap = LoadMasterImage(options.MasterBitmap, PictureSource());
  MasterAdjusted = false;
  CheckVersion();
}

void TsSkinManager::CheckVersion() {
  const double version = SkinCommonInfo.Version;
  if (version <= kNewestSupportedVersion || platform_.FirstParameter() == kPreviewParameter) {
    return;  // Skins older than 10.26 only get a notice while designing.
  }
  const bool hooks = hooks_installed_;
  if (hooks) {
    platform_.RemoveHooks();  // No skinning of the warning box itself.
  }
  platform_.ShowWarningDialog("This skin version (" + FormatVersion(version, 2) +
                              ") is not completely supported by the library release (" +
                              std::string(kLibraryRelease) +
                              "). Please update the components to the latest version.");
  if (hooks) {
    platform_.InstallHooks(system_colors_hooked_);
  }
}

void TsSkinManager::CheckShadows(TacSkinData& data) const {
  data.FormShadowSize = {};
  if (!ExtendedBorders) {
    return;
  }
  data.MakeShadowTemplates(data.ExBorder >= 0 && ExtBordersMode == ebmFull);
  if (data.ExBorder >= 0 && ExtBordersMode == ebmFull) {
    const TsMaskData& mask = data.ma[static_cast<std::size_t>(data.ExBorder)];
    if (data.ExDrawMode != 0) {
      data.FormShadowSize = {data.ExContentOffs, data.ExContentOffs, data.ExContentOffs,
                             data.ExContentOffs};
    } else {
      const auto side = [&data](int margin) { return std::max(0, margin - data.ExContentOffs); };
      data.FormShadowSize = {side(mask.WL), side(mask.WT), side(mask.WR), side(mask.WB)};
    }
    return;
  }
  data.FormShadowSize = {data.WndShadowSize, std::max(0, data.WndShadowSize - data.WndShadowOffset),
                         data.WndShadowSize,
                         std::max(0, data.WndShadowSize + data.WndShadowOffset)};
}

TacPictureSource TsSkinManager::PictureSource() const {
  return TacPictureSource{SkinIsPacked ? &sc : nullptr, SkinCommonInfo.SkinPath};
}

bool TsSkinManager::ImageExists(const std::string& file_name) const {
  if (SkinIsPacked) {
    const std::string wanted = Upper(file_name);
    return std::any_of(sc.Files.begin(), sc.Files.end(),
                       [&wanted](const TacFileItem& item) { return Upper(item.Name) == wanted; });
  }
  const std::string path =
      file_name.find(':') != std::string::npos ? file_name : SkinCommonInfo.SkinPath + file_name;
  return platform::FileExists(path);
}

void TsSkinManager::ShowFormatError() {
  platform_.ShowPlainMessage("Internal format error in the \"" + skin_name_ +
                             "\" skin. Please, update this skin to latest version.");
}

TsSkinManager::SourceHold::SourceHold(TsSkinManager& manager) : manager_(manager) {
  ++manager_.source_holds_;
}

TsSkinManager::SourceHold::~SourceHold() {
  if (--manager_.source_holds_ == 0) {
    manager_.sc.Clear();
    manager_.SkinFile.Clear();
  }
}

bool TsSkinManager::ReopenSkinFile() {
  try {
    return InitSkinFile(true);
  } catch (const std::exception&) {
    return false;
  }
}

bool TsSkinManager::InitSkinFile(bool quiet) {
  const std::string directory = FullSkinDirectory();
  const ShowSkinError show = [this, quiet](const std::string& text) {
    if (!quiet) {
      platform_.ShowPlainMessage(text);
    }
  };
  SkinCommonInfo.SkinPath = directory + skin_name_ + platform::kPathSeparator;
  if (platform::FileExists(SkinCommonInfo.SkinPath + "Options.dat")) {
    sc.Clear();
    const Bytes text =
        platform::ReadFileBytes(SkinCommonInfo.SkinPath + "Options.dat", kMaxUnpackedTotal);
    SkinFile.Load(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
    SkinIsPacked = false;
    return true;
  }
  SkinCommonInfo.SkinPath.clear();
  const std::string archive_path = directory + skin_name_ + ".asz";
  if (platform::FileExists(archive_path)) {
    LoadSkinFromFile(archive_path, sc, show);
    if (!sc.Options) {
      if (!quiet) {
        ShowFormatError();
      }
      return false;
    }
    LoadOptionsFromArchive();
    return true;
  }
  int index = InternalSkins.IndexOf(skin_name_);
  if (index < 0) {
    if (quiet) {
      return false;
    }
    if (InternalSkins.Items.empty()) {
      active_ = false;
      return false;
    }
    index = 0;
    skin_name_ = InternalSkins.Items.front().Name;
  }
  const TsStoredSkin& item = InternalSkins.Items[static_cast<std::size_t>(index)];
  if (item.PackedData.empty()) {
    // An empty options store: a skin without sections.
    sc.Clear();
    SkinFile.Clear();
    SkinIsPacked = false;
    return true;
  }
  if (!ReadArchive(item.PackedData, show)) {
    if (!quiet) {
      ShowFormatError();
    }
    return false;
  }
  LoadOptionsFromArchive();
  return true;
}

bool TsSkinManager::ReadArchive(std::span<const std::uint8_t> archive, const ShowSkinError& show) {
  sc.Clear();
  sc.PackedData = archive;
  struct Release {
    TacSkinConvertor& sc;
    ~Release() { sc.PackedData = {}; }
  } release{sc};
  const bool packed = ExtractPackedData(sc, show);
  return packed && sc.Options.has_value();
}

void TsSkinManager::LoadOptionsFromArchive() {
  const Bytes& options = *sc.Options;
  SkinFile.Load(std::string_view(reinterpret_cast<const char*>(options.data()), options.size()));
  SkinIsPacked = true;
}

const TacSkinData& TsSkinManager::DataOrDefault(const TacSkinData* data) {
  return data != nullptr ? *data : CommonSkinData(96);
}

int TsSkinManager::GetSkinIndex(std::string_view name, const TacSkinData* data) {
  return DataOrDefault(data).GetSkinIndex(name);
}

int TsSkinManager::GetMaskIndex(int skin_index, std::string_view key, const TacSkinData* data) {
  return DataOrDefault(data).GetMaskIndex(skin_index, key);
}

int TsSkinManager::GetMaskIndex(int skin_index, std::string_view section_name,
                                const TacSkinData* data, std::string_view key) {
  return DataOrDefault(data).GetMaskIndex(skin_index, section_name, key);
}

int TsSkinManager::GetMaskIndex(std::string_view section_name, std::string_view key,
                                const TacSkinData* data) {
  return DataOrDefault(data).GetMaskIndex(section_name, key);
}

int TsSkinManager::GetTextureIndex(int skin_index, std::string_view key, const TacSkinData* data) {
  return DataOrDefault(data).GetTextureIndex(skin_index, key);
}

int TsSkinManager::GetTextureIndex(int skin_index, std::string_view section_name,
                                   const TacSkinData* data, std::string_view key) {
  return DataOrDefault(data).GetTextureIndex(skin_index, section_name, key);
}

bool TsSkinManager::IsValidSkinIndex(int index) {
  return index >= 0 && static_cast<std::size_t>(index) < gd().size();
}

bool TsSkinManager::IsValidImgIndex(int index) {
  return index >= 0 && static_cast<std::size_t>(index) < ma().size();
}

TColor TsSkinManager::GetHighLightColor(bool focused) const {
  return Palette[focused ? pcSelectionBG_Focused : pcSelectionBG];
}

TColor TsSkinManager::GetHighLightFontColor(bool focused) const {
  return Palette[focused ? pcSelectionText_Focused : pcSelectionText];
}

int TsSkinManager::GetScale() const {
  switch (Options.ScaleMode) {
    case sm100:
    case sm125:
    case sm150:
    case sm200:
      return static_cast<int>(Options.ScaleMode);
    case smAuto:
      return PPIToIndex(platform_.SystemPPI());
    case smCustomPPI:
      return PPIToIndex(Options.PixelsPerInch);
    case smOldMode:
    case smVCL:
      return 0;
  }
  return 0;
}

int TsSkinManager::ScaleInt(int value, int scale_index) const {
  if (Options.ScaleMode == smCustomPPI) {
    return ScalePPI(value, Options.PixelsPerInch);
  }
  if (Options.ScaleMode == smOldMode) {
    return value;
  }
  return ScaleByIndex(value, scale_index < 0 ? GetScale() : std::min(scale_index, 3));
}

// Broadcasting.

void TsSkinManager::Broadcast(std::uint16_t command, std::uint16_t argument) {
  platform_.BroadcastCommand(MakeCommandParam(command, argument),
                             reinterpret_cast<std::uintptr_t>(this));
}

void TsSkinManager::ApplyMainFont() {
  switch (fonts_.MainMode) {
    case fmDefault:
      return;
    case fmFromSkin:
      platform_.ApplyApplicationFont(SkinCommonInfo.MainFont.empty() ? DefStoredFontName
                                                                     : SkinCommonInfo.MainFont);
      break;
    case fmCustom:
      platform_.ApplyApplicationFont(fonts_.MainFont.empty() ? DefStoredFontName : fonts_.MainFont);
      break;
  }
  if (OnFontChanged) {
    OnFontChanged();
  }
}

void TsSkinManager::SendNewSkin(bool repaint) {
  if (loading_) {
    return;
  }
  ManagerState |= msBroadCasting;
  if (IsDefault()) {
    platform_.ClearGlowWindows();
  }
  if (repaint) {
    platform_.LockForms();
  }
  SkinCommonInfo.Active = false;
  platform_.SetDrawingRestricted(true);
  platform_.ClearImageListCaches();
  Broadcast(AC_SETNEWSKIN);
  platform_.SetDrawingRestricted(false);
  SkinCommonInfo.Active = Has96Sections();
  if (IsDefault() && !hooks_installed_) {
    platform_.InstallHooks(Options.ChangeSysColors);
    hooks_installed_ = true;
    system_colors_hooked_ = Options.ChangeSysColors;
  }
  ApplyMainFont();
  // Before the repaint, which draws the menu band through the menus' handlers.
  if (SkinableMenus) {
    SkinableMenus->SkinSwitched();
  }
  if (repaint) {
    RepaintForms(false);
  }
  ManagerState &= static_cast<std::uint16_t>(~msBroadCasting);
}

void TsSkinManager::RepaintForms(bool lock_forms) {
  Broadcast(AC_STOPFADING);
  if (loading_) {
    Broadcast(AC_REFRESH);
    return;
  }
  if (lock_forms) {
    platform_.LockForms();
  }
  Broadcast(AC_REFRESH);
  platform_.UnlockForms(!NoAutoUpdate);
  platform_.RedrawHookedFrames();
}

void TsSkinManager::SendRemoveSkin() {
  ManagerState |= msSkinRemoving;
  if (fonts_.MainMode == fmFromSkin) {
    platform_.ApplyApplicationFont(DefStoredFontName);
  }
  platform_.ClearGlowWindows();
  if (hooks_installed_) {
    platform_.RemoveHooks();
    hooks_installed_ = false;
    system_colors_hooked_ = false;
  }
  ClearSkinData();
  Broadcast(AC_REMOVESKIN);
  if (SkinableMenus) {
    SkinableMenus->SkinSwitched();
  }
  MasterBitmap = Bitmap();
  ManagerState &= static_cast<std::uint16_t>(~msSkinRemoving);
}

void TsSkinManager::UpdateSkin(bool repaint) {
  if (active_) {
    SendNewSkin(repaint);
  }
}

void TsSkinManager::UpdateSkinSection(std::string_view section_name) {
  const std::string upper = Upper(section_name);
  platform_.BroadcastCommand(MakeCommandParam(AC_UPDATESECTION),
                             reinterpret_cast<std::uintptr_t>(upper.c_str()));
}

void TsSkinManager::BeginUpdate() {
  NoAutoUpdate = true;
}

void TsSkinManager::EndUpdate(bool repaint, bool /*allow_animation*/) {
  NoAutoUpdate = false;
  UpdateSkin(repaint);
  if (OnAfterChange) {
    OnAfterChange();
  }
}

}  // namespace kestrune::skin
