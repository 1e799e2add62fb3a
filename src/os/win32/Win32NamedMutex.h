// A named kernel mutex held by this process; released and closed on destruction.
#pragma once

#include "os/System.h"
#include "os/win32/WinApi.h"

namespace os::win32 {

class Win32NamedMutex : public NamedMutex {
  public:
    explicit Win32NamedMutex(HANDLE handle) : m_hMutex(handle) {}
    ~Win32NamedMutex() override;
    Win32NamedMutex(const Win32NamedMutex&) = delete;
    Win32NamedMutex& operator=(const Win32NamedMutex&) = delete;

  private:
    HANDLE m_hMutex;
};

}  // namespace os::win32
