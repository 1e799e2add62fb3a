// Reading the files of one folder ahead of the program, on a thread of its own, so that the
// disk is already busy with the next files while the current one is sent. It only fills the
// system's file cache: nothing it reads is handed over, and whatever fails is simply skipped.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "os/Types.h"

namespace os::win32 {

class Win32ReadAhead {
  public:
    Win32ReadAhead() = default;
    ~Win32ReadAhead();
    Win32ReadAhead(const Win32ReadAhead&) = delete;
    Win32ReadAhead& operator=(const Win32ReadAhead&) = delete;

    // The files of `folder` (empty: none) will be read in listing order, after the first
    // `skipFiles` of them.
    void Start(const WString& folder, uint32_t skipFiles);
    // The program has taken the next file of that folder.
    void Step();

  private:
    void Run();
    bool WaitForRoom(uint64_t generation, uint32_t index);
    void ReadFolder(const WString& folder, uint32_t skip, uint64_t generation);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    WString m_sFolder;
    uint32_t m_nSkip = 0;
    uint32_t m_nTaken = 0;           // files of the folder the program has taken
    uint64_t m_nGeneration = 0;      // counts the Start calls; a new one ends the current folder
    bool m_bWaitingForRoom = false;  // the thread waits for the program to take files
    bool m_bStop = false;
    // The thread's read buffer, made when the first file is read and kept: a fresh block for
    // every folder cost a megabyte of new pages each time.
    std::unique_ptr<char[]> m_pBuffer;
};

}  // namespace os::win32
