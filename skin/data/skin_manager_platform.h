#pragma once
// What the skin manager needs from the windows around it. The Windows build sends the skin
// commands to real windows and shows real message boxes (skin_broadcast_win.h); tests record
// the calls instead.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune::skin {

class SkinManagerPlatform {
 public:
  virtual ~SkinManagerPlatform() = default;

  // Sends SM_ALPHACMD with `wparam` and `lparam` to every form of the program and to each of its
  // child windows (AppBroadCastS).
  virtual void BroadcastCommand(std::uint32_t wparam, std::uintptr_t lparam) = 0;

  virtual void ShowErrorDialog(std::string_view text) = 0;    // Error icon, OK button.
  virtual void ShowWarningDialog(std::string_view text) = 0;  // Warning icon, OK button.
  virtual void ShowPlainMessage(std::string_view text) = 0;   // No icon, OK button.

  // The pixel density of the screen.
  [[nodiscard]] virtual int SystemPPI() const = 0;
  // The folder of the program, ending in a path separator.
  [[nodiscard]] virtual std::string ProgramFolder() const = 0;
  // The program's first command-line parameter; empty when there is none.
  [[nodiscard]] virtual std::string FirstParameter() const { return {}; }
  // Whether the application or its main form reads right to left (title glyphs are mirrored).
  [[nodiscard]] virtual bool RightToLeft() const { return false; }

  // Steps whose work belongs to other components (form snapshots, the window-creation hook for
  // standard dialogs, glow windows, image lists, fonts). The manager calls them at their place
  // in its sequences; doing nothing is a valid implementation.
  virtual void LockForms() {}
  virtual void UnlockForms(bool /*redraw*/) {}
  virtual void ClearGlowWindows() {}
  virtual void InstallHooks(bool /*change_system_colors*/) {}
  virtual void RemoveHooks() {}
  // Switches the system colour substitution of the default manager on or off while the hooks
  // stay installed (the option changed with a skin active).
  virtual void HookSystemColors(bool /*on*/) {}
  // Solid brushes of the manager's palette colours; 0 is no brush.
  [[nodiscard]] virtual std::uintptr_t MakeBrush(std::int32_t /*color*/) { return 0; }
  virtual void FreeBrush(std::uintptr_t /*brush*/) {}
  virtual void RefreshCommonDialogs() {}
  virtual void ClearImageListCaches() {}
  virtual void SetDrawingRestricted(bool /*restricted*/) {}
  virtual void ApplyApplicationFont(std::string_view /*font_name*/) {}
  virtual void RedrawHookedFrames() {}
};

// A platform without windows, for tools, tests and benchmarks: broadcasts go nowhere and every
// message the manager would show is kept, in order, in `messages`.
class HeadlessSkinPlatform : public SkinManagerPlatform {
 public:
  explicit HeadlessSkinPlatform(int ppi) : system_ppi(ppi) {}

  void BroadcastCommand(std::uint32_t /*wparam*/, std::uintptr_t /*lparam*/) override {}
  void ShowErrorDialog(std::string_view text) override { messages.emplace_back(text); }
  void ShowWarningDialog(std::string_view text) override { messages.emplace_back(text); }
  void ShowPlainMessage(std::string_view text) override { messages.emplace_back(text); }
  [[nodiscard]] int SystemPPI() const override { return system_ppi; }
  [[nodiscard]] std::string ProgramFolder() const override { return program_folder; }
  [[nodiscard]] bool RightToLeft() const override { return right_to_left; }

  int system_ppi;
  std::string program_folder;  // empty: no skin folder next to a program is searched
  bool right_to_left = false;
  std::vector<std::string> messages;
};

}  // namespace kestrune::skin
