// A small skinned window for the glow tests to hover from another process: a form with a memo
// bound to the built-in skin's EDIT section, which has a glow. Runs until the form is closed.
// The form answers the registered message "KestruneGlowHostGdiObjects" with the number of GDI
// objects the process holds.

#include <windows.h>

#include <commctrl.h>

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

// GetGuiResources where it counts; Wine answers 0 there, so its handle table is walked instead
// (a handle's low word indexes the table, and a handle without a generation matches any).
DWORD GdiObjects() {
  const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted != 0)
    return counted;
  DWORD live = 0;
  for (ULONG_PTR index = 1; index < 0x10000; ++index)
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0)
      ++live;
  return live;
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                              UINT_PTR /*id*/, DWORD_PTR /*ref*/) {
  static const UINT count_message = ::RegisterWindowMessageW(L"KestruneGlowHostGdiObjects");
  if (message == count_message)
    return static_cast<LRESULT>(GdiObjects());
  return ::DefSubclassProc(window, message, wparam, lparam);
}

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
    skin::InstallGlowWindows(manager);

    platform::Form form(application);
    form.Load(platform::ParseFormDescription(kDescription), {}, {});
    auto* memo = dynamic_cast<platform::Memo*>(form.FindComponent("Log"));
    if (memo == nullptr)
      return 2;
    ::SetWindowSubclass(form.Handle(), CountingProc, 1, 0);
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
