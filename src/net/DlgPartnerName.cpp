// The partner's name dialog.
#include "net/DlgPartnerName.h"

#include "net/FirewallRules.h"
#include "net/Sockets.h"
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

CDlgPartnerName::CDlgPartnerName(os::Platform& os, os::Dialog* parent,
                                 discovery::CDiscovery* finder, discovery::Role ownRole)
    : os::Dialog(os.ui, IDD_PARTNER, parent), m_os(os), m_pFinder(finder), m_ownRole(ownRole) {}

CDlgPartnerName::~CDlgPartnerName() {
    StopListening();
}

bool CDlgPartnerName::OnInitDialog() {
    ReplaceApplicationName(*this);
    // Before the partner is chosen and this PC listens for it: the partner must be able to
    // reach this PC.
    Window().SetItemText(IDC_PARTNER_FIREWALL_HINT, PrepareFirewall(m_os));
    if (m_pFinder != nullptr) {
        m_pFinder->SetListener(this);
    }
    ShowFoundPcs();
    return true;
}

void CDlgPartnerName::OnDestroy() {
    StopListening();
}

void CDlgPartnerName::StopListening() {
    if (m_pFinder != nullptr) {
        m_pFinder->SetListener(nullptr);
        m_pFinder = nullptr;
    }
}

void CDlgPartnerName::OnFoundPcsChanged() {
    if (HasWindow()) {
        ShowFoundPcs();
    }
}

void CDlgPartnerName::ShowFoundPcs() {
    std::vector<discovery::FoundPc> rows;
    if (m_pFinder != nullptr) {
        rows = m_pFinder->Found().Sorted();
    }
    // The user's selection stays on its PC while rows come and go around it.
    os::DialogWindow& window = Window();
    const int selected = window.ListGetCurSel(IDC_PARTNER_FOUND);
    const uint64_t selectedId = selected >= 0 && static_cast<size_t>(selected) < m_shown.size()
                                    ? m_shown[static_cast<size_t>(selected)].instanceId
                                    : 0;
    window.ListResetContent(IDC_PARTNER_FOUND);
    int reselect = -1;
    for (const discovery::FoundPc& row : rows) {
        os::WString text =
            row.name + u"　" + DottedAddress(row.address) + u"　" + discovery::RoleText(row.role);
        if (row.role != discovery::Role::None && row.role == m_ownRole) {
            text += texts::kSameRoleMark;
        }
        const int index = window.ListAddString(IDC_PARTNER_FOUND, text);
        if (selected >= 0 && row.instanceId == selectedId) {
            reselect = index;
        }
    }
    m_shown = std::move(rows);
    if (reselect >= 0) {
        window.ListSetCurSel(IDC_PARTNER_FOUND, reselect);
    }
}

bool CDlgPartnerName::PickSelected() {
    const int selected = Window().ListGetCurSel(IDC_PARTNER_FOUND);
    if (selected < 0 || static_cast<size_t>(selected) >= m_shown.size()) {
        return false;
    }
    const discovery::FoundPc& row = m_shown[static_cast<size_t>(selected)];
    if (row.role != discovery::Role::None && row.role == m_ownRole) {
        ShowMessage(m_os.ui, texts::kSameRoleRefused, u"", os::kMbOk, this);
        return true;
    }
    m_sName = row.name;
    m_announcedAddress = row.address;
    EndDialog(os::kIdOk);
    return true;
}

void CDlgPartnerName::OnListDoubleClick(int listId) {
    if (listId == IDC_PARTNER_FOUND) {
        PickSelected();
    }
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
    m_announcedAddress.reset();
    EndDialog(os::kIdOk);
}

void CDlgPartnerName::OnOK() {
    const os::WString name = TrimBlanks(Window().GetItemText(IDC_PARTNER_NAME));
    // A typed name is what the user means; with none, the found PC selected in the list.
    if (name.empty()) {
        PickSelected();
        return;  // nothing typed or picked yet: the dialog stays
    }
    m_sName = name;
    EndDialog(os::kIdOk);
}
