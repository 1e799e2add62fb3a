// The Windows shell: ShellExecuteW, COM around shell objects, shell links, the browser of
// network computers, the file and folder pickers, the network list manager and the firewall's
// rules (Win32Firewall.cpp).
#pragma once

#include <vector>

#include "os/Shell.h"

namespace os::win32 {

// The paths of the open-file dialog's buffer with multiple selection: one full path, or the
// folder followed by each name, every string ended by a NUL and the list by an empty one.
std::vector<WString> ParseOpenFileNames(const wchar_t* buffer);
// The names in a file dialog's name box: each quoted name of `"a" "b"`, else the whole text
// without surrounding blanks; none for an empty box.
std::vector<WString> SplitNameBox(const WString& text);

class Win32Shell : public Shell {
  public:
    bool Open(const WString& verb, const WString& path) override;
    bool ComInitialize() override;
    void ComUninitialize() override;
    bool SaveShortcut(const WString& linkPath, const WString& target, const WString& description,
                      const WString& arguments) override;
    bool BrowseForComputer(Dialog* owner, const WString& title, WString& name) override;
    bool OpenFileNames(Dialog* owner, const WString& filter, const WString& initialName,
                       std::vector<WString>& paths) override;
    bool BrowseForFolders(Dialog* owner, const WString& initialFolder,
                          std::vector<WString>& paths) override;
    bool GetNetworkCategory(int& category) override;
    bool ChangeNetworkCategory(int expected, int category) override;
    bool GetFirewallPolicy(FirewallPolicy& policy) override;
    bool GetFirewallRule(const WString& name, bool& found, FirewallRule& rule) override;
    bool PutFirewallRule(const FirewallRule& rule) override;
};

}  // namespace os::win32
