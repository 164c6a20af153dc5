#pragma once
// A program of the build started in a process of its own, for tests that drive its window from
// outside as a user would. The window is only worth looking at once the program has settled:
// its show animation and the cover windows of its first activations come and go after the form
// is already visible, and a test that counts or hovers windows before then sees them.

#include <windows.h>

#include <chrono>
#include <string>

namespace kestrune::test {

class RunningProgram {
 public:
  // Starts `program` (a Linux path of the build or a Windows path) with `arguments` in
  // `working_folder` (empty: the test's own) and waits up to a minute for its visible top-level
  // window of class `form_class`.
  explicit RunningProgram(const std::string& program, const std::string& working_folder = {},
                          const std::wstring& arguments = {},
                          const wchar_t* form_class = L"KestruneForm");
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;
  // Closes the form and waits for the process (ended by force after `close_limit`).
  ~RunningProgram();

  // Waits until the program has settled: it waits for input (a console program has no such
  // state), its form is the foreground window and is no longer layered (the show animation has
  // ended), and the form is the program's only visible top-level window. True when it did within
  // `limit`.
  [[nodiscard]] bool WaitUntilSettled(std::chrono::milliseconds limit = std::chrono::seconds(30));

  [[nodiscard]] bool Started() const { return process_.hProcess != nullptr; }
  [[nodiscard]] HWND Form() const { return form_; }
  [[nodiscard]] DWORD Pid() const { return process_.dwProcessId; }
  [[nodiscard]] HANDLE Process() const { return process_.hProcess; }
  // The process has not ended.
  [[nodiscard]] bool Running() const;

  std::chrono::milliseconds close_limit{10000};

 private:
  PROCESS_INFORMATION process_{};
  HWND form_ = nullptr;
};

}  // namespace kestrune::test
