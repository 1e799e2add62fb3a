// The environment list's panel: the items' check boxes on white, a child dialog shown inside
// the list. Only the mail boxes act on one another; everything else the list decides.
#pragma once

#include "os/Ui.h"

class CDlgEnvListChks : public os::Dialog {
  public:
    CDlgEnvListChks(os::Ui& ui, os::Dialog* parent);

    bool OnCommand(int id) override;
    bool HasWhiteBackground() const override { return true; }
    // A child panel has no Enter or Escape of its own: its parent handles both.
    void OnOK() override {}
    void OnCancel() override {}

    // Set by the list when it opens: a mail client is on one of the PCs, so the mail account
    // and mail boxes go together (unchecking the account unchecks the mail, checking the mail
    // checks the account).
    bool m_bMailClient = false;
};
