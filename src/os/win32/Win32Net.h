// Asynchronous sockets on the user-interface thread: WSAAsyncSelect notifications arrive at a
// hidden message window of this object, which hands them to the socket they belong to.
#pragma once

#include <unordered_map>

#include "os/Net.h"
#include "os/win32/WinApi.h"

namespace os::win32 {

class Win32Socket;

class Win32Net : public Net {
  public:
    Win32Net() = default;
    ~Win32Net() override;
    Win32Net(const Win32Net&) = delete;
    Win32Net& operator=(const Win32Net&) = delete;

    std::unique_ptr<Socket> CreateSocket(SocketEvents& events) override;

    // Routes the events of `s` to `socket` (registering makes the socket non-blocking).
    bool Register(SOCKET s, Win32Socket& socket);
    void Unregister(SOCKET s);
    // Queues a notification for `s` as if the system had raised it.
    void PostEvent(SOCKET s, int event, int error);

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND Window();

    HWND m_hWnd = nullptr;
    std::unordered_map<SOCKET, Win32Socket*> m_sockets;
};

}  // namespace os::win32
