// An open file of the Win32 file system: a CreateFileW handle closed on destruction.
#pragma once

#include "os/win32/WinApi.h"

#include "os/FileSystem.h"

namespace os::win32 {

class Win32File : public File {
  public:
    explicit Win32File(HANDLE handle) : m_hFile(handle) {}
    ~Win32File() override;
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    bool Read(void* buffer, uint32_t size, uint32_t& got) override;
    bool Write(const void* data, uint32_t size, uint32_t& written) override;
    uint64_t Size() override;
    bool QueryState(State& state) override;
    bool SetTimes(const uint64_t* creation, const uint64_t* lastAccess,
                  const uint64_t* lastWrite) override;
    bool SetAttributes(uint32_t attributes) override;
    bool RenameTo(const WString& path) override;
    bool SetDeleteOnClose(bool remove) override;

  private:
    HANDLE m_hFile;
};

}  // namespace os::win32
