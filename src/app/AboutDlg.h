// The about box: product title and version.
#pragma once

#include "os/Ui.h"

// System-menu command of the about entry (main window and role dialog).
constexpr unsigned kIdmAboutBox = 16;

class CAboutDlg : public os::Dialog {
  public:
    CAboutDlg(os::Ui& ui, os::Dialog* parent);
    bool OnInitDialog() override;
};
