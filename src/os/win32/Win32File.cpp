// Reading, writing, sizing and stamping one open file with the Win32 API.
#include "os/win32/Win32File.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "os/win32/FileTime.h"
#include "os/win32/WinText.h"

namespace os::win32 {

namespace {

constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The kernel's name for a path, as the path functions would form it: "\??\C:\dir\name",
// "\??\UNC\server\share\name". An extended-length path keeps its exact spelling; any other
// is made full first (trailing dots and blanks dropped, "." and ".." resolved).
bool KernelPath(const WString& path, WString& out) {
    static const WString kExtended = u"\\\\?\\";
    if (path.compare(0, kExtended.size(), kExtended) == 0) {
        out = u"\\??\\" + path.substr(kExtended.size());
        return true;
    }
    const DWORD needed = GetFullPathNameW(W(path), 0, nullptr, nullptr);
    if (needed == 0) {
        return false;
    }
    std::vector<wchar_t> full(needed);
    const DWORD length = GetFullPathNameW(W(path), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return false;
    }
    const WString text = FromW(full.data(), length);
    if (text.compare(0, 2, u"\\\\") == 0) {
        out = u"\\??\\UNC\\" + text.substr(2);
    } else {
        out = u"\\??\\" + text;
    }
    return true;
}

}  // namespace

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

// Size, write time and attributes through the handle alone. The full handle record
// (GetFileInformationByHandle) would also ask the volume for its serial number, a round trip to
// the mount manager under some systems; the one query that holds all three
// (FileNetworkOpenInformation) looks the file up by its name again under Wine. These two are
// answered from the open file everywhere.
bool Win32File::QueryState(State& state) {
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(m_hFile, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(m_hFile, FileStandardInfo, &standard, sizeof standard)) {
        return false;
    }
    state.size = static_cast<uint64_t>(standard.EndOfFile.QuadPart);
    state.lastWriteTime = static_cast<uint64_t>(basic.LastWriteTime.QuadPart);
    state.attributes = basic.FileAttributes;
    return true;
}

bool Win32File::SetAttributes(uint32_t attributes) {
    FILE_BASIC_INFO info{};  // times of zero stay as they are
    info.FileAttributes = attributes & kSettableAttributes;
    if (info.FileAttributes == 0) {
        info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    }
    return SetFileInformationByHandle(m_hFile, FileBasicInfo, &info, sizeof info) != FALSE;
}

bool Win32File::RenameTo(const WString& path) {
    WString target;
    if (!KernelPath(path, target)) {
        return false;
    }
    const size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<std::byte> buffer(offsetof(FILE_RENAME_INFO, FileName) + nameBytes +
                                  sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(info->FileName, target.c_str(), nameBytes);
    return SetFileInformationByHandle(m_hFile, FileRenameInfo, info,
                                      static_cast<DWORD>(buffer.size())) != FALSE;
}

// The delete disposition, unlike FILE_FLAG_DELETE_ON_CLOSE, can be taken back through the same
// handle; the system honours it when the handle closes, at the program's end too.
// The structure's one member shares the name of the DeleteFile macro: it is set by position.
bool Win32File::SetDeleteOnClose(bool remove) {
    FILE_DISPOSITION_INFO info{static_cast<BOOLEAN>(remove ? TRUE : FALSE)};
    return SetFileInformationByHandle(m_hFile, FileDispositionInfo, &info, sizeof info) != FALSE;
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
