// Large writes of new files on one thread, in order, a few blocks behind the program.
#include "os/win32/Win32WriteBehind.h"

#include <utility>

namespace os::win32 {

Win32WriteBehind::~Win32WriteBehind() {
    if (m_thread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bStop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
}

void Win32WriteBehind::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [&] { return m_bStop || !m_jobs.empty(); });
        if (m_jobs.empty()) {
            return;
        }
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        Win32WriteBehindFile& file = *job.file;
        const bool failedBefore = file.m_nError != 0;
        lock.unlock();
        uint32_t error = 0;
        if (!failedBefore) {
            // Nothing is written after a failure: the file is not whole whatever follows.
            const auto size = static_cast<uint32_t>(job.block.size());
            uint32_t written = 0;
            if (!file.m_pFile->Write(job.block.data(), size, written) || written != size) {
                error = GetLastError();
                if (error == 0) {
                    error = ERROR_WRITE_FAULT;
                }
            }
        }
        lock.lock();
        if (error != 0 && file.m_nError == 0) {
            file.m_nError = error;
        }
        --file.m_nQueued;
        --m_nBusy;
        job.block.clear();
        m_free.push_back(std::move(job.block));
        m_wake.notify_all();
    }
}

bool Win32WriteBehind::Queue(Win32WriteBehindFile& file, const void* data, uint32_t size) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_thread.joinable()) {
        m_thread = std::thread(&Win32WriteBehind::Run, this);
    }
    m_wake.wait(lock, [&] { return file.m_nError != 0 || m_nBusy < kBlocks; });
    if (file.m_nError != 0) {
        SetLastError(file.m_nError);
        return false;
    }
    std::vector<uint8_t> block;
    if (!m_free.empty()) {
        block = std::move(m_free.back());
        m_free.pop_back();
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    block.assign(bytes, bytes + size);
    m_jobs.push_back(Job{&file, std::move(block)});
    ++file.m_nQueued;
    ++m_nBusy;
    m_wake.notify_all();
    return true;
}

bool Win32WriteBehind::Drain(Win32WriteBehindFile& file) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.wait(lock, [&] { return file.m_nQueued == 0; });
    if (file.m_nError != 0) {
        SetLastError(file.m_nError);
        return false;
    }
    return true;
}

Win32WriteBehindFile::~Win32WriteBehindFile() {
    Drain();  // what was handed over is part of the file, and the thread must be done with it
}

bool Win32WriteBehindFile::Write(const void* data, uint32_t size, uint32_t& written) {
    written = 0;
    if (!m_bHandedOver && (size < kLargeWrite || ++m_nLargeWrites < 2)) {
        return m_pFile->Write(data, size, written);
    }
    m_bHandedOver = true;
    if (!m_engine.Queue(*this, data, size)) {
        return false;
    }
    written = size;
    return true;
}

bool Win32WriteBehindFile::Drain() {
    return !m_bHandedOver || m_engine.Drain(*this);
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
