#pragma once
// A form: a top-level window built from its stored description, owning every component the
// description names. Event handlers and fields are bound by name when the form is loaded.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls_win.h"
#include "platform/error.h"
#include "platform/form_description.h"

namespace kestrune::platform {

class Application;
class PopupMenu;

// The stored description kept as an RCDATA resource of `module`.
[[nodiscard]] FormDescription LoadFormDescription(HMODULE module, const wchar_t* resource_name);

// The registered message by which a form reports a control's text as a global atom (wparam: an
// atom holding the control's name; result: a new atom holding its text, 0 when there is none).
// Graphic controls have no window, so this is how a test client or an accessibility tool reads
// them. The caller deletes both atoms.
[[nodiscard]] UINT ControlTextMessage();

class Form : public WinControl {
 public:
  struct Handler {
    std::string name;
    std::function<void()> run;
  };
  struct FieldBinding {
    std::string name;
    std::function<void(Component&)> bind;  // throws when the component has the wrong kind
  };

  explicit Form(Application& application);
  ~Form() override;

  // Creates the window and its components from `description`, binds the `on_...` properties to
  // `handlers` and the named components to `fields`, and then runs the `on_create` handler. The
  // window stays hidden until Show.
  void Load(const FormDescription& description, const std::vector<Handler>& handlers,
            const std::vector<FieldBinding>& fields);
  void Show();
  // A main form ends the message loop when it is destroyed.
  void SetMainForm(bool main_form) { main_form_ = main_form; }

  [[nodiscard]] Component* FindComponent(std::string_view name) const;
  // The menu items in description order, the menu bar (nullptr without one) and the drop-down of
  // a menu-bar item or of an item that holds others (nullptr for other items).
  [[nodiscard]] const std::vector<MenuItem*>& MenuItems() const { return menu_items_; }
  [[nodiscard]] HMENU MenuBar() const { return menu_; }
  [[nodiscard]] HMENU PopupOf(const MenuItem& item) const {
    const auto popup = popups_.find(&item);
    return popup != popups_.end() ? popup->second : nullptr;
  }
  // The menu item with command id `id` (of the menu bar or of a popup menu), or nullptr.
  [[nodiscard]] MenuItem* MenuItemById(UINT id) const;
  // The popup menus made for this form. A popup registers while it lives and gets the first
  // of a range of item ids of its own; throws kestrune::Error when no range is left.
  [[nodiscard]] const std::vector<PopupMenu*>& PopupMenus() const { return popup_menus_; }
  [[nodiscard]] UINT AttachPopupMenu(PopupMenu& menu);
  void DetachPopupMenu(PopupMenu& menu);
  // The density the form is laid out for.
  [[nodiscard]] int PixelsPerInch() const { return Dpi(); }
  [[nodiscard]] Application& App() const { return application_; }

  template <typename T>
  static FieldBinding Field(std::string name, T*& slot) {
    return {name, [&slot, name](Component& component) {
              slot = dynamic_cast<T*>(&component);
              if (slot == nullptr)
                throw Error("Form description: '" + name + "' has the wrong kind");
            }};
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void ApplyFormDpi(int dpi, const RECT* suggested);
  // The position of the enabled owner-drawn item of `menu` whose caption marks `key` as its
  // accelerator ("&"), or -1.
  [[nodiscard]] int AcceleratedItem(HMENU menu, wchar_t key) const;
  void CreateComponent(const ComponentDescription& description,
                       const std::vector<Handler>& handlers);
  [[nodiscard]] DWORD Style() const;
  void ReadFrameStyle(const ComponentDescription& root);

  Application& application_;
  std::vector<std::unique_ptr<Component>> components_;
  std::vector<MenuItem*> menu_items_;        // not owned; in components_
  std::map<const MenuItem*, HMENU> popups_;  // the submenus of menu items, owned by menu_
  std::set<std::string> submenu_owners_;     // the names of the items that hold others
  HMENU menu_ = nullptr;                     // owned by the window once it exists
  std::vector<PopupMenu*> popup_menus_;      // not owned
  std::vector<UINT> popup_first_ids_;        // by index in popup_menus_
  POINT position_{};
  SIZE client_size_{};
  DWORD style_ = 0;
  bool right_to_left_menu_ = false;
  bool main_form_ = false;
};

}  // namespace kestrune::platform
