#pragma once
// kestrune-skin, the command-line tool for skin authors, as a function the tests can call.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune::skin_tool {

// Exit statuses of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitInvalid = 1;  // The archive or folder cannot be used; reason on `err`.
inline constexpr int kExitUsage = 2;

// Runs the tool with `arguments` (without the program name, UTF-8), printing results to `out`
// and messages to `err`; returns the exit status.
int RunSkinTool(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err);

// True when `name` can only mean a file directly inside the target folder: not empty, not "." or
// "..", and free of path separators, drive colons, control characters and the other characters
// Windows refuses in file names.
[[nodiscard]] bool IsPlainFileName(std::string_view name);

}  // namespace kestrune::skin_tool
