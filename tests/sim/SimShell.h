// The simulated shell: records every document or folder the system asks it to open, keeps
// count of COM initialisation, saves shortcuts as small files that name their target, answers
// the computer browser from a script, and holds the category of one connected network and the
// firewall's rules.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "os/FileSystem.h"
#include "os/Shell.h"
#include "os/Ui.h"

namespace sim {

struct SimShellCall {
    os::WString verb;
    os::WString path;
};

struct SimShortcut {
    os::WString linkPath;
    os::WString target;
    os::WString description;
    os::WString arguments;
};

struct SimBrowse {
    int ownerTemplate = 0;  // template of the owner dialog, 0 for none
    os::WString title;
};

struct SimPicker {
    int ownerTemplate = 0;  // template of the owner dialog, 0 for none
    os::WString filter;     // empty for the folder picker
    os::WString initial;
};

// The firewall: its policy, its rules by name, and how it takes a write.
struct SimFirewall {
    bool readable = true;  // the policy and the rules can be read
    os::FirewallPolicy policy;
    bool writesRefused = false;  // a process that is not elevated
    bool writesLost = false;     // a write is answered with success and not kept
    std::map<os::WString, os::FirewallRule> rules;
    int writes = 0;  // accepted writes
};

class SimShell : public os::Shell {
  public:
    bool Open(const os::WString& verb, const os::WString& path) override;
    bool ComInitialize() override;
    void ComUninitialize() override { ++m_comUninits; }
    // Needs COM on the thread, as the shell-link object does; with a file system the link
    // becomes a file holding its target in UTF-8.
    bool SaveShortcut(const os::WString& linkPath, const os::WString& target,
                      const os::WString& description, const os::WString& arguments) override;
    // Both need COM on the thread.
    bool BrowseForComputer(os::Dialog* owner, const os::WString& title, os::WString& name) override;
    bool OpenFileNames(os::Dialog* owner, const os::WString& filter, const os::WString& initialName,
                       std::vector<os::WString>& paths) override;
    bool BrowseForFolders(os::Dialog* owner, const os::WString& initialFolder,
                          std::vector<os::WString>& paths) override;
    bool GetNetworkCategory(int& category) override;
    bool ChangeNetworkCategory(int expected, int category) override;
    // All three need COM on the thread.
    bool GetFirewallPolicy(os::FirewallPolicy& policy) override;
    bool GetFirewallRule(const os::WString& name, bool& found, os::FirewallRule& rule) override;
    bool PutFirewallRule(const os::FirewallRule& rule) override;

    // The computer browser's answers, in order: a display name, or a cancel. With no answer
    // left the user cancels.
    void QueueComputerPick(const os::WString& name) { m_picks.emplace_back(name); }
    void QueueComputerPickCancel() { m_picks.emplace_back(std::nullopt); }
    const std::vector<SimBrowse>& Browses() const { return m_browses; }

    // The open-file dialog's and the folder picker's answers, in order: the chosen paths, or a
    // cancel. With no answer left the user cancels. Each opening is recorded.
    void QueueFilePick(const std::vector<os::WString>& paths) { m_filePicks.emplace_back(paths); }
    void QueueFilePickCancel() { m_filePicks.emplace_back(std::nullopt); }
    void QueueFolderPick(const std::vector<os::WString>& paths) {
        m_folderPicks.emplace_back(paths);
    }
    void QueueFolderPickCancel() { m_folderPicks.emplace_back(std::nullopt); }
    const std::vector<SimPicker>& FileDialogs() const { return m_fileDialogs; }
    const std::vector<SimPicker>& FolderDialogs() const { return m_folderDialogs; }

    // The first connected network: none, or one of category 0 public, 1 private, 2 domain.
    // A refused change leaves the category as it is.
    void SetNetwork(std::optional<int> category) { m_network = category; }
    void SetCategoryChangeRefused(bool refused) { m_changeRefused = refused; }
    std::optional<int> Network() const { return m_network; }
    const std::vector<int>& CategoryChanges() const { return m_changes; }  // accepted ones

    SimFirewall& Firewall() { return m_firewall; }

    void SetResult(bool accepted) { m_result = accepted; }
    void SetComFails(bool fails) { m_comFails = fails; }
    void SetFileSystem(os::FileSystem* fs) { m_fs = fs; }

    const std::vector<SimShellCall>& Calls() const { return m_calls; }
    const std::vector<SimShortcut>& Shortcuts() const { return m_shortcuts; }
    int ComInits() const { return m_comInits; }
    int ComUninits() const { return m_comUninits; }

  private:
    bool ComReady() const { return m_comInits > m_comUninits; }

    os::FileSystem* m_fs = nullptr;
    std::vector<SimShellCall> m_calls;
    std::vector<SimShortcut> m_shortcuts;
    std::deque<std::optional<os::WString>> m_picks;
    std::vector<SimBrowse> m_browses;
    std::deque<std::optional<std::vector<os::WString>>> m_filePicks;
    std::deque<std::optional<std::vector<os::WString>>> m_folderPicks;
    std::vector<SimPicker> m_fileDialogs;
    std::vector<SimPicker> m_folderDialogs;
    std::optional<int> m_network;  // a fresh PC has no connected network
    bool m_changeRefused = false;
    std::vector<int> m_changes;
    SimFirewall m_firewall;
    bool m_result = true;
    bool m_comFails = false;
    int m_comInits = 0;
    int m_comUninits = 0;
};

}  // namespace sim
