#pragma once
// The Windows side of the control skin state: TacSkinOwner answered from a control of the window
// framework or from a bare window. Binding a state puts the window property "ACSDATA" on the
// window and the skin's procedure in front of the window's own (SetWindowSubclass, so the chain
// stays sound whatever order procedures are later removed in); the state's destruction takes
// both away again. Include only from Windows sources.

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/controls_win.h"
#include "platform/gdi_win.h"
#include "platform/window_owners_win.h"
#include "skin/paint/common_data.h"

namespace kestrune::skin {

// The skin state bound to `window`, or nullptr.
[[nodiscard]] TsCommonData* GetCommonData(HWND window);
// `message` as a window procedure of `window` received it, for the skin's handling: a skin
// command that this thread is not sending itself right now (posted, or sent from another thread
// or process) is foreign, and no pointer in it is ever read.
[[nodiscard]] TacMessage ReceivedMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// The window carries a skin state or answers AC_CTRLHANDLED.
[[nodiscard]] bool WndIsSkinned(HWND window);

// Destroy the skin state bound to an owner before the owner itself.
class WinSkinOwner final : public TacSkinOwner {
 public:
  // `control` (a windowed or a graphic control) outlives this object.
  explicit WinSkinOwner(platform::Control& control);
  // A window that is not one of the framework's controls.
  explicit WinSkinOwner(HWND window);
  WinSkinOwner(const WinSkinOwner&) = delete;
  WinSkinOwner& operator=(const WinSkinOwner&) = delete;
  ~WinSkinOwner() override;

  // A skinned control's own handling, run before the common one; true: handled, the answer in
  // message.Result.
  std::function<bool(TacMessage&)> on_message;

  [[nodiscard]] HWND Window() const;

  [[nodiscard]] Kind OwnerKind() const override;
  [[nodiscard]] bool Windowed() const override { return graphic_ == nullptr; }
  [[nodiscard]] TacWindow Handle() const override { return Window(); }
  [[nodiscard]] TacSkinOwner* Parent() const override;
  [[nodiscard]] std::vector<TacSkinOwner*> Children() const override;
  [[nodiscard]] std::string ClassName() const override;
  [[nodiscard]] TsCommonData* SkinState() const override { return data_; }
  [[nodiscard]] bool Loading() const override;
  [[nodiscard]] bool Destroying() const override;
  [[nodiscard]] bool Enabled() const override;
  [[nodiscard]] bool Visible() const override;
  [[nodiscard]] bool Showing() const override;
  [[nodiscard]] bool Focused() const override;
  [[nodiscard]] TColor Color() const override;
  void SetColor(TColor color) override;
  [[nodiscard]] TColor FontColor() const override;
  void SetFontColor(TColor color) override;
  [[nodiscard]] TRect BoundsRect() const override;
  [[nodiscard]] TPoint ClientOffset() const override;
  [[nodiscard]] int PPI() const override;
  [[nodiscard]] bool MouseInControl() const override;
  [[nodiscard]] bool MouseCaptured() const override;
  [[nodiscard]] bool LeftButtonDown() const override;
  [[nodiscard]] TRect VisibleScreenRect() const override;
  [[nodiscard]] TacWindow ParentForm() const override;

  std::intptr_t Send(std::uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam) override;
  void Redraw(std::uint32_t flags) override;
  void Repaint() override;
  void FrameChanged() override;
  void SetBackgroundBrush(TColor color) override;
  void RestoreBackgroundBrush() override;
  void SetCommonProp(TsCommonData* data) override;
  void RemoveCommonProp() override;
  void PaintInto(TacDC dc, TPoint offset, TRect clip) override;

  // The skin brush of this owner's background, or nullptr while none is set.
  [[nodiscard]] HBRUSH BackgroundBrush() const { return brush_.Get(); }

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR ref);
  LRESULT Process(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  // The owner object of another window or control: its skin's one, else an adapter kept here.
  [[nodiscard]] TacSkinOwner* OwnerOf(platform::Control& control) const;
  [[nodiscard]] TacSkinOwner* OwnerOf(HWND window) const;
  void Unbind();

  platform::Control* control_ = nullptr;         // not owned
  platform::WinControl* win_control_ = nullptr;  // the same control when it has a window
  platform::GraphicControl* graphic_ = nullptr;  // the same control when it has none
  HWND window_ = nullptr;                        // a bare window
  TsCommonData* data_ = nullptr;                 // not owned; the bound state
  platform::SubclassWithProperty procedure_;     // the skin procedure and the state's property
  platform::UniqueBrush brush_;
  TColor brush_color_ = clNone;
  mutable std::vector<std::unique_ptr<WinSkinOwner>> relatives_;  // adapters of unskinned ones
};

}  // namespace kestrune::skin
