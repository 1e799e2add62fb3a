// The progress window both PCs show while data moves: overall and per-file bars, the file
// name, a status line with moving dots, a note and the stop button.
#pragma once

#include <cstdint>

#include "os/Ui.h"

class CDlgProgress : public os::Dialog {
  public:
    CDlgProgress(os::Ui& ui, os::Dialog* owner);
    ~CDlgProgress() override;

    bool OnInitDialog() override;
    void OnPaint(os::Canvas& canvas) override;
    void OnTimer(int id) override;
    bool OnCommand(int id) override;
    void OnOK() override {}
    void OnCancel() override {}
    void OnDestroy() override;

    void ShowPreparing();
    void ShowReceiving();
    void ShowChecking();
    void SetOverallRange(int total);
    void SetOverallPos(int pos);
    void SetFileRange(uint64_t total);
    void SetFilePos(uint64_t done);
    uint64_t GetFileRange() const { return m_nFileTotal; }
    void SetFileName(const os::WString& path);

    uint64_t m_nFileTotal = 0;
    os::WString m_sStatus;
    os::WString m_sPercent;
    os::WString m_sFileName;
    os::WString m_sNote;
    int m_nAnimState = 0;  // 0 not started, 1 transferring, 2 checking

  private:
    void UpdateControls();
    static uint64_t Scale(uint64_t total);

    os::Dialog* m_pOwner;
    int m_nOverallUpper = 0;
};

// Shared by every progress window of the process: which of the five dot texts comes next.
int ProgressDotIndex();
