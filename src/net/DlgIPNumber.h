// The role and partner choice, the first window of the program: is this PC the source
// (引越元) or the destination (引越先) of the move, and which PC is the partner. Painted like
// the main window, with four bitmap buttons; the network category is checked before the
// partner is asked for.
#pragma once

#include <vector>

#include "net/Discovery.h"
#include "os/Platform.h"
#include "ui/PaintedButton.h"

class CDlgIPNumber : public os::Dialog {
  public:
    // Modal results.
    enum : int {
        kResultCancelled = 0,
        kResultDestination = 1,
        kResultSource = 2,
        kResultQuit = 3,
    };
    // Commands of the two role buttons.
    enum : int {
        kCmdSource = 1019,
        kCmdDestination = 1012,
    };

    // `programFolder` is where the manual is looked for; `finder` (may be null) finds the
    // other PCs and announces the role this PC takes.
    CDlgIPNumber(os::Platform& os, os::Dialog* parent, const os::WString& programFolder,
                 discovery::CDiscovery* finder = nullptr);

    bool OnInitDialog() override;
    void OnPaint(os::Canvas& canvas) override;
    void OnMouse(os::MouseEvent event, os::Point point) override;
    bool OnCommand(int id) override;
    bool OnSysCommand(unsigned id) override;
    void OnOK() override {}
    void OnCancel() override { EndDialog(kResultCancelled); }

    // True when the partner may be chosen: the network is not public, or it was made private.
    bool CheckNetworkCategory();
    // True when the user named a partner other than this PC whose address was found.
    bool ChoosePartner(discovery::Role ownRole = discovery::Role::None);

    os::WString m_sPartnerAddress;  // dotted IPv4 address of the partner
    os::WString m_sPartnerName;     // the name or address the user gave
    // Every address of the partner's name, m_sPartnerAddress first: the only addresses from
    // which the listening socket accepts a connection.
    std::vector<os::IPv4> m_partnerAddresses;
    bool m_bMadePrivate = false;

    PaintedButton m_btnSource;
    PaintedButton m_btnDestination;
    PaintedButton m_btnQuit;
    PaintedButton m_btnManual;

  private:
    std::vector<const PaintedButton*> Buttons() const;
    void OnButtonClick(os::Point point);

    os::Platform& m_os;
    os::WString m_sProgramFolder;
    discovery::CDiscovery* m_pFinder;
};
