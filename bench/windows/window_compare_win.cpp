// Times the skinned window against its plain twin, as a client in the same session sees them:
// start until shown and idle, a full repaint, a hover over the log and over Extract, a caption
// change, and 100 frame paints; and each process's peak memory. The two programs start
// alternately and the medians are printed with the ratio of each to the twin.
//   window_compare KESTRUNE.EXE PLAIN_WINDOW.EXE [ROUNDS]
// A step is timed from the message that starts it until the window and its children have no
// paint pending, so that both programs are measured to the same end.

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/windows/window_client_win.h"

namespace {

using kestrune::bench::ChildrenOf;
using kestrune::bench::ClassOf;
using kestrune::bench::Median;
using kestrune::bench::TextOf;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

HWND VisibleFormOf(DWORD process_id) {
  struct Search {
    DWORD process_id;
    HWND form;
  } search{process_id, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == s->process_id && ::IsWindowVisible(window) &&
            ::GetWindow(window, GW_OWNER) == nullptr && ::GetMenu(window) != nullptr) {
          s->form = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.form;
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "window_compare: %s\n", what);
  std::exit(1);
}

// Paints what is pending in the form and its children, and waits until none has any left.
void FinishPainting(HWND form) {
  ::RedrawWindow(form, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  std::vector<HWND> windows = ChildrenOf(form);
  windows.push_back(form);
  for (HWND window : windows) {
    for (int i = 0; ::GetUpdateRect(window, nullptr, FALSE); ++i) {
      if (i == 100000)
        Fail("a window kept a paint pending");
      ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW);
    }
  }
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
}

double SecondsOf(const std::function<void()>& step) {
  const auto start = Clock::now();
  step();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

enum Step : std::size_t {
  kStart,
  kRepaint,
  kHoverLog,
  kHoverButton,
  kCaption,
  kFramePaints,
  kMeasures
};
constexpr std::array<const char*, kMeasures> kNames = {
    "start until shown and idle", "full repaint",   "hover over the log",
    "hover over Extract",         "caption change", "100 WM_NCPAINT"};

struct Run {
  std::array<double, kMeasures> seconds{};
  std::size_t peak_bytes = 0;
};

// Moves the real cursor to `point` (screen) and hands the control the move at once, so that the
// control's own look-up of the cursor agrees with the message it gets.
void HoverAt(HWND control, POINT point) {
  ::SetCursorPos(point.x, point.y);
  POINT client = point;
  ::ScreenToClient(control, &client);
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(control, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y), SMTO_NORMAL,
                        60000, &ignored);
}

POINT CentreOf(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Settle(HANDLE process, HWND form) {
  ::WaitForInputIdle(process, 60000);
  FinishPainting(form);
}

Run MeasureProgram(const fs::path& exe, const fs::path& work) {
  Run run;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + exe.wstring() + L"\"";
  HWND form = nullptr;
  run.seconds[kStart] = SecondsOf([&] {
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          work.wstring().c_str(), &startup, &process))
      Fail("cannot start a program");
    while ((form = VisibleFormOf(process.dwProcessId)) == nullptr) {
      if (::WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
        Fail("a program ended before its window showed");
    }
    Settle(process.hProcess, form);
  });
  ::CloseHandle(process.hThread);

  HWND log = nullptr;
  HWND button = nullptr;
  for (HWND child : ChildrenOf(form)) {
    if (::lstrcmpiW(ClassOf(child).c_str(), L"Edit") == 0)
      log = child;
    if (::lstrcmpiW(ClassOf(child).c_str(), L"Button") == 0 && TextOf(child) == L"Extract")
      button = child;
  }
  if (log == nullptr || button == nullptr)
    Fail("no log or no Extract button in a window");
  RECT frame{};
  ::GetWindowRect(form, &frame);
  const POINT away{frame.right + 40, frame.bottom + 40};
  ::SetCursorPos(away.x, away.y);
  Settle(process.hProcess, form);

  run.seconds[kRepaint] = SecondsOf([&] {
    ::RedrawWindow(form, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    FinishPainting(form);
  });
  Settle(process.hProcess, form);

  const std::array<std::pair<Step, HWND>, 2> hovers = {{{kHoverLog, log}, {kHoverButton, button}}};
  for (const auto& [step, control] : hovers) {
    run.seconds[step] = SecondsOf([&] {
      HoverAt(control, CentreOf(control));
      FinishPainting(form);
    });
    ::SetCursorPos(away.x, away.y);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(control, WM_MOUSELEAVE, 0, 0, SMTO_NORMAL, 60000, &ignored);
    Settle(process.hProcess, form);
  }

  const std::wstring caption = TextOf(form);
  run.seconds[kCaption] = SecondsOf([&] {
    const std::wstring changed = caption + L" *";
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(form, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(changed.c_str()),
                          SMTO_NORMAL, 60000, &ignored);
    FinishPainting(form);
  });
  Settle(process.hProcess, form);

  run.seconds[kFramePaints] = SecondsOf([&] {
    for (int i = 0; i < 100; ++i) {
      DWORD_PTR ignored = 0;
      ::SendMessageTimeoutW(form, WM_NCPAINT, 1, 0, SMTO_NORMAL, 60000, &ignored);
    }
  });

  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (::GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters))
    run.peak_bytes = counters.PeakWorkingSetSize;
  ::PostMessageW(form, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
    ::TerminateProcess(process.hProcess, 1);
  ::CloseHandle(process.hProcess);
  return run;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: window_compare KESTRUNE.EXE PLAIN_WINDOW.EXE [ROUNDS]\n");
    return 2;
  }
  const int rounds = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
  // Each program runs from an empty folder of its own: nothing it writes reaches the build.
  const fs::path root = fs::temp_directory_path() / L"kestrune-window-compare";
  fs::remove_all(root);
  const std::array<fs::path, 2> programs = {argv[1], argv[2]};
  std::array<std::vector<Run>, 2> runs;
  for (int round = 0; round < rounds; ++round) {
    // Alternate which starts first, so that neither always meets a warm or a cold system.
    for (std::size_t k = 0; k < 2; ++k) {
      const std::size_t which = (static_cast<std::size_t>(round) + k) % 2;
      const fs::path work = root / std::to_wstring(which);
      fs::create_directories(work);
      runs[which].push_back(MeasureProgram(programs[which], work));
    }
    std::printf("round %d of %d done\n", round + 1, rounds);
    std::fflush(stdout);
  }
  std::printf("\nmedians of %d rounds        kestrune.exe   plain twin   ratio\n", rounds);
  for (std::size_t m = 0; m < kMeasures; ++m) {
    std::array<double, 2> median{};
    for (std::size_t which = 0; which < 2; ++which) {
      std::vector<double> values;
      for (const Run& run : runs[which])
        values.push_back(run.seconds[m]);
      median[which] = Median(values);
    }
    std::printf("%-27s %9.2f ms %9.2f ms %7.2f\n", kNames[m], median[0] * 1e3, median[1] * 1e3,
                median[0] / median[1]);
  }
  std::array<double, 2> peak{};
  for (std::size_t which = 0; which < 2; ++which) {
    std::vector<double> values;
    for (const Run& run : runs[which])
      values.push_back(static_cast<double>(run.peak_bytes) / (1024 * 1024));
    peak[which] = Median(values);
  }
  std::printf("%-27s %9.1f MB %9.1f MB %7.2f\n", "peak working set", peak[0], peak[1],
              peak[1] > 0 ? peak[0] / peak[1] : 0.0);
  fs::remove_all(root);
  return 0;
}
