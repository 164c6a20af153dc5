#pragma once
// Files dropped on a window of another process as the shell drops them: the drop record in that
// process's memory, its address posted in WM_DROPFILES. The record stays there (the window's
// DragFinish does not own it); a test's or tool's few drops leave a few bytes behind.

#include <windows.h>

#include <filesystem>
#include <vector>

namespace kestrune::test {

// `process` needs PROCESS_VM_OPERATION and PROCESS_VM_WRITE. False when the record could not be
// written or the message not posted.
[[nodiscard]] bool DropFiles(HANDLE process, HWND window,
                             const std::vector<std::filesystem::path>& paths);

}  // namespace kestrune::test
