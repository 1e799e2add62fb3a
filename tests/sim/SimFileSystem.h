// An in-memory file system with Windows semantics for simulated PCs: drives by letter with
// types, volume names and free space that can run out; case-insensitive names that keep their
// case; 8.3 aliases; attributes; three times from a virtual clock; sharing between open handles;
// MoveFileEx flags; and hooks that make files locked or unreadable, drives fail or vanish.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/FileSystem.h"
#include "sim/SimFsNode.h"
#include "sim/SimPath.h"

namespace sim {

// 2024-01-01 00:00:00 UTC in FILETIME units, the default clock of a new file system.
constexpr uint64_t kDefaultFileTime = 133485408000000000ull;
// Extra Windows error codes the simulated file system gives.
constexpr uint32_t kErrWriteFault = 29;
constexpr uint32_t kErrDirectory = 267;  // "The directory name is invalid."
constexpr uint32_t kErrLockViolation = 33;

struct SimTimes {
    uint64_t creation = 0;
    uint64_t access = 0;
    uint64_t write = 0;
};

struct SimPendingMove {
    os::WString from;
    os::WString to;
    uint32_t flags = 0;
};

class SimFileSystem : public os::FileSystem {
  public:
    SimFileSystem();
    ~SimFileSystem() override;
    SimFileSystem(const SimFileSystem&) = delete;
    SimFileSystem& operator=(const SimFileSystem&) = delete;

    // os::FileSystem
    std::unique_ptr<os::FindHandle> FindFirst(const os::WString& pattern,
                                              os::FindData& first) override;
    uint32_t GetAttributes(const os::WString& path) override;
    bool SetAttributes(const os::WString& path, uint32_t attributes) override;
    bool CreateDirectory(const os::WString& path) override;
    bool RemoveDirectory(const os::WString& path) override;
    bool DeleteFile(const os::WString& path) override;
    bool MoveFile(const os::WString& from, const os::WString& to, uint32_t flags) override;
    std::unique_ptr<os::File> Open(const os::WString& path, os::OpenMode mode,
                                   uint32_t attributes = os::kAttrNormal) override;
    uint32_t LogicalDrives() override;
    os::DriveType GetDriveType(const os::WString& root) override;
    bool GetVolumeInformation(const os::WString& root, os::WString& volumeName,
                              os::WString& fileSystemName) override;
    bool GetDiskFreeSpace(const os::WString& root, uint64_t& totalBytes,
                          uint64_t& freeBytes) override;
    uint32_t LastError() override { return m_lastError; }

    // The virtual clock that stamps new entries and writes (FILETIME units).
    void SetNow(uint64_t fileTime) { m_now = fileTime; }
    uint64_t Now() const { return m_now; }

    // Drives. A drive without medium (an empty CD-ROM) is listed and typed but not readable.
    bool AddDrive(char16_t letter, os::DriveType type, const os::WString& fileSystemName,
                  const os::WString& volumeName, uint64_t capacityBytes);
    bool RemoveDrive(char16_t letter);  // open handles on it fail from now on
    bool SetMediumPresent(char16_t letter, bool present);
    bool SetWriteFault(char16_t letter, bool fault);  // every Write fails with kErrWriteFault
    // Replaces the free space GetDiskFreeSpace reports; writes still stop at the capacity.
    bool SetFreeSpaceOverride(char16_t letter, std::optional<uint64_t> freeBytes);
    uint64_t UsedBytes(char16_t letter) const;

    // Set-up helpers: they create missing parent folders and ignore read-only bits and open
    // handles; false for a bad path, a missing drive or a full disk.
    bool MakeFolders(const os::WString& path, uint32_t attributes = 0);
    bool WriteFile(const os::WString& path, std::string_view bytes,
                   uint32_t attributes = os::kAttrArchive,
                   const std::optional<SimTimes>& times = std::nullopt);
    std::optional<std::string> ReadFile(const os::WString& path) const;
    bool Exists(const os::WString& path) const;
    // The entry goes when the handle that asked for it closes, the program's end included.
    bool DeletePending(const os::WString& path) const;
    bool SetTimes(const os::WString& path, const SimTimes& times);

    // Fault hooks.
    bool SetLocked(const os::WString& path, bool locked);          // sharing violation on every use
    bool SetUnreadable(const os::WString& path, bool unreadable);  // a folder: not listed
    bool SetHeldSharing(const os::WString& path, bool held);
    bool SetLockedRange(const os::WString& path, uint64_t offset, uint64_t length);
    // The size directory listings report for the file from now on.
    bool SetListedSize(const os::WString& path, uint64_t size);
    bool ForceRemove(const os::WString& path);  // the entry vanishes, open or not
    // The first read that reaches byte `offset` of the file sets off `kind` (SimFsNode.h).
    bool SetReadFault(const os::WString& path, uint64_t offset, SimReadFault kind);
    // Renames an entry whatever length its paths then have, as a program using
    // extended-length paths can: the way to plant trees deeper than MAX_PATH.
    bool RenameBeyondMaxPath(const os::WString& path, const os::WString& newName);

    const std::vector<SimPendingMove>& PendingMoves() const { return m_pendingMoves; }

    // A deterministic listing of everything below `folder`, one line per entry in name order:
    // "DRHSA size hash ctime atime wtime relative\path" (folders end in "\"; hash is FNV-1a of
    // the content). Times are left out when `withTimes` is false. Empty for a missing folder.
    std::string Dump(const os::WString& folder, bool withTimes = true) const;

    // Calls since the start: what a walk or a copy costs in opens and listing.
    uint64_t OpenCalls() const { return m_openCalls; }
    uint64_t FindFirstCalls() const { return m_findFirstCalls; }
    uint64_t FindRecords() const { return m_findRecords; }  // records handed out by FindNext

    int OpenFileCount() const { return m_openFiles; }
    int OpenFindCount() const { return m_openFinds; }
    int OpenHandleCount() const { return m_openFiles + m_openFinds; }

  private:
    friend class SimOpenFile;
    friend class SimFindHandle;

    // The result of walking a parsed path: the drive, the folder holding the last component
    // and the node itself (null when only the last component is missing).
    struct Lookup {
        std::shared_ptr<SimDrive> drive;
        std::shared_ptr<SimNode> parent;
        std::shared_ptr<SimNode> node;
    };
    uint32_t Resolve(const SimPath& path, Lookup& out) const;
    uint32_t ResolveText(const os::WString& text, PathUse use, SimPath& path, Lookup& out) const;
    std::shared_ptr<SimDrive> DriveOf(char16_t letter) const;
    std::shared_ptr<SimDrive> DriveOfRoot(const os::WString& root) const;

    bool Fail(uint32_t code) {
        m_lastError = code;
        return false;
    }
    std::shared_ptr<SimNode> AddChild(SimNode& parent, const os::WString& name, bool isDir,
                                      uint32_t attributes);
    void Detach(SimDrive& drive, SimNode& node);
    static bool AnyOpenBelow(const SimNode& node);
    static uint64_t ContentBytes(const SimNode& node);
    static os::FindData Record(const SimNode& node, const os::WString& name);
    static void MarkGone(SimNode& node);
    // False when a read at `position` of `size` bytes must fail (the error is set).
    bool TripReadFault(SimDrive& drive, SimNode& node, uint64_t position, uint32_t size);
    bool MoveAcrossDrives(const Lookup& from, const Lookup& to, const SimPath& toPath,
                          uint32_t flags);

    std::map<char16_t, std::shared_ptr<SimDrive>> m_drives;
    std::vector<SimPendingMove> m_pendingMoves;
    uint64_t m_now = kDefaultFileTime;
    uint32_t m_lastError = 0;
    int m_openFiles = 0;
    int m_openFinds = 0;
    uint64_t m_openCalls = 0;
    uint64_t m_findFirstCalls = 0;
    uint64_t m_findRecords = 0;
};

}  // namespace sim
