// Facts about this PC and process-level services through the Win32 API.
#pragma once

#include "os/System.h"

namespace os::win32 {

class Win32System : public System {
  public:
    bool GetComputerName(WString& out) override;
    bool GetUserName(WString& out) override;
    bool GetVersion(VersionInfo& out, bool extended) override;
    bool GetWindowsDirectory(WString& out) override;
    bool GetFolderPath(int csidl, WString& out) override;
    bool GetSpecialFolderPath(int csidl, bool create, WString& out) override;
    bool GetModulePath(WString& out) override;

    bool SocketsStartup() override;
    void SocketsCleanup() override;
    bool LookupHost(const std::string& ansiName, std::array<uint8_t, 4>& address) override;
    bool LookupHostAll(const std::string& ansiName,
                       std::vector<std::array<uint8_t, 4>>& addresses) override;

    std::string WideToAnsi(const WString& text) override;
    WString AnsiToWide(const std::string& bytes) override;

    uint32_t LastError() override;
    WString ErrorText(uint32_t code) override;

    std::unique_ptr<NamedMutex> CreateNamedMutex(const WString& name,
                                                 bool& alreadyExisted) override;
    void SetJapaneseLocale() override;
    void SetKeepAwake(bool on) override;
    void Sleep(uint32_t milliseconds) override;
    uint64_t TickCount() override;
    void ExitProcess(int code) override;
};

}  // namespace os::win32
