// An open FindFirstFileW enumeration, closed with FindClose on destruction.
#pragma once

#include "os/win32/WinApi.h"

#include "os/FileSystem.h"

namespace os::win32 {

// Copies one WIN32_FIND_DATAW into the boundary's record.
void ToFindData(const WIN32_FIND_DATAW& in, FindData& out);

class Win32FindHandle : public FindHandle {
  public:
    explicit Win32FindHandle(HANDLE handle) : m_hFind(handle) {}
    ~Win32FindHandle() override;
    Win32FindHandle(const Win32FindHandle&) = delete;
    Win32FindHandle& operator=(const Win32FindHandle&) = delete;

    bool Next(FindData& out) override;

  private:
    HANDLE m_hFind;
};

}  // namespace os::win32
