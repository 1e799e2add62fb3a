// The firewall rules that let the partner reach this program: inbound, for this program's path
// only, on private networks only, one for the TCP port and one for the discovery port. Rules are
// ours by name; no other rule is ever read into, changed or removed.
#pragma once

#include <vector>

#include "os/Platform.h"

enum class FirewallState {
    kOpen,       // our rules are in place, or the firewall does not guard private networks
    kNeedsUser,  // they are missing or wrong and could not be made: the user must allow us
};

// The rules this program wants for the program at `programPath`.
std::vector<os::FirewallRule> WantedFirewallRules(const os::WString& programPath);

// Adds a missing rule of ours and corrects one whose path, port, profile, direction or switch
// differs (not one turned into a block: that was someone's choice), then reads each back.
// Writing needs an elevated process; reading does not.
FirewallState EnsureFirewallRules(os::Shell& shell, const os::WString& programPath);

// Makes sure of the rules for the running program; the hint the partner dialog shows (empty
// when nothing needs the user).
os::WString PrepareFirewall(os::Platform& os);
