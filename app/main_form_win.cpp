#include "app/main_form_win.h"

#include <algorithm>
#include <chrono>

#include "app/about_links.h"
#include "app/main_form_images_win.h"
#include "app/main_form_skin_win.h"
#include "app/open_link_win.h"
#include "skin/controls/glow_win.h"
#include "skin/controls/memo_win.h"
#include "skin/controls/skinned_form_controls_win.h"

namespace kestrune {

TMainForm::TMainForm(platform::Application& application,
                     const platform::FormDescription& description,
                     const platform::ProcessServices& services, RunSettings settings)
    : platform::Form(application), services_(services), settings_(std::move(settings)) {
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
  const LRESULT result = Form::WindowProc(message, wparam, lparam);
  if (message == WM_DPICHANGED && pictures_ != nullptr)
    pictures_->Apply(*this, HIWORD(wparam));
  if (message == WM_DPICHANGED && menus != nullptr)
    menus->UpdateMenus();
  return result;
}

void TMainForm::FormCreate() {
  ProgressBar->SetMinimum(0);
  ProgressBar->SetPosition(0);
}

void TMainForm::ButtonExtractClick() {
  // The run reports its own errors in the error box; its outcome needs nothing more here.
  static_cast<void>(kestrune::ButtonExtractClick(settings_, *this, services_));
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
}

void TMainForm::SetProgressPosition(int position) {
  pending_position_ = position;
  ShowPending(false);
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
    pending_position_.reset();
  }
  // Paint what changed now: the run keeps the window thread until it ends and dispatches no
  // messages, so the window still answers no input meanwhile.
  ::RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace kestrune
