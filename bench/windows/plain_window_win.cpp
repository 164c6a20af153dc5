// The main window's plain twin: the same stored description, its controls, sizes and texts, built
// by the same form layer but with no skin, so the system draws every pixel. bench/compare window
// times it beside kestrune.exe. Its event handlers do nothing.

#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "platform/application_win.h"
#include "platform/form_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*command_line*/,
                    int /*show*/) {
  using namespace kestrune::platform;
  Application application("Kestrune");
  try {
    const FormDescription description = LoadFormDescription(instance, L"MAINFORM");
    std::vector<Form::Handler> handlers;
    for (const auto& component : description.components) {
      for (const auto& property : component.properties) {
        if (property.key.starts_with("on_"))
          handlers.push_back({component.Word(property.key), [] {}});
      }
    }
    Form form(application);
    form.SetMainForm(true);
    form.Load(description, handlers, {});
    return application.Run(form);
  } catch (...) {
    application.ShowException(std::current_exception());
    return 1;
  }
}
