// About box.
#include "app/AboutDlg.h"

#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "resource.h"

CAboutDlg::CAboutDlg(os::Ui& ui, os::Dialog* parent) : os::Dialog(ui, IDD_ABOUTBOX, parent) {}

bool CAboutDlg::OnInitDialog() {
    ReplaceApplicationName(*this);
    Window().SetItemText(IDC_ABOUT_VERSION, texts::kAboutVersionLine);
    return true;
}
