// Destination drive choice.
#include "modes/DlgDrive.h"

#include "os/Text.h"
#include "platform/Drive.h"
#include "platform/SystemHelpers.h"
#include "resource.h"

CDlgDrive::CDlgDrive(os::Ui& ui, os::Dialog* parent) : os::Dialog(ui, IDD_DRIVE, parent) {}

os::WString CDlgDrive::RowText(const os::WString& root, int32_t totalMB) {
    const char16_t letter = root.empty() ? u'?' : os::FoldUpper(root[0]);
    return os::WString(1, letter) + u":    総容量：" + os::ToWString(totalMB) + u" MB";
}

void CDlgDrive::AddRows(const CDrive& drives) {
    for (int i = 0; i < drives.Count() && m_nRowCount < kMaxRows; ++i) {
        if (drives.GetType(i).empty()) {
            m_sRows[m_nRowCount++] = RowText(drives.GetRoot(i), drives.GetTotalMB(i));
        }
    }
}

bool CDlgDrive::OnInitDialog() {
    ReplaceApplicationName(*this);
    for (int i = 0; i < m_nRowCount; ++i) {
        Window().ListAddString(IDC_DRIVE_LIST, m_sRows[i]);
    }
    return true;
}

void CDlgDrive::OnOK() {
    const int selected = Window().ListGetCurSel(IDC_DRIVE_LIST);
    if (selected < 0) {
        ShowMessage(GetUi(), u"ドライブを選択してください", u"", 0, this);
        return;
    }
    const os::WString row = Window().ListGetText(IDC_DRIVE_LIST, selected);
    if (row.empty()) {
        ShowMessage(GetUi(), u"ドライブを選択してください", u"", 0, this);
        return;
    }
    m_chChosen = row[0];
    EndDialog(os::kIdOk);
}
