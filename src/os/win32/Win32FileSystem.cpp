// File system calls of the Win32 layer: each is the one Win32 function of the same name.
#include "os/win32/Win32FileSystem.h"

#include "os/win32/WinApi.h"

#include "os/win32/Win32File.h"
#include "os/win32/Win32FindHandle.h"
#include "os/win32/WinText.h"

namespace os::win32 {

std::unique_ptr<FindHandle> Win32FileSystem::FindFirst(const WString& pattern, FindData& first) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(W(pattern), &data);
    if (h == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    ToFindData(data, first);
    return std::make_unique<Win32FindHandle>(h);
}

uint32_t Win32FileSystem::GetAttributes(const WString& path) {
    return GetFileAttributesW(W(path));
}

bool Win32FileSystem::SetAttributes(const WString& path, uint32_t attributes) {
    return SetFileAttributesW(W(path), attributes) != FALSE;
}

bool Win32FileSystem::CreateDirectory(const WString& path) {
    return CreateDirectoryW(W(path), nullptr) != FALSE;
}

bool Win32FileSystem::RemoveDirectory(const WString& path) {
    return RemoveDirectoryW(W(path)) != FALSE;
}

bool Win32FileSystem::DeleteFile(const WString& path) {
    return DeleteFileW(W(path)) != FALSE;
}

bool Win32FileSystem::MoveFile(const WString& from, const WString& to, uint32_t flags) {
    return MoveFileExW(W(from), W(to), flags) != FALSE;
}

std::unique_ptr<File> Win32FileSystem::Open(const WString& path, OpenMode mode,
                                            uint32_t attributes) {
    HANDLE h = INVALID_HANDLE_VALUE;
    switch (mode) {
        case OpenMode::Read:
            h = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
            break;
        case OpenMode::ReadForBackup:
            h = CreateFileW(W(path), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN,
                            nullptr);
            if (h != INVALID_HANDLE_VALUE) {
                // Backup semantics open folders too; only files are read.
                FILE_BASIC_INFO info{};
                if (GetFileInformationByHandleEx(h, FileBasicInfo, &info, sizeof info) &&
                    (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                    CloseHandle(h);
                    SetLastError(ERROR_ACCESS_DENIED);
                    return nullptr;
                }
            }
            break;
        case OpenMode::CreateAlways:
            h = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
            break;
        case OpenMode::CreateNew:
            h = CreateFileW(W(path), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, attributes,
                            nullptr);
            break;
        case OpenMode::Append:
            h = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, attributes, nullptr);
            if (h != INVALID_HANDLE_VALUE) {
                LARGE_INTEGER zero{};
                if (!SetFilePointerEx(h, zero, nullptr, FILE_END)) {
                    const DWORD error = GetLastError();
                    CloseHandle(h);
                    SetLastError(error);
                    return nullptr;
                }
            }
            break;
    }
    if (h == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<Win32File>(h);
}

uint32_t Win32FileSystem::LogicalDrives() {
    return GetLogicalDrives();
}

DriveType Win32FileSystem::GetDriveType(const WString& root) {
    return static_cast<DriveType>(GetDriveTypeW(W(root)));
}

bool Win32FileSystem::GetVolumeInformation(const WString& root, WString& volumeName,
                                           WString& fileSystemName) {
    wchar_t volume[128] = {};
    wchar_t fileSystem[128] = {};
    DWORD serial = 0, maxComponent = 0, flags = 0;
    if (!GetVolumeInformationW(W(root), volume, 128, &serial, &maxComponent, &flags, fileSystem,
                               128)) {
        return false;
    }
    volumeName = FromW(volume);
    fileSystemName = FromW(fileSystem);
    return true;
}

bool Win32FileSystem::GetDiskFreeSpace(const WString& root, uint64_t& totalBytes,
                                       uint64_t& freeBytes) {
    // Looked up at run time, as the program has always done, so that a kernel without the
    // 64-bit call reports failure instead of refusing to load the program.
    using GetDiskFreeSpaceExFn =
        BOOL(WINAPI*)(LPCWSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    HMODULE kernel = LoadLibraryW(L"Kernel32.Dll");
    if (!kernel) {
        return false;
    }
    auto fn = reinterpret_cast<GetDiskFreeSpaceExFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExW")));
    bool ok = false;
    DWORD error = ERROR_PROC_NOT_FOUND;
    if (fn) {
        ULARGE_INTEGER available{}, total{}, totalFree{};
        ok = fn(W(root), &available, &total, &totalFree) != FALSE;
        error = ok ? ERROR_SUCCESS : GetLastError();
        if (ok) {
            totalBytes = total.QuadPart;
            freeBytes = totalFree.QuadPart;
        }
    }
    FreeLibrary(kernel);
    if (!ok) {
        SetLastError(error);
    }
    return ok;
}

uint32_t Win32FileSystem::LastError() {
    return GetLastError();
}

void Win32FileSystem::ReadAhead(const WString& folder, uint32_t skipFiles) {
    m_readAhead.Start(folder, skipFiles);
}

void Win32FileSystem::ReadAheadStep() {
    m_readAhead.Step();
}

}  // namespace os::win32
