// The simulated file system's name-space operations: lookup, attributes, folders, deletion,
// moves and the drive queries. Opening files and enumeration live in SimFileSystemOpen.cpp,
// the tests' set-up helpers in SimFileSystemSetup.cpp.
#include "sim/SimFileSystem.h"

#include "os/Text.h"

namespace sim {

std::shared_ptr<SimNode> FindChild(const SimNode& folder, const os::WString& name) {
    const auto it = folder.children.find(os::ToUpper(name));
    if (it != folder.children.end()) {
        return it->second;
    }
    for (const auto& [key, child] : folder.children) {
        if (!child->shortName.empty() && os::EqualsNoCase(child->shortName, name)) {
            return child;
        }
    }
    return nullptr;
}

SimFileSystem::SimFileSystem() = default;
SimFileSystem::~SimFileSystem() = default;

std::shared_ptr<SimDrive> SimFileSystem::DriveOf(char16_t letter) const {
    const auto it = m_drives.find(os::FoldUpper(letter));
    return it == m_drives.end() ? nullptr : it->second;
}

// "X:", "X:\" or "X:/" only, as GetDriveType takes a root.
std::shared_ptr<SimDrive> SimFileSystem::DriveOfRoot(const os::WString& root) const {
    if (root.size() < 2 || root.size() > 3 || root[1] != u':' ||
        (root.size() == 3 && root[2] != u'\\' && root[2] != u'/')) {
        return nullptr;
    }
    return DriveOf(root[0]);
}

uint32_t SimFileSystem::Resolve(const SimPath& path, Lookup& out) const {
    out = Lookup{};
    auto drive = DriveOf(path.drive);
    if (!drive) {
        return os::kErrPathNotFound;
    }
    if (!drive->mediumPresent) {
        return os::kErrNotReady;
    }
    out.drive = drive;
    std::shared_ptr<SimNode> folder = drive->root;
    if (path.parts.empty()) {
        out.node = folder;
        return os::kErrSuccess;
    }
    for (size_t i = 0; i + 1 < path.parts.size(); ++i) {
        auto child = FindChild(*folder, path.parts[i]);
        if (!child || !child->isDir) {
            return os::kErrPathNotFound;
        }
        folder = child;
    }
    out.parent = folder;
    out.node = FindChild(*folder, path.parts.back());
    // "file.txt\" names a folder that a file cannot be.
    if (out.node && !out.node->isDir && path.trailingSeparator) {
        return os::kErrInvalidName;
    }
    return os::kErrSuccess;
}

uint32_t SimFileSystem::ResolveText(const os::WString& text, PathUse use, SimPath& path,
                                    Lookup& out) const {
    const uint32_t err = ParsePath(text, use, path);
    return err != os::kErrSuccess ? err : Resolve(path, out);
}

std::shared_ptr<SimNode> SimFileSystem::AddChild(SimNode& parent, const os::WString& name,
                                                 bool isDir, uint32_t attributes) {
    auto node = std::make_shared<SimNode>();
    node->isDir = isDir;
    node->name = name;
    if (!IsValidShortName(name)) {
        node->shortName = MakeShortName(name, [&parent](const os::WString& candidate) {
            return FindChild(parent, candidate) != nullptr;
        });
    }
    node->attributes = attributes & kSettableAttributes;
    node->creation = node->access = node->write = m_now;
    node->parent = &parent;
    parent.children[os::ToUpper(name)] = node;
    parent.write = m_now;  // adding an entry changes the folder
    return node;
}

void SimFileSystem::Detach(SimDrive& drive, SimNode& node) {
    const uint64_t bytes = ContentBytes(node);
    drive.used = drive.used > bytes ? drive.used - bytes : 0;
    if (node.parent) {
        node.parent->write = m_now;
        node.parent->children.erase(os::ToUpper(node.name));
    }
    node.parent = nullptr;
}

bool SimFileSystem::AnyOpenBelow(const SimNode& node) {
    for (const auto& [key, child] : node.children) {
        if (child->readers > 0 || child->writers > 0 || child->locked || AnyOpenBelow(*child)) {
            return true;
        }
    }
    return false;
}

uint64_t SimFileSystem::ContentBytes(const SimNode& node) {
    uint64_t total = node.data.size();
    for (const auto& [key, child] : node.children) {
        total += ContentBytes(*child);
    }
    return total;
}

void SimFileSystem::MarkGone(SimNode& node) {
    node.gone = true;
    for (auto& [key, child] : node.children) {
        MarkGone(*child);
    }
}

uint32_t SimFileSystem::GetAttributes(const os::WString& path) {
    SimPath parsed;
    Lookup at;
    const uint32_t err = ResolveText(path, PathUse::Name, parsed, at);
    if (err != os::kErrSuccess) {
        Fail(err);
        return os::kInvalidAttributes;
    }
    if (!at.node) {
        Fail(os::kErrFileNotFound);
        return os::kInvalidAttributes;
    }
    return at.node->Reported();
}

bool SimFileSystem::SetAttributes(const os::WString& path, uint32_t attributes) {
    SimPath parsed;
    Lookup at;
    const uint32_t err = ResolveText(path, PathUse::Name, parsed, at);
    if (err != os::kErrSuccess) {
        return Fail(err);
    }
    if (!at.node) {
        return Fail(os::kErrFileNotFound);
    }
    if (at.node->locked) {
        return Fail(os::kErrSharingViolation);
    }
    at.node->attributes = attributes & kSettableAttributes;
    return true;
}

bool SimFileSystem::CreateDirectory(const os::WString& path) {
    SimPath parsed;
    Lookup at;
    const uint32_t err = ResolveText(path, PathUse::Name, parsed, at);
    if (err != os::kErrSuccess) {
        return Fail(err);
    }
    // Room must remain for an 8.3 name below the new folder.
    if (!parsed.extended && parsed.Text().size() >= kMaxDirectoryPath) {
        return Fail(os::kErrFilenameTooLong);
    }
    if (parsed.IsRoot()) {
        return Fail(os::kErrAccessDenied);
    }
    if (at.node) {
        return Fail(os::kErrAlreadyExists);
    }
    AddChild(*at.parent, parsed.parts.back(), true, 0);
    return true;
}

bool SimFileSystem::RemoveDirectory(const os::WString& path) {
    SimPath parsed;
    Lookup at;
    const uint32_t err = ResolveText(path, PathUse::Name, parsed, at);
    if (err != os::kErrSuccess) {
        return Fail(err);
    }
    if (!at.node) {
        return Fail(os::kErrFileNotFound);
    }
    if (!at.node->isDir) {
        return Fail(kErrDirectory);
    }
    if (parsed.IsRoot() || (at.node->attributes & os::kAttrReadOnly)) {
        return Fail(os::kErrAccessDenied);
    }
    if (!at.node->children.empty()) {
        return Fail(os::kErrDirNotEmpty);
    }
    if (at.node->locked) {
        return Fail(os::kErrSharingViolation);
    }
    Detach(*at.drive, *at.node);
    return true;
}

bool SimFileSystem::DeleteFile(const os::WString& path) {
    SimPath parsed;
    Lookup at;
    const uint32_t err = ResolveText(path, PathUse::Name, parsed, at);
    if (err != os::kErrSuccess) {
        return Fail(err);
    }
    if (!at.node) {
        return Fail(os::kErrFileNotFound);
    }
    if (at.node->isDir || (at.node->attributes & os::kAttrReadOnly)) {
        return Fail(os::kErrAccessDenied);
    }
    if (at.node->locked || at.node->readers > 0 || at.node->writers > 0) {
        return Fail(os::kErrSharingViolation);
    }
    Detach(*at.drive, *at.node);
    return true;
}

bool SimFileSystem::MoveFile(const os::WString& from, const os::WString& to, uint32_t flags) {
    if (flags & os::kMoveDelayUntilReboot) {
        // Recorded for the next start of Windows; nothing moves now.
        m_pendingMoves.push_back({from, to, flags});
        return true;
    }
    SimPath fromPath;
    SimPath toPath;
    Lookup src;
    Lookup dst;
    uint32_t err = ResolveText(from, PathUse::Name, fromPath, src);
    if (err == os::kErrSuccess && !src.node) {
        err = os::kErrFileNotFound;
    }
    if (err != os::kErrSuccess) {
        return Fail(err);
    }
    err = ResolveText(to, PathUse::Name, toPath, dst);
    if (err != os::kErrSuccess) {
        return Fail(err);
    }
    if (fromPath.IsRoot() || toPath.IsRoot()) {
        return Fail(os::kErrAccessDenied);
    }
    SimNode& node = *src.node;
    if (node.locked || node.readers > 0 || node.writers > 0) {
        return Fail(os::kErrSharingViolation);
    }
    if (node.isDir && AnyOpenBelow(node)) {
        return Fail(os::kErrAccessDenied);
    }
    if (src.drive != dst.drive) {
        return MoveAcrossDrives(src, dst, toPath, flags);
    }
    if (dst.node && dst.node != src.node) {
        if (!(flags & os::kMoveReplaceExisting)) {
            return Fail(os::kErrAlreadyExists);
        }
        if (dst.node->isDir || node.isDir || (dst.node->attributes & os::kAttrReadOnly)) {
            return Fail(os::kErrAccessDenied);
        }
        if (dst.node->locked || dst.node->readers > 0 || dst.node->writers > 0) {
            return Fail(os::kErrSharingViolation);
        }
    }
    // A folder cannot move into itself.
    for (const SimNode* up = dst.parent.get(); up; up = up->parent) {
        if (up == &node) {
            return Fail(os::kErrSharingViolation);
        }
    }
    if (dst.node && dst.node != src.node) {
        Detach(*dst.drive, *dst.node);
    }
    auto keep = src.node;  // holds the node while it is out of the tree
    node.parent->children.erase(os::ToUpper(node.name));
    node.parent->write = m_now;
    node.name = toPath.parts.back();
    node.shortName.clear();
    if (!IsValidShortName(node.name)) {
        SimNode& target = *dst.parent;
        node.shortName = MakeShortName(node.name, [&target](const os::WString& candidate) {
            return FindChild(target, candidate) != nullptr;
        });
    }
    node.parent = dst.parent.get();
    dst.parent->children[os::ToUpper(node.name)] = keep;
    dst.parent->write = m_now;
    return true;
}

bool SimFileSystem::MoveAcrossDrives(const Lookup& src, const Lookup& dst, const SimPath& toPath,
                                     uint32_t flags) {
    // MoveFileEx copies files to another volume only when allowed, and never folders.
    if (!(flags & os::kMoveCopyAllowed) || src.node->isDir) {
        return Fail(os::kErrNotSameDevice);
    }
    if (dst.node) {
        if (!(flags & os::kMoveReplaceExisting)) {
            return Fail(os::kErrAlreadyExists);
        }
        if (dst.node->isDir || (dst.node->attributes & os::kAttrReadOnly)) {
            return Fail(os::kErrAccessDenied);
        }
        if (dst.node->locked || dst.node->readers > 0 || dst.node->writers > 0) {
            return Fail(os::kErrSharingViolation);
        }
    }
    if (src.node->unreadable) {
        return Fail(os::kErrAccessDenied);
    }
    const uint64_t size = src.node->data.size();
    const uint64_t room = dst.drive->RealFree() + (dst.node ? dst.node->data.size() : 0);
    if (size > room) {
        return Fail(os::kErrDiskFull);
    }
    if (dst.drive->writeFault) {
        return Fail(kErrWriteFault);
    }
    if (dst.node) {
        Detach(*dst.drive, *dst.node);
    }
    auto copy = AddChild(*dst.parent, toPath.parts.back(), false, src.node->attributes);
    copy->data = src.node->data;
    copy->creation = src.node->creation;
    copy->access = src.node->access;
    copy->write = src.node->write;
    dst.drive->used += size;
    Detach(*src.drive, *src.node);
    return true;
}

uint32_t SimFileSystem::LogicalDrives() {
    uint32_t mask = 0;
    for (const auto& [letter, drive] : m_drives) {
        mask |= 1u << (letter - u'A');
    }
    return mask;
}

os::DriveType SimFileSystem::GetDriveType(const os::WString& root) {
    const auto drive = DriveOfRoot(root);
    return drive ? drive->type : os::DriveType::NoRootDir;
}

bool SimFileSystem::GetVolumeInformation(const os::WString& root, os::WString& volumeName,
                                         os::WString& fileSystemName) {
    // The root needs its trailing separator here.
    if (root.size() != 3 || root[1] != u':' || (root[2] != u'\\' && root[2] != u'/')) {
        return Fail(os::kErrInvalidName);
    }
    const auto drive = DriveOfRoot(root);
    if (!drive) {
        return Fail(os::kErrPathNotFound);
    }
    if (!drive->mediumPresent) {
        return Fail(os::kErrNotReady);
    }
    volumeName = drive->volumeName;
    fileSystemName = drive->fileSystemName;
    return true;
}

bool SimFileSystem::GetDiskFreeSpace(const os::WString& root, uint64_t& totalBytes,
                                     uint64_t& freeBytes) {
    // Any folder of the volume will do, as with GetDiskFreeSpaceEx.
    SimPath parsed;
    Lookup at;
    const uint32_t err = ResolveText(root, PathUse::Name, parsed, at);
    if (err != os::kErrSuccess) {
        return Fail(err);
    }
    if (!at.node) {
        return Fail(os::kErrPathNotFound);
    }
    if (!at.node->isDir) {
        return Fail(kErrDirectory);
    }
    totalBytes = at.drive->capacity;
    freeBytes = at.drive->freeOverride.value_or(at.drive->RealFree());
    return true;
}

}  // namespace sim
