#include "tests/support/program_win.h"

#include "tests/support/build_path.h"
#include "tests/support/process_run.h"
#include "tests/support/wait_for.h"
#include "tests/support/windows_of_win.h"

namespace kestrune::test {

using namespace std::chrono_literals;

RunningProgram::RunningProgram(const std::string& program, const std::string& working_folder,
                               const std::wstring& arguments, const wchar_t* form_class) {
  std::wstring command = QuoteArgument(BuildPath(program));
  if (!arguments.empty())
    command += L" " + arguments;
  const std::string folder = BuildPath(working_folder);
  const std::wstring working(folder.begin(), folder.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       working.empty() ? nullptr : working.c_str(), &startup, &process_) == FALSE) {
    process_ = {};
    return;
  }
  ::CloseHandle(process_.hThread);
  process_.hThread = nullptr;
  WaitFor(
      [&] {
        const auto forms = VisibleTopLevelWindows(process_.dwProcessId, form_class);
        form_ = forms.empty() ? nullptr : forms.front();
        return form_ != nullptr || !Running();
      },
      60s);
}

RunningProgram::~RunningProgram() {
  if (process_.hProcess == nullptr)
    return;
  if (form_ != nullptr)
    ::PostMessageW(form_, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process_.hProcess, static_cast<DWORD>(close_limit.count())) !=
      WAIT_OBJECT_0)
    ::TerminateProcess(process_.hProcess, 3);
  ::CloseHandle(process_.hProcess);
}

bool RunningProgram::Running() const {
  return process_.hProcess != nullptr &&
         ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool RunningProgram::WaitUntilSettled(std::chrono::milliseconds limit) {
  if (form_ == nullptr)
    return false;
  const auto settled = [&] {
    // A console program has no input-idle state (WAIT_FAILED): its windows alone tell.
    if (::WaitForInputIdle(process_.hProcess, 0) == WAIT_TIMEOUT ||
        ::GetForegroundWindow() != form_ ||
        (::GetWindowLongPtrW(form_, GWL_EXSTYLE) & WS_EX_LAYERED) != 0)
      return false;
    const auto windows = TopLevelWindows(process_.dwProcessId);
    return windows.size() == 1 && windows.front() == form_;
  };
  return WaitFor(settled, limit, 10ms);
}

}  // namespace kestrune::test
