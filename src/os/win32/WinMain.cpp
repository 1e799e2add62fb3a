// The program's entry point: the Win32 platform objects, then the application.
#include "os/win32/WinApi.h"

#include <commctrl.h>

#include "app/TandrixApp.h"
#include "os/Platform.h"
#include "os/win32/Win32FileSystem.h"
#include "os/win32/Win32Net.h"
#include "os/win32/Win32Shell.h"
#include "os/win32/Win32System.h"
#include "os/win32/Win32Ui.h"

namespace {

// Files other programs keep from the user (and an elevated program may read for backup) are
// opened with backup semantics; the privilege that lets those opens pass is enabled once here.
// Without it (a standard user) nothing changes.
void EnableBackupPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        return;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, SE_BACKUP_NAME, &privileges.Privileges[0].Luid)) {
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    CloseHandle(token);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Progress bars and the version 6 controls the manifest asks for.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    EnableBackupPrivilege();

    os::win32::Win32FileSystem fs;
    os::win32::Win32System sys;
    os::win32::Win32Shell shell;
    os::win32::Win32Ui ui(instance);
    os::win32::Win32Net net;
    os::Platform platform{fs, sys, shell, ui, net};

    CTandrixApp app(platform);
    return app.Run();
}
