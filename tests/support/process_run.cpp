#include "tests/support/process_run.h"

#include <filesystem>

#include "tests/support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kestrune::test {

#ifdef _WIN32

namespace {

std::wstring Wide(const std::string& text) {
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), n);
  wide.resize(static_cast<std::size_t>(n > 0 ? n - 1 : 0));
  return wide;
}

// Console output of a Windows program ends its lines with CR LF; the tests compare lines.
std::string WithoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

HANDLE InheritableFile(const std::filesystem::path& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return ::CreateFileW(path.wstring().c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::wstring QuoteArgument(const std::string& word) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : Wide(word)) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& working_folder) {
  TempDir capture;
  const auto out_path = capture.path() / "out.txt";
  const auto err_path = capture.path() / "err.txt";
  const auto in_path = capture.path() / "in.txt";
  ProcessResult result;
  {
    HANDLE in = InheritableFile(in_path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE out = InheritableFile(out_path, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = InheritableFile(err_path, GENERIC_WRITE, CREATE_ALWAYS);
    std::wstring command = QuoteArgument(program);
    for (const auto& argument : arguments)
      command += L" " + QuoteArgument(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const std::wstring folder = Wide(working_folder);
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         folder.c_str(), &startup, &process)) {
      ::WaitForSingleObject(process.hProcess, INFINITE);
      DWORD code = 0;
      ::GetExitCodeProcess(process.hProcess, &code);
      result.exit_code = static_cast<int>(code);
      ::CloseHandle(process.hThread);
      ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(in);
    ::CloseHandle(out);
    ::CloseHandle(err);
  }
  result.out = WithoutCarriageReturns(ReadFileBytes(out_path));
  result.err = WithoutCarriageReturns(ReadFileBytes(err_path));
  return result;
}

#else

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& working_folder) {
  TempDir capture;
  const auto out_path = capture.path() / "out.txt";
  const auto err_path = capture.path() / "err.txt";
  ProcessResult result;
  const pid_t child = ::fork();
  if (child == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (::chdir(working_folder.c_str()) != 0)
      ::_exit(126);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    result.exit_code = WEXITSTATUS(status);
  }
  result.out = ReadFileBytes(out_path);
  result.err = ReadFileBytes(err_path);
  return result;
}

#endif

}  // namespace kestrune::test
