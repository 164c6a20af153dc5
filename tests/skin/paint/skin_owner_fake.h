#pragma once
// A control without a platform for the skin state's rules: it answers what the state asks,
// records the commands it receives and routes them through the state as a skinned control's
// window procedure would, and holds a small skin manager with hand-made sections.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/data/skin_manager.h"
#include "skin/paint/common_data.h"

namespace kestrune::skin::test {

class FakeOwner : public TacSkinOwner {
 public:
  [[nodiscard]] Kind OwnerKind() const override { return kind; }
  [[nodiscard]] bool Windowed() const override { return windowed; }
  [[nodiscard]] TacWindow Handle() const override {
    return windowed ? const_cast<FakeOwner*>(this) : nullptr;
  }
  [[nodiscard]] TacSkinOwner* Parent() const override { return parent; }
  [[nodiscard]] std::vector<TacSkinOwner*> Children() const override {
    return {children.begin(), children.end()};
  }
  [[nodiscard]] std::string ClassName() const override { return class_name; }
  [[nodiscard]] TsCommonData* SkinState() const override { return state; }
  [[nodiscard]] bool Loading() const override { return loading; }
  [[nodiscard]] bool Destroying() const override { return destroying; }
  [[nodiscard]] bool Enabled() const override { return enabled; }
  [[nodiscard]] bool Focused() const override { return focused; }
  [[nodiscard]] bool Visible() const override { return visible; }
  [[nodiscard]] TColor Color() const override { return color; }
  void SetColor(TColor value) override { color = value; }
  [[nodiscard]] TColor FontColor() const override { return font_color; }
  void SetFontColor(TColor value) override { font_color = value; }
  [[nodiscard]] TRect BoundsRect() const override { return bounds; }
  [[nodiscard]] TPoint ClientOffset() const override { return client_offset; }
  [[nodiscard]] bool MouseInControl() const override { return mouse_inside; }
  [[nodiscard]] int PPI() const override { return ppi; }

  std::intptr_t Send(std::uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam) override {
    if (msg == SM_ALPHACMD) {
      const std::uint16_t command = CommandOf(wparam);
      commands.push_back(command);
      if (command == AC_GETDEFINDEX)
        return default_index_answer;
      if (command == AC_GETFONTINDEX && font_index_answer)
        return font_index_answer(*reinterpret_cast<TacPaintInfo*>(lparam));
      if (command == AC_PREPARECACHE && state != nullptr && prepare)
        prepare(*state);
      if (command == AC_PREPARECACHE && state != nullptr && !prepare)
        return 0;  // a control that cannot paint leaves its cache as it is
    }
    if (state == nullptr)
      return 0;
    TacMessage message = MakeMessage(msg, wparam, lparam);
    message.Foreign = foreign;
    state->CommonWndProc(message);
    return message.Result;
  }
  void Redraw(std::uint32_t flags) override { redraws.push_back(flags); }
  void PaintInto(TacDC dc, TPoint offset, TRect clip) override {
    painted_into.push_back({dc, offset, clip});
  }

  [[nodiscard]] int Count(std::uint16_t command) const {
    int n = 0;
    for (std::uint16_t c : commands)
      n += c == command ? 1 : 0;
    return n;
  }

  struct PaintCall {
    TacDC dc;
    TPoint offset;
    TRect clip;
  };

  Kind kind = Kind::Control;
  bool windowed = true;
  FakeOwner* parent = nullptr;
  std::vector<FakeOwner*> children;
  std::string class_name = "TFAKE";
  TsCommonData* state = nullptr;
  bool loading = false;
  bool destroying = false;
  bool enabled = true;
  bool focused = false;
  bool visible = true;
  bool mouse_inside = false;
  bool foreign = false;  // messages arrive from another thread
  TColor color = 0x00102030;
  TColor font_color = 0x00040506;
  TRect bounds{0, 0, 40, 30};
  TPoint client_offset;
  int ppi = 96;
  std::intptr_t default_index_answer = 0;
  std::function<std::intptr_t(TacPaintInfo&)> font_index_answer;
  // Paints the cache when asked to prepare it; the default handling then clears BGChanged.
  std::function<void(TsCommonData&)> prepare;
  std::vector<std::uint16_t> commands;
  std::vector<std::uint32_t> redraws;
  std::vector<PaintCall> painted_into;
};

// Links `child` under `parent`.
inline void Adopt(FakeOwner& parent, FakeOwner& child) {
  child.parent = &parent;
  parent.children.push_back(&child);
}

// A state made for `owner`, bound to it.
inline std::unique_ptr<TsCommonData> MakeState(FakeOwner& owner, bool cache = true) {
  auto state = std::make_unique<TsCommonData>(&owner, cache);
  owner.state = state.get();
  return state;
}

// A section with one colour and transparency in every state.
inline TsGeneralData Section(std::string name, TColor color, int transparency = 0) {
  TsGeneralData gd;
  gd.ClassName = std::move(name);
  for (TsGenState& state : gd.Props) {
    state.Color = color;
    state.Transparency = transparency;
  }
  return gd;
}

// A manager whose 96-PPI copy holds the given sections and image entries, switched on.
class TestManager {
 public:
  explicit TestManager(std::vector<TsGeneralData> sections, std::vector<TsMaskData> masks = {})
      : platform_(96), manager_(platform_) {
    auto data = std::make_unique<TacSkinData>();
    data->Reset(96);
    data->gd = std::move(sections);
    data->ma = std::move(masks);
    manager_.SkinDataArray.push_back(std::move(data));
    manager_.SkinCommonInfo.Active = true;
  }
  TsSkinManager& operator*() { return manager_; }
  TsSkinManager* operator->() { return &manager_; }
  TsSkinManager* get() { return &manager_; }
  TacSkinData& Data() { return *manager_.SkinDataArray[0]; }

 private:
  HeadlessSkinPlatform platform_;
  TsSkinManager manager_;
};

}  // namespace kestrune::skin::test
