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

}  // namespace kestrune::test
