#include "app/main_form_win.h"

#include "app/about_links.h"
#include "app/main_form_images_win.h"
#include "app/main_form_skin_win.h"
#include "app/open_link_win.h"
#include "skin/controls/glow_win.h"

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
  skin::InstallGlowWindows(skin_platform_);
  if (const auto* skin_manager = description.Find("SkinManager"))
    SkinManager = CreateSkinManager(*skin_manager, skin_platform_);
}

TMainForm::~TMainForm() {
  SkinManager.reset();  // It still talks to skin_platform_ while it goes.
}

LRESULT TMainForm::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if ((message == WM_MEASUREITEM || message == WM_DRAWITEM) && pictures_ != nullptr &&
      pictures_->HandleMessage(message, lparam))
    return TRUE;
  const LRESULT result = Form::WindowProc(message, wparam, lparam);
  if (message == WM_DPICHANGED && pictures_ != nullptr)
    pictures_->Apply(*this, HIWORD(wparam));
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
  constexpr unsigned long long kInterval = 100;  // milliseconds
  const unsigned long long tick = ::GetTickCount64();
  if (!now && tick - last_shown_ < kInterval)
    return;
  last_shown_ = tick;
  if (!pending_log_.empty()) {
    if (log_ends_with_break_) {
      MemoResults->AppendLines(pending_log_);
    } else {
      pending_log_.resize(pending_log_.size() - 2);
      MemoResults->AppendLine(pending_log_);
    }
    pending_log_.clear();
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
