// The shared message dispatch of Win32Ui::PumpMessages and the socket waits.
#include "os/win32/MessagePump.h"

namespace os::win32 {

namespace {

bool IsDialog(HWND hwnd) {
    return GetClassLongPtrW(hwnd, GCW_ATOM) == reinterpret_cast<ULONG_PTR>(WC_DIALOG);
}

}  // namespace

void DispatchQueuedMessage(MSG& msg) {
    // Keyboard navigation (Tab, Enter, Esc) for modeless dialogs.
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && IsDialog(root) && IsDialogMessageW(root, &msg)) {
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

bool WaitAndDispatchOne() {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
        }
        return false;
    }
    DispatchQueuedMessage(msg);
    return true;
}

}  // namespace os::win32
