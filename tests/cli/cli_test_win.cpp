// kestrune-cli.exe under the conditions only a Windows process meets: the real clock, a temp
// folder another program cleans, and console control events.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <set>
#include <thread>

#include "extractor/ip_text.h"
#include "extractor/output_merge.h"

#include "tests/support/build_path.h"
#include "tests/support/process_run.h"
#include "tests/support/temp_dir.h"

namespace kestrune {
namespace {

std::wstring Wide(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end())).wstring();
}

std::string AddressText(const std::string& first, std::uint32_t count) {
  std::string text;
  for (std::uint32_t i = 0; i < count; ++i)
    text += IPToStr(StrToIP(first) + i) + "\r\n";
  return text;
}

std::string WithoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Reset(); }
  void Reset(HANDLE handle = nullptr) {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE)
      ::CloseHandle(handle_);
    handle_ = handle;
  }
  [[nodiscard]] HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// TEMP and TMP of this process, and so of the programs it starts, for one scope.
class TempFolderVariables {
 public:
  explicit TempFolderVariables(const std::string& folder) {
    for (const wchar_t* name : {L"TEMP", L"TMP"}) {
      wchar_t value[MAX_PATH + 1] = {};
      const DWORD size = ::GetEnvironmentVariableW(name, value, MAX_PATH + 1);
      saved_.emplace_back(name, size > 0 && size <= MAX_PATH ? value : L"");
      ::SetEnvironmentVariableW(name, Wide(folder).c_str());
    }
  }
  ~TempFolderVariables() {
    for (const auto& [name, value] : saved_)
      ::SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
  }

 private:
  std::vector<std::pair<std::wstring, std::wstring>> saved_;
};

// One kestrune-cli.exe process. Its standard output goes to a file, or to a pipe this end reads
// when `piped_output` is set; standard error always goes to a file.
class CliProcess {
 public:
  CliProcess(const std::vector<std::string>& arguments, const test::TempDir& folder,
             bool piped_output = false, DWORD flags = 0) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const auto file = [&](const char* name) {
      return ::CreateFileW((folder.path() / name).wstring().c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    out_path_ = folder.path() / ("out-" + std::to_string(++count_) + ".txt");
    err_path_ = folder.path() / ("err-" + std::to_string(count_) + ".txt");
    Handle in(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                            OPEN_EXISTING, 0, nullptr));
    Handle out;
    if (piped_output) {
      HANDLE read = nullptr;
      HANDLE write = nullptr;
      // A small pipe fills quickly: the merge then waits for this end to read.
      EXPECT_TRUE(::CreatePipe(&read, &write, &inherit, 4096));
      ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
      pipe_.Reset(read);
      out.Reset(write);
    } else {
      out.Reset(file(out_path_.filename().string().c_str()));
    }
    Handle err(file(err_path_.filename().string().c_str()));
    std::wstring command = test::QuoteArgument(test::BuildPath(KESTRUNE_CLI_PATH));
    for (const auto& argument : arguments)
      command += L" " + test::QuoteArgument(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    PROCESS_INFORMATION process{};
    const std::wstring working = folder.path().wstring();
    EXPECT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, flags, nullptr,
                                 working.c_str(), &startup, &process))
        << ::GetLastError();
    process_.Reset(process.hProcess);
    ::CloseHandle(process.hThread);
    id_ = process.dwProcessId;
  }

  [[nodiscard]] DWORD id() const { return id_; }

  // What the pipe carries until the process closes it.
  std::string ReadPipe() {
    std::string text;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(pipe_.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
      text.append(buffer, read);
    return text;
  }

  // Waits for the end of the process (at most two minutes) and gives its exit status.
  int Wait() {
    if (::WaitForSingleObject(process_.get(), 120000) != WAIT_OBJECT_0) {
      ::TerminateProcess(process_.get(), 99);
      ADD_FAILURE() << "kestrune-cli.exe did not end";
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return static_cast<int>(code);
  }
  [[nodiscard]] std::string Out() const {
    return WithoutCarriageReturns(test::ReadFileBytes(out_path_));
  }
  [[nodiscard]] std::string Err() const {
    return WithoutCarriageReturns(test::ReadFileBytes(err_path_));
  }

 private:
  static inline int count_ = 0;
  std::filesystem::path out_path_;
  std::filesystem::path err_path_;
  Handle process_;
  Handle pipe_;
  DWORD id_ = 0;
};

// The local wall clock `seconds` from now, as a run reads it.
platform::WallClock LocalTimeIn(int seconds) {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  FILETIME file_time{};
  ::SystemTimeToFileTime(&now, &file_time);
  ULARGE_INTEGER ticks{};
  ticks.LowPart = file_time.dwLowDateTime;
  ticks.HighPart = file_time.dwHighDateTime;
  ticks.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(seconds) * 10000000);
  file_time.dwLowDateTime = ticks.LowPart;
  file_time.dwHighDateTime = ticks.HighPart;
  SYSTEMTIME then{};
  ::FileTimeToSystemTime(&file_time, &then);
  return {then.wYear, then.wMonth, then.wDay, then.wHour, then.wMinute, then.wSecond, 0};
}

class CliWindowsTest : public testing::Test {
 protected:
  test::TempDir work;
  test::TempDir temp;
};

// Every dated name of the coming seconds is taken, and two runs start together: each leaves the
// files at the dated names alone and writes a file of its own under a counted name.
TEST_F(CliWindowsTest, RunsInTheSameSecondLeaveTakenNamesAloneAndCountOn) {
  const test::TempDir out;
  const TempFolderVariables temp_variables(temp.Folder());
  work.Write("a.txt", "10.0.0.0/16\n");
  work.Write("b.txt", "10.1.0.0/24\n");
  std::set<std::string> planted;
  for (int second = -1; second <= 60; ++second) {
    const std::string name = OutputFileName(LocalTimeIn(second));
    if (planted.insert(name).second)
      out.Write(name, "an earlier run's output\r\n");
  }

  CliProcess a({"--list", "a.txt", "--out-dir", out.Folder()}, work);
  CliProcess b({"--list", "b.txt", "--out-dir", out.Folder()}, work);
  EXPECT_EQ(a.Wait(), 0) << a.Err();
  EXPECT_EQ(b.Wait(), 0) << b.Err();

  std::vector<std::string> contents;
  std::set<std::string> counted;
  for (const auto& name : test::FileNames(out.path())) {
    const std::string bytes = test::ReadFileBytes(out.path() / name);
    if (planted.contains(name)) {
      EXPECT_EQ(bytes, "an earlier run's output\r\n") << name;
      continue;
    }
    SCOPED_TRACE(name);
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(name, parts, std::regex("([0-9]{14})-([23])_IPs\\.txt")));
    EXPECT_TRUE(planted.contains(parts[1].str() + "_IPs.txt")) << "named after the run's time";
    counted.insert(name);
    contents.push_back(bytes);
    const std::string log = a.Out().find(name) != std::string::npos ? a.Out() : b.Out();
    EXPECT_NE(log.find("ALL DONE. Output file: " + out.Folder() + name), std::string::npos);
  }
  // "-3" only for the second run of one second, after the first took "-2".
  for (const auto& name : counted) {
    if (name.ends_with("-3_IPs.txt")) {
      EXPECT_TRUE(counted.contains(name.substr(0, 14) + "-2_IPs.txt")) << name;
    }
  }
  std::sort(contents.begin(), contents.end());
  EXPECT_EQ(contents, (std::vector<std::string>{AddressText("10.0.0.0", 65536),
                                                AddressText("10.1.0.0", 256)}));
  EXPECT_TRUE(test::FileNames(temp.path()).empty());
}

// A temp-folder cleaner deletes one of a block's finished temp files while the merge waits for the
// reader of the output (a pipe this test leaves unread until then).
TEST_F(CliWindowsTest, TempFileGoneBeforeTheMergeIsReportedAndCounted) {
  const TempFolderVariables temp_variables(temp.Folder());
  work.Write("prefix_list.txt", "10.0.0.0/16\n10.1.0.0/30\n");
  CliProcess run({"--jobs", "2", "--out", "-"}, work, true);

  bool deleted = false;
  for (int attempt = 0; attempt < 12000 && !deleted; ++attempt) {
    for (const auto& name : test::FileNames(temp.path())) {
      // Until its worker closes it, a temp file cannot be deleted.
      if (name.starts_with("ip_") && ::DeleteFileW((temp.path() / name).wstring().c_str())) {
        deleted = true;
        break;  // one slice only
      }
    }
    if (!deleted)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(deleted) << "no temp file could be deleted";
  const std::string output = run.ReadPipe();
  EXPECT_EQ(run.Wait(), 1);

  const std::string err = run.Err();
  std::smatch task;
  ASSERT_TRUE(std::regex_search(
      err, task,
      std::regex("ERROR: Task ([01]) error: The temp file \"[^\"]+ip_[-0-9A-F]+\\.tmp\" was gone "
                 "before the merge; its 32768 addresses are missing from the output\\.\n")))
      << err;
  EXPECT_TRUE(
      err.ends_with("Done: 10.1.0.0/30\nALL DONE. Output file: standard output\n"
                    "kestrune-cli: 1 block is incomplete: 32768 addresses are missing "
                    "from the output (see the ERROR lines)\n"))
      << err;
  const std::string kept_slice =
      task[1] == "0" ? AddressText("10.0.128.0", 32768) : AddressText("10.0.0.0", 32768);
  EXPECT_TRUE(output == kept_slice + AddressText("10.1.0.0", 4)) << "the other slice stays whole";
  EXPECT_TRUE(test::FileNames(temp.path()).empty());
}

// Ctrl+C on the console of a run: it stops at the end of a complete block, deletes the temp files
// of the block it was writing and says how many blocks the output holds. (Wine delivers Ctrl+C to
// a console's processes, but neither Ctrl+Break from another process nor the close event: closing
// the console window there ends its process outright.)
TEST_F(CliWindowsTest, CtrlCOnItsConsoleStopsAtTheEndOfACompleteBlock) {
  const TempFolderVariables temp_variables(temp.Folder());
  constexpr int kBlocks = 200;
  std::string list;
  for (int i = 0; i < kBlocks; ++i)
    list += "10." + std::to_string(i) + ".0.0/16\n";
  work.Write("prefix_list.txt", list);
  CliProcess run({"--jobs", "2", "--out", "a.txt"}, work, false, CREATE_NEW_CONSOLE);
  // Once the output holds a block and the workers have temp files open for the next one.
  const auto has_temp_file = [&] {
    const auto names = test::FileNames(temp.path());
    return std::any_of(names.begin(), names.end(),
                       [](const std::string& name) { return name.starts_with("ip_"); });
  };
  for (int wait = 0; wait < 6000; ++wait) {
    std::error_code ignored;
    if (std::filesystem::file_size(work.path() / "a.txt", ignored) > 0 && has_temp_file())
      break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::FreeConsole();
  ASSERT_TRUE(::AttachConsole(run.id())) << ::GetLastError();
  ::SetConsoleCtrlHandler(nullptr, TRUE);  // this process ignores the Ctrl+C it sends
  EXPECT_TRUE(::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) << ::GetLastError();
  ::FreeConsole();
  ::SetConsoleCtrlHandler(nullptr, FALSE);

  EXPECT_EQ(run.Wait(), 130) << run.Err();
  const std::string err = run.Err();
  std::smatch held;
  ASSERT_TRUE(std::regex_search(
      err, held,
      std::regex("kestrune-cli: stopped; the output holds ([0-9]+) complete blocks? and no temp "
                 "file is left\n$")))
      << run.Err();
  const int blocks = std::stoi(held[1]);
  EXPECT_GE(blocks, 1);
  EXPECT_LT(blocks, kBlocks);
  std::string expected;
  for (int i = 0; i < blocks; ++i)
    expected += AddressText("10." + std::to_string(i) + ".0.0", 65536);
  const std::string output = test::ReadFileBytes(work.path() / "a.txt");
  EXPECT_EQ(output.size(), expected.size());
  EXPECT_TRUE(output == expected) << "the output holds exactly the complete blocks";
  // The stop comes between blocks or while the next one is written; either way its Done line is
  // the last.
  const std::string log = run.Out();
  const std::string last_done = "Done: 10." + std::to_string(blocks - 1) + ".0.0/16\n";
  const std::string tail = log.substr(log.rfind("Done: "));
  EXPECT_TRUE(tail == last_done ||
              tail == last_done + "Processing: 10." + std::to_string(blocks) + ".0.0/16\n")
      << tail;
  EXPECT_TRUE(test::FileNames(temp.path()).empty());
}

}  // namespace
}  // namespace kestrune
