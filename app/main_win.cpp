// Start-up: the main window from its stored description, then the message loop until it closes.

#include <windows.h>

#include <exception>

#include "app/main_form_win.h"
#include "platform/application_win.h"
#include "platform/process_services.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*command_line*/,
                    int /*show*/) {
  kestrune::platform::Application application("Kestrune");
  try {
    const kestrune::platform::SystemServices services;
    kestrune::TMainForm form(
        application, kestrune::platform::LoadFormDescription(instance, L"MAINFORM"), services);
    return application.Run(form);
  } catch (...) {
    application.ShowException(std::current_exception());
    return 1;
  }
}
