#pragma once
// The application object: the message loop, the run-an-event-handler guard and the standard
// error box. One per program; forms keep a reference to it.

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace kestrune::platform {

class Form;

class Application {
 public:
  // Shows message boxes; replaced by tests that must see a box without a person to close it.
  using MessageBoxFunction = std::function<int(HWND owner, const std::wstring& text,
                                               const std::wstring& caption, UINT flags)>;

  explicit Application(std::string title);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  ~Application();

  // The application of this program, or nullptr outside its lifetime.
  [[nodiscard]] static Application* Current();

  // Shows `main_form` and runs the message loop until that form is destroyed; returns the exit
  // code of the quit message.
  int Run(Form& main_form);

  // Runs an event handler. An error that leaves it is shown in the error box and the program
  // goes on; nothing leaves this function.
  void HandleEvent(const std::function<void()>& handler) noexcept;
  void ShowException(const std::exception_ptr& error) noexcept;

  // The standard error box: error icon, one OK button. `text` is shown as given.
  void ShowErrorBox(std::string_view text) noexcept;
  // A message box with one OK button and no icon.
  void ShowMessage(std::string_view text) noexcept;

  [[nodiscard]] const std::string& Title() const { return title_; }
  // The hint of the menu item or control under the user's attention; nothing shows it yet.
  [[nodiscard]] const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint) { hint_ = std::move(hint); }

  void SetMessageBoxFunction(MessageBoxFunction function) { message_box_ = std::move(function); }
  // The window that owns message boxes (the main form while it lives).
  void SetMainWindow(HWND window) { main_window_ = window; }
  [[nodiscard]] HWND MainWindow() const { return main_window_; }

 private:
  void Box(std::string_view text, UINT flags) noexcept;

  std::string title_;
  std::string hint_;
  HWND main_window_ = nullptr;  // not owned
  MessageBoxFunction message_box_;
};

}  // namespace kestrune::platform
