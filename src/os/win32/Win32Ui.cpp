// Dialog windows, message boxes and the pump for the Win32 build.
#include "os/win32/Win32Ui.h"

#include "os/win32/MessagePump.h"
#include "os/win32/Win32DialogWindow.h"
#include "os/win32/WinText.h"

namespace os::win32 {

std::unique_ptr<DialogWindow> Win32Ui::CreateDialogWindow(Dialog& dialog, int templateId,
                                                          Dialog* parent) {
    return std::make_unique<Win32DialogWindow>(m_hModule, dialog, templateId, parent);
}

int Win32Ui::MessageBox(Dialog* owner, const WString& text, const WString& title, unsigned type) {
    return MessageBoxW(Win32DialogWindow::HandleOf(owner), W(text), W(title), type);
}

void Win32Ui::PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave it for the loop that owns the thread (a modal dialog or wWinMain).
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchQueuedMessage(msg);
    }
}

void Win32Ui::PostQuit(int exitCode) {
    PostQuitMessage(exitCode);
}

void Win32Ui::NudgeDesktop() {
    // Posted, not sent: the desktop belongs to another process that may be busy.
    HWND desktop = GetDesktopWindow();
    PostMessageW(desktop, WM_KEYDOWN, VK_SHIFT, 0);
    PostMessageW(desktop, WM_KEYUP, VK_SHIFT, 0);
}

}  // namespace os::win32
