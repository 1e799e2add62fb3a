// Opening documents and folders through the shell, and saving shortcuts with IShellLinkW.
#include "os/win32/Win32Shell.h"

#include "os/win32/WinApi.h"

#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "os/win32/WinText.h"

namespace os::win32 {

namespace {

// Releases a COM interface pointer at the end of a scope.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() {
        if (m_p) {
            m_p->Release();
        }
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return m_p; }
    T** Out() { return &m_p; }
    explicit operator bool() const { return m_p != nullptr; }

  private:
    T* m_p = nullptr;
};

}  // namespace

bool Win32Shell::Open(const WString& verb, const WString& path) {
    HINSTANCE result =
        ShellExecuteW(nullptr, WOrNull(verb), W(path), nullptr, nullptr, SW_SHOWNORMAL);
    // Values up to 32 are error codes.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Shell::ComInitialize() {
    // S_FALSE (already initialised on this thread) counts too and needs its own uninitialise.
    return SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

void Win32Shell::ComUninitialize() {
    CoUninitialize();
}

bool Win32Shell::SaveShortcut(const WString& linkPath, const WString& target,
                              const WString& description, const WString& arguments) {
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Out())))) {
        return false;
    }
    if (FAILED(link->SetPath(W(target))) || FAILED(link->SetDescription(W(description))) ||
        FAILED(link->SetArguments(W(arguments))) || FAILED(link->SetShowCmd(SW_SHOWNORMAL))) {
        return false;
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out())))) {
        return false;
    }
    return SUCCEEDED(file->Save(W(linkPath), TRUE));
}

}  // namespace os::win32
