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

// Turns Ctrl+C and requests to end the program (SIGINT and SIGTERM; on Windows also Ctrl+Break,
// closing the console, logging off and shutting down) into a stop request that the program
// answers at its own pace: StopRequestStatus() then tells the exit status to end with.
void CatchStopRequests();

// 0 while nobody has asked the program to stop; else 130 after an interrupt (Ctrl+C) and 143
// after a request to end it.
[[nodiscard]] int StopRequestStatus();

// Tells a console that waits for the program to end (one being closed) that it may end it now.
void StopRequestHandled();

}  // namespace kestrune::platform
