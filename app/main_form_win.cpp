#include "app/main_form_win.h"

#include "app/about_links.h"
#include "app/main_form_images_win.h"
#include "app/main_form_skin_win.h"
#include "app/open_link_win.h"

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
  MemoResults->Clear();
}

void TMainForm::AppendLog(std::string_view line) {
  MemoResults->AppendLine(line);
}

void TMainForm::SetLabel(RunLabel label, std::string_view text) {
  switch (label) {
    case RunLabel::kTotalEstimated:
      LabelTotalEstimated->SetText(text);
      break;
    case RunLabel::kRemaining:
      LabelRemaining->SetText(text);
      break;
    case RunLabel::kSpeed:
      LabelSpeed->SetText(text);
      break;
    case RunLabel::kETA:
      LabelETA->SetText(text);
      break;
  }
}

void TMainForm::SetProgressMaximum(int maximum) {
  ProgressBar->SetMaximum(maximum);
}

void TMainForm::SetProgressPosition(int position) {
  ProgressBar->SetPosition(position);
}

void TMainForm::ShowMessage(std::string_view text) {
  App().ShowMessage(text);
}

void TMainForm::ShowErrorBox(std::string_view text) {
  App().ShowErrorBox(text);
}

}  // namespace kestrune
