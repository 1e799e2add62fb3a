// The read-ahead thread: one folder at a time, a bounded number of files ahead of the program,
// each between 64 KiB and 4 MiB. Big files are left to the system's own read-ahead within a
// file; tiny ones cost less to read than to open twice.
#include "os/win32/Win32ReadAhead.h"

#include "os/win32/WinApi.h"

#include "os/win32/WinText.h"

namespace os::win32 {

namespace {

constexpr uint32_t kFilesAhead = 64;
// Below this size a second open costs more than the read it saves: with every 4 KiB file of a
// folder opened twice, the source was 40 % busier and the whole copy a quarter slower.
constexpr uint64_t kSmallestFile = 64u << 10;
constexpr uint64_t kLargestFile = 4u << 20;
constexpr DWORD kBlock = 1u << 20;

}  // namespace

Win32ReadAhead::~Win32ReadAhead() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void Win32ReadAhead::Start(const WString& folder, uint32_t skipFiles) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sFolder = folder;
        m_nSkip = skipFiles;
        m_nTaken = skipFiles;
        ++m_nGeneration;
        if (!m_thread.joinable() && !folder.empty()) {
            m_thread = std::thread([this] { Run(); });
        }
    }
    m_wake.notify_all();
}

void Win32ReadAhead::Step() {
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_nTaken;
        wake = m_bWaitingForRoom;  // otherwise nobody needs to hear it: no wake-up per file
    }
    if (wake) {
        m_wake.notify_all();
    }
}

void Win32ReadAhead::Run() {
    uint64_t done = 0;  // the generation whose folder was read last
    while (true) {
        WString folder;
        uint32_t skip = 0;
        uint64_t generation = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_bStop || m_nGeneration != done; });
            if (m_bStop) {
                return;
            }
            folder = m_sFolder;
            skip = m_nSkip;
            generation = done = m_nGeneration;
        }
        if (!folder.empty()) {
            ReadFolder(folder, skip, generation);
        }
    }
}

// True once the file at `index` may be read: it is at most kFilesAhead ahead of the program.
// False when the folder is no longer the current one, or the thread is to stop.
bool Win32ReadAhead::WaitForRoom(uint64_t generation, uint32_t index) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_bWaitingForRoom = true;
    m_wake.wait(lock, [&] {
        return m_bStop || m_nGeneration != generation || index < m_nTaken + kFilesAhead;
    });
    m_bWaitingForRoom = false;
    return !m_bStop && m_nGeneration == generation;
}

void Win32ReadAhead::ReadFolder(const WString& folder, uint32_t skip, uint64_t generation) {
    const WString pattern = folder + u"\\*";
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(W(pattern), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    uint32_t index = 0;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            continue;
        }
        const uint32_t current = index++;
        if (current < skip) {
            continue;
        }
        if (!WaitForRoom(generation, current)) {
            break;
        }
        const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        if (size < kSmallestFile || size > kLargestFile) {
            continue;
        }
        const WString path = folder + u"\\" + FromW(data.cFileName);
        HANDLE file = CreateFileW(W(path), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            continue;
        }
        if (!m_pBuffer) {
            m_pBuffer = std::make_unique_for_overwrite<char[]>(kBlock);
        }
        DWORD got = 0;
        while (ReadFile(file, m_pBuffer.get(), kBlock, &got, nullptr) && got == kBlock) {
        }
        CloseHandle(file);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

}  // namespace os::win32
