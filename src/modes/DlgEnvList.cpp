// The environment selection dialog.
#include "modes/DlgEnvList.h"

#include "platform/FileOps.h"
#include "platform/FolderPathInfo.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "resource.h"

namespace {

enum : int {
    kBmpHeader = 287,
    kBmpBack = 172,
};

// The dialog has a single screen; every button exists on it.
constexpr int kScreen = 0;

constexpr uint32_t kOs2000Family = kOs2000Pro | kOs2000Server | kOs2000AdvServer;

bool FolderExists(os::FileSystem& fs, const os::WString& location) {
    return !location.empty() && IsDirectory(fs, location);
}

size_t IndexOfId(int id) {
    for (size_t i = 0; i < env::kItemCount; ++i) {
        if (env::kItems[i].controlId == id) {
            return i;
        }
    }
    return env::kItemCount;
}

}  // namespace

CDlgEnvList::CDlgEnvList(os::Platform& os, os::Dialog* parent)
    : os::Dialog(os.ui, IDD_ENVLIST, parent), m_chks(os.ui, this), m_os(os) {
    for (size_t i = 0; i < env::kItemCount; ++i) {
        m_bChecks[i] = true;
        m_bRunFlags[i] = true;
        m_nIds[i] = env::kItems[i].controlId;
        m_sKeys[i] = env::kItems[i].key;
    }
}

void CDlgEnvList::ReadFacts(CFolderPathInfo& folders, os::FileSystem& fs, uint32_t ownOs,
                            uint32_t remoteOs) {
    m_bDocExists = FolderExists(fs, folders.GetMyDocumentFolderPath());
    m_bMusicExists = FolderExists(fs, folders.GetMyMusicFolderPath());
    m_bPicExists = FolderExists(fs, folders.GetMyPictureFolderPath());
    m_bVideoExists = FolderExists(fs, folders.GetMyVideoFolderPath());
    m_bOutlookEx = m_bOutlookMail = m_bOutlookAccount = m_bWinLiveMail = false;
    m_bWin2000 = ((ownOs | remoteOs) & kOs2000Family) != 0;
    m_bITunesShown = m_bITunesEnabled = m_bITunesEnabled2 = false;
    m_bFirefox = false;
}

void CDlgEnvList::ForceOff(size_t index, bool hide) {
    if (index >= env::kItemCount) {
        return;
    }
    if (hide) {
        m_chks.Window().ShowItem(m_nIds[index], false);
    } else {
        m_chks.Window().EnableItem(m_nIds[index], false);
    }
    m_bUsable[index] = false;
    m_bChecks[index] = false;
    m_bRunFlags[index] = false;
}

void CDlgEnvList::ForceOffIds(std::initializer_list<int> ids) {
    for (const int id : ids) {
        ForceOff(IndexOfId(id));
    }
}

bool CDlgEnvList::OnInitDialog() {
    Window().SetClientSize(600, 400);
    ReplaceApplicationName(*this);
    m_chks.Create();
    m_bUsable.fill(true);

    m_bOutlookEx = m_bOutlookMail = m_bOutlookAccount = m_bWinLiveMail = false;
    m_bWallpaper = false;
    m_bITunesShown = m_bITunesEnabled = m_bITunesEnabled2 = false;
    m_bFirefox = false;
    m_chks.m_bMailClient = m_bOutlookEx || m_bWinLiveMail;

    ForceOffIds({IDC_ENV_IEINTSETTING, IDC_ENV_IEFAVORITES, IDC_ENV_IEHISTORY, IDC_ENV_IECOOKIE,
                 IDC_ENV_IEHOMEPAGE, IDC_ENV_IEURLAUTOCOMP, IDC_ENV_SPRTFAVORITES});
    if (m_bWin2000) {
        ForceOff(env::kMyVideo);
        ForceOff(env::kMyMusic);
    }
    if (!m_chks.m_bMailClient) {
        ForceOffIds({IDC_ENV_OLMAIL, IDC_ENV_OLACCOUNT, IDC_ENV_OEACCOUNT, IDC_ENV_OEMAIL,
                     IDC_ENV_OEADDRESS});
    }
    if (!m_bWallpaper) {
        ForceOffIds({IDC_ENV_WALLPAPER});
    }
    if (!m_bITunesShown) {
        ForceOff(IndexOfId(IDC_ENV_ITUNES), true);
    }
    if (!m_bFirefox) {
        ForceOffIds({IDC_ENV_FFINTSETTING, IDC_ENV_FFBOOKMARK, IDC_ENV_FFCOOKIE, IDC_ENV_FFHOMEPAGE,
                     IDC_ENV_FFURLAUTOCOMP, IDC_ENV_FFADDON, IDC_ENV_FFTHEME});
    }
    if (!m_bDocExists) {
        ForceOff(env::kMyDoc);
    }
    if (!m_bMusicExists) {
        ForceOff(env::kMyMusic);
    }
    if (!m_bPicExists) {
        ForceOff(env::kMyPic);
    }
    if (!m_bVideoExists) {
        ForceOff(env::kMyVideo);
    }
    for (size_t i = 0; i < env::kItemCount; ++i) {
        m_chks.Window().SetCheck(m_nIds[i], m_bChecks[i]);
    }

    m_btnRun.Init(422, 233, 567, 294, 411, 227, 0, 0, 173, 178, 181, 0);
    m_btnCancel.Init(422, 308, 567, 371, 411, 307, 0, 0, 174, 177, 180, 0);
    m_btnManual.Init(10, 7, 115, 42, 10, 7, 0, 4, 288, 289, 290, 0);
    Window().Invalidate();
    return true;
}

void CDlgEnvList::OnDestroy() {
    m_chks.DestroyWindow();
}

std::vector<const PaintedButton*> CDlgEnvList::Buttons() const {
    return {&m_btnRun, &m_btnCancel, &m_btnManual};
}

void CDlgEnvList::OnPaint(os::Canvas& canvas) {
    canvas.DrawBitmap(kBmpHeader, 0, 0);
    canvas.DrawBitmap(kBmpBack, 0, 60);
    for (const PaintedButton* button : Buttons()) {
        button->Draw(canvas, kScreen, PaintedButton::kNormal);
    }
    canvas.DrawText(texts::kEnvListHint, 20, 56, InitPaintFont(), kPaintTextRgb);
}

void CDlgEnvList::OnMouse(os::MouseEvent event, os::Point point) {
    if (event == os::MouseEvent::Down || event == os::MouseEvent::DoubleClick) {
        m_bPressed = true;
    }
    if (!TrackDialogMouse(Window(), Buttons(), event, point, kScreen)) {
        return;
    }
    const bool pressed = m_bPressed;
    m_bPressed = false;
    Window().ReleaseCapture();
    // Only a press that began in this window acts.
    if (pressed) {
        OnButtonClick(point);
    }
}

void CDlgEnvList::OnButtonClick(os::Point point) {
    if (m_btnRun.HitTest(point, kScreen)) {
        Run();
    } else if (m_btnCancel.HitTest(point, kScreen)) {
        EndDialog(os::kIdCancel);
    } else if (m_btnManual.HitTest(point, kScreen)) {
        m_os.shell.Open(u"open", GetManualPath(m_os.fs, m_sProgramFolder));
    }
}

bool CDlgEnvList::OnCommand(int id) {
    switch (id) {
        case IDC_ENV_RUN:
            Run();
            return true;
        case IDC_ENV_RUN_ALL:
            RunAll();
            return true;
        case IDC_ENV_ALLON:
            CheckAll(true);
            return true;
        case IDC_ENV_ALLOFF:
            CheckAll(false);
            return true;
        default:
            return false;
    }
}

void CDlgEnvList::Run() {
    os::DialogWindow& boxes = m_chks.Window();
    bool any = false;
    for (const int id : m_nIds) {
        any = any || boxes.GetCheck(id);
    }
    if (!any) {
        ShowMessage(m_os.ui, texts::kEnvNothingChosen, u"", os::kMbOk, this);
        return;
    }
    for (size_t i = 0; i < env::kItemCount; ++i) {
        m_bChecks[i] = m_bRunFlags[i] = boxes.GetCheck(m_nIds[i]);
    }
    EndDialog(os::kIdOk);
}

void CDlgEnvList::RunAll() {
    os::DialogWindow& boxes = m_chks.Window();
    for (size_t i = 0; i < env::kItemCount; ++i) {
        m_bChecks[i] = boxes.GetCheck(m_nIds[i]);
        m_bRunFlags[i] = true;
    }
    EndDialog(os::kIdOk);
}

void CDlgEnvList::CheckAll(bool checked) {
    for (size_t i = 0; i < env::kItemCount; ++i) {
        if (m_bUsable[i]) {
            m_chks.Window().SetCheck(m_nIds[i], checked);
        }
    }
}
