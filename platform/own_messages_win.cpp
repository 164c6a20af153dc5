#include "platform/own_messages_win.h"

namespace kestrune::platform {
namespace {

struct OwnSend {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  const OwnSend* outer;
};

// The innermost message this thread is sending to one of its windows. A handler's own sends
// nest inside it and are over before it goes on, so only the innermost one is being handled.
thread_local const OwnSend* t_innermost = nullptr;

class InnermostSend {
 public:
  explicit InnermostSend(const OwnSend& send) : outer_(send.outer) { t_innermost = &send; }
  InnermostSend(const InnermostSend&) = delete;
  InnermostSend& operator=(const InnermostSend&) = delete;
  ~InnermostSend() { t_innermost = outer_; }

 private:
  const OwnSend* outer_;
};

}  // namespace

LRESULT SendOwnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId())
    return ::SendMessageW(window, message, wparam, lparam);
  const OwnSend send{window, message, wparam, lparam, t_innermost};
  const InnermostSend marked(send);
  return ::SendMessageW(window, message, wparam, lparam);
}

bool IsOwnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const OwnSend* send = t_innermost;
  return send != nullptr && send->window == window && send->message == message &&
         send->wparam == wparam && send->lparam == lparam;
}

}  // namespace kestrune::platform
