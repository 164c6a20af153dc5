#pragma once
// A window system without windows for the glow rules: glow windows are records of what was
// shown, where and how, and of how they went.

#include <functional>
#include <memory>
#include <vector>

#include "skin/controls/glow.h"

namespace kestrune::skin::test {

class FakeGlowPlatform;

class FakeGlowWindow : public TacGlowWindow {
 public:
  explicit FakeGlowWindow(FakeGlowPlatform& platform);
  ~FakeGlowWindow() override;

  bool Show(const Bitmap& picture, TPoint pos, std::uint8_t alpha, TacGlowPlace place) override;
  void SetAlpha(const Bitmap& /*picture*/, std::uint8_t value) override { alpha = value; }
  void Hide() override { shown = false; }
  void RestoreWndProc() override { proc_restored = true; }
  void StartTimer(std::function<void()> on_tick) override { tick = std::move(on_tick); }
  void StopTimer() override { tick = nullptr; }

  FakeGlowPlatform& platform;
  bool shown = false;
  bool proc_restored = false;
  int shows = 0;
  TPoint pos;
  TSize size;
  std::uint8_t alpha = 0;
  TacGlowPlace place;
  const Bitmap* picture = nullptr;  // the effect's bitmap as last shown
  std::function<void()> tick;
};

class FakeGlowPlatform : public TacGlowPlatform {
 public:
  [[nodiscard]] bool LayeredWindows() const override { return layered; }
  [[nodiscard]] bool MouseCaptured() const override { return captured; }
  [[nodiscard]] bool Terminating() const override { return terminating; }
  std::unique_ptr<TacGlowWindow> CreateGlowWindow() override {
    if (!can_create)
      return nullptr;
    auto window = std::make_unique<FakeGlowWindow>(*this);
    windows.push_back(window.get());
    return window;
  }
  void ReleaseLater(std::unique_ptr<TacGlowWindow> window) override {
    window->Hide();
    released.push_back(std::move(window));
    if (on_release)
      on_release();
  }
  [[nodiscard]] bool Topmost(TacWindow /*form*/) const override { return topmost; }
  [[nodiscard]] TacWindow WindowAbove(TacWindow /*form*/) const override { return above; }
  [[nodiscard]] TRect VisibleWindowRect(TacWindow /*control*/) const override { return visible; }
  [[nodiscard]] std::vector<TRect> WindowsAbove(TacWindow /*control*/) const override {
    return overlapping;
  }
  [[nodiscard]] TColor ColorTone(TacWindow /*control*/) const override { return clNone; }

  // The windows made so far, alive or not (alive counts those not yet destroyed).
  [[nodiscard]] FakeGlowWindow* Last() const { return windows.empty() ? nullptr : windows.back(); }
  // Runs what deferred release would do once the current message is done.
  void RunDeferredReleases() { released.clear(); }

  bool layered = true;
  bool captured = false;
  bool terminating = false;
  bool can_create = true;
  bool topmost = false;
  TacWindow above = nullptr;
  TRect visible{100, 100, 300, 200};
  std::vector<TRect> overlapping;
  std::function<void()> on_release;

  std::vector<FakeGlowWindow*> windows;  // not owned; valid while alive
  int alive = 0;
  int destroyed = 0;
  std::vector<std::unique_ptr<TacGlowWindow>> released;
};

inline FakeGlowWindow::FakeGlowWindow(FakeGlowPlatform& owner) : platform(owner) {
  ++platform.alive;
}

inline FakeGlowWindow::~FakeGlowWindow() {
  --platform.alive;
  ++platform.destroyed;
  std::erase(platform.windows, this);
}

inline bool FakeGlowWindow::Show(const Bitmap& bmp, TPoint at, std::uint8_t value, TacGlowPlace z) {
  shown = true;
  ++shows;
  pos = at;
  size = TSize{bmp.Width(), bmp.Height()};
  alpha = value;
  place = z;
  picture = &bmp;
  return true;
}

}  // namespace kestrune::skin::test
