// The partner's name dialog.
#include "net/DlgPartnerName.h"

#include "net/FirewallRules.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "resource.h"

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

}  // namespace

os::WString TrimBlanks(const os::WString& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first])) {
        ++first;
    }
    while (last > first && IsBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

CDlgPartnerName::CDlgPartnerName(os::Platform& os, os::Dialog* parent)
    : os::Dialog(os.ui, IDD_PARTNER, parent), m_os(os) {}

bool CDlgPartnerName::OnInitDialog() {
    ReplaceApplicationName(*this);
    // Before anything listens: the partner must be able to reach this PC.
    Window().SetItemText(IDC_PARTNER_FIREWALL_HINT, PrepareFirewall(m_os));
    return true;
}

bool CDlgPartnerName::OnCommand(int id) {
    if (id != IDC_PARTNER_BROWSE) {
        return false;
    }
    Browse();
    return true;
}

void CDlgPartnerName::Browse() {
    if (!m_os.shell.ComInitialize()) {
        return;
    }
    os::WString name;
    const bool chosen = m_os.shell.BrowseForComputer(this, texts::kChoosePartnerTitle, name);
    m_os.shell.ComUninitialize();
    if (!chosen || name.empty()) {
        return;
    }
    // A computer picked in the browser is the answer; there is nothing left to type.
    m_sName = name;
    EndDialog(os::kIdOk);
}

void CDlgPartnerName::OnOK() {
    const os::WString name = TrimBlanks(Window().GetItemText(IDC_PARTNER_NAME));
    if (name.empty()) {
        return;  // nothing typed yet: the dialog stays
    }
    m_sName = name;
    EndDialog(os::kIdOk);
}
