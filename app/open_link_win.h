#pragma once
// Hands a web address to the browser program without waiting for it.

#include <windows.h>

#include <functional>
#include <string_view>

namespace kestrune {

// The shell's "open" of `file` with `parameters` (nullptr for none); returns ShellExecute's
// result, above 32 on success.
using ShellOpen = std::function<INT_PTR(const wchar_t* file, const wchar_t* parameters)>;

[[nodiscard]] INT_PTR SystemShellOpen(const wchar_t* file, const wchar_t* parameters);

// Opens `link` in "chrome.exe". When the system reports that program could not be started, the
// address goes to the system's default handler for it instead. Nothing is reported either way.
void OpenLink(std::string_view link, const ShellOpen& shell_open = SystemShellOpen);

}  // namespace kestrune
