// The firewall rules of this program and the partner dialog's hint.
#include "net/FirewallRules.h"

#include "net/Discovery.h"
#include "net/Sockets.h"
#include "os/Text.h"
#include "platform/Texts.h"

namespace {

// The rules' names and the hint name both ports.
static_assert(kTandrixPort == 52379 && discovery::kDiscoveryPort == 52380);

os::FirewallRule Rule(const char16_t* name, const os::WString& programPath, int protocol,
                      uint16_t port) {
    os::FirewallRule rule;
    rule.name = name;
    rule.description = texts::kFirewallDescription;
    rule.grouping = texts::kFirewallGrouping;
    rule.application = programPath;
    rule.protocol = protocol;
    rule.localPorts = os::ToWStringUnsigned(port);
    rule.profiles = os::kFirewallProfilePrivate;
    rule.inbound = true;
    rule.allow = true;
    rule.enabled = true;
    return rule;
}

// Whether `found` lets in what `wanted` does, and nothing more. The name and the description
// are not compared: the rule was found by its name, and a description changes nothing.
bool SameEffect(const os::FirewallRule& found, const os::FirewallRule& wanted) {
    return os::EqualsNoCase(found.application, wanted.application) &&
           found.protocol == wanted.protocol && found.localPorts == wanted.localPorts &&
           found.profiles == wanted.profiles && found.inbound == wanted.inbound &&
           found.allow == wanted.allow && found.enabled == wanted.enabled;
}

bool EnsureRule(os::Shell& shell, const os::FirewallRule& wanted) {
    bool found = false;
    os::FirewallRule rule;
    if (!shell.GetFirewallRule(wanted.name, found, rule)) {
        return false;
    }
    if (found && SameEffect(rule, wanted)) {
        return true;
    }
    if (found && !rule.allow) {
        return false;  // our rule made a block rule by someone: theirs to undo
    }
    if (!shell.PutFirewallRule(wanted)) {
        return false;
    }
    // Only a rule the firewall holds as written counts; a write that was accepted and not kept
    // must not hide the hint.
    return shell.GetFirewallRule(wanted.name, found, rule) && found && SameEffect(rule, wanted);
}

}  // namespace

std::vector<os::FirewallRule> WantedFirewallRules(const os::WString& programPath) {
    return {
        Rule(texts::kFirewallRuleTcp, programPath, os::kProtocolTcp, kTandrixPort),
        Rule(texts::kFirewallRuleUdp, programPath, os::kProtocolUdp, discovery::kDiscoveryPort)};
}

FirewallState EnsureFirewallRules(os::Shell& shell, const os::WString& programPath) {
    if (programPath.empty() || !shell.ComInitialize()) {
        return FirewallState::kNeedsUser;
    }
    os::FirewallPolicy policy;
    bool rulesInPlace = shell.GetFirewallPolicy(policy);
    if (rulesInPlace) {
        for (const os::FirewallRule& wanted : WantedFirewallRules(programPath)) {
            rulesInPlace = EnsureRule(shell, wanted) && rulesInPlace;
        }
    }
    shell.ComUninitialize();
    if (!policy.guardsPrivate) {
        return FirewallState::kOpen;  // nothing to allow
    }
    return rulesInPlace && policy.localRulesApply ? FirewallState::kOpen
                                                  : FirewallState::kNeedsUser;
}

os::WString PrepareFirewall(os::Platform& os) {
    os::WString programPath;
    if (!os.sys.GetModulePath(programPath)) {
        programPath.clear();
    }
    return EnsureFirewallRules(os.shell, programPath) == FirewallState::kOpen
               ? os::WString{}
               : os::WString(texts::kFirewallHint);
}
