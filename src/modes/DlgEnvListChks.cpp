// The environment list's panel of check boxes.
#include "modes/DlgEnvListChks.h"

#include "resource.h"

CDlgEnvListChks::CDlgEnvListChks(os::Ui& ui, os::Dialog* parent)
    : os::Dialog(ui, IDD_ENVLISTCHKS, parent) {}

bool CDlgEnvListChks::OnCommand(int id) {
    if (!m_bMailClient) {
        return false;
    }
    os::DialogWindow& window = Window();
    if (id == IDC_ENV_OEACCOUNT && !window.GetCheck(IDC_ENV_OEACCOUNT)) {
        window.SetCheck(IDC_ENV_OEMAIL, false);
        return true;
    }
    if (id == IDC_ENV_OEMAIL && window.GetCheck(IDC_ENV_OEMAIL)) {
        window.SetCheck(IDC_ENV_OEACCOUNT, true);
        return true;
    }
    return false;
}
