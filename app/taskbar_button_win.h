#pragma once
// The window's task-bar button through the system's task-bar list.

#include <windows.h>

#include <memory>

#include "app/taskbar_progress.h"

namespace kestrune {

// The button of `window`, once the system has announced it ("TaskbarButtonCreated"); null where
// the system offers no task-bar list or it does not start.
[[nodiscard]] std::unique_ptr<TaskbarButton> CreateTaskbarButton(HWND window);

}  // namespace kestrune
