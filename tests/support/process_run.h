#pragma once
// Runs another program of the build and collects what it printed, for end-to-end tests.

#include <string>
#include <vector>

namespace kestrune::test {

struct ProcessResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// Runs `program` with `arguments` in `working_folder`; standard input is empty.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& working_folder);

#ifdef _WIN32
// One argument quoted for a Windows command line, so that the child's parser gives it back
// unchanged (backslashes before a quote, the closing one included, are doubled).
std::wstring QuoteArgument(const std::string& word);
#endif

}  // namespace kestrune::test
