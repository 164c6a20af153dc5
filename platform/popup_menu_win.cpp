#include "platform/popup_menu_win.h"

#include "platform/error.h"
#include "platform/form_win.h"
#include "platform/win_util.h"

namespace kestrune::platform {

PopupMenu::PopupMenu(Form& form, std::string name)
    : Component(std::move(name)), form_(form), first_id_(form.AttachPopupMenu(*this)) {}

PopupMenu::~PopupMenu() {
  form_.DetachPopupMenu(*this);
}

MenuItem& PopupMenu::Add(std::string name, std::string caption, std::uintptr_t tag) {
  if (items_.size() >= kMaxItems)
    throw Error("Popup menu " + Name() + ": more than " + std::to_string(kMaxItems) + " items");
  const UINT id = first_id_ + static_cast<UINT>(items_.size());
  owned_.push_back(std::make_unique<MenuItem>(std::move(name), std::move(caption), "", id));
  items_.push_back(owned_.back().get());
  entries_.push_back(Entry{tag, true, true});
  stale_ = true;
  return *items_.back();
}

void PopupMenu::Clear() {
  items_.clear();
  entries_.clear();
  stale_ = true;
  Rebuild();  // no id of the old items stays in the system menu
  owned_.clear();
}

PopupMenu::Entry& PopupMenu::EntryOf(const MenuItem& item) {
  return const_cast<Entry&>(static_cast<const PopupMenu*>(this)->EntryOf(item));
}

const PopupMenu::Entry& PopupMenu::EntryOf(const MenuItem& item) const {
  const UINT index = item.Id() - first_id_;
  if (item.Id() < first_id_ || index >= items_.size() || items_[index] != &item)
    throw Error("Popup menu " + Name() + ": '" + item.Name() + "' is not one of its items");
  return entries_[index];
}

bool PopupMenu::Visible(const MenuItem& item) const {
  return EntryOf(item).visible;
}

bool PopupMenu::Enabled(const MenuItem& item) const {
  return EntryOf(item).enabled;
}

std::uintptr_t PopupMenu::Tag(const MenuItem& item) const {
  return EntryOf(item).tag;
}

void PopupMenu::SetVisible(MenuItem& item, bool visible) {
  Entry& entry = EntryOf(item);
  stale_ = stale_ || entry.visible != visible;
  entry.visible = visible;
}

void PopupMenu::SetEnabled(MenuItem& item, bool enabled) {
  Entry& entry = EntryOf(item);
  stale_ = stale_ || entry.enabled != enabled;
  entry.enabled = enabled;
}

MenuItem* PopupMenu::ItemById(UINT id) const {
  if (id < first_id_ || id - first_id_ >= items_.size())
    return nullptr;
  return items_[id - first_id_];
}

HMENU PopupMenu::Handle() {
  if (stale_ || menu_.Get() == nullptr)
    Rebuild();
  return menu_.Get();
}

void PopupMenu::Rebuild() {
  if (menu_.Get() == nullptr) {
    menu_.Reset(::CreatePopupMenu());
    if (menu_.Get() == nullptr)
      throw Error("Popup menu " + Name() + ": the system made no menu");
  }
  // The same menu is filled again, so whoever keeps its handle (the skin's records) stays right.
  HMENU menu = menu_.Get();
  for (int count = ::GetMenuItemCount(menu); count > 0; --count)
    ::DeleteMenu(menu, 0, MF_BYPOSITION);
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const MenuItem& item = *items_[i];
    const Entry& entry = entries_[i];
    if (!entry.visible)
      continue;
    const std::wstring caption = Widen(item.Caption());
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE;
    info.wID = item.Id();
    info.fState = entry.enabled ? MFS_ENABLED : MFS_GRAYED;
    if (IsSeparator(item)) {
      info.fType = MFT_SEPARATOR;
    } else {
      info.fMask |= MIIM_STRING;
      info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
    }
    if (item.on_advanced_draw_item)
      info.fType |= MFT_OWNERDRAW;
    ::InsertMenuItemW(menu, static_cast<UINT>(::GetMenuItemCount(menu)), TRUE, &info);
  }
  stale_ = false;
}

MenuItem* PopupMenu::Popup(POINT at, UINT flags) {
  HMENU menu = Handle();
  const UINT chosen = static_cast<UINT>(
      ::TrackPopupMenuEx(menu, flags | TPM_RETURNCMD, at.x, at.y, form_.Handle(), nullptr));
  return chosen != 0 ? ItemById(chosen) : nullptr;
}

}  // namespace kestrune::platform
