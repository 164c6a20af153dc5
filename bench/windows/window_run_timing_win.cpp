// Times one list through the window and through kestrune-cli.exe, as a client in the same session
// would: for the window from the click on Extract until the click has been handled (the log then
// ends with "ALL DONE. Output file: "), for kestrune-cli.exe from its start to its exit.
//   window_run_timing KESTRUNE.EXE KESTRUNE-CLI.EXE LIST [ROUNDS]

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/windows/window_client_win.h"

namespace {

using kestrune::bench::ChildrenOf;
using kestrune::bench::ClassOf;
using kestrune::bench::Median;
using kestrune::bench::TextOf;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Found {
  DWORD process_id = 0;
  HWND form = nullptr;
};

HWND FindForm(DWORD process_id) {
  Found found{process_id, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* f = reinterpret_cast<Found*>(context);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == f->process_id && ::IsWindowVisible(window) &&
            ::lstrcmpiW(ClassOf(window).c_str(), L"KestruneForm") == 0)
          f->form = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.form;
}

PROCESS_INFORMATION Start(std::wstring command, const fs::path& folder, HANDLE output) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (output != nullptr) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
  }
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, output != nullptr, 0, nullptr,
                        folder.wstring().c_str(), &startup, &process)) {
    std::fprintf(stderr, "cannot start %ls\n", command.c_str());
    std::exit(1);
  }
  ::CloseHandle(process.hThread);
  return process;
}

double TimeWindow(const fs::path& exe, const fs::path& work) {
  const PROCESS_INFORMATION process = Start(L"\"" + exe.wstring() + L"\"", work, nullptr);
  HWND form = nullptr;
  for (int i = 0; i < 1200 && form == nullptr; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    form = FindForm(process.dwProcessId);
  }
  HWND button = nullptr;
  HWND memo = nullptr;
  for (HWND child : ChildrenOf(form)) {
    if (::lstrcmpiW(ClassOf(child).c_str(), L"Button") == 0 && TextOf(child) == L"Extract")
      button = child;
    if (::lstrcmpiW(ClassOf(child).c_str(), L"Edit") == 0)
      memo = child;
  }
  if (button == nullptr || memo == nullptr) {
    std::fprintf(stderr, "no Extract button or log in the window\n");
    std::exit(1);
  }
  const auto start = Clock::now();
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 3600000, &ignored);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const std::wstring log = TextOf(memo);
  if (log.find(L"ALL DONE. Output file: ") == std::wstring::npos)
    std::fprintf(stderr, "warning: the window's log has no ALL DONE line\n");
  ::PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
  ::WaitForSingleObject(process.hProcess, 30000);
  ::CloseHandle(process.hProcess);
  return seconds;
}

double TimeCli(const fs::path& exe, const fs::path& work) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE null = ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              OPEN_EXISTING, 0, nullptr);
  const auto start = Clock::now();
  const PROCESS_INFORMATION process = Start(L"\"" + exe.wstring() + L"\" --out-dir .", work, null);
  ::WaitForSingleObject(process.hProcess, INFINITE);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  if (code != 0)
    std::fprintf(stderr, "warning: kestrune-cli.exe exited with %lu\n", code);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(null);
  return seconds;
}

void RemoveOutputs(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().wstring().ends_with(L"_IPs.txt"))
      fs::remove(entry.path());
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: window_run_timing KESTRUNE.EXE KESTRUNE-CLI.EXE LIST [ROUNDS]\n");
    return 2;
  }
  const int rounds = argc > 4 ? std::max(1, _wtoi(argv[4])) : 3;
  const fs::path root = fs::temp_directory_path() / L"kestrune-window-timing";
  fs::remove_all(root);
  fs::create_directories(root / L"program");
  fs::create_directories(root / L"work");
  const fs::path exe = root / L"program" / L"kestrune.exe";
  fs::copy_file(argv[1], exe);
  fs::copy_file(argv[3], root / L"work" / L"prefix_list.txt");

  std::vector<double> window;
  std::vector<double> cli;
  for (int round = 0; round < rounds; ++round) {
    window.push_back(TimeWindow(exe, root / L"work"));
    RemoveOutputs(root / L"program");
    cli.push_back(TimeCli(argv[2], root / L"work"));
    RemoveOutputs(root / L"work");
    std::printf("round %d: window %.3f s, kestrune-cli.exe %.3f s\n", round + 1, window.back(),
                cli.back());
  }
  const double w = Median(window);
  const double c = Median(cli);
  std::printf("median of %d: window %.3f s, kestrune-cli.exe %.3f s, window / cli %.2f\n", rounds,
              w, c, w / c);
  fs::remove_all(root);
  return 0;
}
