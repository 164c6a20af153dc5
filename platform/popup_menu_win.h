#pragma once
// A popup menu a form shows at a point: it owns its items and the system menu that shows them.
// Hidden items are left out of the system menu, which is rebuilt when an item's state changes.
// The menu registers with its form, so the form answers the owner-draw messages of its items
// (and the skin finds them) as it does for the items of its menu bar.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls_win.h"

namespace kestrune::platform {

class Form;

class PopupMenu : public Component {
 public:
  // `form` must outlive the menu.
  PopupMenu(Form& form, std::string name);
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;
  ~PopupMenu() override;

  // Adds an item at the end; a caption of "-" makes a separator. Throws kestrune::Error when
  // the menu is full (kMaxItems).
  MenuItem& Add(std::string name, std::string caption, std::uintptr_t tag);
  void Clear();

  // Shows the menu with its top-left corner at `at` (screen coordinates) until the user chooses
  // an item or closes it; returns the chosen item, or nullptr. `flags` adds TPM_ flags.
  MenuItem* Popup(POINT at, UINT flags = 0);

  [[nodiscard]] const std::vector<MenuItem*>& Items() const { return items_; }
  [[nodiscard]] bool Empty() const { return items_.empty(); }
  [[nodiscard]] bool Visible(const MenuItem& item) const;
  [[nodiscard]] bool Enabled(const MenuItem& item) const;
  void SetVisible(MenuItem& item, bool visible);
  void SetEnabled(MenuItem& item, bool enabled);
  [[nodiscard]] static bool IsSeparator(const MenuItem& item) { return item.Caption() == "-"; }
  [[nodiscard]] std::uintptr_t Tag(const MenuItem& item) const;

  // The item with command id `id`, or nullptr.
  [[nodiscard]] MenuItem* ItemById(UINT id) const;
  // The system menu as it shows the visible items now (rebuilt when stale).
  [[nodiscard]] HMENU Handle();
  // Makes the system menu again, taking the items' owner-draw handlers into account.
  void Rebuild();
  [[nodiscard]] Form& Owner() const { return form_; }

  static constexpr UINT kMaxItems = 256;

 private:
  struct Entry {
    std::uintptr_t tag = 0;
    bool visible = true;
    bool enabled = true;
  };
  struct DestroyMenuHandle {
    void operator()(HMENU menu) const { ::DestroyMenu(menu); }
  };
  [[nodiscard]] Entry& EntryOf(const MenuItem& item);
  [[nodiscard]] const Entry& EntryOf(const MenuItem& item) const;

  Form& form_;
  UINT first_id_;
  std::vector<std::unique_ptr<MenuItem>> owned_;
  std::vector<MenuItem*> items_;
  std::vector<Entry> entries_;  // by index in items_
  UniqueResource<HMENU, DestroyMenuHandle> menu_;
  bool stale_ = true;
};

}  // namespace kestrune::platform
