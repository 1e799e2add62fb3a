// Asynchronous sockets on the user-interface thread: WSAAsyncSelect notifications arrive at a
// hidden message window of this object, which hands them to the socket they belong to.
#pragma once

#include <unordered_map>

#include "os/Net.h"
#include "os/win32/WinApi.h"

namespace os::win32 {

// What receives the notifications of one registered socket.
class Win32SocketSink {
  public:
    virtual void OnNetworkEvent(int event, int error) = 0;

  protected:
    ~Win32SocketSink() = default;
};

class Win32Net : public Net {
  public:
    Win32Net() = default;
    ~Win32Net() override;
    Win32Net(const Win32Net&) = delete;
    Win32Net& operator=(const Win32Net&) = delete;

    std::unique_ptr<Socket> CreateSocket(SocketEvents& events) override;
    std::unique_ptr<DatagramSocket> CreateDatagramSocket(DatagramEvents& events) override;

    // Routes the `events` (FD_ bits) of `s` to `sink` (registering makes the socket
    // non-blocking).
    bool Register(SOCKET s, Win32SocketSink& sink, long events);
    void Unregister(SOCKET s);
    // Queues a notification for `s` as if the system had raised it.
    void PostEvent(SOCKET s, int event, int error);

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND Window();

    HWND m_hWnd = nullptr;
    std::unordered_map<SOCKET, Win32SocketSink*> m_sockets;
};

}  // namespace os::win32
