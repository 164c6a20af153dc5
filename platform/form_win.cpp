#include "platform/form_win.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "platform/application_win.h"
#include "platform/popup_menu_win.h"
#include "platform/win_util.h"

namespace kestrune::platform {
namespace {

constexpr wchar_t kFormClass[] = L"KestruneForm";
constexpr UINT kFirstMenuId = 1000;  // clear of the dialog ids IDOK..IDCONTINUE

void RegisterFormClass() {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  if (::GetClassInfoExW(::GetModuleHandleW(nullptr), kFormClass, &window_class))
    return;
  window_class.lpfnWndProc = ::DefWindowProcW;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  // Resource 1 is the program's icon when it has one; without it the system's default shows.
  window_class.hIcon = ::LoadIconW(window_class.hInstance, MAKEINTRESOURCEW(1));
  window_class.hIconSm = static_cast<HICON>(
      ::LoadImageW(window_class.hInstance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                   ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kFormClass;
  if (::RegisterClassExW(&window_class) == 0)
    throw Error("Cannot register the form window class: " + SystemErrorText(::GetLastError()));
}

Bounds ReadBounds(const ComponentDescription& description) {
  const std::vector<int> numbers = description.Numbers("bounds", 4);
  return {numbers[0], numbers[1], numbers[2], numbers[3]};
}

FontSettings ReadFont(const ComponentDescription& description) {
  const auto& values = description.Values("font");
  FontSettings font;
  if (values.size() < 2 || values[0].type != DescriptionValue::Type::kText ||
      values[1].type != DescriptionValue::Type::kNumber) {
    throw Error("Form description: " + description.name + ".font should be a face and a height");
  }
  font.face = values[0].text;
  font.height = static_cast<int>(values[1].number);
  for (std::size_t i = 2; i < values.size(); ++i) {
    if (values[i].type != DescriptionValue::Type::kWord || values[i].text != "bold")
      throw Error("Form description: " + description.name + ".font has an unknown style");
    font.bold = true;
  }
  return font;
}

bool UserReadsRightToLeft() {
  DWORD layout = 0;
  return ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_IREADINGLAYOUT | LOCALE_RETURN_NUMBER,
                           reinterpret_cast<LPWSTR>(&layout),
                           sizeof layout / sizeof(wchar_t)) > 0 &&
         layout == 1;
}

}  // namespace

FormDescription LoadFormDescription(HMODULE module, const wchar_t* resource_name) {
  HRSRC resource = ::FindResourceW(module, resource_name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = resource != nullptr ? ::LoadResource(module, resource) : nullptr;
  const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (bytes == nullptr)
    throw Error("The form description '" + Narrow(resource_name) + "' is missing");
  return ParseFormDescription(
      std::string_view(static_cast<const char*>(bytes), ::SizeofResource(module, resource)));
}

UINT ControlTextMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"Kestrune.ControlText");
  return message;
}

Form::Form(Application& application)
    : WinControl(std::string(), nullptr, Bounds{}), application_(application) {}

Form::~Form() {
  MarkDestroying();
  if (Handle() != nullptr)
    ::DestroyWindow(Handle());
}

DWORD Form::Style() const {
  return style_;
}

void Form::ReadFrameStyle(const ComponentDescription& root) {
  style_ = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
  const std::string border = root.Has("border") ? root.Word("border") : "sizeable";
  if (border == "sizeable")
    style_ |= WS_THICKFRAME;
  else if (border != "single")
    throw Error("Form description: " + root.name + ".border should be single or sizeable");
  const std::vector<std::string> icons = root.Has("border_icons")
                                             ? root.Words("border_icons")
                                             : std::vector<std::string>{"system_menu"};
  for (const std::string& icon : icons) {
    if (icon == "system_menu")
      style_ |= WS_SYSMENU;
    else if (icon == "minimize")
      style_ |= WS_MINIMIZEBOX;
    else if (icon == "maximize")
      style_ |= WS_MAXIMIZEBOX;
    else
      throw Error("Form description: " + root.name + ".border_icons has an unknown '" + icon + "'");
  }
  if (root.Has("color") && root.Word("color") != "button_face")
    throw Error("Form description: " + root.name + ".color can only be button_face");
}

void Form::Load(const FormDescription& description, const std::vector<Handler>& handlers,
                const std::vector<FieldBinding>& fields) {
  const ComponentDescription& root = description.components.front();
  if (root.kind != "form")
    throw Error("Form description: the first component must be a form");
  SetName(root.name);
  SetLoading(true);
  const std::vector<int> position = root.Numbers("position", 2);
  position_ = {position[0], position[1]};
  const std::vector<int> client = root.Numbers("client_size", 2);
  client_size_ = {client[0], client[1]};
  SetDesignBounds({position_.x, position_.y, client_size_.cx, client_size_.cy});
  if (root.Has("font"))
    SetOwnFont(ReadFont(root));
  ReadFrameStyle(root);

  // The menu comes first: it has to exist when the window's size is worked out.
  for (const auto& item : description.components) {
    if (item.kind == "main_menu") {
      if (item.parent != root.name)
        throw Error("Form description: the main menu must belong to the form");
      right_to_left_menu_ = item.Has("reading_order") &&
                            item.Word("reading_order") == "right_to_left_only" &&
                            UserReadsRightToLeft();
      menu_ = ::CreateMenu();
    }
  }
  RegisterFormClass();
  CreateHandle(kFormClass, Style(), 0, nullptr, menu_);
  SetText(root.Text("caption"));

  // A menu item that others name as their parent opens a submenu: made before its children come.
  for (const auto& item : description.components) {
    if (item.kind == "menu_item")
      submenu_owners_.insert(item.parent);
  }
  for (std::size_t i = 1; i < description.components.size(); ++i)
    CreateComponent(description.components[i], handlers);
  for (auto& component : components_) {
    if (auto* control = dynamic_cast<Control*>(component.get()))
      control->SetLoading(true);
  }

  // Tab order: the system walks siblings in z-order, which follows creation; restack by the
  // described order.
  std::map<HWND, std::vector<std::pair<int, HWND>>> siblings;
  for (const auto& item : description.components) {
    auto* control = dynamic_cast<WinControl*>(FindComponent(item.name));
    if (control != nullptr && control != this && item.Has("tab_order"))
      siblings[::GetParent(control->Handle())].emplace_back(item.Number("tab_order"),
                                                            control->Handle());
  }
  for (auto& [parent, children] : siblings) {
    std::stable_sort(children.begin(), children.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& child : children)
      ::SetWindowPos(child.second, HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  ApplyFormDpi(static_cast<int>(::GetDpiForWindow(Handle())), nullptr);
  SetLoading(false);
  for (auto& component : components_) {
    if (auto* control = dynamic_cast<Control*>(component.get()))
      control->SetLoading(false);
  }

  for (const auto& field : fields) {
    Component* component = FindComponent(field.name);
    if (component == nullptr)
      throw Error("Form description: no component '" + field.name + "'");
    field.bind(*component);
  }
  if (root.Has("on_create")) {
    const std::string name = root.Word("on_create");
    const auto handler = std::find_if(handlers.begin(), handlers.end(),
                                      [&](const Handler& h) { return h.name == name; });
    if (handler == handlers.end())
      throw Error("Form description: no handler '" + name + "'");
    handler->run();
  }
}

void Form::CreateComponent(const ComponentDescription& description,
                           const std::vector<Handler>& handlers) {
  auto find_handler = [&](std::string_view key) -> std::function<void()> {
    if (!description.Has(key))
      return nullptr;
    const std::string name = description.Word(key);
    for (const auto& handler : handlers) {
      if (handler.name == name)
        return handler.run;
    }
    throw Error("Form description: no handler '" + name + "' for " + description.name);
  };

  Component* parent = FindComponent(description.parent);
  const std::string& kind = description.kind;
  std::unique_ptr<Component> component;
  if (kind == "main_menu" || kind == "image_list" || kind == "skin_manager" ||
      kind == "skin_provider") {
    // Image lists and the skin components are built by the form's owner, which knows their class.
    component = std::make_unique<Component>(description.name);
  } else if (kind == "menu_item") {
    const UINT id = kFirstMenuId + static_cast<UINT>(menu_items_.size());
    // The shortcut text follows a tab, where the menus draw it right-aligned.
    std::string text = description.Text("caption");
    if (description.Has("shortcut"))
      text += "\t" + description.Text("shortcut");
    auto item = std::make_unique<MenuItem>(description.name, std::move(text),
                                           description.TextOr("hint", ""), id);
    item->on_click = find_handler("on_click");
    const std::wstring caption = Widen(item->Caption());
    // An item is a popup when a later component names it as parent; the description lists
    // parents first, so popups are made empty here and filled by their children.
    HMENU owner_menu = nullptr;
    if (auto* parent_item = dynamic_cast<MenuItem*>(parent)) {
      const auto popup = popups_.find(parent_item);
      owner_menu = popup != popups_.end() ? popup->second : nullptr;
    } else if (parent != nullptr && parent != this) {
      owner_menu = menu_;
    }
    if (owner_menu == nullptr)
      throw Error("Form description: menu item '" + description.name + "' has no menu");
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE | MIIM_STATE;
    info.fType = right_to_left_menu_ ? MFT_RIGHTORDER : 0;
    if (owner_menu != menu_ && item->Caption() == "-") {
      info.fMask &= ~static_cast<UINT>(MIIM_STRING);
      info.fType |= MFT_SEPARATOR;
    }
    if (description.FlagOr("radio", false))
      info.fType |= MFT_RADIOCHECK;
    if (description.FlagOr("column_break", false))
      info.fType |= MFT_MENUBARBREAK;
    info.fState = (description.FlagOr("checked", false) ? MFS_CHECKED : 0U) |
                  (description.FlagOr("enabled", true) ? 0U : MFS_GRAYED);
    info.wID = id;
    info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
    if (owner_menu == menu_ || submenu_owners_.count(description.name) != 0) {
      // Menu-bar items open a submenu; an empty one costs nothing when no child comes.
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = ::CreatePopupMenu();
      popups_[item.get()] = info.hSubMenu;
    }
    ::InsertMenuItemW(owner_menu, static_cast<UINT>(::GetMenuItemCount(owner_menu)), TRUE, &info);
    menu_items_.push_back(item.get());
    component = std::move(item);
  } else {
    auto* parent_control = dynamic_cast<WinControl*>(parent);
    if (parent_control == nullptr)
      throw Error("Form description: the parent of '" + description.name +
                  "' cannot hold controls");
    const Bounds bounds = ReadBounds(description);
    if (kind == "group_box") {
      component = std::make_unique<GroupBox>(description.name, parent_control, bounds,
                                             description.TextOr("caption", ""));
    } else if (kind == "memo") {
      MemoOptions options;
      const std::string bars =
          description.Has("scroll_bars") ? description.Word("scroll_bars") : "vertical";
      if (bars != "none" && bars != "vertical" && bars != "horizontal" && bars != "both")
        throw Error("Form description: " + description.name +
                    ".scroll_bars should be none, "
                    "vertical, horizontal or both");
      options.vertical_scroll_bar = bars == "vertical" || bars == "both";
      options.horizontal_scroll_bar = bars == "horizontal" || bars == "both";
      options.word_wrap = description.FlagOr("word_wrap", true);
      component = std::make_unique<Memo>(description.name, parent_control, bounds, options);
    } else if (kind == "progress_bar") {
      auto bar = std::make_unique<ProgressBar>(description.name, parent_control, bounds);
      if (description.Has("range")) {
        const std::vector<int> range = description.Numbers("range", 2);
        bar->SetMinimum(range[0]);
        bar->SetMaximum(range[1]);
      }
      component = std::move(bar);
    } else if (kind == "label") {
      component = std::make_unique<Label>(description.name, parent_control, bounds,
                                          description.TextOr("caption", ""),
                                          description.FlagOr("auto_size", false));
    } else if (kind == "button") {
      auto button = std::make_unique<Button>(description.name, parent_control, bounds,
                                             description.TextOr("caption", ""));
      button->on_click = find_handler("on_click");
      if (description.Has("cursor") && description.Word("cursor") == "hand_point")
        button->SetCursorShape(IDC_HAND);
      if (description.FlagOr("default", false))
        ::SendMessageW(button->Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
      component = std::move(button);
    } else {
      throw Error("Form description: unknown kind '" + kind + "' of " + description.name);
    }
    if (auto* windowed = dynamic_cast<WinControl*>(component.get());
        windowed != nullptr && description.Has("font")) {
      windowed->SetOwnFont(ReadFont(description));
    }
    if (!description.FlagOr("enabled", true))
      static_cast<Control*>(component.get())->SetEnabled(false);
  }
  components_.push_back(std::move(component));
}

void Form::ApplyFormDpi(int dpi, const RECT* suggested) {
  RECT frame{0, 0, ScaleForDpi(client_size_.cx, dpi), ScaleForDpi(client_size_.cy, dpi)};
  ::AdjustWindowRectExForDpi(&frame, Style(), menu_ != nullptr, 0, static_cast<UINT>(dpi));
  const POINT origin = suggested != nullptr ? POINT{suggested->left, suggested->top} : position_;
  ::SetWindowPos(Handle(), nullptr, origin.x, origin.y, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyDpi(dpi);
  // The menu bar may wrap at a narrow width, and the system's metrics may be those of another
  // density than `dpi`: measure what the frame took and correct until the client area is exact.
  const SIZE wanted{ScaleForDpi(client_size_.cx, dpi), ScaleForDpi(client_size_.cy, dpi)};
  if (menu_ != nullptr)
    ::DrawMenuBar(Handle());  // the menu bar's height is measured again only when asked
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int missing_x = wanted.cx - client.right;
    const int missing_y = wanted.cy - client.bottom;
    if (missing_x == 0 && missing_y == 0)
      break;
    RECT window{};
    ::GetWindowRect(Handle(), &window);
    ::SetWindowPos(Handle(), nullptr, 0, 0, window.right - window.left + missing_x,
                   window.bottom - window.top + missing_y,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Form::Show() {
  ::ShowWindow(Handle(), SW_SHOWNORMAL);
  ::UpdateWindow(Handle());
}

MenuItem* Form::MenuItemById(UINT id) const {
  for (MenuItem* item : menu_items_) {
    if (item->Id() == id)
      return item;
  }
  for (const PopupMenu* popup : popup_menus_) {
    if (MenuItem* item = popup->ItemById(id))
      return item;
  }
  return nullptr;
}

int Form::AcceleratedItem(HMENU menu, wchar_t key) const {
  const auto upper = [](wchar_t c) {
    return static_cast<wchar_t>(reinterpret_cast<std::uintptr_t>(
        ::CharUpperW(reinterpret_cast<wchar_t*>(static_cast<std::uintptr_t>(c)))));
  };
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) ||
        (info.fType & MFT_OWNERDRAW) == 0 || (info.fState & MFS_GRAYED) != 0)
      continue;
    const MenuItem* item = MenuItemById(info.wID);
    if (item == nullptr)
      continue;
    const std::wstring caption = Widen(item->Caption());
    for (std::size_t at = caption.find(L'&'); at != std::wstring::npos && at + 1 < caption.size();
         at = caption.find(L'&', at + 2)) {
      if (caption[at + 1] != L'&' && upper(caption[at + 1]) == upper(key))
        return i;
    }
  }
  return -1;
}

UINT Form::AttachPopupMenu(PopupMenu& menu) {
  // Ranges lie above the menu bar's ids and below the system's commands.
  constexpr UINT kFirstPopupId = 0x4000;
  constexpr UINT kLastPopupId = 0xEFFF;
  for (UINT first = kFirstPopupId; first + PopupMenu::kMaxItems - 1 <= kLastPopupId;
       first += PopupMenu::kMaxItems) {
    if (std::find(popup_first_ids_.begin(), popup_first_ids_.end(), first) !=
        popup_first_ids_.end())
      continue;
    popup_menus_.push_back(&menu);
    popup_first_ids_.push_back(first);
    return first;
  }
  throw Error("Form " + Name() + ": too many popup menus");
}

void Form::DetachPopupMenu(PopupMenu& menu) {
  for (std::size_t i = 0; i < popup_menus_.size(); ++i) {
    if (popup_menus_[i] == &menu) {
      popup_menus_.erase(popup_menus_.begin() + static_cast<std::ptrdiff_t>(i));
      popup_first_ids_.erase(popup_first_ids_.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
}

Component* Form::FindComponent(std::string_view name) const {
  if (name == Name())
    return const_cast<Form*>(this);
  for (const auto& component : components_) {
    if (component->Name() == name)
      return component.get();
  }
  return nullptr;
}

LRESULT Form::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == ControlTextMessage()) {
    wchar_t name[256] = {};
    if (::GlobalGetAtomNameW(static_cast<ATOM>(wparam), name, 256) == 0)
      return 0;
    auto* control = dynamic_cast<Control*>(FindComponent(Narrow(name)));
    if (control == nullptr)
      return 0;
    const std::wstring text = Widen(control->Text()).substr(0, 255);
    return ::GlobalAddAtomW(text.c_str());
  }
  switch (message) {
    case WM_COMMAND:
      if (lparam == 0 && HIWORD(wparam) == 0) {
        for (MenuItem* item : menu_items_) {
          if (item->Id() == LOWORD(wparam) && item->on_click) {
            application_.HandleEvent(item->on_click);
            return 0;
          }
        }
      }
      break;
    case WM_MEASUREITEM: {
      // Owner-drawn menu items answer through their handlers; the DC carries no font of its own.
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      MenuItem* item = measure->CtlType == ODT_MENU ? MenuItemById(measure->itemID) : nullptr;
      if (item == nullptr || !item->on_measure_item)
        break;
      const WindowDc dc(Handle());
      int width = static_cast<int>(measure->itemWidth);
      int height = static_cast<int>(measure->itemHeight);
      item->on_measure_item(dc.Get(), width, height);
      measure->itemWidth = static_cast<UINT>(std::max(width, 0));
      measure->itemHeight = static_cast<UINT>(std::max(height, 0));
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      MenuItem* item = draw->CtlType == ODT_MENU ? MenuItemById(draw->itemID) : nullptr;
      if (item == nullptr || !item->on_advanced_draw_item)
        break;
      item->on_advanced_draw_item(draw->hDC, draw->rcItem, draw->itemState);
      return TRUE;
    }
    case WM_MENUCHAR: {
      // Owner-drawn items hold no text in which the system could find their accelerator.
      HMENU menu = reinterpret_cast<HMENU>(lparam);
      const int position = AcceleratedItem(menu, static_cast<wchar_t>(LOWORD(wparam)));
      if (position >= 0)
        return MAKELRESULT(position, MNC_EXECUTE);
      break;
    }
    case WM_MENUSELECT: {
      std::string hint;
      for (MenuItem* item : menu_items_) {
        if (item->Id() == LOWORD(wparam) && (HIWORD(wparam) & MF_POPUP) == 0)
          hint = item->Hint();
      }
      application_.SetHint(std::move(hint));
      break;
    }
    case WM_SYSCOMMAND:
      // The system would still maximise or size a window without those borders on request.
      if (((wparam & 0xFFF0) == SC_MAXIMIZE && (style_ & WS_MAXIMIZEBOX) == 0) ||
          ((wparam & 0xFFF0) == SC_SIZE && (style_ & WS_THICKFRAME) == 0))
        return 0;
      break;
    case WM_DPICHANGED:
      ApplyFormDpi(HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_DESTROY:
      if (main_form_)
        ::PostQuitMessage(0);
      break;
    default:
      break;
  }
  return WinControl::WindowProc(message, wparam, lparam);
}

}  // namespace kestrune::platform
