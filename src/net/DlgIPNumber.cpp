// Role and partner choice.
#include "net/DlgIPNumber.h"

#include "app/AboutDlg.h"
#include "net/DlgPartnerName.h"
#include "net/NetworkCategory.h"
#include "net/Sockets.h"
#include "os/Text.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "resource.h"

namespace {

enum : int {
    kBmpHeader = 287,
    kBmpBack = 313,
};

// The dialog has a single screen; every button exists on it.
constexpr int kScreen = 0;

os::WString WithoutBlanks(const os::WString& text) {
    os::WString out;
    for (char16_t c : text) {
        if (c != u' ') {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

CDlgIPNumber::CDlgIPNumber(os::Platform& os, os::Dialog* parent, const os::WString& programFolder,
                           discovery::CDiscovery* finder)
    : os::Dialog(os.ui, IDD_IPNUMBER, parent),
      m_os(os),
      m_sProgramFolder(programFolder),
      m_pFinder(finder) {}

bool CDlgIPNumber::OnInitDialog() {
    os::DialogWindow& window = Window();
    window.SetClientSize(600, 400);
    window.SetIcon(IDR_MAINFRAME);
    window.AppendSystemMenu(kIdmAboutBox,
                            os::WString(texts::kProductTitle) + texts::kAboutMenuSuffix);
    ReplaceApplicationName(*this);

    m_btnSource.Init(35, 140, 286, 305, 24, 131, 0, 0, 304, 307, 310, 0);
    m_btnDestination.Init(313, 140, 564, 305, 307, 131, 0, 0, 305, 308, 311, 0);
    m_btnQuit.Init(442, 322, 566, 377, 433, 321, 0, 0, 306, 309, 312, 0);
    m_btnManual.Init(10, 7, 115, 42, 10, 7, 0, 4, 288, 289, 290, 0);
    return true;
}

std::vector<const PaintedButton*> CDlgIPNumber::Buttons() const {
    return {&m_btnSource, &m_btnDestination, &m_btnQuit, &m_btnManual};
}

void CDlgIPNumber::OnPaint(os::Canvas& canvas) {
    canvas.DrawBitmap(kBmpHeader, 0, 0);
    // The quit button's normal look is part of the background picture.
    canvas.DrawBitmap(kBmpBack, 0, 60);
    m_btnSource.Draw(canvas, kScreen, PaintedButton::kNormal);
    m_btnDestination.Draw(canvas, kScreen, PaintedButton::kNormal);
    m_btnManual.Draw(canvas, kScreen, PaintedButton::kNormal);
    canvas.DrawText(texts::kRoleQuestion, 30, 66, InitPaintFont(), kPaintTextRgb);
}

void CDlgIPNumber::OnMouse(os::MouseEvent event, os::Point point) {
    os::DialogWindow& window = Window();
    const auto draw = [&](int state) {
        DrawButtonsDirect(window, Buttons(), point, kScreen, state);
    };
    switch (event) {
        case os::MouseEvent::Down:
        case os::MouseEvent::DoubleClick:
            window.SetCapture();
            draw(PaintedButton::kPressed);
            break;
        case os::MouseEvent::Move:
            draw(PaintedButton::kHover);
            break;
        case os::MouseEvent::Up:
            draw(PaintedButton::kNormal);
            window.ReleaseCapture();
            OnButtonClick(point);
            break;
    }
}

void CDlgIPNumber::OnButtonClick(os::Point point) {
    if (m_btnSource.HitTest(point, kScreen)) {
        OnCommand(kCmdSource);
    } else if (m_btnDestination.HitTest(point, kScreen)) {
        OnCommand(kCmdDestination);
    } else if (m_btnQuit.HitTest(point, kScreen)) {
        EndDialog(kResultQuit);
    } else if (m_btnManual.HitTest(point, kScreen)) {
        m_os.shell.Open(u"open", GetManualPath(m_os.fs, m_sProgramFolder));
    }
}

bool CDlgIPNumber::OnCommand(int id) {
    if (id != kCmdSource && id != kCmdDestination) {
        return false;
    }
    const discovery::Role role =
        id == kCmdSource ? discovery::Role::Source : discovery::Role::Destination;
    if (m_pFinder != nullptr) {
        m_pFinder->SetRole(role);
    }
    if (CheckNetworkCategory() && ChoosePartner(role)) {
        EndDialog(id == kCmdSource ? kResultSource : kResultDestination);
    } else if (m_pFinder != nullptr) {
        m_pFinder->SetRole(discovery::Role::None);
    }
    return true;
}

bool CDlgIPNumber::OnSysCommand(unsigned id) {
    if (id != kIdmAboutBox) {
        return false;
    }
    CAboutDlg about(m_os.ui, this);
    about.DoModal();
    return true;
}

bool CDlgIPNumber::CheckNetworkCategory() {
    if (!IsNetworkPublic(m_os.shell)) {
        return true;
    }
    if (ShowMessage(m_os.ui, texts::kAskMakePrivate, u"", os::kMbYesNo, this) != os::kIdYes) {
        return false;
    }
    if (MakeNetworkPrivate(m_os.shell)) {
        m_bMadePrivate = true;
        return true;
    }
    ShowMessage(m_os.ui, texts::kMakePrivateFailed, u"", os::kMbOk, this);
    return false;
}

bool CDlgIPNumber::ChoosePartner(discovery::Role ownRole) {
    CDlgPartnerName partner(m_os, this, m_pFinder, ownRole);
    if (partner.DoModal() != os::kIdOk || partner.m_sName.empty()) {
        return false;
    }
    const os::WString name = partner.m_sName;
    const std::optional<os::IPv4> announced = partner.m_announcedAddress;
    if (os::EqualsNoCase(WithoutLeadingBackslashes(name), GetPCName(m_os.sys))) {
        ShowMessage(m_os.ui, texts::kOwnPcRefused, u"", os::kMbOk, this);
        return false;
    }
    m_sPartnerAddress = WithoutBlanks(GetHostAddress(m_os.sys, name));
    if (m_sPartnerAddress.empty() && announced) {
        // A found PC whose name this network cannot resolve is reached at the address it
        // announced from, as if the user had typed that address.
        m_sPartnerAddress = DottedAddress(*announced);
        m_sPartnerName = name;
        m_partnerAddresses.assign(1, *announced);
        return true;
    }
    if (m_sPartnerAddress.empty()) {
        ShowMessage(m_os.ui, texts::kAddressLookupFailed, u"", os::kMbOk, this);
        return false;
    }
    m_sPartnerName = name;
    m_partnerAddresses = GetHostAddresses(m_os.sys, name);
    os::IPv4 chosen{};
    if (ParseIPv4(m_sPartnerAddress, chosen)) {
        std::erase(m_partnerAddresses, chosen);
        m_partnerAddresses.insert(m_partnerAddresses.begin(), chosen);
    }
    return true;
}
