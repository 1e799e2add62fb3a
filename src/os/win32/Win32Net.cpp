// The hidden window behind every socket's notifications.
#include "os/win32/Win32Net.h"

#include "os/win32/Win32Datagram.h"
#include "os/win32/Win32Socket.h"

namespace os::win32 {

namespace {

constexpr UINT kSocketMessage = WM_USER + 1;
constexpr wchar_t kWindowClass[] = L"TandrixSocketWindow";

}  // namespace

Win32Net::~Win32Net() {
    if (m_hWnd) {
        DestroyWindow(m_hWnd);
    }
}

std::unique_ptr<Socket> Win32Net::CreateSocket(SocketEvents& events) {
    return std::make_unique<Win32Socket>(*this, events);
}

std::unique_ptr<DatagramSocket> Win32Net::CreateDatagramSocket(DatagramEvents& events) {
    return std::make_unique<Win32Datagram>(*this, events);
}

HWND Win32Net::Window() {
    if (!m_hWnd) {
        HINSTANCE module = GetModuleHandleW(nullptr);
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Win32Net::WindowProc;
        wc.hInstance = module;
        wc.lpszClassName = kWindowClass;
        RegisterClassW(&wc);  // fails harmlessly when another Win32Net registered it
        m_hWnd = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module,
                                 nullptr);
        if (m_hWnd) {
            SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        }
    }
    return m_hWnd;
}

bool Win32Net::Register(SOCKET s, Win32SocketSink& sink, long events) {
    HWND hwnd = Window();
    if (!hwnd) {
        return false;
    }
    m_sockets[s] = &sink;
    if (WSAAsyncSelect(s, hwnd, kSocketMessage, events) != 0) {
        m_sockets.erase(s);
        return false;
    }
    return true;
}

void Win32Net::Unregister(SOCKET s) {
    m_sockets.erase(s);
}

void Win32Net::PostEvent(SOCKET s, int event, int error) {
    if (HWND hwnd = Window()) {
        PostMessageW(hwnd, kSocketMessage, static_cast<WPARAM>(s),
                     WSAMAKESELECTREPLY(event, error));
    }
}

LRESULT CALLBACK Win32Net::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kSocketMessage) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    auto* self = reinterpret_cast<Win32Net*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        return 0;
    }
    // Notifications still queued for a socket closed meanwhile find no owner and are dropped.
    auto it = self->m_sockets.find(static_cast<SOCKET>(wParam));
    if (it == self->m_sockets.end()) {
        return 0;
    }
    try {
        it->second->OnNetworkEvent(WSAGETSELECTEVENT(lParam), WSAGETSELECTERROR(lParam));
    } catch (...) {
        // No exception may cross back into Windows.
    }
    return 0;
}

}  // namespace os::win32
