// Reading, writing, sizing and stamping one open file with the Win32 API.
#include "os/win32/Win32File.h"

#include "os/win32/FileTime.h"

namespace os::win32 {

Win32File::~Win32File() {
    CloseHandle(m_hFile);
}

bool Win32File::Read(void* buffer, uint32_t size, uint32_t& got) {
    DWORD n = 0;
    const BOOL ok = ReadFile(m_hFile, buffer, size, &n, nullptr);
    got = n;
    return ok != FALSE;
}

bool Win32File::Write(const void* data, uint32_t size, uint32_t& written) {
    DWORD n = 0;
    const BOOL ok = WriteFile(m_hFile, data, size, &n, nullptr);
    written = n;
    return ok != FALSE;
}

uint64_t Win32File::Size() {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_hFile, &size)) {
        return 0;
    }
    return static_cast<uint64_t>(size.QuadPart);
}

bool Win32File::QueryState(uint64_t& size, uint64_t& lastWriteTime) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(m_hFile, &info)) {
        return false;
    }
    size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    lastWriteTime = FromFileTime(info.ftLastWriteTime);
    return true;
}

bool Win32File::SetTimes(const uint64_t* creation, const uint64_t* lastAccess,
                         const uint64_t* lastWrite) {
    FILETIME c{}, a{}, w{};
    if (creation) {
        c = ToFileTime(*creation);
    }
    if (lastAccess) {
        a = ToFileTime(*lastAccess);
    }
    if (lastWrite) {
        w = ToFileTime(*lastWrite);
    }
    return SetFileTime(m_hFile, creation ? &c : nullptr, lastAccess ? &a : nullptr,
                       lastWrite ? &w : nullptr) != FALSE;
}

}  // namespace os::win32
