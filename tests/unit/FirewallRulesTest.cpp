// The firewall rules this program keeps for itself: added once, corrected when they drift,
// never anyone else's, and a hint for the user wherever they cannot be made.
#include <gtest/gtest.h>

#include "net/FirewallRules.h"
#include "os/Text.h"
#include "sim/SimShell.h"

namespace {

const os::WString kExe = u"C:\\ソラノワBasic\\Program\\bin\\tandrix.exe";
const os::WString kTcp = u"ソラノワBasic (TCP 52379)";
const os::WString kUdp = u"ソラノワBasic (UDP 52380)";

bool Same(const os::FirewallRule& a, const os::FirewallRule& b) {
    return a.name == b.name && a.application == b.application && a.protocol == b.protocol &&
           a.localPorts == b.localPorts && a.profiles == b.profiles && a.inbound == b.inbound &&
           a.allow == b.allow && a.enabled == b.enabled;
}

void PlaceOurRules(sim::SimFirewall& fw) {
    for (const os::FirewallRule& rule : WantedFirewallRules(kExe)) {
        fw.rules[rule.name] = rule;
    }
}

TEST(FirewallRules, OursAreAddedOnceForThisProgramOnPrivateNetworksAndNoOtherRuleIsTouched) {
    sim::SimShell shell;
    os::FirewallRule other;
    other.name = u"Other (TCP 52379)";
    other.application = u"C:\\other.exe";
    other.protocol = os::kProtocolTcp;
    other.localPorts = u"52379";
    other.profiles = 7;
    other.allow = false;
    shell.Firewall().rules[other.name] = other;

    EXPECT_EQ(EnsureFirewallRules(shell, kExe), FirewallState::kOpen);
    const auto& rules = shell.Firewall().rules;
    ASSERT_EQ(rules.size(), 3u);
    EXPECT_TRUE(Same(rules.at(other.name), other));
    for (const auto& [name, protocol, port] :
         {std::tuple{kTcp, os::kProtocolTcp, u"52379"}, {kUdp, os::kProtocolUdp, u"52380"}}) {
        const os::FirewallRule& ours = rules.at(name);
        EXPECT_EQ(ours.application, kExe);
        EXPECT_EQ(ours.protocol, protocol);
        EXPECT_EQ(ours.localPorts, port);
        EXPECT_EQ(ours.profiles, os::kFirewallProfilePrivate);
        EXPECT_TRUE(ours.inbound && ours.allow && ours.enabled);
        EXPECT_EQ(ours.grouping, u"ソラノワBasic");
    }
    // The next start finds them as they should be: nothing is written again.
    EXPECT_EQ(EnsureFirewallRules(shell, kExe), FirewallState::kOpen);
    EXPECT_EQ(shell.Firewall().writes, 2);
    EXPECT_EQ(shell.ComInits(), shell.ComUninits());
}

TEST(FirewallRules, OurRuleThatDriftedIsCorrectedButABlockSomeoneMadeOfItStays) {
    const struct {
        const char* what;
        void (*drift)(os::FirewallRule&);
        FirewallState state;
        bool corrected;
    } rows[] = {
        {"program moved", [](os::FirewallRule& r) { r.application = u"D:\\old\\tandrix.exe"; },
         FirewallState::kOpen, true},
        {"other port", [](os::FirewallRule& r) { r.localPorts = u"5000"; }, FirewallState::kOpen,
         true},
        {"public too", [](os::FirewallRule& r) { r.profiles = 7; }, FirewallState::kOpen, true},
        {"switched off", [](os::FirewallRule& r) { r.enabled = false; }, FirewallState::kOpen,
         true},
        {"outbound", [](os::FirewallRule& r) { r.inbound = false; }, FirewallState::kOpen, true},
        {"path in other case", [](os::FirewallRule& r) { r.application = os::ToUpper(kExe); },
         FirewallState::kOpen, false},
        {"made a block", [](os::FirewallRule& r) { r.allow = false; }, FirewallState::kNeedsUser,
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        sim::SimShell shell;
        PlaceOurRules(shell.Firewall());
        os::FirewallRule& tcp = shell.Firewall().rules[kTcp];
        row.drift(tcp);
        const os::FirewallRule before = tcp;
        EXPECT_EQ(EnsureFirewallRules(shell, kExe), row.state);
        EXPECT_EQ(shell.Firewall().writes, row.corrected ? 1 : 0);
        EXPECT_TRUE(Same(shell.Firewall().rules[kTcp],
                         row.corrected ? WantedFirewallRules(kExe)[0] : before));
    }
}

TEST(FirewallRules, TheUserIsAskedOnlyWhereTheRulesAreMissingAndCannotBeMade) {
    const struct {
        const char* what;
        bool readable, guardsPrivate, localRulesApply, refused, lost, present;
        FirewallState state;
    } rows[] = {
        {"elevated", true, true, true, false, false, false, FirewallState::kOpen},
        {"not elevated", true, true, true, true, false, false, FirewallState::kNeedsUser},
        {"not elevated, rules there", true, true, true, true, false, true, FirewallState::kOpen},
        {"firewall unreadable", false, true, true, false, false, true, FirewallState::kNeedsUser},
        {"firewall off", true, false, true, true, false, false, FirewallState::kOpen},
        {"group policy wins", true, true, false, false, false, true, FirewallState::kNeedsUser},
        {"write not kept", true, true, true, false, true, false, FirewallState::kNeedsUser},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        sim::SimShell shell;
        sim::SimFirewall& fw = shell.Firewall();
        fw.readable = row.readable;
        fw.policy = {row.guardsPrivate, row.localRulesApply};
        fw.writesRefused = row.refused;
        fw.writesLost = row.lost;
        if (row.present) {
            PlaceOurRules(fw);
        }
        EXPECT_EQ(EnsureFirewallRules(shell, kExe), row.state);
        EXPECT_EQ(shell.ComInits(), shell.ComUninits());
    }
}

}  // namespace
