#include "platform/form_description.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "tests/support/main_layout.h"

namespace kestrune::platform {
namespace {

std::string ErrorOf(std::string_view text) {
  try {
    static_cast<void>(ParseFormDescription(text));
  } catch (const Error& error) {
    return error.what();
  }
  return "<no error>";
}

TEST(FormDescription, ReadsComponentsValuesAndParents) {
  const FormDescription form = ParseFormDescription(
      "\xEF\xBB\xBF# a comment\r\n"
      "[Main]\r\n"
      "kind = form\r\n"
      "  caption = \"Say \\\"hi\\\" \\\\ there, now\"  \r\n"
      "\r\n"
      "[Box]\n"
      "kind=group_box\n"
      "parent=Main\n"
      "bounds = 0, -4 ,416,278\n"
      "font = \"Segoe UI\", 13, bold\n"
      "word_wrap = yes\n");
  ASSERT_EQ(form.components.size(), 2u);
  const ComponentDescription& main = form.components[0];
  EXPECT_EQ(main.name, "Main");
  EXPECT_EQ(main.kind, "form");
  EXPECT_EQ(main.parent, "");
  EXPECT_EQ(main.Text("caption"), "Say \"hi\" \\ there, now");

  const ComponentDescription* box = form.Find("Box");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->parent, "Main");
  EXPECT_EQ(box->Numbers("bounds", 4), (std::vector<int>{0, -4, 416, 278}));
  const auto& font = box->Values("font");
  ASSERT_EQ(font.size(), 3u);
  EXPECT_EQ(font[0].text, "Segoe UI");
  EXPECT_EQ(font[1].number, 13);
  EXPECT_EQ(font[2].text, "bold");
  EXPECT_TRUE(box->FlagOr("word_wrap", false));
  EXPECT_EQ(box->NumberOr("tab_order", 7), 7);
  EXPECT_EQ(box->TextOr("caption", "none"), "none");
  EXPECT_EQ(form.Find("Nobody"), nullptr);
}

TEST(FormDescription, RefusesBrokenText) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"", "Form description: no components"},
      {"# only a comment\n", "Form description: no components"},
      {"kind = form\n", "line 1: property before the first component"},
      {"[Main\nkind = form\n", "line 1: expected ']'"},
      {"[Ma in]\nkind = form\n", "line 1: bad component name 'Ma in'"},
      {"[Main]\n", "component 'Main' has no kind"},
      {"[Main]\nkind = form\n[Main]\nkind = form\n", "line 3: component 'Main' appears twice"},
      {"[Main]\nkind = form\nkind = form\n", "line 3: key 'kind' appears twice"},
      {"[Main]\nkind form\n", "line 2: expected 'key = value'"},
      {"[Main]\nkind = \"form\"\n", "line 2: 'kind' takes one bare word"},
      {"[Main]\nkind = form\ncaption = \"open\n", "line 3: unterminated text"},
      {"[Main]\nkind = form\ncaption = \"a\\n\"\n", "line 3: bad escape in text"},
      {"[Main]\nkind = form\nsize = 1 2\n", "line 3: expected ',' between values"},
      {"[Main]\nkind = form\nsize = 1,\n", "line 3: missing value"},
      {"[Main]\nkind = form\nsize = 12x\n", "line 3: bad number '12x'"},
      {"[Main]\nkind = form\nsize = 99999999999\n", "line 3: number out of range"},
      {"[Main]\nkind = form\n[Box]\nkind = label\nparent = Later\n[Later]\nkind = memo\n",
       "line 5: parent 'Later' is not declared before 'Box'"},
      {"[Main]\nkind = form\n[Box]\nkind = label\nparent = Box\n",
       "line 5: parent 'Box' is not declared before 'Box'"},
      {"[Main]\nkind = form\n[Box]\nkind = label\n", "component 'Box' has no parent"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.text);
    EXPECT_NE(ErrorOf(row.text).find(row.message), std::string::npos) << ErrorOf(row.text);
  }
}

TEST(FormDescription, GettersNameTheComponentAndKey) {
  const FormDescription form = ParseFormDescription(
      "[Main]\nkind = form\ncaption = 12\nbounds = 1, 2, 3\nflag = maybe\nwords = a, \"b\"\n");
  const ComponentDescription& main = form.components[0];
  const struct {
    std::function<void()> read;
    const char* message;
  } cases[] = {
      {[&] { static_cast<void>(main.Text("missing")); }, "Main.missing is missing"},
      {[&] { static_cast<void>(main.Text("caption")); }, "Main.caption should be one quoted text"},
      {[&] { static_cast<void>(main.Numbers("bounds", 4)); }, "Main.bounds should have 4 number"},
      {[&] { static_cast<void>(main.Word("bounds")); }, "Main.bounds should be one bare word"},
      {[&] { static_cast<void>(main.FlagOr("flag", true)); }, "Main.flag should be yes or no"},
      {[&] { static_cast<void>(main.Words("words")); }, "Main.words should hold bare words only"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.message);
    try {
      row.read();
      ADD_FAILURE() << "no error";
    } catch (const Error& error) {
      EXPECT_NE(std::string(error.what()).find(row.message), std::string::npos) << error.what();
    }
  }
}

// The program's own description must read, and hold the main window's layout.
TEST(FormDescription, MainWindowDescriptionHoldsTheLayout) {
  const std::string text = test::MainLayoutText();
  ASSERT_NE(text, "<missing>") << KESTRUNE_MAIN_FORM_LAYOUT;
  const FormDescription form = ParseFormDescription(text);

  const ComponentDescription& main = form.components.front();
  EXPECT_EQ(main.name, "MainForm");
  EXPECT_EQ(main.Text("caption"), "Kestrune v1.0.0.2");
  EXPECT_EQ(main.Numbers("client_size", 2), (std::vector<int>{416, 278}));
  EXPECT_EQ(main.Numbers("position", 2), (std::vector<int>{523, 133}));
  EXPECT_EQ(main.Words("border_icons"), (std::vector<std::string>{"system_menu", "minimize"}));

  const struct {
    const char* name;
    const char* kind;
    const char* parent;
    std::vector<int> bounds;
    const char* caption;
  } controls[] = {
      {"GroupResults", "group_box", "MainForm", {0, 0, 416, 278}, "Results"},
      {"MemoResults", "memo", "GroupResults", {10, 22, 397, 177}, nullptr},
      {"ProgressBar", "progress_bar", "GroupResults", {8, 205, 400, 18}, nullptr},
      {"LabelTotalEstimated", "label", "GroupResults", {12, 230, 55, 15}, "Total IPs: 0"},
      {"LabelRemaining", "label", "GroupResults", {12, 250, 69, 15}, "Remaining: 0"},
      {"LabelETA", "label", "GroupResults", {156, 230, 67, 15}, "ETA: 00:00:00"},
      {"LabelSpeed", "label", "GroupResults", {156, 250, 84, 15}, "Speed: 0 IPs/sec"},
      {"ButtonExtract", "button", "GroupResults", {304, 235, 103, 30}, "Extract"},
  };
  for (const auto& control : controls) {
    SCOPED_TRACE(control.name);
    const ComponentDescription* found = form.Find(control.name);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->kind, control.kind);
    EXPECT_EQ(found->parent, control.parent);
    EXPECT_EQ(found->Numbers("bounds", 4), control.bounds);
    if (control.caption != nullptr) {
      EXPECT_EQ(found->Text("caption"), control.caption);
    }
  }

  const struct {
    const char* name;
    const char* parent;
    const char* caption;
    const char* hint;
    const char* on_click;
  } items[] = {
      {"About", "MainMenu", "About", "", nullptr},
      {"Saweria", "About", "Buy Me a Coffee", "", "SaweriaClick"},
      {"Github", "About", "Github", "", "GithubClick"},
      {"Youtube", "About", "Youtube", "Click Subscribe to Our Channel", "YoutubeClick"},
  };
  for (const auto& item : items) {
    SCOPED_TRACE(item.name);
    const ComponentDescription* found = form.Find(item.name);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->kind, "menu_item");
    EXPECT_EQ(found->parent, item.parent);
    EXPECT_EQ(found->Text("caption"), item.caption);
    EXPECT_EQ(found->TextOr("hint", ""), item.hint);
    EXPECT_EQ(found->Has("on_click"), item.on_click != nullptr);
    if (item.on_click != nullptr) {
      EXPECT_EQ(found->Word("on_click"), item.on_click);
    }
  }
}

}  // namespace
}  // namespace kestrune::platform
