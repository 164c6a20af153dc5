#include "app/main_form_win.h"

#include <algorithm>
#include <chrono>

#include <shellapi.h>

#include "app/about_links.h"
#include "app/dropped_list.h"
#include "app/main_form_images_win.h"
#include "app/main_form_skin_win.h"
#include "app/open_link_win.h"
#include "app/taskbar_button_win.h"
#include "app/window_place.h"
#include "platform/win_util.h"
#include "skin/controls/glow_win.h"
#include "skin/controls/memo_win.h"
#include "skin/controls/skinned_form_controls_win.h"

namespace kestrune {
namespace {

std::vector<std::string> DroppedPaths(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    if (!path.empty())
      paths.push_back(platform::Narrow(path));
  }
  return paths;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(platform::Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

TMainForm::TMainForm(platform::Application& application,
                     const platform::FormDescription& description,
                     const platform::ProcessServices& services, RunSettings settings,
                     DesktopSettingsSource desktop)
    : platform::Form(application),
      services_(services),
      settings_(std::move(settings)),
      desktop_(std::move(desktop)) {
  Load(description,
       {
           {"FormCreate", [this] { FormCreate(); }},
           {"ButtonExtractClick", [this] { ButtonExtractClick(); }},
           {"GithubClick", [this] { GithubClick(); }},
           {"SaweriaClick", [this] { SaweriaClick(); }},
           {"YoutubeClick", [this] { YoutubeClick(); }},
       },
       {
           Field("MemoResults", MemoResults),
           Field("ProgressBar", ProgressBar),
           Field("LabelTotalEstimated", LabelTotalEstimated),
           Field("LabelRemaining", LabelRemaining),
           Field("LabelETA", LabelETA),
           Field("LabelSpeed", LabelSpeed),
           Field("ButtonExtract", ButtonExtract),
       });
  if (const auto* images = description.Find("sAlphaImageList")) {
    sAlphaImageList = std::make_unique<TsAlphaImageList>(true);
    ReadImageList(*images, *sAlphaImageList);
    pictures_ = std::make_unique<FormPictures>(*sAlphaImageList, description);
    pictures_->Apply(*this, static_cast<int>(::GetDpiForWindow(Handle())));
  }
  if (const auto* skin_manager = description.Find("SkinManager")) {
    SkinManager = CreateSkinManager(*skin_manager, skin_platform_);
    skin::InstallGlowWindows(*SkinManager, skin_platform_);
  }
  InstallSkinnedMenus();
  if (const auto* provider = description.Find("SkinProvider"))
    SkinProvider =
        skin::TsSkinProvider::Create(*this, *provider, SkinManager.get(),
                                     [this](std::string_view text) { App().ShowMessage(text); });
  if (SkinManager != nullptr)
    memo_skin_ = std::make_unique<skin::TsMemo>(*MemoResults, SkinManager.get());
  skinned_controls_ = std::make_unique<skin::TsSkinnedControls>(
      *this, description, ButtonGlyphs(sAlphaImageList.get()));
  if (SkinManager != nullptr) {
    designed_skin_active_ = SkinManager->Active();
    designed_animation_ = SkinManager->Effects.AllowAnimation;
  }
  FollowDesktop();
  KeepInWorkArea();
  ::DragAcceptFiles(Handle(), TRUE);
}

void TMainForm::FollowDesktop() {
  if (SkinManager == nullptr || !desktop_)
    return;
  const DesktopSettings desktop = desktop_();
  SkinManager->Effects.AllowAnimation = designed_animation_ && desktop.client_area_animation;
  const bool skinned = designed_skin_active_ && !desktop.high_contrast;
  if (SkinManager->Active() != skinned)
    SkinManager->SetActive(skinned);
}

void TMainForm::KeepInWorkArea() {
  RECT window{};
  ::GetWindowRect(Handle(), &window);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!::GetMonitorInfoW(::MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &monitor))
    return;
  const RECT& work = monitor.rcWork;
  const skin::TRect placed = PlaceInWorkArea({window.left, window.top, window.right, window.bottom},
                                             {work.left, work.top, work.right, work.bottom});
  if (placed.Left != window.left || placed.Top != window.top)
    ::SetWindowPos(Handle(), nullptr, placed.Left, placed.Top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainForm::InstallSkinnedMenus() {
  if (SkinManager == nullptr)
    return;
  auto menus = std::make_unique<skin::TsSkinableMenus>(*SkinManager);
  if (pictures_ != nullptr)
    menus->SetPictures(*this, pictures_->MenuPictures());
  // The band's items stand on the provider's band, at its place in the window; the provider
  // draws them into its bitmap and the system into the window, both in window coordinates.
  menus->MenuBand = [this](const platform::Form&, bool) {
    return SkinProvider != nullptr ? SkinProvider->MenuBand() : skin::TacMenuBand{};
  };
  menus->InitItems(*this);
  SkinManager->SkinableMenus = std::move(menus);
}

TMainForm::~TMainForm() {
  skinned_controls_.reset();
  memo_skin_.reset();
  // The provider reads the manager until it goes.
  SkinProvider.reset();
  SkinManager.reset();  // It still talks to skin_platform_ while it goes.
}

LRESULT TMainForm::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  auto* menus = skin::TsSkinableMenus::Of(SkinManager.get());
  if (message == skin::WM_DRAWMENUBORDER && menus != nullptr) {
    menus->DrawMenuBorders();
    return 0;
  }
  if (message == taskbar_button_created_ && message != 0) {
    if (!taskbar_.Attached())
      taskbar_.Attach(CreateTaskbarButton(Handle()));
    return 0;
  }
  if (message == WM_DROPFILES) {
    auto* drop = reinterpret_cast<HDROP>(wparam);
    const std::vector<std::string> paths =
        running_ ? std::vector<std::string>{} : DroppedPaths(drop);
    ::DragFinish(drop);
    if (!running_)
      FilesDropped(paths);
    return 0;
  }
  const LRESULT result = Form::WindowProc(message, wparam, lparam);
  if (message == WM_DPICHANGED && pictures_ != nullptr)
    pictures_->Apply(*this, HIWORD(wparam));
  if (message == WM_DPICHANGED && menus != nullptr)
    menus->UpdateMenus();
  if (message == WM_SETTINGCHANGE || message == WM_SYSCOLORCHANGE)
    FollowDesktop();
  return result;
}

void TMainForm::FormCreate() {
  ProgressBar->SetMinimum(0);
  ProgressBar->SetPosition(0);
}

void TMainForm::ButtonExtractClick() {
  RunList(settings_);
}

void TMainForm::FilesDropped(const std::vector<std::string>& paths) {
  if (running_)
    return;
  const DroppedList judged = JudgeDrop(paths, IsFolder);
  if (!judged.message.empty())
    App().ShowMessage(judged.message);
  if (judged.list_path.empty())
    return;
  RunSettings settings = settings_;
  settings.list_path = judged.list_path;
  RunList(settings);
}

void TMainForm::RunList(const RunSettings& settings) {
  // Files dropped while the run holds the thread wait in the queue; they were dropped on a
  // window that was busy, so they go unread once it ends.
  struct Running {
    TMainForm& form;
    const bool outer;  // a click on Extract in the run's message box runs inside it
    explicit Running(TMainForm& f) : form(f), outer(!f.running_) {
      form.running_ = true;
      ::DragAcceptFiles(form.Handle(), FALSE);
      if (outer)
        form.taskbar_.RunStarted();
    }
    ~Running() {
      if (!outer)
        return;
      MSG queued{};
      while (::PeekMessageW(&queued, form.Handle(), WM_DROPFILES, WM_DROPFILES, PM_REMOVE))
        ::DragFinish(reinterpret_cast<HDROP>(queued.wParam));
      ::DragAcceptFiles(form.Handle(), TRUE);
      form.taskbar_.RunEnded();
      form.running_ = false;
    }
  } running(*this);
  // The run reports its own errors in the error box; its outcome needs nothing more here.
  static_cast<void>(kestrune::ButtonExtractClick(settings, *this, services_));
  ShowPending(true);
  log_ends_with_break_ = false;  // the user may type into the log from now on
}

void TMainForm::GithubClick() {
  OpenLink(kGithubLink);
}

void TMainForm::SaweriaClick() {
  OpenLink(kSaweriaLink);
}

void TMainForm::YoutubeClick() {
  OpenLink(kYoutubeLink);
}

void TMainForm::ClearLog() {
  pending_log_.clear();
  log_interval_ = kShowInterval;
  MemoResults->Clear();
  log_ends_with_break_ = true;
}

void TMainForm::AppendLog(std::string_view line) {
  pending_log_ += line;
  pending_log_ += "\r\n";
  ShowPending(false);
}

void TMainForm::SetLabel(RunLabel label, std::string_view text) {
  pending_labels_[static_cast<int>(label)] = std::string(text);
  ShowPending(false);
}

void TMainForm::SetProgressMaximum(int maximum) {
  ShowPending(true);
  ProgressBar->SetMaximum(maximum);
  taskbar_.SetMaximum(maximum);
}

void TMainForm::SetProgressPosition(int position) {
  pending_position_ = position;
  ShowPending(false);
}

void TMainForm::BlockIncomplete() {
  taskbar_.BlockIncomplete();
}

void TMainForm::ShowMessage(std::string_view text) {
  ShowPending(true);
  App().ShowMessage(text);
}

void TMainForm::ShowErrorBox(std::string_view text) {
  ShowPending(true);
  App().ShowErrorBox(text);
}

void TMainForm::ShowPending(bool now) {
  const unsigned long long tick = ::GetTickCount64();
  if (!now && tick - last_shown_ < kShowInterval)
    return;
  last_shown_ = tick;
  if (!pending_log_.empty() && (now || tick - last_log_shown_ >= log_interval_)) {
    const auto before = std::chrono::steady_clock::now();
    if (log_ends_with_break_) {
      MemoResults->AppendLines(pending_log_);
    } else {
      pending_log_.resize(pending_log_.size() - 2);
      MemoResults->AppendLine(pending_log_);
    }
    pending_log_.clear();
    // An edit control may take longer for each append as its text grows, whatever is appended:
    // the log then waits longer between appends, so that they take about a tenth of the run,
    // but shows its new lines at least once a second.
    const auto cost = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - before);
    log_interval_ = std::clamp<unsigned long long>(
        10ULL * static_cast<unsigned long long>(cost.count()), kShowInterval, kLongestLogInterval);
    last_log_shown_ = ::GetTickCount64();
  }
  platform::Label* const labels[] = {LabelTotalEstimated, LabelRemaining, LabelSpeed, LabelETA};
  for (int i = 0; i < 4; ++i) {
    if (auto& text = pending_labels_[i]) {
      labels[i]->SetText(*text);
      text.reset();
    }
  }
  if (pending_position_) {
    ProgressBar->SetPosition(*pending_position_);
    taskbar_.SetPosition(*pending_position_);
    pending_position_.reset();
  }
  // Paint what changed now: the run keeps the window thread until it ends and dispatches no
  // messages, so the window still answers no input meanwhile.
  ::RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace kestrune
