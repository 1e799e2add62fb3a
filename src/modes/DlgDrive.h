// The destination drive choice: one row per fixed drive of the partner, sorted by the list.
#pragma once

#include <vector>

#include "os/Ui.h"

class CDrive;

class CDlgDrive : public os::Dialog {
  public:
    static constexpr int kMaxRows = 40;

    CDlgDrive(os::Ui& ui, os::Dialog* parent);

    // Adds a row for every fixed drive of `drives` ("C:    総容量：… MB").
    void AddRows(const CDrive& drives);
    static os::WString RowText(const os::WString& root, int32_t totalMB);

    bool OnInitDialog() override;
    void OnOK() override;

    char16_t m_chChosen = 0;  // first character of the chosen row after OK
    int m_nRowCount = 0;
    os::WString m_sRows[kMaxRows];
};
