#include "skin/data/skin_broadcast_win.h"

#include <shellapi.h>

#include <utility>

#include "platform/application_win.h"
#include "platform/gdi_win.h"
#include "platform/own_messages_win.h"
#include "platform/win_util.h"
#include "skin/data/skin_commands.h"

namespace kestrune::skin {

namespace {

using platform::Narrow;
using platform::Widen;

struct FormSearch {
  const std::wstring* form_class;
  std::vector<HWND> forms;
};

BOOL CALLBACK CollectForm(HWND window, LPARAM lparam) {
  auto& search = *reinterpret_cast<FormSearch*>(lparam);
  wchar_t name[256]{};
  if (::GetClassNameW(window, name, static_cast<int>(std::size(name))) > 0 &&
      *search.form_class == name) {
    search.forms.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM lparam) {
  reinterpret_cast<std::vector<HWND>*>(lparam)->push_back(window);
  return TRUE;
}

HWND MessageOwner() {
  const platform::Application* application = platform::Application::Current();
  return application != nullptr ? application->MainWindow() : nullptr;
}

}  // namespace

void AppBroadCastS(const std::wstring& form_class, UINT message, WPARAM wparam, LPARAM lparam) {
  FormSearch search{&form_class, {}};
  ::EnumThreadWindows(::GetCurrentThreadId(), CollectForm, reinterpret_cast<LPARAM>(&search));
  for (const HWND form : search.forms) {
    if (!::IsWindow(form)) {
      continue;
    }
    platform::SendOwnMessage(form, message, wparam, lparam);
    // The list is taken before sending, so controls a handler creates wait for the next command.
    std::vector<HWND> children;
    ::EnumChildWindows(form, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (const HWND child : children) {
      if (::IsWindow(child)) {
        platform::SendOwnMessage(child, message, wparam, lparam);
      }
    }
  }
}

WinSkinManagerPlatform::WinSkinManagerPlatform(std::wstring form_class)
    : form_class_(std::move(form_class)) {}

void WinSkinManagerPlatform::BroadcastCommand(std::uint32_t wparam, std::uintptr_t lparam) {
  AppBroadCastS(form_class_, SM_ALPHACMD, static_cast<WPARAM>(wparam), static_cast<LPARAM>(lparam));
}

void WinSkinManagerPlatform::ShowErrorDialog(std::string_view text) {
  if (platform::Application* application = platform::Application::Current()) {
    application->ShowErrorBox(text);
  } else {
    ::MessageBoxW(nullptr, Widen(text).c_str(), L"Error", MB_OK | MB_ICONERROR);
  }
}

void WinSkinManagerPlatform::ShowWarningDialog(std::string_view text) {
  ::MessageBoxW(MessageOwner(), Widen(text).c_str(), L"Warning", MB_OK | MB_ICONWARNING);
}

void WinSkinManagerPlatform::ShowPlainMessage(std::string_view text) {
  if (platform::Application* application = platform::Application::Current()) {
    application->ShowMessage(text);
  } else {
    ::MessageBoxW(nullptr, Widen(text).c_str(), L"", MB_OK);
  }
}

int WinSkinManagerPlatform::SystemPPI() const {
  const platform::WindowDc screen(nullptr);
  const int ppi = screen.Get() != nullptr ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
  return ppi > 0 ? ppi : 96;
}

std::string WinSkinManagerPlatform::ProgramFolder() const {
  std::wstring path(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return Narrow(path.substr(0, path.find_last_of(L"\\/") + 1));
}

std::string WinSkinManagerPlatform::FirstParameter() const {
  int count = 0;
  LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (arguments == nullptr) {
    return {};
  }
  std::string first = count > 1 ? Narrow(arguments[1]) : std::string();
  ::LocalFree(arguments);
  return first;
}

void WinSkinManagerPlatform::InstallHooks(bool change_system_colors) {
  HookSystemColors(change_system_colors);
}

void WinSkinManagerPlatform::RemoveHooks() {
  HookSystemColors(false);
}

void WinSkinManagerPlatform::HookSystemColors(bool on) {
  if (!on) {
    system_colors_.reset();
  } else if (!system_colors_) {
    system_colors_ = std::make_unique<SystemColorHooks>();
  }
}

std::uintptr_t WinSkinManagerPlatform::MakeBrush(std::int32_t color) {
  return reinterpret_cast<std::uintptr_t>(::CreateSolidBrush(static_cast<COLORREF>(color)));
}

void WinSkinManagerPlatform::FreeBrush(std::uintptr_t brush) {
  ::DeleteObject(reinterpret_cast<HBRUSH>(brush));
}

}  // namespace kestrune::skin
