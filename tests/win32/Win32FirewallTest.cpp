// The firewall's rules on the running system, through the real call path. Wine's firewall
// objects are partly stubs: the answer must be sane (a rule claimed to be in place reads back
// as ours, an unreadable firewall asks the user) and the same on a second start.
#include "os/win32/WinApi.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "net/FirewallRules.h"
#include "os/Text.h"
#include "os/win32/Win32Shell.h"
#include "os/win32/Win32System.h"

namespace {

TEST(Win32FirewallTest, TheRealCallPathRunsToASaneAnswer) {
    os::win32::Win32Shell shell;
    os::win32::Win32System sys;
    os::WString exe;
    ASSERT_TRUE(sys.GetModulePath(exe));
    os::FirewallPolicy policy;
    os::FirewallRule rule;
    bool found = false;
    EXPECT_FALSE(shell.GetFirewallPolicy(policy)) << "no COM";

    ASSERT_TRUE(shell.ComInitialize());
    const bool policyRead = shell.GetFirewallPolicy(policy);
    const bool ruleRead = shell.GetFirewallRule(u"ソラノワBasic (TCP 52379)", found, rule);
    shell.ComUninitialize();
    const FirewallState state = EnsureFirewallRules(shell, exe);
    std::printf("firewall: policy %s (private %s, local rules %s), rule %s, state %s\n",
                policyRead ? "read" : "unreadable", policy.guardsPrivate ? "guarded" : "open",
                policy.localRulesApply ? "apply" : "overridden",
                !ruleRead ? "unreadable"
                : found   ? "found"
                          : "absent",
                state == FirewallState::kOpen ? "open" : "needs the user");

    if (!policyRead) {
        EXPECT_EQ(state, FirewallState::kNeedsUser);
    }
    if (state == FirewallState::kOpen && policy.guardsPrivate) {
        ASSERT_TRUE(shell.ComInitialize());
        EXPECT_TRUE(shell.GetFirewallRule(u"ソラノワBasic (UDP 52380)", found, rule) && found);
        shell.ComUninitialize();
        EXPECT_TRUE(os::EqualsNoCase(rule.application, exe));
        EXPECT_EQ(rule.localPorts, u"52380");
    }
    EXPECT_EQ(EnsureFirewallRules(shell, exe), state);
}

}  // namespace
