// The firewall's policy and rules through INetFwPolicy2: one policy object per call, rules
// found by name with INetFwRules::Item, changed in place or added whole.
#include "os/win32/WinApi.h"

#include <netfw.h>
#include <oleauto.h>

#include "os/win32/ComPtr.h"
#include "os/win32/Win32Shell.h"
#include "os/win32/WinText.h"

namespace os::win32 {

namespace {

// A BSTR owned for the length of one call.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(const WString& text)
        : m_s(SysAllocStringLen(W(text), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(m_s); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return m_s; }
    BSTR* Out() { return &m_s; }
    WString Text() const { return m_s ? FromW(m_s, SysStringLen(m_s)) : WString(); }

  private:
    BSTR m_s = nullptr;
};

bool OpenRules(ComPtr<INetFwPolicy2>& policy, ComPtr<INetFwRules>& rules) {
    return SUCCEEDED(CoCreateInstance(__uuidof(NetFwPolicy2), nullptr, CLSCTX_INPROC_SERVER,
                                      __uuidof(INetFwPolicy2),
                                      reinterpret_cast<void**>(policy.Out()))) &&
           policy && SUCCEEDED(policy->get_Rules(rules.Out())) && rules;
}

// S_OK with the rule called `name`; HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when there is
// none; any other failure as it came.
HRESULT FindRule(INetFwRules* rules, const WString& name, ComPtr<INetFwRule>& rule) {
    Bstr text(name);
    if (!text.Get()) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = rules->Item(text.Get(), rule.Out());
    return SUCCEEDED(hr) && !rule ? E_POINTER : hr;
}

template <typename Get>
bool ReadText(Get get, WString& out) {
    Bstr text;
    if (FAILED(get(text.Out()))) {
        return false;
    }
    out = text.Text();
    return true;
}

bool ReadRule(INetFwRule* r, FirewallRule& rule) {
    LONG protocol = 0;
    LONG profiles = 0;
    NET_FW_RULE_DIRECTION direction{};
    NET_FW_ACTION action{};
    VARIANT_BOOL enabled = VARIANT_FALSE;
    if (!ReadText([r](BSTR* s) { return r->get_Name(s); }, rule.name) ||
        !ReadText([r](BSTR* s) { return r->get_Description(s); }, rule.description) ||
        !ReadText([r](BSTR* s) { return r->get_Grouping(s); }, rule.grouping) ||
        !ReadText([r](BSTR* s) { return r->get_ApplicationName(s); }, rule.application) ||
        !ReadText([r](BSTR* s) { return r->get_LocalPorts(s); }, rule.localPorts) ||
        FAILED(r->get_Protocol(&protocol)) || FAILED(r->get_Profiles(&profiles)) ||
        FAILED(r->get_Direction(&direction)) || FAILED(r->get_Action(&action)) ||
        FAILED(r->get_Enabled(&enabled))) {
        return false;
    }
    rule.protocol = static_cast<int>(protocol);
    rule.profiles = static_cast<int>(profiles);
    rule.inbound = direction == NET_FW_RULE_DIR_IN;
    rule.allow = action == NET_FW_ACTION_ALLOW;
    rule.enabled = enabled != VARIANT_FALSE;
    return true;
}

// Every field but the name and the grouping. The protocol goes before the ports: ports are
// refused on a rule of any protocol.
bool WriteRule(INetFwRule* r, const FirewallRule& rule) {
    Bstr description(rule.description);
    Bstr application(rule.application);
    Bstr ports(rule.localPorts);
    return SUCCEEDED(r->put_Description(description.Get())) &&
           SUCCEEDED(r->put_ApplicationName(application.Get())) &&
           SUCCEEDED(r->put_Protocol(rule.protocol)) && SUCCEEDED(r->put_LocalPorts(ports.Get())) &&
           SUCCEEDED(r->put_Profiles(rule.profiles)) &&
           SUCCEEDED(r->put_Direction(rule.inbound ? NET_FW_RULE_DIR_IN : NET_FW_RULE_DIR_OUT)) &&
           SUCCEEDED(r->put_Action(rule.allow ? NET_FW_ACTION_ALLOW : NET_FW_ACTION_BLOCK)) &&
           SUCCEEDED(r->put_Enabled(rule.enabled ? VARIANT_TRUE : VARIANT_FALSE));
}

}  // namespace

bool Win32Shell::GetFirewallPolicy(FirewallPolicy& policy) {
    ComPtr<INetFwPolicy2> fw;
    if (FAILED(CoCreateInstance(__uuidof(NetFwPolicy2), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(INetFwPolicy2), reinterpret_cast<void**>(fw.Out()))) ||
        !fw) {
        return false;
    }
    // What cannot be read is taken as the usual case: the firewall is on and rules apply.
    VARIANT_BOOL on = VARIANT_TRUE;
    policy.guardsPrivate =
        FAILED(fw->get_FirewallEnabled(NET_FW_PROFILE2_PRIVATE, &on)) || on != VARIANT_FALSE;
    NET_FW_MODIFY_STATE state = NET_FW_MODIFY_STATE_OK;
    policy.localRulesApply =
        FAILED(fw->get_LocalPolicyModifyState(&state)) || state == NET_FW_MODIFY_STATE_OK;
    return true;
}

bool Win32Shell::GetFirewallRule(const WString& name, bool& found, FirewallRule& rule) {
    ComPtr<INetFwPolicy2> policy;
    ComPtr<INetFwRules> rules;
    ComPtr<INetFwRule> item;
    if (!OpenRules(policy, rules)) {
        return false;
    }
    const HRESULT hr = FindRule(rules.Get(), name, item);
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) {
        found = false;
        return true;
    }
    if (FAILED(hr) || !ReadRule(item.Get(), rule)) {
        return false;
    }
    found = true;
    return true;
}

bool Win32Shell::PutFirewallRule(const FirewallRule& rule) {
    ComPtr<INetFwPolicy2> policy;
    ComPtr<INetFwRules> rules;
    ComPtr<INetFwRule> item;
    if (!OpenRules(policy, rules)) {
        return false;
    }
    const HRESULT hr = FindRule(rules.Get(), rule.name, item);
    if (SUCCEEDED(hr)) {
        return WriteRule(item.Get(), rule);  // a rule of the policy takes each change at once
    }
    if (hr != HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) {
        return false;
    }
    ComPtr<INetFwRule> added;
    if (FAILED(CoCreateInstance(__uuidof(NetFwRule), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(INetFwRule), reinterpret_cast<void**>(added.Out()))) ||
        !added) {
        return false;
    }
    Bstr name(rule.name);
    Bstr grouping(rule.grouping);
    return SUCCEEDED(added->put_Name(name.Get())) &&
           SUCCEEDED(added->put_Grouping(grouping.Get())) && WriteRule(added.Get(), rule) &&
           SUCCEEDED(rules->Add(added.Get()));
}

}  // namespace os::win32
