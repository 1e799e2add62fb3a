// Searching dialog.
#include "net/DlgFindCancel.h"

#include "platform/SystemHelpers.h"
#include "resource.h"

CDlgFindCancel::CDlgFindCancel(os::Ui& ui, os::Dialog* owner, unsigned cancelMessage)
    : os::Dialog(ui, IDD_FINDCANCEL, owner), m_pOwner(owner), m_nCancelMessage(cancelMessage) {}

bool CDlgFindCancel::OnInitDialog() {
    ReplaceApplicationName(*this);
    return true;
}

bool CDlgFindCancel::OnCommand(int id) {
    if (id != IDC_FIND_CANCEL) {
        return false;
    }
    Cancel();
    return true;
}

void CDlgFindCancel::Cancel() {
    if (m_pOwner != nullptr && m_pOwner->HasWindow()) {
        m_pOwner->Window().Post(m_nCancelMessage, 0);
    }
    DestroyWindow();
}
