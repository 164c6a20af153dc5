// The skin state on real windows: a form with a group box holding a label and a memo.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/application_win.h"
#include "platform/form_win.h"
#include "platform/own_messages_win.h"
#include "skin/paint/bg_info.h"
#include "skin/paint/bg_paint_win.h"
#include "skin/paint/skin_owner_win.h"
#include "skin/pixels/bitmap_win.h"
#include "tests/skin/paint/skin_owner_fake.h"
#include "tests/support/build_path.h"
#include "tests/support/process_run.h"
#include "tests/support/pump_messages_win.h"
#include "tests/support/temp_dir.h"

namespace kestrune::skin {
namespace {

using test::Section;
using test::TestManager;

constexpr char kDescription[] = R"(
[TestForm]
kind = form
caption = "Skin state"
position = 40, 40
client_size = 300, 200
font = "Segoe UI", 12

[Group]
kind = group_box
parent = TestForm
bounds = 10, 10, 280, 180
caption = "Results"

[Caption]
kind = label
parent = Group
bounds = 12, 150, 80, 15
caption = "Total IPs: 0"

[Log]
kind = memo
parent = Group
bounds = 10, 22, 200, 100
)";

constexpr TColor kGroupColor = 0x00336699;  // a colour no system scheme uses

using kestrune::test::PumpMessages;

class SkinStateWinTest : public testing::Test {
 protected:
  void SetUp() override {
    form_.Load(platform::ParseFormDescription(kDescription), {}, {});
    group_ = dynamic_cast<platform::GroupBox*>(form_.FindComponent("Group"));
    label_ = dynamic_cast<platform::Label*>(form_.FindComponent("Caption"));
    memo_ = dynamic_cast<platform::Memo*>(form_.FindComponent("Log"));
    ASSERT_NE(group_, nullptr);
    ASSERT_NE(label_, nullptr);
    ASSERT_NE(memo_, nullptr);
  }

  // Gives the group box and the memo skin states bound to `group_section` / `memo_section`.
  void Skin(const char* group_section, const char* memo_section) {
    group_owner_ = std::make_unique<WinSkinOwner>(*group_);
    group_data_ = std::make_unique<TsCommonData>(group_owner_.get(), true);
    group_data_->COC = COC_TsGroupBox;
    group_data_->SetSkinSection(group_section);
    group_data_->Loaded(false);
    memo_owner_ = std::make_unique<WinSkinOwner>(*memo_);
    memo_data_ = std::make_unique<TsCommonData>(memo_owner_.get(), true);
    memo_data_->COC = COC_TsMemo;
    memo_data_->SetSkinSection(memo_section);
    memo_data_->Loaded(false);
  }

  HWND MemoWindow() const { return memo_->Handle(); }

  platform::Application application_{"Kestrune"};
  platform::Form form_{application_};
  platform::GroupBox* group_ = nullptr;
  platform::Label* label_ = nullptr;
  platform::Memo* memo_ = nullptr;
  // Owners first: a state goes before its owner.
  std::unique_ptr<WinSkinOwner> group_owner_;
  std::unique_ptr<WinSkinOwner> memo_owner_;
  std::unique_ptr<TsCommonData> group_data_;
  std::unique_ptr<TsCommonData> memo_data_;
};

LRESULT CALLBACK CountingSubclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                  UINT_PTR /*id*/, DWORD_PTR ref) {
  if (message == WM_GETTEXTLENGTH)
    ++*reinterpret_cast<int*>(ref);
  return ::DefSubclassProc(window, message, wparam, lparam);
}

TEST_F(SkinStateWinTest, PropertyAndProcedureSitInFrontOfTheControlAndLeaveWithTheState) {
  TestManager manager({Section("MEMO", 0x00FFFFFF)});
  const LONG_PTR own_procedure = ::GetWindowLongPtrW(MemoWindow(), GWLP_WNDPROC);
  memo_owner_ = std::make_unique<WinSkinOwner>(*memo_);
  memo_data_ = std::make_unique<TsCommonData>(memo_owner_.get(), true);
  EXPECT_EQ(GetCommonData(MemoWindow()), memo_data_.get());
  EXPECT_TRUE(WndIsSkinned(MemoWindow()));
  EXPECT_EQ(::SendMessageW(MemoWindow(), SM_ALPHACMD, AC_GETSKINDATA_HI, 0),
            reinterpret_cast<LRESULT>(memo_data_.get()));

  // Another procedure comes in front later and the skin leaves first: both chains stay whole.
  int counted = 0;
  ASSERT_TRUE(::SetWindowSubclass(MemoWindow(), &CountingSubclass, 1,
                                  reinterpret_cast<DWORD_PTR>(&counted)));
  memo_data_.reset();
  EXPECT_EQ(GetCommonData(MemoWindow()), nullptr);
  EXPECT_FALSE(WndIsSkinned(MemoWindow()));
  EXPECT_EQ(::SendMessageW(MemoWindow(), SM_ALPHACMD, AC_GETSKINDATA_HI, 0), 0);
  memo_->SetText("still answers");
  EXPECT_EQ(memo_->Text(), "still answers");
  EXPECT_GT(counted, 0);
  ::RemoveWindowSubclass(MemoWindow(), &CountingSubclass, 1);
  EXPECT_EQ(::GetWindowLongPtrW(MemoWindow(), GWLP_WNDPROC), own_procedure);
  EXPECT_EQ(memo_->Text(), "still answers");
}

// Records which paint messages reach a window.
LRESULT CALLBACK PaintRecorder(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                               UINT_PTR /*id*/, DWORD_PTR ref) {
  auto* seen = reinterpret_cast<std::string*>(ref);
  if (message == WM_NCPAINT)
    *seen += "N";
  if (message == WM_ERASEBKGND)
    *seen += "E";
  if (message == WM_PAINT)
    *seen += "P";
  return ::DefSubclassProc(window, message, wparam, lparam);
}

TEST_F(SkinStateWinTest, InvalidateRedrawsFrameBackgroundAndChildrenNowOrLater) {
  TestManager manager({Section("GROUPBOX", kGroupColor), Section("MEMO", 0x00FFFFFF)});
  form_.Show();
  PumpMessages();
  Skin("GROUPBOX", "MEMO");
  ::UpdateWindow(form_.Handle());
  PumpMessages();
  std::string group_seen, memo_seen;
  ::SetWindowSubclass(group_->Handle(), &PaintRecorder, 2,
                      reinterpret_cast<DWORD_PTR>(&group_seen));
  ::SetWindowSubclass(MemoWindow(), &PaintRecorder, 2, reinterpret_cast<DWORD_PTR>(&memo_seen));

  group_data_->Invalidate(true);
  EXPECT_EQ(group_seen.find('N') != std::string::npos, true) << group_seen;
  EXPECT_NE(group_seen.find('E'), std::string::npos) << group_seen;
  EXPECT_NE(group_seen.find('P'), std::string::npos) << group_seen;
  EXPECT_NE(memo_seen.find('P'), std::string::npos) << "all children: " << memo_seen;

  group_seen.clear();
  group_data_->Invalidate(false);
  EXPECT_EQ(group_seen, "") << "without UpdateNow nothing is painted at once";
  RECT pending{};
  EXPECT_TRUE(::GetUpdateRect(group_->Handle(), &pending, FALSE));
  PumpMessages();
  ::RemoveWindowSubclass(group_->Handle(), &PaintRecorder, 2);
  ::RemoveWindowSubclass(MemoWindow(), &PaintRecorder, 2);
}

TEST_F(SkinStateWinTest, SizeAndMoveMarkTheCacheStale) {
  TestManager manager({Section("GROUPBOX", kGroupColor), Section("MEMO", 0x00FFFFFF, 50)});
  Skin("GROUPBOX", "MEMO");
  ASSERT_TRUE(memo_data_->Skinned());
  memo_data_->BGChanged = false;
  ::SetWindowPos(MemoWindow(), nullptr, 0, 0, 150, 90, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_TRUE(memo_data_->BGChanged);
  memo_data_->BGChanged = false;
  ::SetWindowPos(MemoWindow(), nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_TRUE(memo_data_->BGChanged) << "a partly transparent control moved over its parent";
}

TEST_F(SkinStateWinTest, MouseEnterAndLeaveFollowTheCursor) {
  TestManager manager({Section("GROUPBOX", kGroupColor), Section("MEMO", 0x00FFFFFF)});
  form_.Show();
  PumpMessages();
  Skin("GROUPBOX", "MEMO");
  RECT memo_rect{};
  ::GetWindowRect(MemoWindow(), &memo_rect);
  ::SetCursorPos((memo_rect.left + memo_rect.right) / 2, (memo_rect.top + memo_rect.bottom) / 2);
  ::SendMessageW(MemoWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(memo_data_->FMouseAbove);
  EXPECT_EQ(manager->ActiveControl, memo_data_.get());

  RECT form_rect{};
  ::GetWindowRect(form_.Handle(), &form_rect);
  ::SetCursorPos(form_rect.right + 50, form_rect.bottom + 50);
  for (int i = 0; i < 100 && memo_data_->FMouseAbove; ++i) {
    PumpMessages();
    ::Sleep(20);
  }
  EXPECT_FALSE(memo_data_->FMouseAbove);
  EXPECT_EQ(manager->ActiveControl, nullptr);
}

// A 32-bit picture of the group box's client size, white, with its DC.
struct Target {
  explicit Target(const platform::GroupBox& group) {
    RECT client{};
    ::GetClientRect(group.Handle(), &client);
    bmp = CreateBmp32(client.right, client.bottom);
    for (int y = 0; y < bmp.Height(); ++y)
      FillLongword(bmp.Row32(y), bmp.Width(), 0xFFFFFFFFu);
  }
  [[nodiscard]] std::uint32_t At(int x, int y) const {
    ::GdiFlush();
    return bmp.Row32(y)[x] & 0xFFFFFFu;
  }
  [[nodiscard]] bool AnyOtherThan(const RECT& r, std::uint32_t pixel) const {
    ::GdiFlush();
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if ((bmp.Row32(y)[x] & 0xFFFFFFu) != pixel)
          return true;
    return false;
  }
  Bitmap bmp;
};

TEST_F(SkinStateWinTest, PaintControlsDrawsTheLabelOverTheContainersColour) {
  TestManager manager({Section("GROUPBOX", kGroupColor), Section("MEMO", 0x00FFFFFF)});
  Skin("GROUPBOX", "MEMO");
  Target target(*group_);
  PaintControls(BitmapDC(target.bmp), *group_, false, POINT{0, 0});
  const RECT area = label_->Area();
  // The corner of the label's area lies beside its text: the container's colour as a pixel.
  EXPECT_EQ(target.At(area.right - 1, area.bottom - 1), SwapRedBlue(kGroupColor) & 0xFFFFFFu);
  EXPECT_TRUE(target.AnyOtherThan(area, SwapRedBlue(kGroupColor) & 0xFFFFFFu)) << "the text";
  EXPECT_EQ(target.At(area.right + 2, area.bottom + 2), 0xFFFFFFu) << "outside the label";
}

TEST_F(SkinStateWinTest, PaintControlsOverAnUnknownBackgroundStillDrawsTheLabel) {
  // A half transparent container without a cache answers fuchsia: nothing known behind.
  TestManager manager({Section("GROUPBOX", kGroupColor, 50), Section("MEMO", 0x00FFFFFF)});
  Skin("GROUPBOX", "MEMO");
  group_data_->FCacheBmp.reset();
  Target target(*group_);
  PaintControls(BitmapDC(target.bmp), *group_, false, POINT{0, 0});
  EXPECT_TRUE(target.AnyOtherThan(label_->Area(), 0xFFFFFFu)) << "the label was dropped";
}

TEST_F(SkinStateWinTest, CopyWinControlCacheLeavesChildWindowsAndLabelsAlone) {
  TestManager manager({Section("GROUPBOX", kGroupColor), Section("MEMO", 0x00FFFFFF)});
  Skin("GROUPBOX", "MEMO");
  group_data_->InitCacheBmp();
  for (int y = 0; y < group_data_->FCacheBmp->Height(); ++y)
    FillLongword(group_data_->FCacheBmp->Row32(y), group_data_->FCacheBmp->Width(), 0xFFFF0000u);
  Target target(*group_);
  const RECT all{0, 0, target.bmp.Width(), target.bmp.Height()};
  CopyWinControlCache(*group_, *group_data_, all, all, BitmapDC(target.bmp), false, 0, 0);
  const RECT memo = memo_->BoundsRect();
  const RECT label = label_->Area();
  EXPECT_EQ(target.At(memo.left + 5, memo.top + 5), 0xFFFFFFu);
  EXPECT_EQ(target.At(label.left + 1, label.top + 1), 0xFFFFFFu);
  EXPECT_EQ(target.At(2, 2), 0xFF0000u);
  EXPECT_EQ(target.At(memo.right + 3, memo.top + 3), 0xFF0000u);
}

TEST_F(SkinStateWinTest, AnUnskinnedParentPaintsItselfIntoTheGivenDC) {
  TestManager manager({Section("MEMO", 0x00FFFFFF)});
  WinSkinOwner group(*group_);
  Target target(*group_);
  TacBGInfo info;
  info.DrawDC = BitmapDC(target.bmp);
  info.R = {0, 0, 40, 40};
  GetBGInfo(info, &group, true);
  const std::uint32_t face = SwapRedBlue(static_cast<TColor>(::GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(target.At(20, 30), face & 0xFFFFFFu);
  EXPECT_EQ(target.At(60, 60), 0xFFFFFFu) << "outside the clip";
}

TEST_F(SkinStateWinTest, SkinColoursStayWithTheWindowAndLeaveWithTheSkin) {
  TestManager manager({Section("GROUPBOX", kGroupColor), Section("MEMO", 0x00FFFFFF)});
  const ULONG_PTR class_brush = ::GetClassLongPtrW(MemoWindow(), GCLP_HBRBACKGROUND);
  Skin("GROUPBOX", "MEMO");
  memo_data_->UpdateCtrlColors(false);
  ASSERT_NE(memo_owner_->BackgroundBrush(), nullptr);
  EXPECT_EQ(::GetClassLongPtrW(MemoWindow(), GCLP_HBRBACKGROUND), class_brush)
      << "other windows of the class keep their brush";
  Target target(*group_);
  EXPECT_EQ(::SendMessageW(group_->Handle(), WM_CTLCOLOREDIT,
                           reinterpret_cast<WPARAM>(BitmapDC(target.bmp)),
                           reinterpret_cast<LPARAM>(MemoWindow())),
            reinterpret_cast<LRESULT>(memo_owner_->BackgroundBrush()));
  platform::SendOwnMessage(MemoWindow(), SM_ALPHACMD, AC_REMOVESKIN_HI,
                           reinterpret_cast<LPARAM>(manager.get()));
  EXPECT_EQ(memo_owner_->BackgroundBrush(), nullptr);
  EXPECT_EQ(::GetClassLongPtrW(MemoWindow(), GCLP_HBRBACKGROUND), class_brush);
}

TEST_F(SkinStateWinTest, AnotherProcessCannotMakeTheProgramWriteThroughItsPointer) {
  TestManager manager({Section("GROUPBOX", kGroupColor), Section("MEMO", 0x00FFFFFF)});
  Skin("GROUPBOX", "MEMO");
  TacSkinIndexInfo info;
  info.SkinIndex = 1234;
  TRect rect{7, 7, 7, 7};
  const kestrune::test::TempDir work;
  struct Send {
    std::uint16_t command;
    std::intptr_t lparam;
  };
  const Send sends[] = {
      {AC_CTRLHANDLED, 0},
      {AC_GETSKININDEX, reinterpret_cast<std::intptr_t>(&info)},
      {AC_GETOUTRGN, reinterpret_cast<std::intptr_t>(&rect)},
      {AC_GETBG, 16},  // not an address at all
      {AC_GETSKININDEX, 16},
  };
  for (const Send& send : sends) {
    SCOPED_TRACE(send.command);
    // The window thread keeps answering while the other process waits for its reply.
    kestrune::test::ProcessResult result;
    std::atomic<bool> done{false};
    std::thread sender([&] {
      result = kestrune::test::RunProcess(
          kestrune::test::BuildPath(KESTRUNE_ALPHA_SENDER),
          {std::to_string(reinterpret_cast<std::uintptr_t>(MemoWindow())),
           std::to_string(send.command), std::to_string(send.lparam)},
          work.Folder());
      done = true;
    });
    while (!done) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      PumpMessages();
    }
    sender.join();
    EXPECT_EQ(result.exit_code, 0) << result.err;
    if (send.command == AC_CTRLHANDLED)
      EXPECT_EQ(result.out, "1 1\n") << "the command is delivered and answered";
    else
      EXPECT_EQ(result.out.substr(0, 2), "1 ") << result.out;
  }
  EXPECT_EQ(info.SkinIndex, 1234);
  EXPECT_EQ(rect, (TRect{7, 7, 7, 7}));
  EXPECT_EQ(GetCommonData(MemoWindow()), memo_data_.get()) << "the program is still running";
}

// Only the program's own sends reach a pointer: not a posted copy, whatever loop takes it (here
// one inside the handling of an own send), nor a send from another thread.
TEST_F(SkinStateWinTest, OnlyTheThreadsOwnSendReachesAPointer) {
  TestManager manager({Section("GROUPBOX", kGroupColor), Section("MEMO", 0x00FFFFFF)});
  Skin("GROUPBOX", "MEMO");
  ASSERT_GE(memo_data_->SkinIndex, 0);
  // An own send whose handling runs a message loop, as a menu or a message box would.
  memo_owner_->on_message = [](TacMessage& message) {
    if (message.Msg == SM_ALPHACMD && CommandOf(message.WParam) == AC_STOPFADING)
      PumpMessages();
    return false;
  };
  TacSkinIndexInfo info;
  const auto lparam = reinterpret_cast<LPARAM>(&info);
  const WPARAM wparam = MakeCommandParam(AC_GETSKININDEX);
  const struct {
    const char* how;
    std::function<void()> deliver;
    bool reached;
  } cases[] = {
      {"own send", [&] { platform::SendOwnMessage(MemoWindow(), SM_ALPHACMD, wparam, lparam); },
       true},
      {"posted",
       [&] {
         ::PostMessageW(MemoWindow(), SM_ALPHACMD, wparam, lparam);
         PumpMessages();
       },
       false},
      {"posted, taken in a loop inside an own send",
       [&] {
         ::PostMessageW(MemoWindow(), SM_ALPHACMD, wparam, lparam);
         platform::SendOwnMessage(MemoWindow(), SM_ALPHACMD, MakeCommandParam(AC_STOPFADING), 0);
       },
       false},
      {"sent by another thread",
       [&] {
         std::atomic<bool> done{false};
         std::thread sender([&] {
           ::SendMessageW(MemoWindow(), SM_ALPHACMD, wparam, lparam);
           done = true;
         });
         while (!done) {
           ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
           PumpMessages();
         }
         sender.join();
       },
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    info.SkinIndex = 1234;
    c.deliver();
    EXPECT_EQ(info.SkinIndex, c.reached ? memo_data_->SkinIndex : 1234);
  }
}

}  // namespace
}  // namespace kestrune::skin
