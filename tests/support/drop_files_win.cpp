#include "tests/support/drop_files_win.h"

#include <shlobj.h>

#include <string>

namespace kestrune::test {

bool DropFiles(HANDLE process, HWND window, const std::vector<std::filesystem::path>& paths) {
  std::wstring names;
  for (const auto& path : paths)
    names.append(path.wstring()).push_back(L'\0');
  names.push_back(L'\0');
  DROPFILES header{};
  header.pFiles = sizeof header;
  header.fWide = TRUE;
  std::string record(reinterpret_cast<const char*>(&header), sizeof header);
  record.append(reinterpret_cast<const char*>(names.data()), names.size() * sizeof(wchar_t));
  void* remote =
      ::VirtualAllocEx(process, nullptr, record.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  return remote != nullptr &&
         ::WriteProcessMemory(process, remote, record.data(), record.size(), nullptr) &&
         ::PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

}  // namespace kestrune::test
