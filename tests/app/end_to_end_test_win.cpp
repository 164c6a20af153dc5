// kestrune.exe driven from outside as a user would: this test is the client in the same Wine
// session. The program is copied into a folder of its own (where its output goes) and started in
// another folder (where it reads the list), so nothing lands in the build tree.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <optional>
#include <thread>

#include "platform/win_util.h"
#include "tests/support/build_path.h"
#include "tests/support/drop_files_win.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait_for.h"
#include "tests/support/windows_of_win.h"

namespace kestrune {
namespace {

using namespace std::chrono_literals;
using platform::Narrow;
using platform::Widen;

constexpr wchar_t kCaption[] = L"Kestrune v1.0.0.2";

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

// Reads a window's text through the system, as any other program can.
std::string TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length))
    return "<no answer>";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 10000, &copied);
  text.resize(copied);
  return Narrow(text);
}

using test::WaitFor;

// A message box of the program, read and closed with its OK button.
struct SeenBox {
  std::string caption;
  std::string text;
  bool has_icon = false;
};

class Program {
 public:
  // `temp_folder`, when given, is the program's TMP and TEMP.
  Program(const std::filesystem::path& exe, const std::filesystem::path& working_folder,
          const std::wstring& temp_folder = {}) {
    std::wstring command = L"\"" + exe.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring environment;
    if (!temp_folder.empty()) {
      const wchar_t* strings = ::GetEnvironmentStringsW();
      for (const wchar_t* entry = strings; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        const std::wstring_view text(entry);
        if (!text.starts_with(L"TMP=") && !text.starts_with(L"TEMP="))
          environment.append(text).push_back(L'\0');
      }
      ::FreeEnvironmentStringsW(const_cast<wchar_t*>(strings));
      for (const wchar_t* name : {L"TMP=", L"TEMP="})
        environment.append(name).append(temp_folder).push_back(L'\0');
      environment.push_back(L'\0');
    }
    if (!::CreateProcessW(exe.wstring().c_str(), command.data(), nullptr, nullptr, FALSE,
                          environment.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT,
                          environment.empty() ? nullptr : environment.data(),
                          working_folder.wstring().c_str(), &startup, &process)) {
      ADD_FAILURE() << "cannot start " << exe.string();
      return;
    }
    process_.Reset(process.hProcess);
    ::CloseHandle(process.hThread);
    process_id_ = process.dwProcessId;
    // The form has its caption before its controls exist: wait for all of them.
    WaitFor(
        [&] {
          for (HWND window : test::VisibleTopLevelWindows(process_id_, L"KestruneForm")) {
            wchar_t caption[64] = {};
            ::GetWindowTextW(window, caption, 64);
            if (std::wstring_view(caption) == kCaption)
              form_ = window;
          }
          FindControls();
          return form_ != nullptr && memo_ != nullptr && progress_ != nullptr &&
                 button_ != nullptr && group_ != nullptr;
        },
        60s);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program() {
    if (process_.Valid() && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT)
      ::TerminateProcess(process_.Get(), 1);
  }

  [[nodiscard]] HWND Form() const { return form_; }
  [[nodiscard]] HWND Memo() const { return memo_; }
  [[nodiscard]] HWND Group() const { return group_; }
  [[nodiscard]] HWND ExtractButton() const { return button_; }

  [[nodiscard]] std::string Log() const { return TextOf(memo_); }
  [[nodiscard]] int ProgressPosition() const {
    return static_cast<int>(::SendMessageW(progress_, PBM_GETPOS, 0, 0));
  }
  [[nodiscard]] int ProgressMaximum() const {
    return static_cast<int>(::SendMessageW(progress_, PBM_GETRANGE, FALSE, 0));
  }
  [[nodiscard]] std::string Label(const wchar_t* name) const {
    return test::ControlText(form_, name);
  }
  [[nodiscard]] bool Answers() const {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(form_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
  }

  // Clicks Extract and waits until the click has been handled; a message box that shows up
  // meanwhile is read and closed with OK.
  std::optional<SeenBox> ClickExtract() {
    std::atomic<bool> handled = false;
    std::thread click([button = button_, &handled] {
      DWORD_PTR ignored = 0;
      ::SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 120000, &ignored);
      handled = true;
    });
    std::optional<SeenBox> seen;
    WaitFor(
        [&] {
          if (handled)
            return true;
          if (seen)
            return false;
          for (HWND box : test::VisibleTopLevelWindows(process_id_, L"#32770")) {
            seen = ReadAndClose(box);
            break;
          }
          return false;
        },
        120s);
    click.join();
    return seen;
  }

  // Clicks Extract as a user does: the real cursor moves over the button, the left button goes
  // down and up there. Returns once the input is queued; the program handles it on its own.
  void ClickExtractWithMouse() const {
    ::SetForegroundWindow(form_);
    RECT r{};
    ::GetWindowRect(button_, &r);
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = ((r.left + r.right) / 2) * 65535 / (width - 1);
    input.mi.dy = ((r.top + r.bottom) / 2) * 65535 / (height - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof input);
    std::this_thread::sleep_for(200ms);
    for (const DWORD flag : {DWORD{MOUSEEVENTF_LEFTDOWN}, DWORD{MOUSEEVENTF_LEFTUP}}) {
      input.mi.dwFlags = flag | MOUSEEVENTF_ABSOLUTE;
      ::SendInput(1, &input, sizeof input);
      std::this_thread::sleep_for(100ms);
    }
  }

  // Drops `paths` on the window as the shell does.
  void Drop(const std::vector<std::filesystem::path>& paths) const {
    ASSERT_TRUE(test::DropFiles(process_.Get(), form_, paths));
  }

  // The program's next message box, read and closed with OK; none within `limit`: nullopt.
  std::optional<SeenBox> NextBox(std::chrono::milliseconds limit = 60s) const {
    std::optional<SeenBox> seen;
    WaitFor(
        [&] {
          for (HWND box : test::VisibleTopLevelWindows(process_id_, L"#32770")) {
            seen = ReadAndClose(box);
            return true;
          }
          return false;
        },
        limit);
    return seen;
  }

  // Closes the window as the close button and Alt+F4 do, and returns the exit code.
  DWORD Close(bool with_alt_f4) {
    if (with_alt_f4)
      ::PostMessageW(form_, WM_SYSKEYDOWN, VK_F4, LPARAM{1} | (LPARAM{KF_ALTDOWN} << 16));
    else
      ::PostMessageW(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (::WaitForSingleObject(process_.Get(), 30000) != WAIT_OBJECT_0)
      return 999;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.Get(), &code);
    return code;
  }

 private:
  void FindControls() {
    if (form_ == nullptr)
      return;
    for (HWND child : test::ChildWindows(form_)) {
      const std::wstring kind = ClassOf(child);
      if (::lstrcmpiW(kind.c_str(), L"Edit") == 0)
        memo_ = child;
      else if (::lstrcmpiW(kind.c_str(), PROGRESS_CLASSW) == 0)
        progress_ = child;
      else if (::lstrcmpiW(kind.c_str(), L"Button") == 0 && TextOf(child) == "Extract")
        button_ = child;
      else if (::lstrcmpiW(kind.c_str(), L"Button") == 0 && TextOf(child) == "Results")
        group_ = child;
    }
  }

  static SeenBox ReadAndClose(HWND box) {
    SeenBox seen;
    seen.caption = TextOf(box);
    HWND ok = nullptr;
    for (HWND child : test::ChildWindows(box)) {
      const std::wstring kind = ClassOf(child);
      if (::lstrcmpiW(kind.c_str(), L"Static") == 0) {
        const auto style = static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE));
        if ((style & SS_TYPEMASK) == SS_ICON)
          seen.has_icon = ::IsWindowVisible(child) && ::SendMessageW(child, STM_GETICON, 0, 0) != 0;
        else if (const std::string text = TextOf(child); !text.empty())
          seen.text = text;
      } else if (::lstrcmpiW(kind.c_str(), L"Button") == 0) {
        ok = child;
      }
    }
    if (ok != nullptr)
      ::PostMessageW(ok, BM_CLICK, 0, 0);
    return seen;
  }

  platform::UniqueHandle process_;
  DWORD process_id_ = 0;
  HWND form_ = nullptr;
  HWND memo_ = nullptr;
  HWND progress_ = nullptr;
  HWND button_ = nullptr;
  HWND group_ = nullptr;
};

class EndToEnd : public ::testing::Test {
 protected:
  EndToEnd() {
    std::filesystem::create_directory(program_folder());
    std::filesystem::create_directory(work_folder());
    std::filesystem::copy_file(test::BuildPath(KESTRUNE_EXE), exe());
  }

  std::filesystem::path program_folder() const { return root_.path() / "program"; }
  std::filesystem::path work_folder() const { return root_.path() / "work"; }
  std::filesystem::path exe() const { return program_folder() / "kestrune.exe"; }
  void WriteList(const std::string& bytes,
                 const std::filesystem::path& path = std::filesystem::path()) const {
    std::FILE* file =
        _wfopen((path.empty() ? work_folder() / "prefix_list.txt" : path).c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  std::vector<std::string> OutputFiles() const {
    std::vector<std::string> outputs;
    for (const auto& name : test::FileNames(program_folder())) {
      if (name != "kestrune.exe")
        outputs.push_back(name);
    }
    return outputs;
  }

  test::TempDir root_;
};

// The icon group, the version and the manifest, read from the executable as a data file.
TEST(Executable, CarriesIconVersionAndManifest) {
  const std::wstring path = Widen(test::BuildPath(KESTRUNE_EXE));
  HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  const auto resource = [module](const wchar_t* name, const wchar_t* type) {
    HRSRC found = ::FindResourceW(module, name, type);
    HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const auto* bytes =
        static_cast<const char*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
    return bytes != nullptr ? std::string(bytes, ::SizeofResource(module, found)) : std::string();
  };

  // An icon group: a 6-byte header, then 14-byte entries of width, height, colours, reserved,
  // planes, bits per pixel, size and id.
  const std::string group = resource(MAKEINTRESOURCEW(1), RT_GROUP_ICON);
  ASSERT_GE(group.size(), 6u);
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(group[i]); };
  const std::size_t count = byte(4) | (byte(5) << 8);
  ASSERT_EQ(group.size(), 6 + 14 * count);
  std::vector<int> sizes;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = 6 + 14 * i;
    sizes.push_back(byte(entry) == 0 ? 256 : byte(entry));
    EXPECT_EQ(byte(entry), byte(entry + 1));
    EXPECT_EQ(byte(entry + 6) | (byte(entry + 7) << 8), 32) << "bits per pixel of entry " << i;
  }
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 64, 72, 96, 128, 256}));

  const std::string version = resource(MAKEINTRESOURCEW(1), RT_VERSION);
  const std::size_t fixed = version.find("\xBD\x04\xEF\xFE");
  ASSERT_NE(fixed, std::string::npos);
  VS_FIXEDFILEINFO info{};
  ASSERT_LE(fixed + sizeof info, version.size());
  std::memcpy(&info, version.data() + fixed, sizeof info);
  EXPECT_EQ(info.dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(info.dwFileVersionLS, 0x00000002u);
  EXPECT_EQ(info.dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(info.dwProductVersionLS, 0x00000002u);

  const std::string manifest = resource(MAKEINTRESOURCEW(1), RT_MANIFEST);
  EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                          "WindowsSettings\">PerMonitorV2</dpiAwareness>"),
            std::string::npos);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);
  ::FreeLibrary(module);
}

TEST_F(EndToEnd, ShowsTheWindowRunsTheListAndClosesWithAltF4) {
  Program program(exe(), work_folder());
  ASSERT_NE(program.Form(), nullptr);
  ASSERT_NE(program.Memo(), nullptr);
  ASSERT_NE(program.ExtractButton(), nullptr);
  ASSERT_NE(program.Group(), nullptr);
  RECT client{};
  ::GetClientRect(program.Form(), &client);
  // The program follows the density of the prefix, which a test run may have set.
  const int dpi = static_cast<int>(::GetDpiForWindow(program.Form()));
  EXPECT_EQ(client.right, ::MulDiv(416, dpi, 96));
  EXPECT_EQ(client.bottom, ::MulDiv(278, dpi, 96));
  EXPECT_EQ(program.Log(), "");
  EXPECT_EQ(program.Label(L"LabelTotalEstimated"), "Total IPs: 0");
  EXPECT_EQ(program.Label(L"LabelRemaining"), "Remaining: 0");
  EXPECT_EQ(program.Label(L"LabelETA"), "ETA: 00:00:00");
  EXPECT_EQ(program.Label(L"LabelSpeed"), "Speed: 0 IPs/sec");
  EXPECT_EQ(program.ProgressPosition(), 0);
  EXPECT_EQ(program.ProgressMaximum(), 100);

  WriteList("10.0.0.5/30\r\n10.0.0.0/8\r\n1.2.3.4/32");
  EXPECT_FALSE(program.ClickExtract().has_value());

  const std::vector<std::string> outputs = OutputFiles();
  ASSERT_EQ(outputs.size(), 1u);
  EXPECT_EQ(outputs[0].size(), 22u) << outputs[0];
  EXPECT_TRUE(outputs[0].ends_with("_IPs.txt"));
  EXPECT_EQ(test::ReadFileBytes(program_folder() / outputs[0]),
            "10.0.0.5\r\n10.0.0.6\r\n10.0.0.7\r\n10.0.0.8\r\n1.2.3.4\r\n");
  const std::string log = program.Log();
  const std::string expected_start =
      "Processing: 10.0.0.5/30\r\nDone: 10.0.0.5/30\r\n"
      "10.0.0.0/8 -> BLOCKED (prefix 8 <= 15)\r\n"
      "Processing: 1.2.3.4/32\r\nDone: 1.2.3.4/32\r\n"
      "ALL DONE. Output file: ";
  EXPECT_TRUE(log.starts_with(expected_start)) << log;
  EXPECT_TRUE(log.ends_with("\\program\\" + outputs[0] + "\r\n")) << log;
  EXPECT_EQ(program.Label(L"LabelTotalEstimated"), "Total IPs: 5");
  EXPECT_EQ(program.Label(L"LabelRemaining"), "Remaining: 0");
  EXPECT_TRUE(program.Label(L"LabelETA").starts_with("ETA: ")) << program.Label(L"LabelETA");
  EXPECT_TRUE(program.Label(L"LabelSpeed").ends_with(" IPs/sec")) << program.Label(L"LabelSpeed");
  EXPECT_EQ(program.ProgressMaximum(), 3);
  EXPECT_EQ(program.ProgressPosition(), 2);
  // The figures written during a click sent from another process stand on the dark skin: the
  // box lent its own background to them, not the system's light one.
  POINT under_figure{::MulDiv(13, dpi, 96), ::MulDiv(243, dpi, 96)};
  ::ClientToScreen(program.Group(), &under_figure);
  HDC screen = ::GetDC(nullptr);
  const COLORREF pixel = ::GetPixel(screen, under_figure.x, under_figure.y);
  ::ReleaseDC(nullptr, screen);
  ASSERT_NE(pixel, CLR_INVALID);
  EXPECT_LT(GetRValue(pixel), 0x80) << std::hex << pixel;

  EXPECT_EQ(program.Close(/*with_alt_f4=*/true), 0u);
  EXPECT_EQ(OutputFiles(), outputs);  // closing writes nothing
  EXPECT_EQ(test::FileNames(work_folder()), std::vector<std::string>{"prefix_list.txt"});
}

TEST_F(EndToEnd, ARealMouseClickOnTheSkinnedButtonRunsTheList) {
  Program program(exe(), work_folder());
  ASSERT_NE(program.ExtractButton(), nullptr);
  // Skinned, the button draws itself: the system only reports its clicks.
  EXPECT_EQ(::GetWindowLongPtrW(program.ExtractButton(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  WriteList("10.0.0.5/31\r\n");
  program.ClickExtractWithMouse();
  EXPECT_TRUE(WaitFor(
      [&] { return program.Log().find("ALL DONE. Output file: ") != std::string::npos; }, 60s))
      << program.Log();
  const std::vector<std::string> outputs = OutputFiles();
  ASSERT_EQ(outputs.size(), 1u);
  EXPECT_EQ(test::ReadFileBytes(program_folder() / outputs[0]), "10.0.0.5\r\n10.0.0.6\r\n");
  EXPECT_EQ(program.Label(L"LabelTotalEstimated"), "Total IPs: 2");
  EXPECT_EQ(program.Close(/*with_alt_f4=*/false), 0u);
}

TEST_F(EndToEnd, MissingListShowsTheMessageAndLeavesTheWindowAlone) {
  Program program(exe(), work_folder());
  ASSERT_NE(program.Form(), nullptr);
  WriteList("1.2.3.4/32\r\n");
  ASSERT_FALSE(program.ClickExtract().has_value());
  const std::string log = program.Log();
  const std::string total = program.Label(L"LabelTotalEstimated");
  const std::string speed = program.Label(L"LabelSpeed");
  std::filesystem::remove(work_folder() / "prefix_list.txt");

  const std::optional<SeenBox> box = program.ClickExtract();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(
      box->text,
      "File \"prefix_list.txt\" tidak ditemukan. Letakkan file ini di folder aplikasi (exe).");
  EXPECT_EQ(box->caption, "Kestrune");
  EXPECT_FALSE(box->has_icon);
  EXPECT_EQ(program.Log(), log);
  EXPECT_EQ(program.Label(L"LabelTotalEstimated"), total);
  EXPECT_EQ(program.Label(L"LabelSpeed"), speed);
  EXPECT_EQ(program.ProgressMaximum(), 1);
  EXPECT_EQ(program.ProgressPosition(), 1);
  EXPECT_EQ(OutputFiles().size(), 1u);
  EXPECT_EQ(program.Close(/*with_alt_f4=*/false), 0u);
}

TEST_F(EndToEnd, AnErrorLeavingTheHandlerShowsTheErrorBoxAndTheWindowGoesOn) {
  Program program(exe(), work_folder());
  ASSERT_NE(program.Form(), nullptr);

  WriteList("1.2.3.4/32\r\n255.255.255.255/31\r\n");
  std::optional<SeenBox> box = program.ClickExtract();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, "Integer overflow.");
  EXPECT_EQ(box->caption, "Kestrune");
  EXPECT_TRUE(box->has_icon);
  EXPECT_EQ(program.Log(),
            "Processing: 1.2.3.4/32\r\nDone: 1.2.3.4/32\r\nProcessing: 255.255.255.255/31\r\n");
  ASSERT_TRUE(program.Answers());

  // A list that another program holds open for writing cannot be read: the run ends at once.
  {
    platform::UniqueHandle held(::CreateFileW((work_folder() / "prefix_list.txt").c_str(),
                                              GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.Valid());
    box = program.ClickExtract();
  }
  ASSERT_TRUE(box.has_value());
  EXPECT_TRUE(box->has_icon);
  EXPECT_FALSE(box->text.empty());
  EXPECT_TRUE(box->text.ends_with(".")) << box->text;
  EXPECT_EQ(program.Log(),
            "Processing: 1.2.3.4/32\r\nDone: 1.2.3.4/32\r\nProcessing: 255.255.255.255/31\r\n");

  // The window still works: the next run goes through.
  WriteList("9.9.9.9/32\r\n");
  EXPECT_FALSE(program.ClickExtract().has_value());
  EXPECT_TRUE(program.Log().starts_with("Processing: 9.9.9.9/32\r\nDone: 9.9.9.9/32\r\nALL DONE."))
      << program.Log();
  EXPECT_EQ(program.Close(/*with_alt_f4=*/false), 0u);
}

// A temp folder that cannot be written: every worker fails. The log shows each error, the run
// still ends with its "ALL DONE" line, and the remaining figure says what the output lacks.
TEST_F(EndToEnd, UnwritableTempFolderShowsTheErrorsAndAnIncompleteOutput) {
  const std::filesystem::path not_a_folder = root_.path() / "temp-is-a-file";
  {
    std::FILE* file = _wfopen(not_a_folder.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
  }
  Program program(exe(), work_folder(), not_a_folder.wstring());
  ASSERT_NE(program.Form(), nullptr);
  WriteList("10.0.0.0/16\r\n1.2.3.4/32\r\n");
  EXPECT_FALSE(program.ClickExtract().has_value());

  const std::string log = program.Log();
  // Failures are logged in the order the tasks met them, which the scheduler decides.
  EXPECT_TRUE(log.starts_with("Processing: 10.0.0.0/16\r\nERROR: Task ")) << log;
  EXPECT_NE(log.find("ERROR: Task 0 error: Cannot create file"), std::string::npos) << log;
  EXPECT_NE(log.find("Done: 10.0.0.0/16\r\nProcessing: 1.2.3.4/32\r\nDone: 1.2.3.4/32\r\n"
                     "ALL DONE. Output file: "),
            std::string::npos)
      << log;
  EXPECT_EQ(program.Label(L"LabelRemaining"), "Missing: 65,536 IPs in 1 incomplete block");
  const std::vector<std::string> outputs = OutputFiles();
  ASSERT_EQ(outputs.size(), 1u);
  EXPECT_EQ(test::ReadFileBytes(program_folder() / outputs[0]), "1.2.3.4\r\n");
  EXPECT_EQ(program.Close(/*with_alt_f4=*/false), 0u);
}

// A list dropped on the window from another folder runs as Extract runs the working folder's list:
// the same log, figures and output; the dropped file's name plays no part.
TEST_F(EndToEnd, ADroppedListRunsAsExtractRunsTheWorkingFoldersList) {
  const std::string list =
      "10.0.0.5/30\r\nnot a block\r\n10.0.0.0/8\r\n\r\n10.1.0.0/17\r\n1.2.3.4/32";
  WriteList(list);
  const std::filesystem::path lists = root_.path() / L"Listen f\u00fcr heute";
  std::filesystem::create_directory(lists);
  const std::filesystem::path dropped = lists / L"Bl\u00f6cke 1.txt";
  WriteList(list, dropped);
  Program program(exe(), work_folder());
  ASSERT_NE(program.Form(), nullptr);
  ASSERT_FALSE(program.ClickExtract().has_value());
  const std::vector<std::string> by_extract = OutputFiles();
  ASSERT_EQ(by_extract.size(), 1u);
  const std::string extract_log = program.Log();
  const std::string figures[] = {program.Label(L"LabelTotalEstimated"),
                                 program.Label(L"LabelRemaining")};
  const int progress[] = {program.ProgressMaximum(), program.ProgressPosition()};
  // Typed into the log: the dropped list's run empties it as Extract's does.
  ::SendMessageW(program.Memo(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"typed"));

  program.Drop({dropped});
  std::string dropped_output;
  ASSERT_TRUE(WaitFor(
      [&] {
        const std::vector<std::string> outputs = OutputFiles();
        for (const std::string& name : outputs) {
          if (name != by_extract[0])
            dropped_output = name;
        }
        return !dropped_output.empty() && program.Answers() &&
               program.Log().ends_with(dropped_output + "\r\n");
      },
      120s))
      << program.Log();
  EXPECT_EQ(OutputFiles().size(), 2u);
  const auto without_output_name = [](const std::string& log) {
    return log.substr(0, log.find("ALL DONE. Output file: "));
  };
  EXPECT_EQ(without_output_name(program.Log()), without_output_name(extract_log));
  EXPECT_TRUE(program.Log().ends_with("\\program\\" + dropped_output + "\r\n")) << program.Log();
  EXPECT_EQ(test::ReadFileBytes(program_folder() / dropped_output),
            test::ReadFileBytes(program_folder() / by_extract[0]));
  EXPECT_EQ(program.Label(L"LabelTotalEstimated"), figures[0]);
  EXPECT_EQ(program.Label(L"LabelRemaining"), figures[1]);
  EXPECT_EQ(program.ProgressMaximum(), progress[0]);
  EXPECT_EQ(program.ProgressPosition(), progress[1]);
  EXPECT_EQ(test::ReadFileBytes(dropped), list);  // the list is only read
  EXPECT_EQ(program.Close(/*with_alt_f4=*/false), 0u);
}

// Several files or a folder: a message box says why, and nothing runs or changes.
TEST_F(EndToEnd, DroppingSeveralFilesOrAFolderShowsWhyAndRunsNothing) {
  const std::filesystem::path lists = root_.path() / "lists";
  std::filesystem::create_directory(lists);
  WriteList("1.2.3.4/32\r\n", lists / "a.txt");
  WriteList("5.6.7.8/32\r\n", lists / "b.txt");
  Program program(exe(), work_folder());
  ASSERT_NE(program.Form(), nullptr);
  struct Case {
    std::vector<std::filesystem::path> paths;
    std::string text;
  };
  const Case cases[] = {
      {{lists / "a.txt", lists / "b.txt"},
       "Drop one list file at a time: 2 files were dropped, and nothing was run."},
      {{lists}, Narrow(lists.wstring()) + " is a folder: drop one list file, and nothing was run."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    program.Drop(c.paths);
    const std::optional<SeenBox> box = program.NextBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, "Kestrune");
    EXPECT_EQ(box->text, c.text);
    EXPECT_TRUE(WaitFor([&] { return program.Answers(); }, 30s));
    EXPECT_EQ(program.Log(), "");
    EXPECT_EQ(program.Label(L"LabelTotalEstimated"), "Total IPs: 0");
    EXPECT_EQ(OutputFiles(), std::vector<std::string>{});
  }
  EXPECT_EQ(program.Close(/*with_alt_f4=*/false), 0u);
}

// A file dropped while a run holds the window is not run afterwards: the window was busy.
TEST_F(EndToEnd, FilesDroppedWhileARunGoesOnAreNotRun) {
  const std::filesystem::path lists = root_.path() / "lists";
  std::filesystem::create_directory(lists);
  WriteList("10.0.0.0/16\r\n10.1.0.0/16\r\n", lists / "long.txt");
  WriteList("5.6.7.8/32\r\n", lists / "later.txt");
  Program program(exe(), work_folder());
  ASSERT_NE(program.Form(), nullptr);
  program.Drop({lists / "long.txt"});
  program.Drop({lists / "later.txt"});  // queued before the first drop's run can have ended
  ASSERT_TRUE(WaitFor(
      [&] {
        return program.Answers() &&
               program.Log().find("ALL DONE. Output file: ") != std::string::npos;
      },
      120s))
      << program.Log();
  // Two files, dropped on the idle window: its box shows once every drop before it is handled.
  program.Drop({lists / "long.txt", lists / "later.txt"});
  ASSERT_TRUE(program.NextBox().has_value());
  EXPECT_TRUE(WaitFor([&] { return program.Answers(); }, 30s));
  const std::vector<std::string> outputs = OutputFiles();
  ASSERT_EQ(outputs.size(), 1u);
  const std::string output = test::ReadFileBytes(program_folder() / outputs[0]);
  EXPECT_TRUE(output.starts_with("10.0.0.0\r\n")) << output.substr(0, 40);
  EXPECT_TRUE(output.ends_with("\r\n10.1.255.255\r\n")) << output.substr(output.size() - 40);
  EXPECT_EQ(output.find("5.6.7.8"), std::string::npos);
  EXPECT_TRUE(program.Log().starts_with("Processing: 10.0.0.0/16\r\n")) << program.Log();
  EXPECT_EQ(program.Label(L"LabelTotalEstimated"), "Total IPs: 131,072");
  EXPECT_EQ(program.Close(/*with_alt_f4=*/false), 0u);
}

}  // namespace
}  // namespace kestrune
