// The framework and the main window in-process: layout, fonts, the error box, the memo, the
// labels and a whole run through the Extract button.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/main_form_win.h"
#include "platform/error.h"
#include "platform/win_util.h"
#include "tests/support/build_path.h"
#include "tests/support/main_layout.h"
#include "tests/support/temp_dir.h"

namespace kestrune {
namespace {

using platform::Widen;

struct Box {
  HWND owner;
  std::string text;
  std::string caption;
  UINT flags;
};

using test::MainDescription;

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest() {
    application_.SetMessageBoxFunction(
        [this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
          boxes_.push_back({owner, platform::Narrow(text), platform::Narrow(caption), flags});
          return IDOK;
        });
  }

  std::unique_ptr<TMainForm> MakeForm(RunSettings settings) {
    auto form = std::make_unique<TMainForm>(application_, MainDescription(), services_,
                                            std::move(settings));
    application_.SetMainWindow(form->Handle());
    return form;
  }

  RunSettings TempSettings() const {
    RunSettings settings;
    settings.list_path = folder_.Folder() + "prefix_list.txt";
    settings.output_folder = folder_.Folder();
    return settings;
  }

  static void Click(const platform::Button& button) {
    ::SendMessageW(button.Handle(), BM_CLICK, 0, 0);
  }

  platform::Application application_{"Kestrune"};
  platform::SystemServices services_;
  std::vector<Box> boxes_;
  test::TempDir folder_;
};

RECT RectInParent(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LOGFONTW FontOf(HWND window) {
  LOGFONTW font{};
  auto handle = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
  ::GetObjectW(handle, sizeof font, &font);
  return font;
}

TEST_F(MainFormTest, LaysOutTheWindowAsDescribed) {
  auto form = MakeForm({});
  HWND window = form->Handle();
  wchar_t caption[64] = {};
  ::GetWindowTextW(window, caption, 64);
  EXPECT_STREQ(caption, L"Kestrune v1.0.0.2");

  const int dpi = static_cast<int>(::GetDpiForWindow(window));
  const auto scale = [dpi](int v) { return platform::ScaleForDpi(v, dpi); };
  RECT client{};
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, scale(416));
  EXPECT_EQ(client.bottom, scale(278));
  RECT frame{};
  ::GetWindowRect(window, &frame);
  EXPECT_EQ(frame.left, 523);
  EXPECT_EQ(frame.top, 133);

  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);

  const struct {
    HWND window;
    RECT rect;
  } controls[] = {
      {form->MemoResults->Handle(), {10, 22, 407, 199}},
      {form->ProgressBar->Handle(), {8, 205, 408, 223}},
      {form->ButtonExtract->Handle(), {304, 235, 407, 265}},
      {::GetParent(form->ButtonExtract->Handle()), {0, 0, 416, 278}},
  };
  for (const auto& control : controls) {
    const RECT rect = RectInParent(control.window);
    EXPECT_EQ(rect.left, scale(control.rect.left));
    EXPECT_EQ(rect.top, scale(control.rect.top));
    EXPECT_EQ(rect.right - rect.left, scale(control.rect.right - control.rect.left));
    EXPECT_EQ(rect.bottom - rect.top, scale(control.rect.bottom - control.rect.top));
  }
  EXPECT_EQ(form->ButtonExtract->Text(), "Extract");
  EXPECT_EQ(platform::WinControl::FromHandle(::GetParent(form->ButtonExtract->Handle()))->Text(),
            "Results");

  const LOGFONTW button_font = FontOf(form->ButtonExtract->Handle());
  EXPECT_EQ(button_font.lfHeight, -scale(13));
  EXPECT_EQ(button_font.lfWeight, FW_BOLD);
  EXPECT_STREQ(button_font.lfFaceName, L"Segoe UI");
  const LOGFONTW memo_font = FontOf(form->MemoResults->Handle());
  EXPECT_EQ(memo_font.lfHeight, -scale(12));
  EXPECT_EQ(memo_font.lfWeight, FW_NORMAL);

  const auto memo_style =
      static_cast<DWORD>(::GetWindowLongPtrW(form->MemoResults->Handle(), GWL_STYLE));
  EXPECT_TRUE(memo_style & WS_VSCROLL);
  EXPECT_FALSE(memo_style & WS_HSCROLL);
  EXPECT_FALSE(memo_style & ES_AUTOHSCROLL);  // long lines wrap
  EXPECT_FALSE(memo_style & ES_READONLY);
  EXPECT_EQ(form->MemoResults->Text(), "");

  EXPECT_EQ(form->LabelTotalEstimated->Text(), "Total IPs: 0");
  EXPECT_EQ(form->LabelRemaining->Text(), "Remaining: 0");
  EXPECT_EQ(form->LabelETA->Text(), "ETA: 00:00:00");
  EXPECT_EQ(form->LabelSpeed->Text(), "Speed: 0 IPs/sec");
  EXPECT_EQ(form->LabelETA->Area().left, scale(156));
  EXPECT_EQ(form->LabelETA->Area().top, scale(230));
  EXPECT_EQ(form->ProgressBar->Minimum(), 0);
  EXPECT_EQ(form->ProgressBar->Maximum(), 100);
  EXPECT_EQ(form->ProgressBar->Position(), 0);

  HMENU menu = ::GetMenu(window);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(::GetMenuItemCount(menu), 1);
  wchar_t text[64] = {};
  ::GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"About");
  HMENU about = ::GetSubMenu(menu, 0);
  ASSERT_EQ(::GetMenuItemCount(about), 3);
  const wchar_t* items[] = {L"Buy Me a Coffee", L"Github", L"Youtube"};
  for (int i = 0; i < 3; ++i) {
    ::GetMenuStringW(about, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, items[i]);
  }
  // Hovering an item makes its hint the application's hint.
  const UINT youtube = ::GetMenuItemID(about, 2);
  ::SendMessageW(window, WM_MENUSELECT, MAKEWPARAM(youtube, MF_STRING),
                 reinterpret_cast<LPARAM>(about));
  EXPECT_EQ(application_.Hint(), "Click Subscribe to Our Channel");
  ::SendMessageW(window, WM_MENUSELECT, MAKEWPARAM(::GetMenuItemID(about, 1), MF_STRING),
                 reinterpret_cast<LPARAM>(about));
  EXPECT_EQ(application_.Hint(), "");
}

TEST_F(MainFormTest, TabOrderAndTheHandCursorOfTheButton) {
  auto form = MakeForm({});
  std::vector<HWND> order;
  for (HWND child = ::GetWindow(::GetParent(form->MemoResults->Handle()), GW_CHILD);
       child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    order.push_back(child);
  }
  EXPECT_EQ(order, (std::vector<HWND>{form->MemoResults->Handle(), form->ButtonExtract->Handle(),
                                      form->ProgressBar->Handle()}));

  HWND button = form->ButtonExtract->Handle();
  ::SendMessageW(button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
  HWND memo = form->MemoResults->Handle();
  ::SendMessageW(memo, WM_SETCURSOR, reinterpret_cast<WPARAM>(memo),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

// Moving to a monitor of another density scales the whole layout and its fonts.
TEST_F(MainFormTest, FollowsAChangeOfDensity) {
  auto form = MakeForm({});
  form->Show();
  RECT suggested{100, 50, 800, 600};
  ::SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
  RECT client{};
  ::GetClientRect(form->Handle(), &client);
  // The height is not checked: this process's frame and menu-bar metrics stay those of 96 dots per
  // inch, as only the message changed, and the system measures the menu bar again later.
  EXPECT_EQ(client.right, 624);
  RECT frame{};
  ::GetWindowRect(form->Handle(), &frame);
  EXPECT_EQ(frame.left, 100);
  EXPECT_EQ(frame.top, 50);
  const RECT button = RectInParent(form->ButtonExtract->Handle());
  EXPECT_EQ(button.left, 456);
  EXPECT_EQ(button.top, 353);
  EXPECT_EQ(button.right - button.left, 155);
  EXPECT_EQ(button.bottom - button.top, 45);
  EXPECT_EQ(FontOf(form->ButtonExtract->Handle()).lfHeight, -20);
  EXPECT_EQ(FontOf(form->MemoResults->Handle()).lfHeight, -18);
  EXPECT_EQ(form->LabelSpeed->Area().left, 234);
  EXPECT_EQ(form->LabelSpeed->Area().top, 375);
}

TEST_F(MainFormTest, CannotBeMaximisedOrResizedButMinimised) {
  auto form = MakeForm({});
  HWND window = form->Handle();
  form->Show();
  RECT before{};
  ::GetWindowRect(window, &before);
  ::SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_FALSE(::IsZoomed(window));
  RECT after{};
  ::GetWindowRect(window, &after);
  EXPECT_TRUE(::EqualRect(&before, &after));
  ::SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(::IsIconic(window));
  ::SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(::IsIconic(window));
}

TEST_F(MainFormTest, ExtractRunsTheListIntoTheWindow) {
  auto form = MakeForm(TempSettings());
  folder_.Write("prefix_list.txt", "10.0.0.5/30\r\n\r\nnonsense\r\n1.2.3.4/32\r\n");
  Click(*form->ButtonExtract);

  ASSERT_TRUE(boxes_.empty());
  std::string output_name;
  for (const auto& name : test::FileNames(folder_.path())) {
    if (name.ends_with("_IPs.txt"))
      output_name = name;
  }
  ASSERT_EQ(output_name.size(), 22u);
  EXPECT_EQ(test::ReadFileBytes(folder_.path() / output_name),
            "10.0.0.5\r\n10.0.0.6\r\n10.0.0.7\r\n10.0.0.8\r\n1.2.3.4\r\n");
  EXPECT_EQ(form->MemoResults->Text(),
            "Processing: 10.0.0.5/30\r\nDone: 10.0.0.5/30\r\n"
            "Invalid format (no /): nonsense\r\n"
            "Processing: 1.2.3.4/32\r\nDone: 1.2.3.4/32\r\n"
            "ALL DONE. Output file: " +
                folder_.Folder() + output_name + "\r\n");
  EXPECT_EQ(form->LabelTotalEstimated->Text(), "Total IPs: 5");
  EXPECT_EQ(form->LabelRemaining->Text(), "Remaining: 0");
  EXPECT_TRUE(form->LabelETA->Text().starts_with("ETA: ")) << form->LabelETA->Text();
  EXPECT_TRUE(form->LabelSpeed->Text().starts_with("Speed: ")) << form->LabelSpeed->Text();
  EXPECT_EQ(form->ProgressBar->Maximum(), 4);
  EXPECT_EQ(form->ProgressBar->Position(), 2);
}

TEST_F(MainFormTest, LogKeepsEveryLineOfALongRunAndTypedText) {
  auto form = MakeForm(TempSettings());
  // Typed text without a line break: the next log line starts on a line of its own.
  form->MemoResults->SetText("typed");
  form->AppendLog("one");
  EXPECT_EQ(form->MemoResults->Text(), "typed\r\none\r\n");

  std::string list;
  for (int i = 0; i < 3000; ++i)
    list += "line-without-a-slash-number-" + std::to_string(i) + "\r\n";
  folder_.Write("prefix_list.txt", list);
  Click(*form->ButtonExtract);
  const std::string log = form->MemoResults->Text();
  EXPECT_GT(log.size(), 32767u * 2);
  EXPECT_TRUE(log.starts_with("Invalid format (no /): line-without-a-slash-number-0\r\n"));
  EXPECT_NE(log.find("Invalid format (no /): line-without-a-slash-number-2999\r\nALL DONE. "),
            std::string::npos);
  EXPECT_EQ(::SendMessageW(form->MemoResults->Handle(), EM_GETLINECOUNT, 0, 0) >= 3002, true);
}

TEST_F(MainFormTest, MissingListShowsTheMessageAndChangesNothing) {
  auto form = MakeForm(TempSettings());
  form->MemoResults->SetText("kept\r\n");
  Click(*form->ButtonExtract);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "File \"" + folder_.Folder() +
                                "prefix_list.txt\" tidak ditemukan. Letakkan file ini di folder "
                                "aplikasi (exe).");
  EXPECT_EQ(boxes_[0].flags, static_cast<UINT>(MB_OK));
  EXPECT_EQ(boxes_[0].owner, form->Handle());
  EXPECT_EQ(form->MemoResults->Text(), "kept\r\n");
  EXPECT_EQ(form->LabelTotalEstimated->Text(), "Total IPs: 0");
  EXPECT_EQ(form->ProgressBar->Maximum(), 100);
  EXPECT_EQ(test::FileNames(folder_.path()).size(), 0u);
}

TEST_F(MainFormTest, AnErrorThatEndsTheRunShowsTheErrorBox) {
  auto form = MakeForm(TempSettings());
  folder_.Write("prefix_list.txt", "1.2.3.4/32\r\n255.255.255.255/31\r\n9.9.9.9/32\r\n");
  Click(*form->ButtonExtract);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Integer overflow.");
  EXPECT_EQ(boxes_[0].caption, "Kestrune");
  EXPECT_EQ(boxes_[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(form->MemoResults->Text(),
            "Processing: 1.2.3.4/32\r\nDone: 1.2.3.4/32\r\nProcessing: 255.255.255.255/31\r\n");
  EXPECT_EQ(form->ProgressBar->Position(), 1);
}

// Errors that leave any event handler, not only the run's, reach the error box with the period
// rule, and the program goes on.
TEST_F(MainFormTest, EventErrorsGoToTheErrorBoxWithThePeriodRule) {
  const struct {
    std::function<void()> handler;
    const char* text;
  } cases[] = {
      {[] { throw Error("Disk full"); }, "Disk full."},
      {[] { throw Error("Ends with a period."); }, "Ends with a period."},
      {[] { throw Error("Ends with a blank "); }, "Ends with a blank "},
      {[] { throw Error("Ends with a dash-"); }, "Ends with a dash-"},
      {[] { throw Error("Ends with a slash/"); }, "Ends with a slash/."},
      {[] { throw Error(""); }, ""},
      {[] { throw Error("Zugriff verweigert: \xC3\xBC"); }, "Zugriff verweigert: \xC3\xBC."},
      {[] { throw std::bad_alloc(); }, "std::bad_alloc."},
      {[] { throw 42; }, "Unknown error."},
  };
  for (const auto& row : cases) {
    boxes_.clear();
    application_.HandleEvent(row.handler);
    ASSERT_EQ(boxes_.size(), 1u) << row.text;
    EXPECT_EQ(boxes_[0].text, row.text);
    EXPECT_EQ(boxes_[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  }
  boxes_.clear();
  bool ran = false;
  application_.HandleEvent([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(MainFormTest, DescriptionErrorsAreReported) {
  const struct {
    const char* description;
    const char* message;
  } cases[] = {
      {"[F]\nkind = label\n", "the first component must be a form"},
      {"[F]\nkind = form\ncaption = \"x\"\nposition = 0, 0\nclient_size = 10, 10\n"
       "border = thick\n",
       "F.border should be single or sizeable"},
      {"[F]\nkind = form\ncaption = \"x\"\nposition = 0, 0\nclient_size = 10, 10\n"
       "border_icons = system_menu, help\n",
       "F.border_icons has an unknown 'help'"},
      {"[F]\nkind = form\ncaption = \"x\"\nposition = 0, 0\nclient_size = 10, 10\n"
       "[M]\nkind = memo\nparent = F\nbounds = 0, 0, 1, 1\nscroll_bars = diagonal\n",
       "M.scroll_bars should be none, vertical, horizontal or both"},
      {"[F]\nkind = form\ncaption = \"x\"\nposition = 0, 0\nclient_size = 10, 10\n"
       "[B]\nkind = button\nparent = F\nbounds = 0, 0, 1, 1\non_click = Nowhere\n",
       "no handler 'Nowhere' for B"},
      {"[F]\nkind = form\ncaption = \"x\"\nposition = 0, 0\nclient_size = 10, 10\n"
       "[B]\nkind = gauge\nparent = F\nbounds = 0, 0, 1, 1\n",
       "unknown kind 'gauge' of B"},
      {"[F]\nkind = form\ncaption = \"x\"\nposition = 0, 0\nclient_size = 10, 10\n"
       "[L]\nkind = label\nparent = F\nbounds = 0, 0, 1, 1\n[M]\nkind = memo\nparent = L\n"
       "bounds = 0, 0, 1, 1\n",
       "the parent of 'M' cannot hold controls"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.description);
    platform::Form form(application_);
    try {
      form.Load(platform::ParseFormDescription(row.description), {}, {});
      ADD_FAILURE() << "no error";
    } catch (const Error& error) {
      EXPECT_NE(std::string(error.what()).find(row.message), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace kestrune
