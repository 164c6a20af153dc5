#pragma once
// Messages a thread sends to its own windows, told apart from those another thread or process
// sends or posts, so that a window procedure reads through a pointer in a message only when
// its own thread put it there. InSendMessage() cannot tell: it is false for a posted message,
// whatever loop dispatches it, and stays true for the thread's own sends made while it handles
// a message from elsewhere. Include only from Windows sources.

#include <windows.h>

namespace kestrune::platform {

// SendMessageW that marks the message as this thread's own while `window` handles it. To a
// window of another thread it is a plain send: that thread did not send it.
LRESULT SendOwnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// True when the message a window procedure of `window` is handling, given by its parameters,
// is the one this thread is sending through SendOwnMessage right now. A posted copy, or one
// sent from elsewhere, is not, unless it matches that send to the last bit.
[[nodiscard]] bool IsOwnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace kestrune::platform
