#pragma once
// The Windows side of the skin manager: skin commands sent as SM_ALPHACMD to every form of the
// program and to all of their child windows, the manager's message boxes, its palette brushes and
// the system colour substitution.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/data/skin_manager_platform.h"
#include "skin/data/system_color_hooks_win.h"

namespace kestrune::skin {

// Sends `message` to every top-level window of this thread whose class is `form_class`, in the
// order the system lists them, and after each form to all of its child windows (depth first).
// Windows destroyed by an earlier send are skipped (AppBroadCastS).
void AppBroadCastS(const std::wstring& form_class, UINT message, WPARAM wparam, LPARAM lparam);

class WinSkinManagerPlatform : public SkinManagerPlatform {
 public:
  // `form_class`: the window class of the forms that receive the skin commands.
  explicit WinSkinManagerPlatform(std::wstring form_class = L"KestruneForm");

  void BroadcastCommand(std::uint32_t wparam, std::uintptr_t lparam) override;
  void ShowErrorDialog(std::string_view text) override;
  void ShowWarningDialog(std::string_view text) override;
  void ShowPlainMessage(std::string_view text) override;
  [[nodiscard]] int SystemPPI() const override;
  [[nodiscard]] std::string ProgramFolder() const override;
  [[nodiscard]] std::string FirstParameter() const override;
  void InstallHooks(bool change_system_colors) override;
  void RemoveHooks() override;
  void HookSystemColors(bool on) override;
  [[nodiscard]] std::uintptr_t MakeBrush(std::int32_t color) override;
  void FreeBrush(std::uintptr_t brush) override;
  void ClearGlowWindows() override {
    if (clear_glow_windows)
      clear_glow_windows();
  }

  // Frees the glow windows when a skin is applied or removed; set by the glow windows' module.
  std::function<void()> clear_glow_windows;

 private:
  std::wstring form_class_;
  std::unique_ptr<SystemColorHooks> system_colors_;
};

}  // namespace kestrune::skin
