// The searching dialog: shown, modeless, while a connect attempt to the partner runs. Its
// Cancel tells the owner (with the owner's cancel message) and closes the dialog at once;
// the attempt itself runs on to its end.
#pragma once

#include "os/Ui.h"

class CDlgFindCancel : public os::Dialog {
  public:
    // `cancelMessage` is the n of the WM_APP + n message posted to `owner` on Cancel.
    CDlgFindCancel(os::Ui& ui, os::Dialog* owner, unsigned cancelMessage);

    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override {}
    // Escape and the close box act as the Cancel button.
    void OnCancel() override { Cancel(); }

  private:
    void Cancel();

    os::Dialog* m_pOwner;
    unsigned m_nCancelMessage;
};
