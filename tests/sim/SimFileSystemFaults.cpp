// Faults that strike a file while it is being read, and trees deeper than MAX_PATH: the file
// system as other programs on a busy PC leave it.
#include "os/Text.h"
#include "sim/SimFileSystem.h"

namespace sim {

bool SimFileSystem::SetReadFault(const os::WString& path, uint64_t offset, SimReadFault kind) {
    SimPath parsed;
    Lookup at;
    if (ResolveText(path, PathUse::Name, parsed, at) != os::kErrSuccess || !at.node ||
        at.node->isDir) {
        return false;
    }
    at.node->readFault = SimReadFaultAt{offset, kind};
    return true;
}

bool SimFileSystem::TripReadFault(SimDrive& drive, SimNode& node, uint64_t position,
                                  uint32_t size) {
    const SimReadFaultAt fault = *node.readFault;
    if (size == 0 || position + size <= fault.offset) {
        return true;
    }
    // The writer's changes move the write time on, as they would on disk.
    const uint64_t later = m_now + 10'000'000;
    switch (fault.kind) {
        case SimReadFault::Fail:
            return Fail(kErrLockViolation);
        case SimReadFault::Lock:
            node.locked = true;
            return Fail(kErrLockViolation);
        case SimReadFault::Shrink:
            node.readFault.reset();
            if (fault.offset < node.data.size()) {
                drive.used -= node.data.size() - fault.offset;
                node.data.resize(fault.offset);
                node.write = later;
            }
            return true;
        case SimReadFault::Change:
            node.readFault.reset();
            for (size_t i = fault.offset; i < node.data.size(); ++i) {
                node.data[i] = static_cast<char>(node.data[i] ^ 0x5A);
            }
            node.write = later;
            return true;
        case SimReadFault::Vanish:
            node.readFault.reset();
            MarkGone(node);
            Detach(drive, node);
            return Fail(os::kErrFileNotFound);
    }
    return true;
}

bool SimFileSystem::RenameBeyondMaxPath(const os::WString& path, const os::WString& newName) {
    SimPath parsed;
    Lookup at;
    if (ResolveText(path, PathUse::Name, parsed, at) != os::kErrSuccess || !at.node ||
        parsed.IsRoot() || newName.empty() || FindChild(*at.parent, newName)) {
        return false;
    }
    const std::shared_ptr<SimNode> node = at.node;
    at.parent->children.erase(os::ToUpper(node->name));
    node->name = newName;
    node->shortName.clear();
    if (!IsValidShortName(newName)) {
        node->shortName = MakeShortName(newName, [&at](const os::WString& candidate) {
            return FindChild(*at.parent, candidate) != nullptr;
        });
    }
    at.parent->children[os::ToUpper(newName)] = node;
    return true;
}

}  // namespace sim
