// Directory enumeration records from FindFirstFileW/FindNextFileW.
#include "os/win32/Win32FindHandle.h"

#include "os/win32/FileTime.h"
#include "os/win32/WinText.h"

namespace os::win32 {

void ToFindData(const WIN32_FIND_DATAW& in, FindData& out) {
    out.attributes = in.dwFileAttributes;
    out.creationTime = FromFileTime(in.ftCreationTime);
    out.lastAccessTime = FromFileTime(in.ftLastAccessTime);
    out.lastWriteTime = FromFileTime(in.ftLastWriteTime);
    out.size = (static_cast<uint64_t>(in.nFileSizeHigh) << 32) | in.nFileSizeLow;
    out.name = FromW(in.cFileName);
    out.shortName = FromW(in.cAlternateFileName);
}

Win32FindHandle::~Win32FindHandle() {
    FindClose(m_hFind);
}

bool Win32FindHandle::Next(FindData& out) {
    WIN32_FIND_DATAW data;
    if (!FindNextFileW(m_hFind, &data)) {
        return false;
    }
    ToFindData(data, out);
    return true;
}

}  // namespace os::win32
