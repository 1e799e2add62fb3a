// The simulated shell.
#include "sim/SimShell.h"

#include <string>

#include "os/Text.h"

namespace sim {

bool SimShell::Open(const os::WString& verb, const os::WString& path) {
    m_calls.push_back({verb, path});
    return m_result;
}

bool SimShell::ComInitialize() {
    if (m_comFails) {
        return false;
    }
    ++m_comInits;
    return true;
}

bool SimShell::SaveShortcut(const os::WString& linkPath, const os::WString& target,
                            const os::WString& description, const os::WString& arguments) {
    if (m_comInits <= m_comUninits) {
        return false;  // CoCreateInstance without CoInitialize
    }
    if (m_fs) {
        auto file = m_fs->Open(linkPath, os::OpenMode::CreateAlways);
        if (!file) {
            return false;
        }
        const std::string body = "shortcut to " + os::ToUtf8(target);
        uint32_t written = 0;
        if (!file->Write(body.data(), static_cast<uint32_t>(body.size()), written)) {
            return false;
        }
    }
    m_shortcuts.push_back({linkPath, target, description, arguments});
    return true;
}

}  // namespace sim
