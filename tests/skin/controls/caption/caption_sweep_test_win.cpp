// The running program's main window hit-tested from another process, in screen coordinates, as
// the system does for every mouse move: sweeps along the title bar and down the window. The
// skin's own buttons and icon answer, and nothing of the system's caption layout shows through
// (the system's default answers maximise at its own button place even without a maximise box).
// The test runs at the density of its Wine prefix (96, and 144 in the second ctest entry).

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "skin/controls/caption_rules.h"
#include "skin/data/skin_manager.h"
#include "tests/support/program_win.h"
#include "tests/support/temp_dir.h"
#include "tests/support/windows_of_win.h"

namespace kestrune::skin {
namespace {

using namespace std::chrono_literals;

// The program in a process of its own, in an empty working folder, closed at the end. The sweep
// reads its rectangles once start-up has placed and scaled the window and the program has settled.
class Program {
 public:
  Program() : program_(KESTRUNE_EXE, work_.Folder()) { settled_ = program_.WaitUntilSettled(); }

  [[nodiscard]] HWND Form() const { return settled_ ? program_.Form() : nullptr; }

 private:
  test::TempDir work_;
  test::RunningProgram program_;
  bool settled_ = false;
};

struct Sample {
  int x, y;  // window coordinates
  unsigned code;
};

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  [[nodiscard]] bool Contains(int x, int y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
};

// The one run of `code` along a sweep: its first position and its length (0 when none, -1 when
// the code comes in more than one run).
struct Span {
  int first = 0;
  int length = 0;
};

Span SpanOf(const std::vector<Sample>& sweep, unsigned code, bool along_x) {
  Span run;
  int runs = 0;
  bool inside = false;
  for (const Sample& s : sweep) {
    const bool hit = s.code == code;
    if (hit && !inside) {
      ++runs;
      run.first = along_x ? s.x : s.y;
      run.length = 0;
    }
    if (hit)
      ++run.length;
    inside = hit;
  }
  if (runs > 1)
    run.length = -1;
  return run;
}

class CaptionSweepTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    ASSERT_NE(program_.Form(), nullptr) << "the program did not show its window or did not settle";
    form_ = program_.Form();
    ::GetWindowRect(form_, &frame_);
    RECT client{};
    ::GetClientRect(form_, &client);
    ::MapWindowPoints(form_, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    client_ = Box{client.left - frame_.left, client.top - frame_.top, client.right - frame_.left,
                  client.bottom - frame_.top};
    width_ = frame_.right - frame_.left;
    height_ = frame_.bottom - frame_.top;
  }

  unsigned Hit(int x, int y) {
    DWORD_PTR answer = 0;
    if (::SendMessageTimeoutW(form_, WM_NCHITTEST, 0, MAKELPARAM(frame_.left + x, frame_.top + y),
                              SMTO_ABORTIFHUNG, 10000, &answer) == 0)
      return 0xFFFF;
    return static_cast<unsigned>(answer);
  }

  std::vector<Sample> Row(int y) {
    std::vector<Sample> row;
    for (int x = -2; x < width_ + 2; ++x)
      row.push_back(Sample{x, y, Hit(x, y)});
    all_.insert(all_.end(), row.begin(), row.end());
    return row;
  }

  std::vector<Sample> Column(int x) {
    std::vector<Sample> column;
    for (int y = -2; y < height_ + 2; ++y)
      column.push_back(Sample{x, y, Hit(x, y)});
    all_.insert(all_.end(), column.begin(), column.end());
    return column;
  }

  Program program_;
  HWND form_ = nullptr;
  RECT frame_{};
  Box client_;
  int width_ = 0;
  int height_ = 0;
  std::vector<Sample> all_;
};

// One state of the built-in skin's title glyph at `ppi`.
SIZE GlyphSize(int ppi, TacTitleGlyph glyph) {
  HeadlessSkinPlatform platform(ppi);
  TsSkinManager manager(platform);
  manager.InternalSkins = BuiltinStoredSkins();
  manager.SetSkinName(std::string(kBuiltinSkinName));
  const TacSkinData& sd = manager.CommonSkinData(ppi);
  const int index = sd.TitleGlyphs[glyph];
  if (index < 0)
    return SIZE{};
  return SIZE{sd.ma[static_cast<std::size_t>(index)].Width,
              sd.ma[static_cast<std::size_t>(index)].Height};
}

TEST_F(CaptionSweepTest, TitleBarAndLeftEdgeAnswerTheSkinsOwnParts) {
  const int dpi = static_cast<int>(::GetDpiForWindow(form_));
  SCOPED_TRACE(::testing::Message() << dpi << " dots per inch");
  const SIZE close_size = GlyphSize(dpi, tgClose);
  const SIZE min_size = GlyphSize(dpi, tgMin);
  ASSERT_GT(close_size.cx, 0);
  ASSERT_GT(min_size.cx, 0);
  const int icon = ::MulDiv(16, dpi, 96);

  // Along the top row: caption, then minimise, then close, flush with the right.
  const std::vector<Sample> top = Row(0);
  const Span close_x = SpanOf(top, kHitClose, true);
  const Span min_x = SpanOf(top, kHitMinButton, true);
  ASSERT_EQ(close_x.length, close_size.cx);
  ASSERT_EQ(min_x.length, min_size.cx);
  EXPECT_EQ(min_x.first + min_x.length, close_x.first) << "minimise touches close";
  EXPECT_GE(close_x.first + close_x.length, width_ - 8) << "close sits at the right end";
  Row(1);
  Row(close_size.cy / 2);

  // Down through each button: from the top edge, the skin's glyph height.
  const Span close_y = SpanOf(Column(close_x.first + close_x.length / 2), kHitClose, false);
  const Span min_y = SpanOf(Column(min_x.first + min_x.length / 2), kHitMinButton, false);
  EXPECT_EQ(close_y.first, 0);
  EXPECT_EQ(close_y.length, close_size.cy);
  EXPECT_EQ(min_y.first, 0);
  EXPECT_EQ(min_y.length, min_size.cy);
  Row(close_size.cy - 1);
  Row(close_size.cy);
  const Box close{close_x.first, 0, close_x.first + close_x.length, close_y.length};
  const Box min{min_x.first, 0, min_x.first + min_x.length, min_y.length};

  // Down through the icon, then across its middle.
  const std::vector<Sample> icon_column = Column(client_.left + icon / 2);
  const Span icon_y = SpanOf(icon_column, kHitSysMenu, false);
  ASSERT_EQ(icon_y.length, icon);
  const Span icon_x = SpanOf(Row(icon_y.first + icon / 2), kHitSysMenu, true);
  EXPECT_EQ(icon_x.length, icon);
  EXPECT_LE(icon_x.first, client_.left + 1) << "the icon starts at the left frame";
  const Box icon_box{icon_x.first, icon_y.first, icon_x.first + icon_x.length,
                     icon_y.first + icon_y.length};

  // Down the left edge and the middle; across the client area.
  Column(0);
  Column(1);
  const std::vector<Sample> middle = Column(width_ / 2);
  Row((client_.top + client_.bottom) / 2);
  const Span band = SpanOf(middle, kHitMenu, false);
  EXPECT_GT(band.length, ::MulDiv(10, dpi, 96)) << "the menu band";
  EXPECT_EQ(band.first + band.length, client_.top) << "the band ends where the client begins";

  const std::set<unsigned> allowed{kHitNowhere, kHitClient,    kHitCaption, kHitSysMenu,
                                   kHitMenu,    kHitMinButton, kHitBorder,  kHitClose};
  int wrong = 0;
  for (const Sample& s : all_) {
    const bool outside = s.x < 0 || s.y < 0 || s.x >= width_ || s.y >= height_;
    const bool in_client = client_.Contains(s.x, s.y);
    const bool ok =
        allowed.contains(s.code) && (s.code == kHitNowhere) == outside &&
        (s.code == kHitClient) == in_client && (s.code == kHitClose) == close.Contains(s.x, s.y) &&
        (s.code == kHitMinButton) == min.Contains(s.x, s.y) &&
        (s.code == kHitSysMenu) == icon_box.Contains(s.x, s.y) &&
        (s.code != kHitMenu || (s.y >= band.first && s.y < client_.top)) &&
        (s.code != kHitCaption || s.y < band.first) && (s.code != kHitBorder || s.y >= client_.top);
    if (!ok && ++wrong <= 10)
      ADD_FAILURE() << "code " << s.code << " at " << s.x << "," << s.y;
  }
  EXPECT_EQ(wrong, 0) << "of " << all_.size() << " points";
}

}  // namespace
}  // namespace kestrune::skin
