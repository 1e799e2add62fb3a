// Open files and directory enumeration of the simulated file system. An open file holds its
// node and drive, counts as a reader or writer for sharing, and stops working when the entry or
// drive vanishes under it. An enumeration is a snapshot taken by FindFirst.
#include <algorithm>
#include <cstring>

#include "os/Text.h"
#include "sim/SimFileSystem.h"

namespace sim {

class SimOpenFile : public os::File {
  public:
    SimOpenFile(SimFileSystem& fs, std::shared_ptr<SimDrive> drive, std::shared_ptr<SimNode> node,
                bool forWriting, os::WString renamablePath = {})
        : m_fs(fs),
          m_drive(std::move(drive)),
          m_node(std::move(node)),
          m_write(forWriting),
          m_renamablePath(std::move(renamablePath)) {
        ++(m_write ? m_node->writers : m_node->readers);
        m_position = m_write ? m_node->data.size() : 0;
        ++m_fs.m_openFiles;
    }
    ~SimOpenFile() override {
        --(m_write ? m_node->writers : m_node->readers);
        --m_fs.m_openFiles;
        if (m_node->deletePending && !m_node->gone) {
            m_node->deletePending = false;
            m_fs.DeleteFile(m_renamablePath);
        }
    }
    SimOpenFile(const SimOpenFile&) = delete;
    SimOpenFile& operator=(const SimOpenFile&) = delete;

    bool Read(void* buffer, uint32_t size, uint32_t& got) override {
        got = 0;
        if (m_write || m_node->unreadable) {
            return m_fs.Fail(os::kErrAccessDenied);
        }
        if (!Usable()) {
            return false;
        }
        if (m_node->readFault && !m_fs.TripReadFault(*m_drive, *m_node, m_position, size)) {
            return false;
        }
        if (m_node->lockedRange && size > 0 && m_position < m_node->data.size() &&
            m_position < m_node->lockedRange->first + m_node->lockedRange->second &&
            m_node->lockedRange->first < m_position + size) {
            return m_fs.Fail(kErrLockViolation);
        }
        const std::string& data = m_node->data;
        const uint64_t left = m_position < data.size() ? data.size() - m_position : 0;
        got = static_cast<uint32_t>(std::min<uint64_t>(left, size));
        if (got > 0) {
            std::memcpy(buffer, data.data() + m_position, got);
        }
        m_position += got;
        return true;
    }

    bool Write(const void* data, uint32_t size, uint32_t& written) override {
        written = 0;
        if (!m_write) {
            return m_fs.Fail(os::kErrAccessDenied);
        }
        if (!Usable()) {
            return false;
        }
        if (m_drive->writeFault) {
            return m_fs.Fail(kErrWriteFault);
        }
        std::string& content = m_node->data;
        // Only bytes past the current end take space; what does not fit is not written.
        const uint64_t end = m_position + size;
        const uint64_t growth = end > content.size() ? end - content.size() : 0;
        const uint64_t room = m_drive->RealFree();
        const uint32_t fits = growth <= room ? size : static_cast<uint32_t>(size - (growth - room));
        if (fits > 0) {
            if (m_position + fits > content.size()) {
                m_drive->used += m_position + fits - content.size();
                content.resize(m_position + fits);
            }
            std::memcpy(content.data() + m_position, data, fits);
            m_position += fits;
            if (!m_writeTimeSet) {
                m_node->write = m_fs.m_now;
            }
        }
        written = fits;
        return fits == size ? true : m_fs.Fail(os::kErrDiskFull);
    }

    uint64_t Size() override { return m_node->data.size(); }

    bool QueryState(State& state) override {
        if (!Usable()) {
            return false;
        }
        state.size = m_node->data.size();
        state.lastWriteTime = m_node->write;
        state.attributes = m_node->attributes;
        return true;
    }

    bool SetTimes(const uint64_t* creation, const uint64_t* lastAccess,
                  const uint64_t* lastWrite) override {
        if (!m_write) {
            return m_fs.Fail(os::kErrAccessDenied);  // the handle lacks FILE_WRITE_ATTRIBUTES
        }
        if (!Usable()) {
            return false;
        }
        if (creation) {
            m_node->creation = *creation;
        }
        if (lastAccess) {
            m_node->access = *lastAccess;
        }
        if (lastWrite) {
            // As on NTFS, a time set through a handle is not overwritten by its later writes.
            m_node->write = *lastWrite;
            m_writeTimeSet = true;
        }
        return true;
    }

    bool SetAttributes(uint32_t attributes) override {
        if (!m_write) {
            return m_fs.Fail(os::kErrAccessDenied);
        }
        if (!Usable()) {
            return false;
        }
        m_node->attributes = attributes & kSettableAttributes;
        return true;
    }

    // The move itself is the path-based one, minus the sharing check against this handle.
    bool RenameTo(const os::WString& path) override {
        if (m_renamablePath.empty()) {
            return m_fs.Fail(os::kErrAccessDenied);  // the handle lacks DELETE access
        }
        if (!Usable()) {
            return false;
        }
        --m_node->writers;
        const bool moved = m_fs.MoveFile(m_renamablePath, path, 0);
        ++m_node->writers;
        if (moved) {
            m_renamablePath = path;
        }
        return moved;
    }

    bool SetDeleteOnClose(bool remove) override {
        if (m_renamablePath.empty()) {
            return m_fs.Fail(os::kErrAccessDenied);  // the handle lacks DELETE access
        }
        if (!Usable()) {
            return false;
        }
        m_node->deletePending = remove;
        return true;
    }

  private:
    bool Usable() {
        if (m_drive->gone || !m_drive->mediumPresent) {
            return m_fs.Fail(os::kErrNotReady);
        }
        if (m_node->gone) {
            return m_fs.Fail(os::kErrFileNotFound);
        }
        return true;
    }

    SimFileSystem& m_fs;
    std::shared_ptr<SimDrive> m_drive;
    std::shared_ptr<SimNode> m_node;
    bool m_write;
    os::WString m_renamablePath;  // where the file now is, for a handle that may rename it
    bool m_writeTimeSet = false;
    uint64_t m_position = 0;
};

class SimFindHandle : public os::FindHandle {
  public:
    SimFindHandle(SimFileSystem& fs, std::vector<os::FindData> records)
        : m_fs(fs), m_records(std::move(records)) {
        ++m_fs.m_openFinds;
    }
    ~SimFindHandle() override { --m_fs.m_openFinds; }
    SimFindHandle(const SimFindHandle&) = delete;
    SimFindHandle& operator=(const SimFindHandle&) = delete;

    bool Next(os::FindData& out) override {
        if (m_next >= m_records.size()) {
            return m_fs.Fail(os::kErrNoMoreFiles);
        }
        out = m_records[m_next++];
        ++m_fs.m_findRecords;
        return true;
    }

  private:
    SimFileSystem& m_fs;
    std::vector<os::FindData> m_records;
    size_t m_next = 1;  // the first record went out with FindFirst
};

os::FindData SimFileSystem::Record(const SimNode& node, const os::WString& name) {
    os::FindData out;
    out.attributes = node.Reported();
    out.creationTime = node.creation;
    out.lastAccessTime = node.access;
    out.lastWriteTime = node.write;
    out.size = node.isDir ? 0 : node.listedSize.value_or(node.data.size());
    out.name = name;
    if (name == node.name) {
        out.shortName = node.shortName;
    }
    return out;
}

std::unique_ptr<os::FindHandle> SimFileSystem::FindFirst(const os::WString& pattern,
                                                         os::FindData& first) {
    ++m_findFirstCalls;
    SimPath path;
    uint32_t err = ParsePath(pattern, PathUse::Pattern, path);
    if (err != os::kErrSuccess) {
        Fail(err);
        return nullptr;
    }
    // "folder\" and a bare root find nothing, as on Windows.
    if (path.trailingSeparator || path.IsRoot()) {
        Fail(os::kErrFileNotFound);
        return nullptr;
    }
    std::vector<os::FindData> records;
    const os::WString last = path.parts.back();
    if (!HasWildcards(last)) {
        Lookup at;
        err = Resolve(path, at);
        if (err == os::kErrSuccess && !at.node) {
            err = os::kErrFileNotFound;
        }
        if (err != os::kErrSuccess) {
            Fail(err);
            return nullptr;
        }
        records.push_back(Record(*at.node, at.node->name));
    } else {
        SimPath folderPath = path;
        folderPath.parts.pop_back();
        Lookup at;
        err = Resolve(folderPath, at);
        if (err == os::kErrSuccess && (!at.node || !at.node->isDir)) {
            err = os::kErrPathNotFound;
        }
        if (err == os::kErrSuccess && at.node->unreadable) {
            err = os::kErrAccessDenied;  // a folder whose listing is denied
        }
        if (err != os::kErrSuccess) {
            Fail(err);
            return nullptr;
        }
        const SimNode& folder = *at.node;
        if (folder.unreadable) {
            Fail(os::kErrAccessDenied);  // a folder whose listing the user may not read
            return nullptr;
        }
        // Every folder but a root lists "." and ".." first.
        if (!folderPath.IsRoot()) {
            if (MatchesPattern(last, u".")) {
                records.push_back(Record(folder, u"."));
            }
            if (MatchesPattern(last, u"..")) {
                records.push_back(Record(folder.parent ? *folder.parent : folder, u".."));
            }
        }
        // NTFS order: by upper-cased name, which is the key order of the children.
        for (const auto& [key, child] : folder.children) {
            if (MatchesPattern(last, child->name) ||
                (!child->shortName.empty() && MatchesPattern(last, child->shortName))) {
                records.push_back(Record(*child, child->name));
            }
        }
    }
    if (records.empty()) {
        Fail(os::kErrFileNotFound);
        return nullptr;
    }
    first = records.front();
    return std::make_unique<SimFindHandle>(*this, std::move(records));
}

std::unique_ptr<os::File> SimFileSystem::Open(const os::WString& path, os::OpenMode mode,
                                              uint32_t attributes) {
    ++m_openCalls;
    SimPath parsed;
    Lookup at;
    uint32_t err = ResolveText(path, PathUse::Name, parsed, at);
    if (err == os::kErrSuccess && parsed.IsRoot()) {
        err = os::kErrAccessDenied;
    }
    if (err != os::kErrSuccess) {
        Fail(err);
        return nullptr;
    }
    SimNode* node = at.node.get();
    if (mode == os::OpenMode::Read || mode == os::OpenMode::ReadForBackup) {
        // Plain reading lets others read only; reading for backup lets them write and delete
        // too, so only a holder that shares nothing (or one of our own writers) keeps it out.
        const bool sharesWriting = mode == os::OpenMode::ReadForBackup;
        if (!node) {
            Fail(os::kErrFileNotFound);
        } else if (node->isDir || node->unreadable) {
            Fail(os::kErrAccessDenied);
        } else if (node->locked || node->writers > 0 || (node->heldSharing && !sharesWriting)) {
            Fail(os::kErrSharingViolation);
        } else {
            return std::make_unique<SimOpenFile>(*this, at.drive, at.node, false);
        }
        return nullptr;
    }

    const uint32_t newAttributes = (attributes & kSettableAttributes) | os::kAttrArchive;
    if (!node) {
        if (parsed.trailingSeparator) {
            Fail(os::kErrInvalidName);
            return nullptr;
        }
        auto created = AddChild(*at.parent, parsed.parts.back(), false, newAttributes);
        return std::make_unique<SimOpenFile>(
            *this, at.drive, created, true, mode == os::OpenMode::CreateNew ? path : os::WString());
    }
    if (mode == os::OpenMode::CreateNew) {
        Fail(os::kErrFileExists);  // a folder, a file, or an entry with this short name
        return nullptr;
    }
    if (node->isDir || (node->attributes & os::kAttrReadOnly)) {
        Fail(os::kErrAccessDenied);
        return nullptr;
    }
    if (node->locked || node->readers > 0 || node->writers > 0) {
        Fail(os::kErrSharingViolation);
        return nullptr;
    }
    m_lastError = os::kErrAlreadyExists;  // CREATE_ALWAYS and OPEN_ALWAYS say so on success
    if (mode == os::OpenMode::CreateAlways) {
        // CREATE_ALWAYS refuses to overwrite a hidden or system file unless the caller asks
        // for those attributes again.
        const uint32_t kept = node->attributes & (os::kAttrHidden | os::kAttrSystem);
        if ((kept & attributes) != kept) {
            Fail(os::kErrAccessDenied);
            return nullptr;
        }
        at.drive->used -= std::min<uint64_t>(at.drive->used, node->data.size());
        node->data.clear();
        node->attributes = newAttributes;
        node->access = node->write = m_now;  // the creation time survives an overwrite
    }
    return std::make_unique<SimOpenFile>(*this, at.drive, at.node, true);
}

}  // namespace sim
