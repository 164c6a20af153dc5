#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/alpha_image_list.h"
#include "app/main_form_images_win.h"
#include "platform/application_win.h"
#include "platform/ascii_text.h"
#include "platform/error.h"
#include "platform/file_bytes.h"
#include "platform/form_win.h"
#include "platform/gdi_win.h"
#include "platform/popup_window_win.h"
#include "skin/controls/glow_win.h"
#include "skin/controls/memo_win.h"
#include "skin/controls/skin_provider_win.h"
#include "skin/controls/skinable_menus_win.h"
#include "skin/controls/skinned_form_controls_win.h"
#include "skin/data/skin_broadcast_win.h"
#include "skin/data/skin_manager.h"
#include "skin/pixels/bitmap_win.h"
#include "skin/pixels/image_codecs.h"
#include "tools/kestrune-skin/skin_preview.h"
#include "tools/kestrune-skin/skin_tool.h"

namespace kestrune::skin_tool {
namespace {

constexpr char kCaption[] = "Skin preview - ";
constexpr UINT_PTR kShotTimer = 1;
constexpr UINT kShotInterval = 100;  // milliseconds
// The picture is taken once the window has looked settled for this many ticks in a row: its show
// animation and the cover windows of its first activation come and go after it is visible.
constexpr int kSettledTicks = 5;
constexpr int kLongestShotWait = 600;  // ticks

// The skin's name as the manager finds it in its folder: the file name without ".asz".
std::string SkinNameOf(const std::string& archive) {
  std::string name = platform::PathText(platform::Utf8Path(archive).filename());
  if (name.size() > 4 && kestrune::Upper(name.substr(name.size() - 4)) == ".ASZ")
    name.resize(name.size() - 4);
  return name;
}

std::string FolderOf(const std::string& archive) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(platform::Utf8Path(archive), error);
  return platform::PathText((error ? platform::Utf8Path(archive) : full).parent_path());
}

// Lines longer and more than the memo shows, so that both its scroll bars have work.
std::string MemoText() {
  std::string text;
  for (int line = 1; line <= 40; ++line) {
    text += "Line " + std::to_string(line) +
            ": a memo keeps text longer and wider than itself, and its scroll bars are the "
            "skin's too.\r\n";
  }
  return text;
}

// The form is the process's only visible top-level window but for the glows around its controls,
// which belong to its picture.
// The form is the process's only visible top-level window but for the glows around its controls,
// which belong to its picture.
bool OnlyVisibleWindowOfProcess(HWND form) {
  struct Search {
    HWND form;
    DWORD pid;
    bool other;
  } search{form, ::GetCurrentProcessId(), false};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        if (pid == s->pid && window != s->form && ::IsWindowVisible(window) &&
            !platform::HasWindowClass(window, skin::kGlowFormClass))
          s->other = true;
        return !s->other;
      },
      reinterpret_cast<LPARAM>(&search));
  return !search.other;
}

class PreviewForm : public platform::Form {
 public:
  PreviewForm(platform::Application& application, const PreviewOptions& options);
  ~PreviewForm() override;

  // Why the picture could not be taken; empty when it was or none was asked for.
  [[nodiscard]] const std::string& ShotError() const { return shot_error_; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void InstallSkinnedMenus();
  void Toggle(const char* item_name);
  void Align(const char* item_name, const char* text);
  void Adjust(int hue, int saturation, int brightness);
  [[nodiscard]] HMENU MenuOf(const char* item_name) const;
  [[nodiscard]] UINT IdOf(const char* item_name) const;
  void ShotTick();
  void TakeShot();

  PreviewOptions options_;
  platform::Memo* memo_ = nullptr;
  platform::ProgressBar* progress_ = nullptr;
  platform::Label* label_colours_ = nullptr;
  platform::Label* label_alignment_ = nullptr;
  skin::WinSkinManagerPlatform skin_platform_;  // Outlives manager_.
  std::unique_ptr<TsAlphaImageList> images_;
  std::unique_ptr<FormPictures> pictures_;
  std::unique_ptr<skin::TsSkinManager> manager_;
  std::unique_ptr<skin::TsSkinProvider> provider_;
  std::unique_ptr<skin::TsMemo> memo_skin_;
  std::unique_ptr<skin::TsSkinnedControls> controls_;
  int settled_ticks_ = 0;
  int shot_ticks_ = 0;
  std::string shot_error_;
};

PreviewForm::PreviewForm(platform::Application& application, const PreviewOptions& options)
    : platform::Form(application), options_(options) {
  const HMODULE module = ::GetModuleHandleW(nullptr);
  const platform::FormDescription description =
      platform::LoadFormDescription(module, L"PREVIEWFORM");
  const auto adjust = [this](const char* name, int hue, int saturation, int brightness) {
    return Handler{name, [=, this] { Adjust(hue, saturation, brightness); }};
  };
  Load(description,
       {
           {"ItemCheckClick", [this] { Toggle("ItemCheck"); }},
           {"ItemCheck2Click", [this] { Toggle("ItemCheck2"); }},
           {"AlignLeftClick", [this] { Align("AlignLeft", "Caption on the left"); }},
           {"AlignCenterClick", [this] { Align("AlignCenter", "Caption in the centre"); }},
           {"AlignRightClick", [this] { Align("AlignRight", "Caption on the right"); }},
           adjust("HueUpClick", 30, 0, 0),
           adjust("HueDownClick", -30, 0, 0),
           adjust("SaturationUpClick", 0, 25, 0),
           adjust("SaturationDownClick", 0, -25, 0),
           adjust("BrightnessUpClick", 0, 0, 20),
           adjust("BrightnessDownClick", 0, 0, -20),
           {"ColoursResetClick",
            [this] {
              Adjust(-manager_->HueOffset(), -manager_->Saturation(), -manager_->Brightness());
            }},
           {"CloseClick", [this] { ::PostMessageW(Handle(), WM_CLOSE, 0, 0); }},
       },
       {
           Field("MemoText", memo_),
           Field("ProgressBar", progress_),
           Field("LabelColours", label_colours_),
           Field("LabelAlignment", label_alignment_),
       });
  const int dpi = static_cast<int>(::GetDpiForWindow(Handle()));
  if (options_.dpi != 0 && options_.dpi != dpi) {
    throw Error("the display is at " + std::to_string(dpi) + " pixels per inch, not " +
                std::to_string(options_.dpi) +
                ": start the preview on a display of that density (under Wine, in a prefix of "
                "it: tools/wine-run --dpi " +
                std::to_string(options_.dpi) + " ...)");
  }
  const std::string name = SkinNameOf(options_.archive);
  SetText(kCaption + name);
  memo_->AppendLines(MemoText());
  ::SendMessageW(memo_->Handle(), EM_SETSEL, 0, 0);  // from its first line
  ::SendMessageW(memo_->Handle(), EM_SCROLLCARET, 0, 0);
  progress_->SetPosition(60);

  // The main window's pictures, as its image list holds them.
  const platform::FormDescription main_form = platform::LoadFormDescription(module, L"MAINFORM");
  if (const auto* list = main_form.Find("sAlphaImageList")) {
    images_ = std::make_unique<TsAlphaImageList>(true);
    ReadImageList(*list, *images_);
    pictures_ = std::make_unique<FormPictures>(*images_, description);
    pictures_->Apply(*this, dpi);
  }
  // The manager finds the skin by name in its folder, as the program finds a skin a user put
  // into its skin folder.
  manager_ = std::make_unique<skin::TsSkinManager>(skin_platform_);
  manager_->BeginLoading();
  manager_->SetHueOffset(options_.hue);
  manager_->SetSaturation(options_.saturation);
  manager_->SetBrightness(options_.brightness);
  manager_->SkinDirectory = FolderOf(options_.archive);
  manager_->SetActive(true);
  manager_->SetSkinName(name);
  manager_->Loaded();
  if (!manager_->IsActive())
    throw Error("the skin \"" + name + "\" could not be loaded from " + manager_->SkinDirectory);
  skin::InstallGlowWindows(*manager_, skin_platform_);
  InstallSkinnedMenus();
  if (const auto* provider = description.Find("SkinProvider"))
    provider_ =
        skin::TsSkinProvider::Create(*this, *provider, manager_.get(),
                                     [this](std::string_view text) { App().ShowMessage(text); });
  memo_skin_ = std::make_unique<skin::TsMemo>(*memo_, manager_.get());
  controls_ =
      std::make_unique<skin::TsSkinnedControls>(*this, description, ButtonGlyphs(images_.get()));
  Adjust(0, 0, 0);
  if (options_.shot)
    ::SetTimer(Handle(), kShotTimer, kShotInterval, nullptr);
}

PreviewForm::~PreviewForm() {
  if (Handle() != nullptr)
    ::KillTimer(Handle(), kShotTimer);
  // The same order as the main window's: the controls and the provider read the manager.
  controls_.reset();
  memo_skin_.reset();
  provider_.reset();
  manager_.reset();
  pictures_.reset();
}

void PreviewForm::InstallSkinnedMenus() {
  auto menus = std::make_unique<skin::TsSkinableMenus>(*manager_);
  if (pictures_ != nullptr)
    menus->SetPictures(*this, pictures_->MenuPictures());
  // The band's items stand on the provider's band, as in the main window.
  menus->MenuBand = [this](const platform::Form&, bool) {
    return provider_ != nullptr ? provider_->MenuBand() : skin::TacMenuBand{};
  };
  menus->InitItems(*this);
  manager_->SkinableMenus = std::move(menus);
}

HMENU PreviewForm::MenuOf(const char* item_name) const {
  const auto* item = dynamic_cast<platform::MenuItem*>(FindComponent(item_name));
  for (platform::MenuItem* holder : MenuItems()) {
    HMENU popup = PopupOf(*holder);
    if (popup != nullptr && item != nullptr &&
        ::GetMenuState(popup, item->Id(), MF_BYCOMMAND) != static_cast<UINT>(-1))
      return popup;
  }
  return nullptr;
}

UINT PreviewForm::IdOf(const char* item_name) const {
  const auto* item = dynamic_cast<platform::MenuItem*>(FindComponent(item_name));
  return item != nullptr ? item->Id() : 0;
}

void PreviewForm::Toggle(const char* item_name) {
  HMENU menu = MenuOf(item_name);
  const UINT id = IdOf(item_name);
  const bool checked = (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
  ::CheckMenuItem(menu, id,
                  static_cast<UINT>(MF_BYCOMMAND | (checked ? MF_UNCHECKED : MF_CHECKED)));
}

void PreviewForm::Align(const char* item_name, const char* text) {
  ::CheckMenuRadioItem(MenuOf(item_name), IdOf("AlignLeft"), IdOf("AlignRight"), IdOf(item_name),
                       MF_BYCOMMAND);
  label_alignment_->SetText(text);
}

void PreviewForm::Adjust(int hue, int saturation, int brightness) {
  manager_->SetHueOffset(std::clamp(manager_->HueOffset() + hue, -360, 360));
  manager_->SetSaturation(std::clamp(manager_->Saturation() + saturation, -100, 100));
  manager_->SetBrightness(std::clamp(manager_->Brightness() + brightness, -100, 100));
  label_colours_->SetText("Hue " + std::to_string(manager_->HueOffset()) + ", sat. " +
                          std::to_string(manager_->Saturation()) + ", bright. " +
                          std::to_string(manager_->Brightness()));
}

LRESULT PreviewForm::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  auto* menus = skin::TsSkinableMenus::Of(manager_.get());
  if (message == skin::WM_DRAWMENUBORDER && menus != nullptr) {
    menus->DrawMenuBorders();
    return 0;
  }
  if (message == WM_TIMER && wparam == kShotTimer) {
    ShotTick();
    return 0;
  }
  const LRESULT result = Form::WindowProc(message, wparam, lparam);
  if (message == WM_DPICHANGED && pictures_ != nullptr)
    pictures_->Apply(*this, HIWORD(wparam));
  if (message == WM_DPICHANGED && menus != nullptr)
    menus->UpdateMenus();
  return result;
}

void PreviewForm::ShotTick() {
  HWND form = Handle();
  const bool settled = ::IsWindowVisible(form) && !::IsIconic(form) &&
                       (::GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_LAYERED) == 0 &&
                       OnlyVisibleWindowOfProcess(form);
  settled_ticks_ = settled ? settled_ticks_ + 1 : 0;
  ++shot_ticks_;
  if (settled_ticks_ < kSettledTicks && shot_ticks_ < kLongestShotWait)
    return;
  ::KillTimer(form, kShotTimer);
  if (settled_ticks_ < kSettledTicks)
    shot_error_ = "the window did not settle within a minute; no picture was taken";
  else
    TakeShot();
  ::DestroyWindow(form);
}

// What reached the screen: the frame shows only there (and inside a Wine desktop under Wine).
void PreviewForm::TakeShot() {
  ::RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  ::GdiFlush();
  RECT frame{};
  ::GetWindowRect(Handle(), &frame);
  skin::Bitmap shot(frame.right - frame.left, frame.bottom - frame.top);
  const platform::WindowDc screen(nullptr);
  ::BitBlt(skin::BitmapDC(shot), 0, 0, shot.Width(), shot.Height(), screen.Get(), frame.left,
           frame.top, SRCCOPY | CAPTUREBLT);
  ::GdiFlush();
  for (int y = 0; y < shot.Height(); ++y) {
    std::uint32_t* row = shot.Row32(y);
    for (int x = 0; x < shot.Width(); ++x)
      row[x] |= 0xFF000000u;
  }
  try {
    const auto png = EncodePng32(shot);
    platform::WriteFileBytes(*options_.shot, png);
  } catch (const Error& error) {
    shot_error_ = error.what();
  }
}

}  // namespace

bool CanShowPreview() {
  return true;
}

int RunPreview(const PreviewOptions& options, std::FILE* err) {
  if (options.right_to_left)
    ::SetProcessDefaultLayout(LAYOUT_RTL);
  platform::Application application("kestrune-skin");
  // A load's failure shows its message box over no window; the archive was checked before.
  PreviewForm form(application, options);
  const int status = application.Run(form);
  if (!form.ShotError().empty()) {
    std::fputs(("kestrune-skin: " + form.ShotError() + "\n").c_str(), err);
    return kExitInvalid;
  }
  return status == 0 ? kExitOk : kExitInvalid;
}

}  // namespace kestrune::skin_tool
