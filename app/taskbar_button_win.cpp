#include "app/taskbar_button_win.h"

#include <objbase.h>
#include <shobjidl.h>

namespace kestrune {
namespace {

class SystemTaskbarButton final : public TaskbarButton {
 public:
  SystemTaskbarButton(HWND window, ITaskbarList3* list, bool com_started)
      : window_(window), list_(list), com_started_(com_started) {}
  SystemTaskbarButton(const SystemTaskbarButton&) = delete;
  SystemTaskbarButton& operator=(const SystemTaskbarButton&) = delete;
  ~SystemTaskbarButton() override {
    list_->Release();
    if (com_started_)
      ::CoUninitialize();
  }

  // The list's answers change nothing for the run: a button that cannot show progress shows none.
  void SetState(TaskbarState state) override {
    const TBPFLAG flags[] = {TBPF_NOPROGRESS, TBPF_NORMAL, TBPF_ERROR};
    static_cast<void>(list_->SetProgressState(window_, flags[static_cast<int>(state)]));
  }
  void SetValue(int done, int total) override {
    static_cast<void>(list_->SetProgressValue(window_, static_cast<ULONGLONG>(done),
                                              static_cast<ULONGLONG>(total)));
  }

 private:
  HWND window_;
  ITaskbarList3* list_;
  bool com_started_;
};

}  // namespace

std::unique_ptr<TaskbarButton> CreateTaskbarButton(HWND window) {
  const bool com_started = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  ITaskbarList3* list = nullptr;
  if (SUCCEEDED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&list)))) {
    if (SUCCEEDED(list->HrInit()))
      return std::make_unique<SystemTaskbarButton>(window, list, com_started);
    list->Release();
  }
  if (com_started)
    ::CoUninitialize();
  return nullptr;
}

}  // namespace kestrune
