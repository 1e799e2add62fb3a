// The drive table (at most one entry per drive letter), the enumeration of this PC's fixed
// and optical drives, and free-space queries in whole units of 1,000,000 bytes.
#pragma once

#include <cstdint>

#include "os/FileSystem.h"
#include "os/System.h"

class CDrive {
  public:
    static constexpr int kMaxDrives = 26;

    CDrive();
    virtual ~CDrive();

    // Appends one drive; refuses (false) when all 26 slots are taken.
    bool AddDrive(const os::WString& root, const os::WString& type, int32_t freeMB, int32_t totalMB,
                  const os::WString& fileSystem);
    void Clear();

    int Count() const { return m_nCount; }
    // Getters take an index below Count(); others give empty text or 0.
    os::WString GetRoot(int i) const;
    os::WString GetType(int i) const;
    os::WString GetFileSystem(int i) const;
    int32_t GetFreeMB(int i) const;
    int32_t GetTotalMB(int i) const;
    os::WString GetFreeText(int i) const;
    os::WString GetTotalText(int i) const;

  private:
    bool Valid(int i) const { return i >= 0 && i < m_nCount; }

    os::WString m_sRoot[kMaxDrives];
    os::WString m_sType[kMaxDrives];
    int32_t m_nFreeMB[kMaxDrives] = {};
    int32_t m_nTotalMB[kMaxDrives] = {};
    os::WString m_sFileSystem[kMaxDrives];
    int m_nCount = 0;
};

// Adds every local fixed disk and optical drive; the system drive's root is upper case,
// every other root lower case. The table is not cleared first.
void GetMyDrive(os::FileSystem& fs, os::System& sys, CDrive& table);

struct DiskSpace {
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;
};
DiskSpace GetDiskSpace(os::FileSystem& fs, char16_t letter);
// Whole units of 1,000,000 bytes, rounded down (saturating at the 32-bit maximum).
int32_t BytesToMB(uint64_t bytes);
// True when `neededMB` is strictly less than the drive's free space in MB.
bool HasFreeSpace(os::FileSystem& fs, char16_t letter, int32_t neededMB);
