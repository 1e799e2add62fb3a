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
    if (!ComReady()) {
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

bool SimShell::BrowseForComputer(os::Dialog* owner, const os::WString& title, os::WString& name) {
    if (!ComReady()) {
        return false;
    }
    m_browses.push_back({owner != nullptr ? owner->TemplateId() : 0, title});
    if (m_picks.empty()) {
        return false;
    }
    const std::optional<os::WString> pick = m_picks.front();
    m_picks.pop_front();
    if (!pick) {
        return false;
    }
    name = *pick;
    return true;
}

namespace {

bool TakePick(std::deque<std::optional<std::vector<os::WString>>>& picks,
              std::vector<os::WString>& paths) {
    if (picks.empty()) {
        return false;
    }
    const std::optional<std::vector<os::WString>> pick = picks.front();
    picks.pop_front();
    if (!pick) {
        return false;
    }
    paths = *pick;
    return true;
}

}  // namespace

bool SimShell::OpenFileNames(os::Dialog* owner, const os::WString& filter,
                             const os::WString& initialName, std::vector<os::WString>& paths) {
    if (!ComReady()) {
        return false;
    }
    m_fileDialogs.push_back({owner != nullptr ? owner->TemplateId() : 0, filter, initialName});
    return TakePick(m_filePicks, paths);
}

bool SimShell::BrowseForFolders(os::Dialog* owner, const os::WString& initialFolder,
                                std::vector<os::WString>& paths) {
    if (!ComReady()) {
        return false;
    }
    m_folderDialogs.push_back({owner != nullptr ? owner->TemplateId() : 0, u"", initialFolder});
    return TakePick(m_folderPicks, paths);
}

bool SimShell::GetNetworkCategory(int& category) {
    if (!ComReady() || !m_network) {
        return false;
    }
    category = *m_network;
    return true;
}

bool SimShell::ChangeNetworkCategory(int expected, int category) {
    if (!ComReady() || !m_network || *m_network != expected || m_changeRefused) {
        return false;
    }
    m_network = category;
    m_changes.push_back(category);
    return true;
}

bool SimShell::GetFirewallPolicy(os::FirewallPolicy& policy) {
    if (!ComReady() || !m_firewall.readable) {
        return false;
    }
    policy = m_firewall.policy;
    return true;
}

bool SimShell::GetFirewallRule(const os::WString& name, bool& found, os::FirewallRule& rule) {
    if (!ComReady() || !m_firewall.readable) {
        return false;
    }
    const auto it = m_firewall.rules.find(name);
    found = it != m_firewall.rules.end();
    if (found) {
        rule = it->second;
    }
    return true;
}

bool SimShell::PutFirewallRule(const os::FirewallRule& rule) {
    if (!ComReady() || !m_firewall.readable || m_firewall.writesRefused) {
        return false;
    }
    ++m_firewall.writes;
    if (!m_firewall.writesLost) {
        auto [it, added] = m_firewall.rules.try_emplace(rule.name, rule);
        if (!added) {
            const os::WString grouping = it->second.grouping;
            it->second = rule;
            it->second.grouping = grouping;
        }
    }
    return true;
}

}  // namespace sim
