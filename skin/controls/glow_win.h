#pragma once
// The Windows side of the glow windows: the glow form (a borderless popup that is a tool window,
// never activated, without a drop shadow and transparent to the mouse, made layered and
// click-through when first shown) and the process-wide registry behind the control state's glow
// seam. Include only from Windows sources.

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "skin/controls/glow.h"
#include "skin/data/skin_broadcast_win.h"

namespace kestrune::skin {

// The glow form's window class; its windows are skipped when the z-order above a form is read.
inline constexpr wchar_t kGlowFormClass[] = L"KestruneGlowForm";

class WinGlowPlatform final : public TacGlowPlatform {
 public:
  [[nodiscard]] bool LayeredWindows() const override;
  [[nodiscard]] bool MouseCaptured() const override;
  std::unique_ptr<TacGlowWindow> CreateGlowWindow() override;
  void ReleaseLater(std::unique_ptr<TacGlowWindow> window) override;
  [[nodiscard]] bool Topmost(TacWindow form) const override;
  [[nodiscard]] TacWindow WindowAbove(TacWindow form) const override;
  [[nodiscard]] TRect VisibleWindowRect(TacWindow control) const override;
  [[nodiscard]] std::vector<TRect> WindowsAbove(TacWindow control) const override;
  [[nodiscard]] TColor ColorTone(TacWindow control) const override;
};

// The process's glow registry (made on first use), set as the glows of `manager`'s controls.
// Call on the window thread before they are hovered.
TacGlowRegistry& InstallGlowWindows(TsSkinManager& manager);
// The same, and the manager's skin changes clear the glows.
TacGlowRegistry& InstallGlowWindows(TsSkinManager& manager,
                                    WinSkinManagerPlatform& manager_platform);

// Hooks a glow-window's creation for tests: called with every glow picture just before it is
// handed to the layered window.
void SetGlowPictureObserver(std::function<void(HWND window, const Bitmap& picture)> observer);

}  // namespace kestrune::skin
