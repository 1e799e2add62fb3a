// Test folders under C:\tandrix-tests, made and cleaned with plain Win32 calls.
#include "TempFolder.h"

#include <stdexcept>
#include <string>

#include "os/Text.h"
#include "os/win32/WinText.h"

namespace wintest {

using os::win32::W;

namespace {

void RemoveTree(const os::WString& path) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(W(path + u"\\*"), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const os::WString name = os::win32::FromW(data.cFileName);
            if (name == u"." || name == u"..") {
                continue;
            }
            const os::WString child = path + u"\\" + name;
            SetFileAttributesW(W(child), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                DeleteFileW(W(child));
            }
        } while (FindNextFileW(h, &data));
        FindClose(h);
    }
    RemoveDirectoryW(W(path));
}

}  // namespace

TempFolder::TempFolder() {
    static int counter = 0;
    CreateDirectoryW(L"C:\\tandrix-tests", nullptr);
    m_path = u"C:\\tandrix-tests\\t" + os::ToWString(GetCurrentProcessId()) + u"-" +
             os::ToWString(++counter);
    RemoveTree(m_path);
    if (!CreateDirectoryW(W(m_path), nullptr)) {
        throw std::runtime_error("cannot create the test folder");
    }
}

TempFolder::~TempFolder() {
    RemoveTree(m_path);
}

void WriteWholeFile(const os::WString& path, const std::string& bytes) {
    HANDLE h = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot create " + os::ToUtf8(path));
    }
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::string ReadWholeFile(const os::WString& path) {
    HANDLE h = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot open " + os::ToUtf8(path));
    }
    std::string out;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        out.append(buffer, got);
    }
    CloseHandle(h);
    return out;
}

}  // namespace wintest
