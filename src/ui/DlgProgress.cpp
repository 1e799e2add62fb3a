// Progress window.
#include "ui/DlgProgress.h"

#include <algorithm>

#include "net/Sockets.h"
#include "os/Text.h"
#include "platform/FileOps.h"
#include "platform/SystemHelpers.h"
#include "resource.h"

namespace {

constexpr int kAnimTimer = 1;
constexpr unsigned kAnimPeriodMs = 250;

const char16_t* const kDots[] = {u"．", u"．．", u"．．．", u"．．．．", u"．．．．．"};
constexpr char16_t kNote[] =
    u"OSや他ソフトが使用しているファイルや読み取り権のないファイルは自動的にスキップされます。";

int g_dotIndex = 0;

}  // namespace

int ProgressDotIndex() {
    return g_dotIndex;
}

CDlgProgress::CDlgProgress(os::Ui& ui, os::Dialog* owner)
    : os::Dialog(ui, IDD_PROGRESS, owner), m_pOwner(owner) {}

CDlgProgress::~CDlgProgress() = default;

bool CDlgProgress::OnInitDialog() {
    ReplaceApplicationName(*this);
    os::DialogWindow& window = Window();
    window.EnableItem(IDC_PROGRESS_STOP, true);
    window.SetProgressRange(IDC_PROGRESS_OVERALL, 0, 100);
    window.SetProgressPos(IDC_PROGRESS_OVERALL, 0);
    window.SetProgressRange(IDC_PROGRESS_FILE, 0, 100);
    window.SetProgressPos(IDC_PROGRESS_FILE, 0);
    m_nOverallUpper = 100;
    m_sStatus = window.GetItemText(IDC_PROGRESS_STATUS);
    m_sPercent = window.GetItemText(IDC_PROGRESS_PERCENT);
    m_sFileName = window.GetItemText(IDC_PROGRESS_FILENAME);
    m_sNote = window.GetItemText(IDC_PROGRESS_NOTE);
    m_nAnimState = 0;
    UpdateControls();
    return true;
}

void CDlgProgress::OnPaint(os::Canvas& /*canvas*/) {
    if (m_nAnimState == 0) {
        Window().SetTimer(kAnimTimer, kAnimPeriodMs);
        m_nAnimState = 1;
    }
}

void CDlgProgress::OnTimer(int id) {
    if (id != kAnimTimer) {
        return;
    }
    if (m_nAnimState == 1) {
        m_sStatus = os::WString(u"データ転送中") + kDots[g_dotIndex];
    } else if (m_nAnimState == 2) {
        m_sStatus = os::WString(u"調査中") + kDots[g_dotIndex];
    }
    g_dotIndex = (g_dotIndex + 1) % 5;
    UpdateControls();
}

bool CDlgProgress::OnCommand(int id) {
    if (id != IDC_PROGRESS_STOP) {
        return false;
    }
    if (m_pOwner != nullptr) {
        m_pOwner->Window().Post(kMsgStopRequest, 0);
    }
    return true;
}

void CDlgProgress::OnDestroy() {
    Window().KillTimer(kAnimTimer);
}

void CDlgProgress::UpdateControls() {
    os::DialogWindow& window = Window();
    window.SetItemText(IDC_PROGRESS_STATUS, m_sStatus);
    window.SetItemText(IDC_PROGRESS_PERCENT, m_sPercent);
    window.SetItemText(IDC_PROGRESS_FILENAME, m_sFileName);
    window.SetItemText(IDC_PROGRESS_NOTE, m_sNote);
}

void CDlgProgress::ShowPreparing() {
    m_sStatus = u"調査中．．．";
    m_sPercent.clear();
    m_sFileName = u"データ転送の準備中．．．";
    m_sNote = kNote;
    UpdateControls();
}

void CDlgProgress::ShowReceiving() {
    m_sStatus = u"受信中．．．";
    m_sFileName = u"データを受信しています．．．";
    m_sNote = kNote;
    UpdateControls();
}

void CDlgProgress::ShowChecking() {
    m_nAnimState = 2;
    Window().EnableItem(IDC_PROGRESS_STOP, false);
    m_sStatus = u"調査中．．．";
    m_sPercent.clear();
    m_sFileName = u"データ転送出来なかったファイルを調べています。";
    m_sNote.clear();
    UpdateControls();
}

void CDlgProgress::SetOverallRange(int total) {
    m_nOverallUpper = total;
    Window().SetProgressRange(IDC_PROGRESS_OVERALL, 0, total);
}

void CDlgProgress::SetOverallPos(int pos) {
    const int upper = m_nOverallUpper;
    if (pos >= 0 && pos <= upper) {
        Window().SetProgressPos(IDC_PROGRESS_OVERALL, pos);
    }
    int percent = 0;
    if (upper > 0) {
        percent = static_cast<int>(static_cast<int64_t>(pos) * 100 / upper);
        percent = std::clamp(percent, 0, 100);
    }
    m_sPercent = u"全体：" + os::ToWString(percent) + u"％";
}

uint64_t CDlgProgress::Scale(uint64_t total) {
    return (total > 10000 || total >= (uint64_t{1} << 32)) ? 100 : 1;
}

void CDlgProgress::SetFileRange(uint64_t total) {
    m_nFileTotal = total;
    const uint64_t upper = total / Scale(total);
    Window().SetProgressRange(IDC_PROGRESS_FILE, 0,
                              static_cast<int>(std::min<uint64_t>(upper, INT32_MAX)));
}

void CDlgProgress::SetFilePos(uint64_t done) {
    if (done <= m_nFileTotal) {
        const uint64_t pos = done / Scale(m_nFileTotal);
        Window().SetProgressPos(IDC_PROGRESS_FILE,
                                static_cast<int>(std::min<uint64_t>(pos, INT32_MAX)));
    }
}

void CDlgProgress::SetFileName(const os::WString& path) {
    const SplitPathParts parts = SplitPath(path);
    m_sFileName = u"コピー中のファイル名：" + parts.name + parts.ext;
}
