// The file-list dialog.
#include "modes/DlgFileList.h"

#include "os/Text.h"
#include "platform/FileOps.h"
#include "platform/SystemHelpers.h"
#include "platform/Trace.h"
#include "resource.h"

namespace {

enum : int {
    kBmpHeader = 287,
    kBmpBack = 226,
};

// The dialog has a single screen; every button exists on it.
constexpr int kScreen = 0;

const char16_t kLimitFormat[] = u"一度に指定できるのは%d個までです。";
const char16_t kFileRefused[] =
    u"...\nこのファイルは追加できません。名前が長すぎるか、サイズが大きすぎるか、アクセスが禁止"
    u"されている可能性があります。";
const char16_t kFolderRefused[] =
    u"...\nこのフォルダは追加できません。名前が長すぎるか、アクセスが禁止されている可能性があり"
    u"ます。";
const char16_t kDriveRefused[] = u"...\nドライブは追加できません。";
const char16_t kAskRemoveAll[] = u"リストからすべて削除してよろしいですか？";
const char16_t kListEmpty[] = u"ファイルがひとつもありません";

// A drive root such as D:\ (characters from the second on exactly ":\").
bool IsDriveRoot(const os::WString& path) {
    return path.size() == 3 && path.compare(1, 2, u":\\") == 0;
}

os::WString LimitText() {
    const os::WString format = kLimitFormat;
    const size_t at = format.find(u"%d");
    return format.substr(0, at) + os::ToWString(CDlgFileList::kMaxEntries) + format.substr(at + 2);
}

}  // namespace

CDlgFileList::CDlgFileList(os::Platform& os, os::Dialog* parent, const os::WString& programFolder)
    : os::Dialog(os.ui, IDD_FILELIST, parent), m_os(os), m_sProgramFolder(programFolder) {}

bool CDlgFileList::OnInitDialog() {
    Window().SetClientSize(600, 400);
    ReplaceApplicationName(*this);
    if (m_nFolder != 0) {
        m_btnChoose.Init(436, 120, 558, 161, 423, 117, 0, 0, 247, 248, 249, 250);
    } else {
        m_btnChoose.Init(436, 120, 558, 161, 423, 117, 0, 0, 203, 209, 215, 221);
    }
    m_btnRemove.Init(436, 173, 558, 214, 423, 171, 0, 0, 204, 210, 216, 222);
    m_btnRemoveAll.Init(436, 226, 558, 267, 423, 225, 0, 0, 205, 211, 217, 223);
    m_btnRun.Init(436, 281, 558, 322, 423, 279, 0, 0, 206, 212, 218, 224);
    m_btnClose.Init(436, 334, 558, 374, 423, 332, 0, 0, 207, 213, 219, 225);
    m_btnManual.Init(10, 7, 115, 42, 10, 7, 0, 4, 288, 289, 290, 0);
    FillList();
    UpdateButtons();
    Window().Invalidate();
    return true;
}

std::vector<const PaintedButton*> CDlgFileList::Buttons() const {
    return {&m_btnChoose, &m_btnRemove, &m_btnRemoveAll, &m_btnRun, &m_btnClose, &m_btnManual};
}

void CDlgFileList::OnPaint(os::Canvas& canvas) {
    canvas.DrawBitmap(kBmpHeader, 0, 0);
    canvas.DrawBitmap(kBmpBack, 0, 60);
    for (const PaintedButton* button : Buttons()) {
        button->Draw(canvas, kScreen, PaintedButton::kNormal);
    }
    const os::FontSpec font = InitPaintFont();
    canvas.DrawText(u"コピーするファイルを選択してください。", 20, 56, font, kPaintTextRgb);
    canvas.DrawText(u"「コピー実行」をクリックすると、", 20, 80, font, kPaintTextRgb);
    canvas.DrawText(u"リストにあるファイルのコピーが始まります。", 20, 96, font, kPaintTextRgb);
}

void CDlgFileList::OnMouse(os::MouseEvent event, os::Point point) {
    os::DialogWindow& window = Window();
    const auto draw = [&](int state) {
        DrawButtonsDirect(window, Buttons(), point, kScreen, state);
    };
    switch (event) {
        case os::MouseEvent::Down:
        case os::MouseEvent::DoubleClick:
            window.SetCapture();
            m_bPressed = true;
            draw(PaintedButton::kPressed);
            break;
        case os::MouseEvent::Move:
            draw(PaintedButton::kHover);
            break;
        case os::MouseEvent::Up:
            draw(PaintedButton::kNormal);
            if (m_bPressed) {
                OnButtonClick(point);
            }
            // Unlike the other painted dialogs, the capture ends only after the action.
            m_bPressed = false;
            if (Window().Exists()) {
                Window().ReleaseCapture();
            }
            break;
    }
}

void CDlgFileList::OnButtonClick(os::Point point) {
    const auto hit = [&](const PaintedButton& button) {
        return button.HitTest(point, kScreen) && button.IsEnabled();
    };
    if (hit(m_btnChoose)) {
        Choose();
    } else if (hit(m_btnRemove)) {
        Remove();
    } else if (hit(m_btnRemoveAll)) {
        RemoveAll();
    } else if (hit(m_btnRun)) {
        Run();
    } else if (hit(m_btnClose)) {
        EndDialog(os::kIdCancel);
    } else if (hit(m_btnManual)) {
        m_os.shell.Open(u"open", GetManualPath(m_os.fs, m_sProgramFolder));
    }
}

bool CDlgFileList::OnCommand(int id) {
    switch (id) {
        case IDC_FILELIST_CHOOSE:
            Choose();
            return true;
        case IDC_FILELIST_REMOVE:
            Remove();
            return true;
        case IDC_FILELIST_REMOVE_ALL:
            RemoveAll();
            return true;
        case IDC_FILELIST_RUN:
            Run();
            return true;
        case IDC_FILELIST_ALL:
            return true;  // hidden, without an action
        default:
            return false;
    }
}

void CDlgFileList::OnListDoubleClick(int listId) {
    if (listId == IDC_FILELIST_LIST) {
        ShowEntry(Window().ListGetCurSel(IDC_FILELIST_LIST));
    }
}

os::WString CDlgFileList::DisplayText(os::FileSystem& fs, const os::WString& path) {
    if (path.size() >= 3 && path.substr(1) == u":\\") {
        return path;
    }
    const size_t slash = path.rfind(u'\\');
    os::WString text = slash == os::WString::npos ? path : path.substr(slash + 1);
    if (IsDirectory(fs, ExtendedLengthPath(path))) {
        text += u"\\";
    }
    return text;
}

void CDlgFileList::FillList() {
    os::DialogWindow& window = Window();
    window.ListResetContent(IDC_FILELIST_LIST);
    for (int i = 0; i < m_nCount; ++i) {
        window.ListAddString(IDC_FILELIST_LIST, DisplayText(m_os.fs, m_sPaths[i]));
    }
}

void CDlgFileList::UpdateButtons() {
    const bool any = m_nCount != 0;
    m_btnRemove.SetEnabled(any);
    m_btnRemoveAll.SetEnabled(any);
    m_btnRun.SetEnabled(any);
    Window().Invalidate();
}

void CDlgFileList::AddEntry(const os::WString& path) {
    for (int i = 0; i < m_nCount; ++i) {
        if (m_sPaths[i] == path) {
            return;
        }
    }
    if (m_nCount >= kMaxEntries) {
        return;
    }
    m_sPaths[m_nCount++] = path;
    FillList();
    UpdateButtons();
}

void CDlgFileList::ShowLimit() {
    ShowMessage(m_os.ui, LimitText(), u"", os::kMbOk, this);
}

os::WString CDlgFileList::DesktopPattern() const {
    os::WString desktop;
    if (!m_os.sys.GetSpecialFolderPath(os::kCsidlDesktopDirectory, false, desktop)) {
        desktop.clear();
    }
    return desktop + u"\\*.*";
}

void CDlgFileList::Choose() {
    if (m_nFolder != 0) {
        ChooseFolders();
    } else {
        ChooseFiles();
    }
}

bool CDlgFileList::Pick(std::vector<os::WString>& picked) {
    // The shell's dialogs are COM objects of this thread, for as long as one is open.
    if (!m_os.shell.ComInitialize()) {
        return false;
    }
    const bool chosen = m_nFolder != 0 ? m_os.shell.BrowseForFolders(this, DesktopPattern(), picked)
                                       : m_os.shell.OpenFileNames(this, u"全て(*.*)|*.*||",
                                                                  DesktopPattern(), picked);
    m_os.shell.ComUninitialize();
    return chosen;
}

void CDlgFileList::ChooseFiles() {
    std::vector<os::WString> picked;
    if (!Pick(picked)) {
        return;
    }
    for (os::WString path : picked) {
        Trace(u"sPathName=", path);
        if (m_nCount >= kMaxEntries) {
            ShowLimit();
            return;
        }
        // A pick deep in a long folder is still a path the file system can reach.
        if (!PathExists(m_os.fs, ExtendedLengthPath(path))) {
            ShowMessage(m_os.ui, path + kFileRefused, u"", os::kMbOk, this);
            continue;
        }
        if (m_os.fs.Open(ExtendedLengthPath(path), os::OpenMode::Read)) {
            AddEntry(path);
            continue;
        }
        // Not a readable file. An item directly in a drive root stands for that root.
        if (path.size() >= 3 && path.compare(1, 2, u":\\") == 0 && path.rfind(u'\\') == 2) {
            path = path.substr(0, 3);
            AddEntry(path);
        }
        // The user confirmed the dialog inside a folder with the initial "*.*": that folder.
        if (!path.empty() && path.back() == u'*') {
            const SplitPathParts parts = SplitPath(path);
            const os::WString folder = StripSuffix(parts.drive + parts.dir, u"\\");
            if (IsDirectory(m_os.fs, ExtendedLengthPath(folder))) {
                AddEntry(folder);
            }
        }
    }
}

void CDlgFileList::ChooseFolders() {
    std::vector<os::WString> picked;
    if (!Pick(picked)) {
        return;
    }
    for (const os::WString& path : picked) {
        Trace(u"sPathName=", path);
        if (m_nCount >= kMaxEntries) {
            ShowLimit();
            return;
        }
        if (IsDriveRoot(path)) {
            ShowMessage(m_os.ui, path + kDriveRefused, u"", os::kMbOk, this);
        } else if (!PathExists(m_os.fs, ExtendedLengthPath(path))) {
            ShowMessage(m_os.ui, path + kFolderRefused, u"", os::kMbOk, this);
        } else {
            AddEntry(path);
        }
    }
}

void CDlgFileList::Remove() {
    const int selected = Window().ListGetCurSel(IDC_FILELIST_LIST);
    if (m_nCount == 0 || selected < 0 || selected >= m_nCount) {
        return;
    }
    for (int i = selected; i + 1 < m_nCount; ++i) {
        m_sPaths[i] = m_sPaths[i + 1];
    }
    m_sPaths[--m_nCount].clear();
    FillList();
    UpdateButtons();
}

void CDlgFileList::RemoveAll() {
    if (ShowMessage(m_os.ui, kAskRemoveAll, u"", os::kMbYesNo, this) != os::kIdYes) {
        return;
    }
    Window().ListResetContent(IDC_FILELIST_LIST);
    for (os::WString& path : m_sPaths) {
        path.clear();
    }
    m_nCount = 0;
    UpdateButtons();
}

void CDlgFileList::Run() {
    if (Window().ListGetCount(IDC_FILELIST_LIST) == 0) {
        ShowMessage(m_os.ui, kListEmpty, u"", os::kMbOk, this);
        return;
    }
    EndDialog(os::kIdOk);
}

void CDlgFileList::ShowEntry(int index) {
    if (index < 0 || index >= m_nCount) {
        return;
    }
    ShowMessage(m_os.ui, m_sPaths[index], u"", os::kMbOk | os::kMbIconInformation, this);
}
