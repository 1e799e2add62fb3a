// The simulated file system's side for tests: adding and breaking drives, building trees
// directly, fault hooks, and a deterministic listing to compare whole trees.
#include <cinttypes>
#include <cstdio>

#include "os/Text.h"
#include "sim/SimFileSystem.h"

namespace sim {

bool SimFileSystem::AddDrive(char16_t letter, os::DriveType type, const os::WString& fileSystemName,
                             const os::WString& volumeName, uint64_t capacityBytes) {
    const char16_t up = os::FoldUpper(letter);
    if (up < u'A' || up > u'Z' || m_drives.count(up) != 0) {
        return false;
    }
    auto drive = std::make_shared<SimDrive>();
    drive->letter = up;
    drive->type = type;
    drive->fileSystemName = fileSystemName;
    drive->volumeName = volumeName;
    drive->capacity = capacityBytes;
    drive->root = std::make_shared<SimNode>();
    drive->root->isDir = true;
    drive->root->attributes = os::kAttrHidden | os::kAttrSystem;  // as an NTFS root reports
    drive->root->creation = drive->root->access = drive->root->write = m_now;
    m_drives[up] = drive;
    return true;
}

bool SimFileSystem::RemoveDrive(char16_t letter) {
    const auto drive = DriveOf(letter);
    if (!drive) {
        return false;
    }
    drive->gone = true;
    MarkGone(*drive->root);
    m_drives.erase(drive->letter);
    return true;
}

bool SimFileSystem::SetMediumPresent(char16_t letter, bool present) {
    const auto drive = DriveOf(letter);
    if (drive) {
        drive->mediumPresent = present;
    }
    return drive != nullptr;
}

bool SimFileSystem::SetWriteFault(char16_t letter, bool fault) {
    const auto drive = DriveOf(letter);
    if (drive) {
        drive->writeFault = fault;
    }
    return drive != nullptr;
}

bool SimFileSystem::SetFreeSpaceOverride(char16_t letter, std::optional<uint64_t> freeBytes) {
    const auto drive = DriveOf(letter);
    if (drive) {
        drive->freeOverride = freeBytes;
    }
    return drive != nullptr;
}

uint64_t SimFileSystem::UsedBytes(char16_t letter) const {
    const auto drive = DriveOf(letter);
    return drive ? drive->used : 0;
}

bool SimFileSystem::MakeFolders(const os::WString& path, uint32_t attributes) {
    SimPath parsed;
    if (ParsePath(path, PathUse::Name, parsed) != os::kErrSuccess) {
        return false;
    }
    const auto drive = DriveOf(parsed.drive);
    if (!drive || !drive->mediumPresent) {
        return false;
    }
    std::shared_ptr<SimNode> folder = drive->root;
    for (size_t i = 0; i < parsed.parts.size(); ++i) {
        auto child = FindChild(*folder, parsed.parts[i]);
        if (!child) {
            const bool last = i + 1 == parsed.parts.size();
            child = AddChild(*folder, parsed.parts[i], true, last ? attributes : 0);
        } else if (!child->isDir) {
            return false;
        }
        folder = child;
    }
    return true;
}

bool SimFileSystem::WriteFile(const os::WString& path, std::string_view bytes, uint32_t attributes,
                              const std::optional<SimTimes>& times) {
    SimPath parsed;
    if (ParsePath(path, PathUse::Name, parsed) != os::kErrSuccess || parsed.IsRoot()) {
        return false;
    }
    SimPath folder = parsed;
    folder.parts.pop_back();
    if (!MakeFolders(u"\\\\?\\" + folder.Text())) {  // the file's own path passed its checks
        return false;
    }
    Lookup at;
    if (Resolve(parsed, at) != os::kErrSuccess || (at.node && at.node->isDir)) {
        return false;
    }
    const uint64_t old = at.node ? at.node->data.size() : 0;
    if (bytes.size() > at.drive->RealFree() + old) {
        return false;
    }
    auto node = at.node ? at.node : AddChild(*at.parent, parsed.parts.back(), false, 0);
    node->data.assign(bytes);
    node->attributes = attributes & kSettableAttributes;
    const SimTimes stamp = times.value_or(SimTimes{m_now, m_now, m_now});
    node->creation = stamp.creation;
    node->access = stamp.access;
    node->write = stamp.write;
    at.drive->used = at.drive->used - old + bytes.size();
    return true;
}

std::optional<std::string> SimFileSystem::ReadFile(const os::WString& path) const {
    SimPath parsed;
    Lookup at;
    if (ResolveText(path, PathUse::Name, parsed, at) != os::kErrSuccess || !at.node ||
        at.node->isDir) {
        return std::nullopt;
    }
    return at.node->data;
}

bool SimFileSystem::Exists(const os::WString& path) const {
    SimPath parsed;
    Lookup at;
    return ResolveText(path, PathUse::Name, parsed, at) == os::kErrSuccess && at.node;
}

bool SimFileSystem::DeletePending(const os::WString& path) const {
    SimPath parsed;
    Lookup at;
    return ResolveText(path, PathUse::Name, parsed, at) == os::kErrSuccess && at.node &&
           at.node->deletePending;
}

bool SimFileSystem::SetTimes(const os::WString& path, const SimTimes& times) {
    SimPath parsed;
    Lookup at;
    if (ResolveText(path, PathUse::Name, parsed, at) != os::kErrSuccess || !at.node) {
        return false;
    }
    at.node->creation = times.creation;
    at.node->access = times.access;
    at.node->write = times.write;
    return true;
}

bool SimFileSystem::SetLocked(const os::WString& path, bool locked) {
    SimPath parsed;
    Lookup at;
    if (ResolveText(path, PathUse::Name, parsed, at) != os::kErrSuccess || !at.node) {
        return false;
    }
    at.node->locked = locked;
    return true;
}

bool SimFileSystem::SetUnreadable(const os::WString& path, bool unreadable) {
    SimPath parsed;
    Lookup at;
    if (ResolveText(path, PathUse::Name, parsed, at) != os::kErrSuccess || !at.node) {
        return false;
    }
    at.node->unreadable = unreadable;
    return true;
}

bool SimFileSystem::SetHeldSharing(const os::WString& path, bool held) {
    SimPath parsed;
    Lookup at;
    if (ResolveText(path, PathUse::Name, parsed, at) != os::kErrSuccess || !at.node) {
        return false;
    }
    at.node->heldSharing = held;
    return true;
}

bool SimFileSystem::SetLockedRange(const os::WString& path, uint64_t offset, uint64_t length) {
    SimPath parsed;
    Lookup at;
    if (ResolveText(path, PathUse::Name, parsed, at) != os::kErrSuccess || !at.node) {
        return false;
    }
    at.node->lockedRange = std::make_pair(offset, length);
    return true;
}

bool SimFileSystem::SetListedSize(const os::WString& path, uint64_t size) {
    SimPath parsed;
    Lookup at;
    if (ResolveText(path, PathUse::Name, parsed, at) != os::kErrSuccess || !at.node ||
        at.node->isDir) {
        return false;
    }
    at.node->listedSize = size;
    return true;
}

bool SimFileSystem::ForceRemove(const os::WString& path) {
    SimPath parsed;
    Lookup at;
    if (ResolveText(path, PathUse::Name, parsed, at) != os::kErrSuccess || !at.node ||
        parsed.IsRoot()) {
        return false;
    }
    MarkGone(*at.node);
    Detach(*at.drive, *at.node);
    return true;
}

namespace {

uint64_t Fnv1a(const std::string& data) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : data) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return hash;
}

void DumpFolder(const SimNode& folder, const std::string& prefix, bool withTimes,
                std::string& out) {
    for (const auto& [key, child] : folder.children) {
        const uint32_t a = child->Reported();
        char line[160];
        std::snprintf(line, sizeof line, "%c%c%c%c%c %10" PRIu64 " %016" PRIx64,
                      child->isDir ? 'D' : '-', (a & os::kAttrReadOnly) ? 'R' : '-',
                      (a & os::kAttrHidden) ? 'H' : '-', (a & os::kAttrSystem) ? 'S' : '-',
                      (a & os::kAttrArchive) ? 'A' : '-', uint64_t{child->data.size()},
                      child->isDir ? uint64_t{0} : Fnv1a(child->data));
        out += line;
        if (withTimes) {
            std::snprintf(line, sizeof line, " %" PRIu64 " %" PRIu64 " %" PRIu64, child->creation,
                          child->access, child->write);
            out += line;
        }
        const std::string path = prefix + os::ToUtf8(child->name) + (child->isDir ? "\\" : "");
        out += " " + path + "\n";
        if (child->isDir) {
            DumpFolder(*child, path, withTimes, out);
        }
    }
}

}  // namespace

std::string SimFileSystem::Dump(const os::WString& folder, bool withTimes) const {
    SimPath parsed;
    Lookup at;
    if (ResolveText(folder, PathUse::Name, parsed, at) != os::kErrSuccess || !at.node ||
        !at.node->isDir) {
        return {};
    }
    std::string out;
    DumpFolder(*at.node, "", withTimes, out);
    return out;
}

}  // namespace sim
