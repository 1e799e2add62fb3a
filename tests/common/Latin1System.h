// An os::System for tests and fuzz targets that need only the ANSI conversions: the code page
// is Latin-1 (one byte per character; characters beyond it become '?'). Everything else fails.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "os/System.h"

class Latin1System : public os::System {
  public:
    std::string WideToAnsi(const os::WString& text) override {
        std::string out;
        for (const char16_t c : text) {
            out.push_back(c < 0x100 ? static_cast<char>(c) : '?');
        }
        return out;
    }
    os::WString AnsiToWide(const std::string& bytes) override {
        os::WString out;
        for (const char c : bytes) {
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
        }
        return out;
    }

    bool GetComputerName(os::WString&) override { return false; }
    bool GetUserName(os::WString&) override { return false; }
    bool GetVersion(os::VersionInfo&, bool) override { return false; }
    bool GetWindowsDirectory(os::WString&) override { return false; }
    bool GetFolderPath(int, os::WString&) override { return false; }
    bool GetSpecialFolderPath(int, bool, os::WString&) override { return false; }
    bool GetModulePath(os::WString&) override { return false; }
    bool SocketsStartup() override { return false; }
    void SocketsCleanup() override {}
    bool LookupHost(const std::string&, std::array<uint8_t, 4>&) override { return false; }
    uint32_t LastError() override { return 0; }
    os::WString ErrorText(uint32_t) override { return os::WString(); }
    std::unique_ptr<os::NamedMutex> CreateNamedMutex(const os::WString&, bool&) override {
        return nullptr;
    }
    void SetJapaneseLocale() override {}
    void SetKeepAwake(bool) override {}
    void Sleep(uint32_t) override {}
    uint64_t TickCount() override { return 0; }
    void ExitProcess(int) override {}
};
