// The main window's painted surface: header, role picture, bitmap buttons and the lines of
// each screen, and the mouse protocol of its buttons.
#include "app/TandrixDlg.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "resource.h"

namespace {

constexpr uint32_t kWhite = kPaintTextRgb;
constexpr unsigned kFirstPaintMs = 500;

enum : int {
    kBmpHeader = 287,
    kBmpSourceBack = 200,
    kBmpDestBack = 251,
    kBmpStartBack = 201,
};

os::FontSpec StandardFont() {
    return InitPaintFont();
}
os::FontSpec LargeFont() {
    os::FontSpec font = InitPaintFont();
    font.height = 20;
    font.weight = 700;
    return font;
}

}  // namespace

void CTandrixDlg::LayoutButtons() {
    m_btnPicture.Init(172, 249, 421, 358, 158, 239, 0, 0, 198, 197, 199, 0);
    m_btnFileList.Init(54, 113, 291, 228, 46, 105, 1, 2, 182, 187, 192, 234);
    m_btnEnvironment.Init(309, 113, 546, 228, 306, 105, 1, 2, 183, 188, 193, 285);
    m_btnFolders.Init(54, 250, 291, 366, 46, 242, 1, 2, 184, 189, 194, 286);
    m_btnAllDrives.Init(309, 250, 546, 366, 306, 242, 1, 2, 185, 190, 195, 314);
    m_btnEnd.Init(225, 255, 374, 319, 208, 247, 1, 2, 236, 241, 246, 0);
    m_btnManual.Init(10, 7, 115, 42, 10, 7, 0, 4, 288, 289, 290, 0);
}

std::vector<const PaintedButton*> CTandrixDlg::CurrentButtons() const {
    std::vector<const PaintedButton*> buttons{&m_btnPicture};
    if (m_nPcRole == 1) {
        buttons.insert(buttons.end(),
                       {&m_btnFileList, &m_btnEnvironment, &m_btnFolders, &m_btnAllDrives});
    } else if (m_nPcRole == 2) {
        buttons.push_back(&m_btnEnd);
    }
    buttons.push_back(&m_btnManual);
    return buttons;
}

void CTandrixDlg::UpdateCopyButtonLook() {
    // A source contacted by its partner before its own user clicked cannot start a copy.
    const bool enabled = !(m_bConnected && !m_bCopyStarted);
    for (PaintedButton* button :
         {&m_btnFileList, &m_btnEnvironment, &m_btnFolders, &m_btnAllDrives}) {
        button->SetEnabled(enabled);
    }
}

void CTandrixDlg::OnPaint(os::Canvas& canvas) {
    if (m_bQuitPending) {
        return;
    }
    os::DialogWindow& window = Window();
    if (window.IsMinimized()) {
        const os::Rect client = window.ClientRect();
        canvas.DrawIcon(IDR_MAINFRAME, (client.right - client.left - 32 + 1) / 2,
                        (client.bottom - client.top - 32 + 1) / 2);
    }
    canvas.DrawBitmap(kBmpHeader, 0, 0);
    int picture = m_nPcRole == 2 ? kBmpDestBack : kBmpSourceBack;
    if (m_nScreen == 0 || m_nPcRole == 0) {
        picture = kBmpStartBack;
    }
    canvas.DrawBitmap(picture, 0, 60);

    m_btnPicture.Draw(canvas, m_nScreen, PaintedButton::kNormal);
    if (m_nPcRole == 1) {
        UpdateCopyButtonLook();
        for (const PaintedButton* button :
             {&m_btnFileList, &m_btnEnvironment, &m_btnFolders, &m_btnAllDrives}) {
            button->Draw(canvas, m_nScreen, PaintedButton::kNormal);
        }
    } else if (m_nPcRole == 2) {
        m_btnEnd.Draw(canvas, m_nScreen, PaintedButton::kNormal);
    }
    m_btnManual.Draw(canvas, m_nScreen, PaintedButton::kNormal);

    if (m_nScreen == 1) {
        // While the received environment moves into this PC's folders the window stays
        // usable, so it says that the move is still under way.
        canvas.DrawText(m_bEnvRegistering    ? texts::kEnvMoving
                        : m_bDrivesExchanged ? u"接続できました。"
                                             : u"接続の準備が出来ました。",
                        30, 64, LargeFont(), kWhite);
        if (m_nPcRole == 1) {
            canvas.DrawText(!m_bConnected || m_bCopyStarted
                                ? u"下のボタンから引越の種類を選んでクリックしてください。"
                                : u"こちらは引越先として動作していますので、引越はできません。",
                            30, 92, StandardFont(), kWhite);
        } else if (m_nPcRole == 2) {
            canvas.DrawText(
                m_bDrivesExchanged
                    ? u"・現在このパソコンは引越先のパソコンとして接続されています。"
                    : u"・現在このパソコンは引越先のパソコンとして接続する準備が出来ました。",
                120, 122, StandardFont(), kWhite);
            canvas.DrawText(u"・データを転送中はこのパソコンでは操作をしないでください。", 120, 142,
                            StandardFont(), kWhite);
            canvas.DrawText(u"・引越が完了したら[終了]ボタンを押してください。", 120, 162,
                            StandardFont(), kWhite);
        }
    } else if (m_nScreen == 4) {
        canvas.DrawText(u"コピーデータ受信中です...", 30, 64, LargeFont(), kWhite);
    }

    if (!m_bFirstPaintDone) {
        m_bFirstPaintDone = true;
        window.SetTimer(kTimerFirstPaint, kFirstPaintMs);
    }
}

void CTandrixDlg::OnMouse(os::MouseEvent event, os::Point point) {
    os::DialogWindow& window = Window();
    const auto buttons = CurrentButtons();
    const auto draw = [&](int state) {
        DrawButtonsDirect(window, buttons, point, m_nScreen, state);
    };
    switch (event) {
        case os::MouseEvent::Down:
        case os::MouseEvent::DoubleClick:
            m_bButtonDown = true;
            window.SetCapture();
            draw(PaintedButton::kPressed);
            break;
        case os::MouseEvent::Move:
            draw(m_bButtonDown ? PaintedButton::kPressed : PaintedButton::kHover);
            break;
        case os::MouseEvent::Up:
            draw(PaintedButton::kNormal);
            m_bButtonDown = false;
            window.ReleaseCapture();
            OnButtonClick(point);
            break;
    }
}

void CTandrixDlg::OnButtonClick(os::Point point) {
    if (m_nPcRole == 1) {
        const bool mayAct = !m_bConnected || m_bCopyStarted;
        const struct {
            PaintedButton* button;
            int command;
        } copies[] = {{&m_btnFileList, kCmdFileList},
                      {&m_btnEnvironment, kCmdEnvironment},
                      {&m_btnFolders, kCmdFolders},
                      {&m_btnAllDrives, kCmdWholeDrives}};
        for (const auto& copy : copies) {
            if (!copy.button->HitTest(point, m_nScreen)) {
                continue;
            }
            if (!mayAct || (copy.command == kCmdEnvironment && !copy.button->IsEnabled())) {
                return;
            }
            m_bCopyStarted = true;
            OnCommand(copy.command);
            return;
        }
    } else if (m_nPcRole == 2 && m_btnEnd.HitTest(point, m_nScreen)) {
        OnCancel();
        return;
    }
    if (m_btnManual.HitTest(point, m_nScreen)) {
        OpenManual();
    }
}

void CTandrixDlg::OpenManual() {
    m_os.shell.Open(u"open", GetManualPath(m_os.fs, m_sProgramFolder));
}
