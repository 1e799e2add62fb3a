// The file system as the system sees it: Windows paths, find-first/next records with long and
// short names, attributes, the three FILETIMEs and 64-bit sizes, drives and free space.
#pragma once

#include <cstdint>
#include <memory>

#include "os/Types.h"

namespace os {

// One directory-enumeration record (WIN32_FIND_DATAW in the units Windows uses).
struct FindData {
    uint32_t attributes = 0;
    uint64_t creationTime = 0;    // 100 ns since 1601-01-01 UTC
    uint64_t lastAccessTime = 0;  // same unit
    uint64_t lastWriteTime = 0;   // same unit
    uint64_t size = 0;
    WString name;       // long name
    WString shortName;  // 8.3 alias; empty when the long name is already a valid 8.3 name
};

// An open enumeration; closing happens on destruction.
class FindHandle {
  public:
    virtual ~FindHandle() = default;
    virtual bool Next(FindData& out) = 0;
};

enum class OpenMode {
    Read,          // existing file, read access; others may read too
    CreateAlways,  // create or truncate, write access
    Append,        // open or create, write access, positioned at the end
    // Create only; fails (kErrFileExists) when any entry answers to the name. The handle may
    // also rename the file it made.
    CreateNew,
    // Existing file, read access for copying it away: others may go on reading, writing and
    // deleting it meanwhile, and with the backup privilege the file's own access rules do not
    // stand in the way.
    ReadForBackup,
};

// An open file; closing happens on destruction.
class File {
  public:
    virtual ~File() = default;
    virtual bool Read(void* buffer, uint32_t size, uint32_t& got) = 0;
    virtual bool Write(const void* data, uint32_t size, uint32_t& written) = 0;
    virtual uint64_t Size() = 0;
    // The file as it stands now, asked through this handle.
    struct State {
        uint64_t size = 0;
        uint64_t lastWriteTime = 0;
        uint32_t attributes = 0;
    };
    virtual bool QueryState(State& state) = 0;
    // Null pointers leave that time unchanged.
    virtual bool SetTimes(const uint64_t* creation, const uint64_t* lastAccess,
                          const uint64_t* lastWrite) = 0;
    // Sets the attributes through this handle (it must be open for writing); bits a file
    // cannot carry are left out, and none at all means a normal file.
    virtual bool SetAttributes(uint32_t attributes) = 0;
    // Gives the open file another name, in the same or another folder of its drive, without
    // closing it. Fails when any entry answers to the new name (kErrAlreadyExists), its short
    // name included; only a handle made by CreateNew may do it.
    virtual bool RenameTo(const WString& path) = 0;
    // Marks the file to be removed when its handle closes, however the program ends (true), or
    // keeps it again (false). Only a handle made by CreateNew may do it.
    virtual bool SetDeleteOnClose(bool remove) = 0;
};

enum class DriveType {
    Unknown = 0,
    NoRootDir = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

// MoveFileEx flags, numbered as Windows numbers them.
enum : uint32_t {
    kMoveReplaceExisting = 1,
    kMoveCopyAllowed = 2,
    kMoveDelayUntilReboot = 4,
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Null when nothing matches; otherwise `first` holds the first record.
    virtual std::unique_ptr<FindHandle> FindFirst(const WString& pattern, FindData& first) = 0;
    virtual uint32_t GetAttributes(const WString& path) = 0;  // kInvalidAttributes on failure
    virtual bool SetAttributes(const WString& path, uint32_t attributes) = 0;
    virtual bool CreateDirectory(const WString& path) = 0;
    virtual bool RemoveDirectory(const WString& path) = 0;
    virtual bool DeleteFile(const WString& path) = 0;
    virtual bool MoveFile(const WString& from, const WString& to, uint32_t flags) = 0;
    // Null on failure. New files get `attributes` (kAttrNormal for plain ones).
    virtual std::unique_ptr<File> Open(const WString& path, OpenMode mode,
                                       uint32_t attributes = kAttrNormal) = 0;

    virtual uint32_t LogicalDrives() = 0;  // bit 0 = A:
    virtual DriveType GetDriveType(const WString& root) = 0;
    virtual bool GetVolumeInformation(const WString& root, WString& volumeName,
                                      WString& fileSystemName) = 0;
    // Whole-volume totals, not the caller's quota.
    virtual bool GetDiskFreeSpace(const WString& root, uint64_t& totalBytes,
                                  uint64_t& freeBytes) = 0;

    // The error code of the last failed call of this file system (the thread's last error).
    virtual uint32_t LastError() = 0;

    // A hint, which a file system may ignore: the files directly in `folder` are about to be
    // read one after another in listing order, after the first `skipFiles`; an empty folder
    // ends the hint. The system may start reading them in the background meanwhile.
    virtual void ReadAhead(const WString& /*folder*/, uint32_t /*skipFiles*/) {}
    // The next file of the hinted folder is being read now.
    virtual void ReadAheadStep() {}
};

}  // namespace os
