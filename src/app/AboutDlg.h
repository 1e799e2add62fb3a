// The about box: product title and version.
#pragma once

#include "os/Ui.h"

class CAboutDlg : public os::Dialog {
  public:
    CAboutDlg(os::Ui& ui, os::Dialog* parent);
    bool OnInitDialog() override;
};
