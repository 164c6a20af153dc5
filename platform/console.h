#pragma once
// What a command-line program needs from its console: its arguments as UTF-8 and whether a
// stream is a terminal.

#include <cstdio>
#include <string>
#include <vector>

namespace kestrune::platform {

// The program's arguments, without the program name, as UTF-8 text.
[[nodiscard]] std::vector<std::string> CommandLineArguments(int argc, char** argv);

// True when `stream` is an interactive terminal.
[[nodiscard]] bool IsTerminal(std::FILE* stream);

// Makes the console show UTF-8 output as text (a no-op where that is already so).
void UseUtf8Console();

}  // namespace kestrune::platform
