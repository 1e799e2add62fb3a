// The in-memory records behind the simulated file system: one node per file or folder and one
// record per drive. Shared by SimFileSystem and the open-file and enumeration objects it hands
// out, which keep their node alive so that a vanished folder never leaves a dangling pointer.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "os/FileSystem.h"

namespace sim {

// Attribute bits SetFileAttributes can change (the rest are implied or ignored).
constexpr uint32_t kSettableAttributes = os::kAttrReadOnly | os::kAttrHidden | os::kAttrSystem |
                                         os::kAttrArchive | os::kAttrTemporary | 0x1000 | 0x2000;

// What happens to a file while a reader is inside it (SimFileSystem::SetReadFault).
enum class SimReadFault {
    Fail,    // reads from the offset on fail, as under another program's byte-range lock
    Shrink,  // the file is cut at the offset by its writer
    Vanish,  // the file is deleted (or its medium pulled) under the open handle
    Change,  // its writer rewrites the bytes from the offset on, same size
    Lock,    // another program takes it without sharing: reads fail, later opens too
};

struct SimReadFaultAt {
    uint64_t offset = 0;
    SimReadFault kind = SimReadFault::Fail;
};

struct SimNode {
    bool isDir = false;
    os::WString name;
    os::WString shortName;    // empty when `name` is a valid 8.3 name
    uint32_t attributes = 0;  // settable bits only; kAttrDirectory is implied by isDir
    uint64_t creation = 0;
    uint64_t access = 0;
    uint64_t write = 0;
    std::string data;
    SimNode* parent = nullptr;  // null for a root and for a node taken out of the tree
    std::map<os::WString, std::shared_ptr<SimNode>> children;  // by upper-cased name

    // Test hooks and open state.
    bool locked = false;      // another process holds it without sharing
    bool unreadable = false;  // reading fails with access denied
    // Another program holds it open for writing and lets others read, write and delete it (a
    // mail store, a log): only a reader that shares writing too may open it.
    bool heldSharing = false;
    // A byte range another program has locked: a read that touches it fails.
    std::optional<std::pair<uint64_t, uint64_t>> lockedRange;  // offset, length
    bool gone = false;           // removed behind the back of an open handle
    bool deletePending = false;  // removed when the handle that asked for it closes
    // The size a directory listing reports instead of the content's (a file that changes
    // while it is being sent, or a giant one the test does not hold in memory).
    std::optional<uint64_t> listedSize;
    std::optional<SimReadFaultAt> readFault;  // trips when a read reaches its offset
    int readers = 0;
    int writers = 0;

    // The attributes GetFileAttributes reports (FILE_ATTRIBUTE_NORMAL when a file has none).
    uint32_t Reported() const {
        if (isDir) {
            return attributes | os::kAttrDirectory;
        }
        return attributes == 0 ? os::kAttrNormal : attributes;
    }
};

struct SimDrive {
    char16_t letter = 0;
    os::DriveType type = os::DriveType::Fixed;
    os::WString fileSystemName;
    os::WString volumeName;
    uint64_t capacity = 0;
    uint64_t used = 0;  // bytes of file content on the drive
    std::optional<uint64_t> freeOverride;
    bool mediumPresent = true;
    bool writeFault = false;
    bool gone = false;
    std::shared_ptr<SimNode> root;

    uint64_t RealFree() const { return capacity > used ? capacity - used : 0; }
};

// The child of `folder` called `name`, by long name or by 8.3 alias, both case-insensitive.
std::shared_ptr<SimNode> FindChild(const SimNode& folder, const os::WString& name);

}  // namespace sim
