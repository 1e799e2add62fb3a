// Release of the single-instance mutex at exit.
#include "os/win32/Win32NamedMutex.h"

namespace os::win32 {

Win32NamedMutex::~Win32NamedMutex() {
    // Fails harmlessly when this process opened a mutex another one owns.
    ReleaseMutex(m_hMutex);
    CloseHandle(m_hMutex);
}

}  // namespace os::win32
