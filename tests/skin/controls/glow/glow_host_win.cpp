// A small skinned window for the glow tests to hover from another process: a form with a memo
// bound to the built-in skin's EDIT section, which has a glow. Runs until the form is closed.

#include <windows.h>

#include <memory>
#include <string>

#include "assets/skin/builtin_skin.h"
#include "platform/application_win.h"
#include "platform/form_win.h"
#include "skin/controls/glow_win.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/control_kinds.h"
#include "skin/paint/skin_owner_win.h"

namespace {

constexpr char kDescription[] = R"(
[GlowHost]
kind = form
caption = "Glow host"
position = 60, 60
client_size = 360, 240
font = "Segoe UI", 12

[Log]
kind = memo
parent = GlowHost
bounds = 40, 50, 280, 150
)";

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*command_line*/,
                    int /*show*/) {
  using namespace kestrune;
  ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  platform::Application application("Glow host");
  try {
    skin::HeadlessSkinPlatform skin_platform(static_cast<int>(::GetDpiForSystem()));
    skin::TsSkinManager manager(skin_platform);
    manager.InternalSkins = skin::BuiltinStoredSkins();
    manager.SetSkinName(std::string(skin::kBuiltinSkinName));
    skin::InstallGlowWindows();

    platform::Form form(application);
    form.Load(platform::ParseFormDescription(kDescription), {}, {});
    auto* memo = dynamic_cast<platform::Memo*>(form.FindComponent("Log"));
    if (memo == nullptr)
      return 2;
    skin::WinSkinOwner owner(*memo);
    {
      skin::TsCommonData data(&owner, true);
      data.COC = skin::COC_TsMemo;
      data.SetSkinSection("EDIT");
      data.Loaded(false);
      const int code = application.Run(form);
      return code;
    }
  } catch (...) {
    return 1;
  }
}
