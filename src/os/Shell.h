// The Windows shell as the system uses it: opening a document or folder with its verb,
// shortcuts, the computer picker, the network list manager's category and the firewall's rules.
#pragma once

#include <vector>

#include "os/Types.h"

namespace os {

class Dialog;

// Firewall profiles and protocols, numbered as Windows numbers them.
enum : int {
    kFirewallProfilePrivate = 2,
    kProtocolTcp = 6,
    kProtocolUdp = 17,
};

// One rule of the system's firewall, as far as the system looks at it.
struct FirewallRule {
    WString name;
    WString description;
    WString grouping;
    WString application;  // the full path of the one program the rule is for
    int protocol = 0;
    WString localPorts;  // "52379"
    int profiles = 0;    // a mask of kFirewallProfile… bits
    bool inbound = true;
    bool allow = true;
    bool enabled = false;
};

// What the firewall's policy says about the rules of this PC.
struct FirewallPolicy {
    bool guardsPrivate = true;    // the firewall is on for private networks
    bool localRulesApply = true;  // no group policy overrides or blocks the rules made here
};

// Network categories of the network list manager, numbered as Windows numbers them.
enum : int {
    kNetworkPublic = 0,
    kNetworkPrivate = 1,
    kNetworkDomain = 2,
};

class Shell {
  public:
    virtual ~Shell() = default;

    // ShellExecute with `verb` on `path` in a normal window; true when the shell accepted it.
    virtual bool Open(const WString& verb, const WString& path) = 0;

    // COM for the calling thread (single-threaded apartment), around each use of a shell object.
    virtual bool ComInitialize() = 0;
    virtual void ComUninitialize() = 0;
    // A shell link at `linkPath` (overwritten) to `target`, normal window, default icon.
    virtual bool SaveShortcut(const WString& linkPath, const WString& target,
                              const WString& description, const WString& arguments) = 0;

    // The shell's browser of the computers on the network, owned by `owner` and titled
    // `title` (COM initialised): the display name of the chosen computer; false on cancel.
    virtual bool BrowseForComputer(Dialog* owner, const WString& title, WString& name) = 0;

    // The system's open-file dialog owned by `owner` (COM initialised), with multiple selection,
    // no validation of the typed name and the read-only box hidden. `filter` is written as
    // "name|pattern||"; `initialName` is the name the dialog starts with (a folder followed by
    // "\\*.*" opens in that folder). On OK, `paths` holds every chosen item as a full path;
    // false on cancel.
    virtual bool OpenFileNames(Dialog* owner, const WString& filter, const WString& initialName,
                               std::vector<WString>& paths) = 0;
    // The system's folder picker owned by `owner` (COM initialised), starting at
    // `initialFolder` (a trailing "\\*.*" is ignored): on OK, `paths` holds the chosen
    // folders, several at once where the system can; false on cancel.
    virtual bool BrowseForFolders(Dialog* owner, const WString& initialFolder,
                                  std::vector<WString>& paths) = 0;

    // The network list manager (COM initialised), one manager per call, looking only at the
    // first connected network. False when there is no such network or the manager fails.
    virtual bool GetNetworkCategory(int& category) = 0;
    // Sets that network's category to `category` if it is `expected` now; false when it is
    // not, or when the change is refused.
    virtual bool ChangeNetworkCategory(int expected, int category) = 0;

    // The firewall (COM initialised), one policy object per call. False when it cannot be read.
    virtual bool GetFirewallPolicy(FirewallPolicy& policy) = 0;
    // The rule called `name`: false when the rules cannot be read; `found` says whether one
    // exists (the first of that name, when several do).
    virtual bool GetFirewallRule(const WString& name, bool& found, FirewallRule& rule) = 0;
    // Adds `rule`, or gives the existing rule of its name every field of `rule` but its
    // grouping. False when refused (not elevated, forbidden by a policy) or failed.
    virtual bool PutFirewallRule(const FirewallRule& rule) = 0;
};

}  // namespace os
