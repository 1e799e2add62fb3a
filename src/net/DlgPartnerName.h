// The partner's name: typed as a computer name or an IPv4 address, or picked with "参照..."
// in the shell's browser of network computers. The browser alone is not enough: on many
// networks (and under Wine) it lists no computer at all.
#pragma once

#include "os/Platform.h"

class CDlgPartnerName : public os::Dialog {
  public:
    CDlgPartnerName(os::Platform& os, os::Dialog* parent);

    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

    // After IDOK: the typed text without surrounding blanks, or the browser's display name.
    os::WString m_sName;

  private:
    void Browse();

    os::Platform& m_os;
};

// `text` without blanks (ASCII or ideographic) and tabs at either end.
os::WString TrimBlanks(const os::WString& text);
