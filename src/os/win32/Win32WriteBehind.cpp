// Large writes of a file on a thread of its own, in order, a few blocks behind the program.
#include "os/win32/Win32WriteBehind.h"

#include <utility>

namespace os::win32 {

Win32WriteBehindFile::~Win32WriteBehindFile() {
    if (m_thread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bStop = true;
        }
        m_wake.notify_all();
        m_thread.join();  // what was handed over is written first: it is part of the file
    }
}

void Win32WriteBehindFile::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [&] { return m_bStop || !m_pending.empty(); });
        if (m_pending.empty()) {
            return;
        }
        std::vector<uint8_t> block = std::move(m_pending.front());
        m_pending.pop_front();
        m_bWriting = true;
        const bool failedBefore = m_nError != 0;
        lock.unlock();
        uint32_t error = 0;
        if (!failedBefore) {
            // Nothing is written after a failure: the file is not whole whatever follows.
            const auto size = static_cast<uint32_t>(block.size());
            uint32_t written = 0;
            if (!m_pFile->Write(block.data(), size, written) || written != size) {
                error = GetLastError();
                if (error == 0) {
                    error = ERROR_WRITE_FAULT;
                }
            }
        }
        lock.lock();
        if (error != 0 && m_nError == 0) {
            m_nError = error;
        }
        m_bWriting = false;
        block.clear();
        m_free.push_back(std::move(block));
        m_wake.notify_all();
    }
}

bool Win32WriteBehindFile::Write(const void* data, uint32_t size, uint32_t& written) {
    written = 0;
    if (!m_thread.joinable() && (size < kLargeWrite || ++m_nLargeWrites < 2)) {
        return m_pFile->Write(data, size, written);
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_thread.joinable()) {
        m_thread = std::thread(&Win32WriteBehindFile::Run, this);
    }
    m_wake.wait(lock,
                [&] { return m_nError != 0 || m_pending.size() + (m_bWriting ? 1 : 0) < kBlocks; });
    if (m_nError != 0) {
        SetLastError(m_nError);
        return false;
    }
    std::vector<uint8_t> block;
    if (!m_free.empty()) {
        block = std::move(m_free.back());
        m_free.pop_back();
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    block.assign(bytes, bytes + size);
    m_pending.push_back(std::move(block));
    m_wake.notify_all();
    written = size;
    return true;
}

bool Win32WriteBehindFile::Drain() {
    if (!m_thread.joinable()) {
        return true;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.wait(lock, [&] { return m_pending.empty() && !m_bWriting; });
    if (m_nError != 0) {
        SetLastError(m_nError);
        return false;
    }
    return true;
}

bool Win32WriteBehindFile::Flush() {
    return Drain();
}

bool Win32WriteBehindFile::Read(void* buffer, uint32_t size, uint32_t& got) {
    Drain();
    return m_pFile->Read(buffer, size, got);
}

uint64_t Win32WriteBehindFile::Size() {
    Drain();
    return m_pFile->Size();
}

bool Win32WriteBehindFile::QueryState(uint64_t& size, uint64_t& lastWriteTime) {
    Drain();
    return m_pFile->QueryState(size, lastWriteTime);
}

bool Win32WriteBehindFile::SetTimes(const uint64_t* creation, const uint64_t* lastAccess,
                                    const uint64_t* lastWrite) {
    Drain();
    return m_pFile->SetTimes(creation, lastAccess, lastWrite);
}

bool Win32WriteBehindFile::QueryAttributes(uint32_t& attributes) {
    Drain();
    return m_pFile->QueryAttributes(attributes);
}

bool Win32WriteBehindFile::SetAttributes(uint32_t attributes) {
    Drain();
    return m_pFile->SetAttributes(attributes);
}

bool Win32WriteBehindFile::RenameTo(const WString& path) {
    Drain();
    return m_pFile->RenameTo(path);
}

}  // namespace os::win32
