// The file system of this PC through the wide Win32 API.
#pragma once

#include "os/FileSystem.h"
#include "os/win32/Win32ReadAhead.h"

namespace os::win32 {

class Win32FileSystem : public FileSystem {
  public:
    std::unique_ptr<FindHandle> FindFirst(const WString& pattern, FindData& first) override;
    uint32_t GetAttributes(const WString& path) override;
    bool SetAttributes(const WString& path, uint32_t attributes) override;
    bool CreateDirectory(const WString& path) override;
    bool RemoveDirectory(const WString& path) override;
    bool DeleteFile(const WString& path) override;
    bool MoveFile(const WString& from, const WString& to, uint32_t flags) override;
    std::unique_ptr<File> Open(const WString& path, OpenMode mode,
                               uint32_t attributes = kAttrNormal) override;

    uint32_t LogicalDrives() override;
    DriveType GetDriveType(const WString& root) override;
    bool GetVolumeInformation(const WString& root, WString& volumeName,
                              WString& fileSystemName) override;
    bool GetDiskFreeSpace(const WString& root, uint64_t& totalBytes, uint64_t& freeBytes) override;

    uint32_t LastError() override;

    void ReadAhead(const WString& folder, uint32_t skipFiles) override;
    void ReadAheadStep() override;

  private:
    Win32ReadAhead m_readAhead;
};

}  // namespace os::win32
