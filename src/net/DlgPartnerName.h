// The partner's name: picked from the PCs found on the network (double click, or select and
// OK), typed as a computer name or an IPv4 address, or picked with "参照..." in the shell's
// browser of network computers. The browser alone is not enough: on many networks (and under
// Wine) it lists no computer at all. The found list is live while the dialog is open. Its two
// bottom lines say what to allow in the firewall where the program could not make its rules.
#pragma once

#include <optional>
#include <vector>

#include "net/Discovery.h"
#include "os/Platform.h"

class CDlgPartnerName : public os::Dialog, private discovery::CDiscoveryListener {
  public:
    // `finder` (may be null) supplies the found PCs; `ownRole` is the role this PC chose.
    CDlgPartnerName(os::Platform& os, os::Dialog* parent, discovery::CDiscovery* finder = nullptr,
                    discovery::Role ownRole = discovery::Role::None);
    ~CDlgPartnerName() override;

    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnListDoubleClick(int listId) override;
    void OnOK() override;
    void OnDestroy() override;

    // After IDOK: the typed text without surrounding blanks, the browser's display name, or
    // the picked PC's computer name.
    os::WString m_sName;
    // The address the picked PC announced from (none when the name was typed or browsed).
    std::optional<os::IPv4> m_announcedAddress;

  private:
    void OnFoundPcsChanged() override;
    void ShowFoundPcs();
    // Ends the dialog with the selected found PC; false when none is selected.
    bool PickSelected();
    void Browse();
    void StopListening();

    os::Platform& m_os;
    discovery::CDiscovery* m_pFinder;
    discovery::Role m_ownRole;
    std::vector<discovery::FoundPc> m_shown;  // the list's rows, in order
};

// `text` without blanks (ASCII or ideographic) and tabs at either end.
os::WString TrimBlanks(const os::WString& text);
