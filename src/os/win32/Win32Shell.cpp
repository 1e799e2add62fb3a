// Opening a document or folder with a verb through the shell.
#include "os/win32/Win32Shell.h"

#include "os/win32/WinApi.h"

#include <shellapi.h>

#include "os/win32/WinText.h"

namespace os::win32 {

bool Win32Shell::Open(const WString& verb, const WString& path) {
    HINSTANCE result =
        ShellExecuteW(nullptr, WOrNull(verb), W(path), nullptr, nullptr, SW_SHOWNORMAL);
    // Values up to 32 are error codes.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace os::win32
