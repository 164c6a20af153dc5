// A form built from its stored description: the menu items' and controls' properties reach the
// real menus and windows.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/application_win.h"
#include "platform/form_description.h"
#include "platform/form_win.h"

namespace kestrune::platform {
namespace {

constexpr char kLayout[] = R"(
[TestForm]
kind = form
caption = "Form"
position = 40, 40
client_size = 320, 200
menu = Menu

[Menu]
kind = main_menu
parent = TestForm

[Top]
kind = menu_item
parent = Menu
caption = "&Top"

[Plain]
kind = menu_item
parent = Top
caption = "Plain"

[Shortcut]
kind = menu_item
parent = Top
caption = "&Open"
shortcut = "Ctrl+O"

[Off]
kind = menu_item
parent = Top
caption = "Off"
enabled = no

[Line]
kind = menu_item
parent = Top
caption = "-"

[Ticked]
kind = menu_item
parent = Top
caption = "Ticked"
checked = yes

[Radio]
kind = menu_item
parent = Top
caption = "Radio"
radio = yes

[Holder]
kind = menu_item
parent = Top
caption = "Holder"

[Inner]
kind = menu_item
parent = Holder
caption = "Inner"

[Column]
kind = menu_item
parent = Top
caption = "Column"
column_break = yes

[Normal]
kind = button
parent = TestForm
bounds = 8, 8, 80, 24
caption = "Normal"

[Default]
kind = button
parent = TestForm
bounds = 8, 40, 80, 24
caption = "Default"
default = yes

[Disabled]
kind = button
parent = TestForm
bounds = 8, 72, 80, 24
caption = "Disabled"
enabled = no
)";

class FormFromDescription : public ::testing::Test {
 protected:
  FormFromDescription() : form_(application_) { form_.Load(ParseFormDescription(kLayout), {}, {}); }

  MENUITEMINFOW Info(const char* name, std::wstring* text = nullptr) {
    auto* item = dynamic_cast<MenuItem*>(form_.FindComponent(name));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    if (item == nullptr)
      return info;
    wchar_t buffer[64] = {};
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = buffer;
    info.cch = 64;
    const HMENU top = form_.PopupOf(*dynamic_cast<MenuItem*>(form_.FindComponent("Top")));
    const HMENU holder = form_.PopupOf(*dynamic_cast<MenuItem*>(form_.FindComponent("Holder")));
    if (!::GetMenuItemInfoW(top, item->Id(), FALSE, &info) &&
        !::GetMenuItemInfoW(holder, item->Id(), FALSE, &info))
      info.fMask = 0;
    if (text != nullptr)
      *text = buffer;
    return info;
  }

  Application application_{"test"};
  Form form_;
};

TEST_F(FormFromDescription, MenuItemsTakeTheirDescribedTypeAndState) {
  struct Row {
    const char* name;
    UINT type;   // the bits of fType below that must be set; the others must not
    UINT state;  // likewise for fState
    bool submenu;
    const wchar_t* text;  // nullptr: not looked at
  };
  constexpr UINT kTypes = MFT_SEPARATOR | MFT_RADIOCHECK | MFT_MENUBARBREAK;
  constexpr UINT kStates = MFS_CHECKED | MFS_GRAYED;
  const Row rows[] = {
      {"Plain", 0, 0, false, L"Plain"},
      {"Shortcut", 0, 0, false, L"&Open\tCtrl+O"},
      {"Off", 0, MFS_GRAYED, false, L"Off"},
      {"Line", MFT_SEPARATOR, 0, false, nullptr},
      {"Ticked", 0, MFS_CHECKED, false, L"Ticked"},
      {"Radio", MFT_RADIOCHECK, 0, false, L"Radio"},
      {"Holder", 0, 0, true, L"Holder"},
      {"Inner", 0, 0, false, L"Inner"},
      {"Column", MFT_MENUBARBREAK, 0, false, L"Column"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::wstring text;
    const MENUITEMINFOW info = Info(row.name, &text);
    ASSERT_NE(info.fMask, 0U) << "not in the menus";
    EXPECT_EQ(info.fType & kTypes, row.type);
    EXPECT_EQ(info.fState & kStates, row.state);
    EXPECT_EQ(info.hSubMenu != nullptr, row.submenu);
    if (row.text != nullptr) {
      EXPECT_EQ(text, row.text);
    }
  }
  // The item of a nested submenu is the form's item, so its click reaches the form.
  const auto* inner = dynamic_cast<MenuItem*>(form_.FindComponent("Inner"));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(form_.MenuItemById(inner->Id()), inner);
}

TEST_F(FormFromDescription, ButtonsTakeTheirDefaultAndEnabledState) {
  struct Row {
    const char* name;
    bool is_default;
    bool enabled;
  };
  const Row rows[] = {{"Normal", false, true}, {"Default", true, true}, {"Disabled", false, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto* button = dynamic_cast<Button*>(form_.FindComponent(row.name));
    ASSERT_NE(button, nullptr);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(button->Handle(), GWL_STYLE));
    EXPECT_EQ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON, row.is_default);
    EXPECT_EQ(::IsWindowEnabled(button->Handle()) != FALSE, row.enabled);
  }
}

}  // namespace
}  // namespace kestrune::platform
