// The form provider on the main window: the window bitmap it paints (read through its test
// hook), the window region, the skin commands it answers to another process, the caption
// buttons and the frame paints that wait for a blocking state to end.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "app/main_form_win.h"
#include "platform/file_bytes.h"
#include "platform/win_util.h"
#include "skin/controls/skin_provider_win.h"
#include "skin/data/skin_commands.h"
#include "skin/paint/bg_info.h"
#include "skin/paint/skin_owner_win.h"
#include "tests/support/build_path.h"
#include "tests/support/main_layout.h"
#include "tests/support/process_run.h"
#include "tests/support/pump_messages_win.h"
#include "tests/support/skin_fixtures.h"
#include "tests/support/temp_dir.h"

namespace kestrune::skin {
namespace {

using test::PumpMessages;

std::uint32_t Rgb(const Bitmap& bmp, int x, int y) {
  return GetAPixel(bmp, x, y).C & 0xFFFFFFu;
}

// The brightest grey value in a rectangle of the bitmap.
int Brightest(const Bitmap& bmp, TRect r) {
  int brightest = 0;
  for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, bmp.Height()); ++y) {
    for (int x = std::max(r.Left, 0); x < std::min(r.Right, bmp.Width()); ++x)
      brightest = std::max(brightest, static_cast<int>(Rgb(bmp, x, y) & 0xFF));
  }
  return brightest;
}

struct RegionPoint {
  int x, y;
  bool inside;
};

// Which of `points` (window coordinates) lie in the window's region.
void ExpectRegionAt(HWND window, const std::vector<RegionPoint>& points) {
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(::GetWindowRgn(window, region), ERROR);
  for (const RegionPoint& p : points) {
    SCOPED_TRACE(::testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(::PtInRegion(region, p.x, p.y) != FALSE, p.inside);
  }
  ::DeleteObject(region);
}

// Runs another program of the build while this thread keeps answering its messages.
test::ProcessResult RunPumping(const char* program, const std::vector<std::string>& arguments) {
  test::TempDir work;
  test::ProcessResult result;
  std::atomic<bool> done{false};
  std::thread runner([&] {
    result = test::RunProcess(test::BuildPath(program), arguments, work.Folder());
    done = true;
  });
  while (!done) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    PumpMessages();
  }
  runner.join();
  return result;
}

class SkinProviderTest : public ::testing::Test {
 protected:
  SkinProviderTest() {
    application_.SetMessageBoxFunction(
        [](HWND, const std::wstring&, const std::wstring&, UINT) { return IDOK; });
    form_ = std::make_unique<TMainForm>(application_, test::MainDescription(), services_);
    application_.SetMainWindow(form_->Handle());
  }

  TsSkinProvider& Provider() { return *form_->SkinProvider; }
  HWND Window() { return form_->Handle(); }
  const Bitmap& Bmp() { return Provider().WindowBitmap(); }

  void ShowAndPaint() {
    form_->Show();
    ::RedrawWindow(Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
  }

  // Switches the window to the Daylight skin: a textured form framed by pictures with cut-off
  // corners.
  void UseDaylight() {
    TsStoredSkin item;
    item.Name = "Daylight";
    item.PackedData = platform::ReadFileBytes(KESTRUNE_DAYLIGHT_ARCHIVE, 1 << 26);
    form_->SkinManager->InternalSkins.Items.push_back(std::move(item));
    form_->SkinManager->SetSkinName("Daylight");
    ASSERT_EQ(form_->SkinManager->SkinName(), "Daylight");
  }

  // The caption text's area of the bitmap.
  TRect TextArea() {
    const TacTitleLayout& layout = Provider().Layout();
    return TRect{layout.TextLeft, layout.VCenter - 9, layout.TextRight, layout.VCenter + 9};
  }

  platform::Application application_{"Kestrune"};
  platform::SystemServices services_;
  std::unique_ptr<TMainForm> form_;
};

TEST_F(SkinProviderTest, BitmapShowsTitleTextAndFrameActiveAndInactive) {
  ASSERT_NE(form_->SkinProvider, nullptr);
  ASSERT_FALSE(Provider().Inert());
  ShowAndPaint();
  ::SendMessageW(Window(), WM_NCACTIVATE, TRUE, 0);
  const Bitmap& bmp = Bmp();
  RECT frame{};
  ::GetWindowRect(Window(), &frame);
  ASSERT_EQ(bmp.Width(), frame.right - frame.left);
  ASSERT_EQ(bmp.Height(), frame.bottom - frame.top);
  const int middle = bmp.Height() / 2;

  EXPECT_EQ(Rgb(bmp, bmp.Width() / 2, 4), 0x202020u) << "the title section's colour";
  EXPECT_EQ(Rgb(bmp, 0, middle), 0x3A3A3Au) << "the active frame colour";
  EXPECT_EQ(Brightest(bmp, TextArea()), 0xF2) << "the active caption colour";
  const TRect close = Provider().Layout().Buttons.Close.cpRect;
  const int close_active = Brightest(bmp, close);

  ::SendMessageW(Window(), WM_NCACTIVATE, FALSE, 0);
  PumpMessages();
  EXPECT_FALSE(Provider().FormActive());
  EXPECT_EQ(Rgb(Bmp(), 0, middle), 0x333333u) << "the inactive frame colour";
  EXPECT_EQ(Brightest(Bmp(), TextArea()), 0x9E) << "the inactive caption colour";
  EXPECT_LT(Brightest(Bmp(), close), close_active) << "the caption buttons are faded";

  ::SendMessageW(Window(), WM_NCACTIVATE, TRUE, 0);
  EXPECT_EQ(Rgb(Bmp(), 0, middle), 0x3A3A3Au);
}

TEST_F(SkinProviderTest, CaptionTextChangeRepaintsTheSkinnedCaption) {
  ShowAndPaint();
  const auto text_columns = [this] {
    const TRect area = TextArea();
    int last = 0;
    for (int x = area.Left; x < area.Right; ++x) {
      if (Brightest(Bmp(), TRect{x, area.Top, x + 1, area.Bottom}) > 0x60)
        last = x;
    }
    return last;
  };
  const int before = text_columns();
  const test::ProcessResult result = RunPumping(
      KESTRUNE_CAPTION_SETTER, {std::to_string(reinterpret_cast<std::uintptr_t>(Window())),
                                "Kestrune v1.0.0.2 with a much longer caption"});
  ASSERT_EQ(result.out, "1\n") << result.err;
  EXPECT_FALSE(Provider().SkinData().BGChanged) << "the frame was painted again at once";
  EXPECT_GT(text_columns(), before + 40);
}

TEST_F(SkinProviderTest, MenuBandTakesTheSkinsBandAndTheItemsOwnDrawing) {
  ShowAndPaint();
  const Bitmap& band = Provider().MenuLineBmp();
  ASSERT_FALSE(band.Empty());
  RECT client{};
  ::GetClientRect(Window(), &client);
  POINT origin{0, 0};
  ::ClientToScreen(Window(), &origin);
  RECT frame{};
  ::GetWindowRect(Window(), &frame);
  EXPECT_EQ(Provider().MenuLineTop() + band.Height(), origin.y - frame.top)
      << "the band ends where the client area begins";
  EXPECT_EQ(Rgb(band, band.Width() - 20, band.Height() / 2), 0x202020u)
      << "the band shows the form's colour through";
  // Without a skinned drawing the caption is written plainly, in the band's light text colour.
  const TRect band_area{0, Provider().MenuLineTop(), Bmp().Width(),
                        Provider().MenuLineTop() + band.Height()};
  EXPECT_GE(Brightest(Bmp(), band_area), 0xE0);

  platform::MenuItem* about = form_->MenuItems().front();
  RECT drawn{};
  UINT drawn_state = 0;
  about->on_advanced_draw_item = [&](HDC dc, const RECT& r, UINT state) {
    drawn = r;
    drawn_state = state;
    platform::UniqueBrush brush(::CreateSolidBrush(RGB(0x12, 0x34, 0x56)));
    ::FillRect(dc, &r, brush.Get());
  };
  Provider().RepaintMenu();
  EXPECT_EQ(drawn_state, kMenuBandItemState);
  EXPECT_GE(drawn.top, Provider().MenuLineTop());
  EXPECT_LE(drawn.bottom, Provider().MenuLineTop() + band.Height());
  EXPECT_EQ(Rgb(Bmp(), (drawn.left + drawn.right) / 2, (drawn.top + drawn.bottom) / 2), 0x123456u);
  about->on_advanced_draw_item = nullptr;
}

TEST_F(SkinProviderTest, RegionCutsTheCornersOfTheSkinRadius) {
  ShowAndPaint();
  RECT frame{};
  ::GetWindowRect(Window(), &frame);
  const int w = frame.right - frame.left;
  const int h = frame.bottom - frame.top;
  ExpectRegionAt(Window(), {{0, 0, false},
                            {w - 1, 0, false},
                            {0, h - 1, false},
                            {w - 1, h - 1, false},
                            {1, 1, false},
                            {6, 0, true},
                            {0, 6, true},
                            {w / 2, 0, true},
                            {3, 3, true},
                            {w - 4, h - 4, true}});

  // A skin without radii: the next size change gives the window no region at all.
  TacSkinData* sd = Provider().SkinData().GetCommonSkinData();
  ASSERT_NE(sd, nullptr);
  for (const char* name : {"FORM", "FORMTITLE"})
    sd->gd[static_cast<std::size_t>(sd->GetSkinIndex(name))].BorderRadius = 0;
  ::SetWindowPos(Window(), nullptr, 0, 0, w + 10, h, SWP_NOMOVE | SWP_NOZORDER);
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(::GetWindowRgn(Window(), region), ERROR);
  ::DeleteObject(region);
}

// Daylight's frame pictures cut the corners: the region leaves out their transparent pixels,
// and none of the pixels it keeps in a corner is the black the bitmap holds behind the frame.
TEST_F(SkinProviderTest, DaylightRegionFollowsTheFramePicturesCorners) {
  UseDaylight();
  ShowAndPaint();
  RECT frame{};
  ::GetWindowRect(Window(), &frame);
  const int w = frame.right - frame.left;
  const int h = frame.bottom - frame.top;
  ExpectRegionAt(Window(), {{0, 0, false},
                            {1, 1, false},
                            {w - 1, 0, false},
                            {0, h - 1, false},
                            {w - 1, h - 1, false},
                            {w - 2, h - 2, false},
                            {w / 2, 0, true},
                            {0, h / 2, true},
                            {w / 2, h - 1, true},
                            {4, 4, true},
                            {w - 5, 4, true},
                            {w - 5, h - 5, true}});
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(::GetWindowRgn(Window(), region), ERROR);
  const Bitmap& bmp = Bmp();
  ASSERT_EQ(bmp.Width(), w);
  constexpr int kCorner = 10;
  for (const int cx : {0, w - kCorner}) {
    for (const int cy : {0, h - kCorner}) {
      for (int y = cy; y < cy + kCorner; ++y) {
        for (int x = cx; x < cx + kCorner; ++x) {
          if (::PtInRegion(region, x, y) == FALSE)
            continue;
          ASSERT_NE(Rgb(bmp, x, y), 0u) << "black kept at " << x << "," << y;
        }
      }
    }
  }
  ::DeleteObject(region);
}

// Daylight's form is a textured gradient under a title and frame of their own: what lies behind
// each control on the form is the bitmap at the control's place in the client area, not the
// frame and title at the top left of the bitmap.
TEST_F(SkinProviderTest, DaylightControlsBorrowTheClientAreaOfTheBitmap) {
  UseDaylight();
  ShowAndPaint();
  RECT frame{};
  ::GetWindowRect(Window(), &frame);
  int checked = 0;
  for (HWND child = ::GetWindow(Window(), GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    TsCommonData* data = GetCommonData(child);
    if (data == nullptr || ::IsWindowVisible(child) == FALSE)
      continue;
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    SCOPED_TRACE(platform::Narrow(name));
    ++checked;
    RECT r{};
    ::GetWindowRect(child, &r);
    const int x = r.left - frame.left;
    const int y = r.top - frame.top;
    const int cw = r.right - r.left;
    const int ch = r.bottom - r.top;
    TCacheInfo ci = GetParentCache(*data);
    ASSERT_TRUE(ci.Ready);
    ASSERT_EQ(ci.Bmp, &Bmp());
    // The control adds its own position, as it does before painting.
    const TRect bounds = data->FOwnerObject->BoundsRect();
    ci.X += bounds.Left;
    ci.Y += bounds.Top;
    EXPECT_EQ(ci.X, x);
    EXPECT_EQ(ci.Y, y);
    Bitmap behind = CreateBmp32(cw, ch);
    PaintParentBG(behind, TRect{0, 0, cw, ch}, ci);
    for (int py = 0; py < ch; ++py) {
      for (int px = 0; px < cw; ++px)
        ASSERT_EQ(Rgb(behind, px, py), Rgb(Bmp(), x + px, y + py)) << px << "," << py;
    }
  }
  EXPECT_GE(checked, 1) << "the group box, which holds the other controls";
}

// Skins made from the built-in one that used to spoil the window: its close and minimise
// buttons still show and hit-test, and its corners are rounded rather than cut away.
TEST_F(SkinProviderTest, HostileSkinsKeepTheWindowWhole) {
  const struct {
    const char* name;
    skin::Bytes archive;
  } cases[] = {
      {"a 1 x 1 master image", test::BuiltinSkinWith("", "", test::OnePixelPng())},
      {"no master image",
       test::BuiltinSkinWith("MASTERBITMAP=MASTER COPY.PNG", "MASTERBITMAP=NONE.PNG")},
      {"a radius of 100000", test::BuiltinSkinWith("BORDERWIDTH=1\nBORDERRADIUS=5",
                                                   "BORDERWIDTH=1\nBORDERRADIUS=100000")},
  };
  ShowAndPaint();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TsStoredSkin item;
    item.Name = c.name;
    item.PackedData = c.archive;
    form_->SkinManager->InternalSkins.Items.push_back(std::move(item));
    form_->SkinManager->SetSkinName(c.name);
    ::RedrawWindow(Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    RECT frame{};
    ::GetWindowRect(Window(), &frame);
    const TacTitleLayout& layout = Provider().Layout();
    for (const auto& [button, hit] :
         {std::pair{&layout.Buttons.Close, HTCLOSE}, std::pair{&layout.Buttons.Min, HTMINBUTTON}}) {
      SCOPED_TRACE(hit);
      const TRect r = button->cpRect;
      ASSERT_TRUE(button->Present());
      EXPECT_GT(Brightest(Bmp(), r), 0x80) << "a light glyph over the dark title";
      EXPECT_EQ(::SendMessageW(Window(), WM_NCHITTEST, 0,
                               MAKELPARAM(frame.left + (r.Left + r.Right) / 2,
                                          frame.top + (r.Top + r.Bottom) / 2)),
                hit);
    }
    // The region keeps the window's sides, where an ellipse would cut them away.
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    if (::GetWindowRgn(Window(), region) != ERROR) {
      const int h = frame.bottom - frame.top;
      EXPECT_TRUE(::PtInRegion(region, 0, h / 4));
      EXPECT_TRUE(::PtInRegion(region, frame.right - frame.left - 1, 3 * h / 4));
    }
    ::DeleteObject(region);
  }
}

TEST_F(SkinProviderTest, AnswersSkinCommandsFromAnotherProcess) {
  ShowAndPaint();
  RECT frame{};
  ::GetWindowRect(Window(), &frame);
  RECT client{};
  ::GetClientRect(Window(), &client);
  const int real_frame = (frame.right - frame.left - client.right) / 2;
  TacSkinData* sd = Provider().SkinData().GetCommonSkinData();
  ASSERT_NE(sd, nullptr);
  const int form_index = sd->GetSkinIndex("FORM");
  struct Ask {
    std::uint16_t command;
    std::uint64_t lparam;
    std::string answer;  // empty: any non-zero answer
  };
  const Ask asks[] = {
      {AC_GETPROVIDER, 0, ""},
      {AC_CTRLHANDLED, 0, "1"},
      {AC_GETDEFINDEX, 0, std::to_string(form_index + 1)},
      {AC_GETBORDERWIDTH, 3, std::to_string(real_frame)},
      {AC_GETBORDERWIDTH, 1, std::to_string(::GetSystemMetrics(SM_CXFRAME))},
  };
  test::TempDir work;
  for (const Ask& ask : asks) {
    SCOPED_TRACE(ask.command);
    test::ProcessResult result;
    std::atomic<bool> done{false};
    std::thread sender([&] {
      result = test::RunProcess(test::BuildPath(KESTRUNE_ALPHA_SENDER),
                                {std::to_string(reinterpret_cast<std::uintptr_t>(Window())),
                                 std::to_string(ask.command), std::to_string(ask.lparam)},
                                work.Folder());
      done = true;
    });
    while (!done) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      PumpMessages();
    }
    sender.join();
    ASSERT_EQ(result.exit_code, 0) << result.err;
    ASSERT_EQ(result.out.substr(0, 2), "1 ") << result.out;
    const std::string answer = result.out.substr(2, result.out.size() - 3);
    if (ask.answer.empty())
      EXPECT_NE(answer, "0");
    else
      EXPECT_EQ(answer, ask.answer);
  }
}

TEST_F(SkinProviderTest, TitleBarHitTestsAndTheCloseButtonCloses) {
  ShowAndPaint();
  RECT frame{};
  ::GetWindowRect(Window(), &frame);
  const TacTitleLayout& layout = Provider().Layout();
  const auto hit = [&](int x, int y) {
    return ::SendMessageW(Window(), WM_NCHITTEST, 0, MAKELPARAM(frame.left + x, frame.top + y));
  };
  const TRect close = layout.Buttons.Close.cpRect;
  const TRect min = layout.Buttons.Min.cpRect;
  EXPECT_EQ(hit(close.Left + 5, close.Top + 5), HTCLOSE);
  EXPECT_EQ(hit(min.Left + 5, min.Top + 5), HTMINBUTTON);
  EXPECT_EQ(hit(min.Left - 20, 5), HTCAPTION);
  EXPECT_EQ(hit(layout.IconRect.Left + 2, layout.IconRect.Top + 2), HTSYSMENU);
  POINT client_origin{0, 0};
  ::ClientToScreen(Window(), &client_origin);
  EXPECT_EQ(hit(100, client_origin.y - frame.top + 10), HTCLIENT);

  // Pressed and released over the close button: the window closes.
  ::SendMessageW(Window(), WM_NCLBUTTONDOWN, HTCLOSE,
                 MAKELPARAM(frame.left + close.Left + 5, frame.top + close.Top + 5));
  EXPECT_EQ(Provider().Layout().Buttons.Close.cpState, 2);
  const POINT up{frame.left + close.Left + 5 - client_origin.x,
                 frame.top + close.Top + 5 - client_origin.y};
  ::SendMessageW(Window(), WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
  PumpMessages();
  EXPECT_FALSE(::IsWindow(Window()));
}

// Real mouse input, sent from another thread while this one answers the window's messages.
void MouseAt(POINT p, DWORD buttons) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = p.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = p.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  ::SendInput(1, &input, sizeof input);
  ::Sleep(60);
}

void PumpWhile(std::thread& input) {
  std::atomic<bool> done{false};
  std::thread waiter([&] {
    input.join();
    done = true;
  });
  while (!done) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    PumpMessages();
  }
  waiter.join();
  for (int i = 0; i < 10; ++i) {
    ::Sleep(20);
    PumpMessages();
  }
}

TEST_F(SkinProviderTest, MouseDragsByTheCaptionAndTheCloseButtonCloses) {
  ShowAndPaint();
  ::SetForegroundWindow(Window());
  RECT before{};
  ::GetWindowRect(Window(), &before);
  const TRect min = Provider().Layout().Buttons.Min.cpRect;
  const POINT grip{before.left + min.Left - 60, before.top + 8};
  std::thread drag([&] {
    MouseAt(grip, 0);
    MouseAt(grip, MOUSEEVENTF_LEFTDOWN);
    for (int step = 1; step <= 4; ++step)
      MouseAt(POINT{grip.x - 10 * step, grip.y + 10 * step}, 0);
    MouseAt(POINT{grip.x - 40, grip.y + 40}, MOUSEEVENTF_LEFTUP);
  });
  PumpWhile(drag);
  RECT after{};
  ::GetWindowRect(Window(), &after);
  EXPECT_EQ(after.left - before.left, -40);
  EXPECT_EQ(after.top - before.top, 40);

  const TRect close = Provider().Layout().Buttons.Close.cpRect;
  const POINT button{after.left + (close.Left + close.Right) / 2,
                     after.top + (close.Top + close.Bottom) / 2};
  std::thread click([&] {
    MouseAt(button, 0);
    MouseAt(button, MOUSEEVENTF_LEFTDOWN);
    MouseAt(button, MOUSEEVENTF_LEFTUP);
  });
  PumpWhile(click);
  EXPECT_FALSE(::IsWindow(Window()));
}

TEST_F(SkinProviderTest, ReleasedAwayFromTheButtonDoesNothing) {
  ShowAndPaint();
  RECT frame{};
  ::GetWindowRect(Window(), &frame);
  const TRect min = Provider().Layout().Buttons.Min.cpRect;
  ::SendMessageW(Window(), WM_NCLBUTTONDOWN, HTMINBUTTON,
                 MAKELPARAM(frame.left + min.Left + 5, frame.top + min.Top + 5));
  ::SendMessageW(Window(), WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
  PumpMessages();
  EXPECT_FALSE(::IsIconic(Window()));
  EXPECT_EQ(Provider().Layout().Buttons.Min.cpState, 0);
}

// A frame paint dropped while painting was switched off is made up when it is switched on.
TEST_F(SkinProviderTest, DroppedFramePaintIsMadeUpWhenRedrawResumes) {
  ShowAndPaint();
  ::SendMessageW(Window(), WM_SETREDRAW, FALSE, 0);
  ::SetWindowTextW(Window(), L"Changed while not drawing");
  EXPECT_TRUE(Provider().SkinData().BGChanged) << "nothing is painted meanwhile";
  ::SendMessageW(Window(), WM_SETREDRAW, TRUE, 0);
  ::UpdateWindow(Window());
  PumpMessages();
  EXPECT_FALSE(Provider().SkinData().BGChanged) << "the frame was painted again";
}

// A density change reaches the form, which takes the suggested rectangle, and the bitmap follows.
TEST_F(SkinProviderTest, DensityChangeIsPassedOnAndTheBitmapFollows) {
  ShowAndPaint();
  RECT suggested{100, 50, 800, 600};
  ::SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
  RECT frame{};
  ::GetWindowRect(Window(), &frame);
  EXPECT_EQ(frame.left, 100);
  EXPECT_EQ(frame.top, 50);
  RECT client{};
  ::GetClientRect(Window(), &client);
  EXPECT_EQ(client.right, 624);
  PumpMessages();
  ::RedrawWindow(Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(Bmp().Width(), frame.right - frame.left);
  EXPECT_EQ(Bmp().Height(), frame.bottom - frame.top);
}

TEST_F(SkinProviderTest, LabelTakesTheSkinsTextColourAndGetsItsOwnBack) {
  platform::Label& label = *form_->LabelSpeed;
  const platform::ControlColor own = label.FontColor();
  Provider().InitLabel(label, true);
  EXPECT_EQ(label.FontColor(), form_->SkinManager->GetGlobalFontColor());
  Provider().InitLabel(label, true);  // a second call keeps the first saved colour
  Provider().InitLabel(label, false);
  EXPECT_EQ(label.FontColor(), own);
}

TEST_F(SkinProviderTest, SecondProviderOnTheSameFormStaysInert) {
  TsSkinProvider second(*form_, form_->SkinManager.get());
  EXPECT_TRUE(second.Inert());
}

TEST(SkinProviderCreate, ProviderOutsideTheFormOnlyWarns) {
  platform::Application application("Kestrune");
  application.SetMessageBoxFunction(
      [](HWND, const std::wstring&, const std::wstring&, UINT) { return IDOK; });
  const platform::SystemServices services;
  TMainForm form(application, test::MainDescription(), services);
  platform::ComponentDescription description;
  description.name = "Stray";
  description.kind = "skin_provider";
  description.parent = "MainMenu";
  std::string warning;
  auto provider = TsSkinProvider::Create(form, description, form.SkinManager.get(),
                                         [&](std::string_view text) { warning = text; });
  EXPECT_EQ(provider, nullptr);
  EXPECT_EQ(warning, kProviderFormsOnly);
}

}  // namespace
}  // namespace kestrune::skin
