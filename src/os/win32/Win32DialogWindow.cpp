// The dialog host: window creation, the dialog procedure and the one-line window helpers.
// No exception may cross the dialog procedure back into Windows, so the whole dispatch
// sits in one try/catch.
#include "os/win32/Win32DialogWindow.h"

#include <vector>

#include <commctrl.h>

#include "os/win32/Win32Canvas.h"
#include "os/win32/WinText.h"

namespace os::win32 {

Win32DialogWindow::~Win32DialogWindow() {
    if (m_hWnd && IsWindow(m_hWnd)) {
        // The Dialog is being destroyed: detach first so no handler runs on a dying object.
        SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
        DestroyWindow(m_hWnd);
    }
}

HWND Win32DialogWindow::HandleOf(Dialog* dialog) {
    if (!dialog || !dialog->HasWindow()) {
        return nullptr;
    }
    auto* window = dynamic_cast<Win32DialogWindow*>(&dialog->Window());
    return window ? window->m_hWnd : nullptr;
}

int Win32DialogWindow::RunModal() {
    if (Exists()) {
        return -1;
    }
    m_bModal = true;
    const INT_PTR result =
        DialogBoxParamW(m_hModule, MAKEINTRESOURCEW(m_nTemplateId), HandleOf(m_pParent),
                        &Win32DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    return static_cast<int>(result);
}

bool Win32DialogWindow::CreateModeless() {
    if (Exists()) {
        return true;
    }
    m_bModal = false;
    // Shown or not as the template's WS_VISIBLE says.
    HWND hwnd = CreateDialogParamW(m_hModule, MAKEINTRESOURCEW(m_nTemplateId), HandleOf(m_pParent),
                                   &Win32DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

void Win32DialogWindow::End(int result) {
    if (!m_hWnd) {
        return;
    }
    if (m_bModal) {
        EndDialog(m_hWnd, result);
    } else {
        DestroyWindow(m_hWnd);
    }
}

void Win32DialogWindow::Destroy() {
    if (m_hWnd) {
        DestroyWindow(m_hWnd);
    }
}

bool Win32DialogWindow::Exists() {
    return m_hWnd && IsWindow(m_hWnd);
}

INT_PTR CALLBACK Win32DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    Win32DialogWindow* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Win32DialogWindow*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<Win32DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        return FALSE;
    }
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        // A handler failed; the window goes on with the default handling.
        return message == WM_INITDIALOG ? TRUE : FALSE;
    }
}

void Win32DialogWindow::SetResult(LRESULT result) {
    SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
}

INT_PTR Win32DialogWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return m_dialog.OnInitDialog() ? TRUE : FALSE;
        case WM_PAINT:
            return OnPaintMessage();
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: {
            const MouseEvent event = message == WM_LBUTTONDOWN     ? MouseEvent::Down
                                     : message == WM_LBUTTONDBLCLK ? MouseEvent::DoubleClick
                                     : message == WM_MOUSEMOVE     ? MouseEvent::Move
                                                                   : MouseEvent::Up;
            m_dialog.OnMouse(event, Point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return TRUE;
        }
        case WM_TIMER:
            m_dialog.OnTimer(static_cast<int>(wParam));
            return TRUE;
        case WM_COMMAND:
            return OnCommandMessage(wParam, lParam);
        case WM_SYSCOMMAND:
            // The low four bits are used by Windows itself.
            return m_dialog.OnSysCommand(static_cast<unsigned>(wParam & 0xFFF0)) ? TRUE : FALSE;
        case WM_CLOSE:
            m_dialog.OnCancel();
            return TRUE;
        case WM_DESTROY:
            m_dialog.OnDestroy();
            return TRUE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (!m_dialog.HasWhiteBackground()) {
                return FALSE;
            }
            // Text drawn with an opaque background (check-box and group-box labels) too.
            SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
            return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
        default:
            break;
    }
    if (message >= WM_APP && message <= 0xBFFF) {
        SetResult(m_dialog.OnAppMessage(message - WM_APP, wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR Win32DialogWindow::OnPaintMessage() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    if (!dc) {
        return FALSE;
    }
    try {
        Win32Canvas canvas(m_hModule, dc);
        m_dialog.OnPaint(canvas);
    } catch (...) {
        EndPaint(m_hWnd, &ps);
        throw;
    }
    EndPaint(m_hWnd, &ps);
    return TRUE;
}

INT_PTR Win32DialogWindow::OnCommandMessage(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (code == LBN_DBLCLK && lParam != 0) {
        m_dialog.OnListDoubleClick(id);
        return TRUE;
    }
    // Button clicks, menu items and accelerators are commands; other control notifications
    // (edit changes, list selections) are not.
    if (code != BN_CLICKED && lParam != 0) {
        return FALSE;
    }
    if (id == IDOK) {
        m_dialog.OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        m_dialog.OnCancel();
        return TRUE;
    }
    return m_dialog.OnCommand(id) ? TRUE : FALSE;
}

WString Win32DialogWindow::GetCaption() {
    if (!m_hWnd) {
        return {};
    }
    const int length = GetWindowTextLengthW(m_hWnd);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    const int n = GetWindowTextW(m_hWnd, text.data(), length + 1);
    return FromW(text.data(), static_cast<size_t>(n));
}

void Win32DialogWindow::SetCaption(const WString& text) {
    if (m_hWnd) {
        SetWindowTextW(m_hWnd, W(text));
    }
}

void Win32DialogWindow::SetIcon(int iconId) {
    if (!m_hWnd) {
        return;
    }
    // Shared icons (LoadIcon, LR_SHARED) belong to the system and are never destroyed.
    HICON big = LoadIconW(m_hModule, MAKEINTRESOURCEW(iconId));
    HICON smallIcon = static_cast<HICON>(LoadImageW(m_hModule, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXSMICON),
                                                    GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(smallIcon ? smallIcon : big));
}

void Win32DialogWindow::AppendSystemMenu(unsigned commandId, const WString& text) {
    if (!m_hWnd) {
        return;
    }
    HMENU menu = GetSystemMenu(m_hWnd, FALSE);
    if (menu) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, commandId, W(text));
    }
}

void Win32DialogWindow::Invalidate() {
    if (m_hWnd) {
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }
}

void Win32DialogWindow::Enable(bool enable) {
    if (m_hWnd) {
        EnableWindow(m_hWnd, enable ? TRUE : FALSE);
    }
}

void Win32DialogWindow::BringToFront() {
    if (m_hWnd) {
        SetForegroundWindow(m_hWnd);
    }
}

bool Win32DialogWindow::IsMinimized() {
    return m_hWnd && IsIconic(m_hWnd);
}

Rect Win32DialogWindow::ClientRect() {
    RECT r{};
    if (m_hWnd) {
        GetClientRect(m_hWnd, &r);
    }
    return Rect{r.left, r.top, r.right, r.bottom};
}

void Win32DialogWindow::SetClientSize(int width, int height) {
    if (!m_hWnd) {
        return;
    }
    RECT client{};
    RECT outer{};
    GetClientRect(m_hWnd, &client);
    GetWindowRect(m_hWnd, &outer);
    // The frame around the client area stays as it is; only the client area changes size.
    const int frameWidth = (outer.right - outer.left) - (client.right - client.left);
    const int frameHeight = (outer.bottom - outer.top) - (client.bottom - client.top);
    SetWindowPos(m_hWnd, nullptr, 0, 0, width + frameWidth, height + frameHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::unique_ptr<Canvas> Win32DialogWindow::DirectCanvas() {
    HDC dc = m_hWnd ? GetDC(m_hWnd) : nullptr;
    if (!dc) {
        return nullptr;
    }
    return std::make_unique<Win32Canvas>(m_hModule, dc, m_hWnd);
}

void Win32DialogWindow::SetCapture() {
    if (m_hWnd) {
        ::SetCapture(m_hWnd);
    }
}

void Win32DialogWindow::ReleaseCapture() {
    ::ReleaseCapture();
}

void Win32DialogWindow::SetTimer(int id, unsigned milliseconds) {
    if (m_hWnd) {
        ::SetTimer(m_hWnd, static_cast<UINT_PTR>(id), milliseconds, nullptr);
    }
}

void Win32DialogWindow::KillTimer(int id) {
    if (m_hWnd) {
        ::KillTimer(m_hWnd, static_cast<UINT_PTR>(id));
    }
}

void Win32DialogWindow::Post(unsigned n, uintptr_t wParam) {
    if (m_hWnd) {
        PostMessageW(m_hWnd, WM_APP + n, wParam, 0);
    }
}

intptr_t Win32DialogWindow::Send(unsigned n, uintptr_t wParam) {
    return m_hWnd ? SendMessageW(m_hWnd, WM_APP + n, wParam, 0) : 0;
}

void Win32DialogWindow::PostClose() {
    if (m_hWnd) {
        PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    }
}

void Win32DialogWindow::SetItemText(int id, const WString& text) {
    if (m_hWnd) {
        SetDlgItemTextW(m_hWnd, id, W(text));
    }
}

WString Win32DialogWindow::GetItemText(int id) {
    HWND item = m_hWnd ? GetDlgItem(m_hWnd, id) : nullptr;
    if (!item) {
        return {};
    }
    const int length = GetWindowTextLengthW(item);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    const int n = GetWindowTextW(item, text.data(), length + 1);
    return FromW(text.data(), static_cast<size_t>(n));
}

void Win32DialogWindow::EnableItem(int id, bool enable) {
    HWND item = m_hWnd ? GetDlgItem(m_hWnd, id) : nullptr;
    if (item) {
        EnableWindow(item, enable ? TRUE : FALSE);
    }
}

void Win32DialogWindow::ShowItem(int id, bool show) {
    HWND item = m_hWnd ? GetDlgItem(m_hWnd, id) : nullptr;
    if (item) {
        ShowWindow(item, show ? SW_SHOW : SW_HIDE);
    }
}

void Win32DialogWindow::SetCheck(int id, bool checked) {
    SendItem(id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32DialogWindow::GetCheck(int id) {
    return SendItem(id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

LRESULT Win32DialogWindow::SendItem(int id, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT otherwise) {
    return m_hWnd ? SendDlgItemMessageW(m_hWnd, id, message, wParam, lParam) : otherwise;
}

int Win32DialogWindow::ListAddString(int id, const WString& text) {
    return static_cast<int>(
        SendItem(id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text)), LB_ERR));
}

void Win32DialogWindow::ListResetContent(int id) {
    SendItem(id, LB_RESETCONTENT, 0, 0);
}

int Win32DialogWindow::ListGetCount(int id) {
    const LRESULT n = SendItem(id, LB_GETCOUNT, 0, 0);
    return n == LB_ERR ? 0 : static_cast<int>(n);
}

int Win32DialogWindow::ListGetCurSel(int id) {
    return static_cast<int>(SendItem(id, LB_GETCURSEL, 0, 0, LB_ERR));
}

void Win32DialogWindow::ListSetCurSel(int id, int index) {
    SendItem(id, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

WString Win32DialogWindow::ListGetText(int id, int index) {
    const LRESULT length = SendItem(id, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0, LB_ERR);
    if (length == LB_ERR || length < 0) {
        return {};
    }
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT n = SendItem(id, LB_GETTEXT, static_cast<WPARAM>(index),
                               reinterpret_cast<LPARAM>(text.data()), LB_ERR);
    return n == LB_ERR ? WString() : FromW(text.data(), static_cast<size_t>(n));
}

void Win32DialogWindow::SetProgressRange(int id, int lower, int upper) {
    SendItem(id, PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

int Win32DialogWindow::GetProgressUpper(int id) {
    // wParam FALSE asks for the upper limit.
    return static_cast<int>(SendItem(id, PBM_GETRANGE, FALSE, 0));
}

void Win32DialogWindow::SetProgressPos(int id, int pos) {
    SendItem(id, PBM_SETPOS, static_cast<WPARAM>(pos), 0);
}

}  // namespace os::win32
