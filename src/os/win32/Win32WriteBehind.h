// Large writes of new files go to disk on a thread of their own, so that the program takes in
// the next block while the last one is written. One thread and a few reused blocks serve every
// file of the file system; the thread starts with the first file that needs it. Small writes
// (a small file's whole body) go straight through. Every other call on a file, and Flush, waits
// until what was written to it before is on disk; a write that failed behind the program fails
// the next Write or Flush of that file, with its error code.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "os/win32/Win32File.h"

namespace os::win32 {

class Win32WriteBehindFile;

class Win32WriteBehind {
  public:
    Win32WriteBehind() = default;
    ~Win32WriteBehind();
    Win32WriteBehind(const Win32WriteBehind&) = delete;
    Win32WriteBehind& operator=(const Win32WriteBehind&) = delete;

  private:
    friend class Win32WriteBehindFile;
    static constexpr size_t kBlocks = 3;  // at most this many writes wait for the disk

    struct Job {
        Win32WriteBehindFile* file;
        std::vector<uint8_t> block;
    };

    void Run();
    // Hands a copy of the bytes over; false, with the error set, when an earlier write of
    // `file` failed.
    bool Queue(Win32WriteBehindFile& file, const void* data, uint32_t size);
    bool Drain(Win32WriteBehindFile& file);  // false, with the error set, on a failed write

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    std::deque<Job> m_jobs;
    std::vector<std::vector<uint8_t>> m_free;  // blocks kept for the next writes
    size_t m_nBusy = 0;                        // jobs queued or being written
    bool m_bStop = false;
};

class Win32WriteBehindFile : public File {
  public:
    Win32WriteBehindFile(Win32WriteBehind& engine, std::unique_ptr<Win32File> file)
        : m_engine(engine), m_pFile(std::move(file)) {}
    ~Win32WriteBehindFile() override;
    Win32WriteBehindFile(const Win32WriteBehindFile&) = delete;
    Win32WriteBehindFile& operator=(const Win32WriteBehindFile&) = delete;

    bool Read(void* buffer, uint32_t size, uint32_t& got) override;
    bool Write(const void* data, uint32_t size, uint32_t& written) override;
    bool Flush() override;
    uint64_t Size() override;
    bool QueryState(uint64_t& size, uint64_t& lastWriteTime) override;
    bool SetTimes(const uint64_t* creation, const uint64_t* lastAccess,
                  const uint64_t* lastWrite) override;
    bool QueryAttributes(uint32_t& attributes) override;
    bool SetAttributes(uint32_t attributes) override;
    bool RenameTo(const WString& path) override;

    // From the second write of at least this size on, writes are handed to the thread: a body
    // written in one go never waits for it.
    static constexpr uint32_t kLargeWrite = 256u << 10;

  private:
    friend class Win32WriteBehind;
    bool Drain();

    Win32WriteBehind& m_engine;
    std::unique_ptr<Win32File> m_pFile;
    int m_nLargeWrites = 0;
    bool m_bHandedOver = false;  // some write went to the thread
    // Guarded by the engine's mutex:
    size_t m_nQueued = 0;   // writes of this file not yet done
    uint32_t m_nError = 0;  // the first of its writes that failed behind the program
};

}  // namespace os::win32
