// Dispatching one message of the thread's queue the way every loop of the program does:
// dialog keyboard navigation first, then translate and dispatch.
#pragma once

#include "os/win32/WinApi.h"

namespace os::win32 {

void DispatchQueuedMessage(MSG& msg);

// Waits for the next message and dispatches it. False when WM_QUIT came; it is posted again
// for the loop that owns the thread.
bool WaitAndDispatchOne();

}  // namespace os::win32
