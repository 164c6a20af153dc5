#pragma once
// Finds another process's windows, for tests that drive a program from outside.

#include <windows.h>

#include <string>
#include <vector>

namespace kestrune::test {

// The visible top-level windows of `process_id` whose class is `class_name` (case ignored).
[[nodiscard]] std::vector<HWND> VisibleTopLevelWindows(DWORD process_id, const wchar_t* class_name);

// The top-level windows of `process_id` (0: of every process), whatever their class; visible
// ones only unless `hidden_too`.
[[nodiscard]] std::vector<HWND> TopLevelWindows(DWORD process_id, bool hidden_too = false);

// One line on `window` for a test's output: handle, process, class, text, styles, rectangle.
[[nodiscard]] std::string DescribeWindow(HWND window);

// `text` with every character outside ASCII as '?', for a test's output.
[[nodiscard]] std::string Narrow(const std::wstring& text);

// The text of the control `name` of a form of this program's framework in another process, also
// of a label, which has no window: the form tells it through a global atom. "<no label>" when
// the form knows no such control.
[[nodiscard]] std::string ControlText(HWND form, const wchar_t* name);

// Every window below `parent`, children of children too.
[[nodiscard]] std::vector<HWND> ChildWindows(HWND parent);

}  // namespace kestrune::test
