#include "platform/application_win.h"

#include <commctrl.h>

#include "platform/error.h"
#include "platform/form_win.h"
#include "platform/win_util.h"

namespace kestrune::platform {
namespace {

Application* current_application = nullptr;

}  // namespace

Application::Application(std::string title) : title_(std::move(title)) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  message_box_ = [](HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
  };
  current_application = this;
}

Application::~Application() {
  if (current_application == this)
    current_application = nullptr;
}

Application* Application::Current() {
  return current_application;
}

int Application::Run(Form& main_form) {
  main_form.SetMainForm(true);
  SetMainWindow(main_form.Handle());
  main_form.Show();
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  SetMainWindow(nullptr);
  return static_cast<int>(message.wParam);
}

void Application::HandleEvent(const std::function<void()>& handler) noexcept {
  try {
    handler();
  } catch (...) {
    ShowException(std::current_exception());
  }
}

void Application::ShowException(const std::exception_ptr& error) noexcept {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& caught) {
    ShowErrorBox(ErrorBoxText(caught.what()));
  } catch (...) {
    ShowErrorBox("Unknown error.");
  }
}

void Application::ShowErrorBox(std::string_view text) noexcept {
  Box(text, MB_OK | MB_ICONERROR);
}

void Application::ShowMessage(std::string_view text) noexcept {
  Box(text, MB_OK);
}

void Application::Box(std::string_view text, UINT flags) noexcept {
  try {
    HWND owner = main_window_ != nullptr && ::IsWindow(main_window_) ? main_window_ : nullptr;
    message_box_(owner, Widen(text), Widen(title_), flags);
  } catch (...) {
    // Out of memory while reporting an error: there is nothing left to show it with.
  }
}

}  // namespace kestrune::platform
