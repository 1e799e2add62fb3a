// A file being written whose large writes go to disk on a thread of their own, so that the
// program takes in the next block while the last one is written. Small writes (a small file's
// whole body) go straight through and no thread is made. Every other call on the file, and
// Flush, waits until what was written before it is on disk; a write that failed behind the
// program fails the next Write or Flush, with its error code.
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

class Win32WriteBehindFile : public File {
  public:
    explicit Win32WriteBehindFile(std::unique_ptr<Win32File> file) : m_pFile(std::move(file)) {}
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
    // written in one go never pays for one.
    static constexpr uint32_t kLargeWrite = 256u << 10;

  private:
    static constexpr size_t kBlocks = 3;  // at most this many writes wait for the disk

    void Run();
    bool Drain();  // false, with the error set, when a write behind failed

    std::unique_ptr<Win32File> m_pFile;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    std::vector<std::vector<uint8_t>> m_free;    // buffers ready for the next write
    std::deque<std::vector<uint8_t>> m_pending;  // in order, waiting for the thread
    bool m_bWriting = false;                     // the thread is writing a buffer
    int m_nLargeWrites = 0;
    uint32_t m_nError = 0;  // the first write behind that failed
    bool m_bStop = false;
};

}  // namespace os::win32
