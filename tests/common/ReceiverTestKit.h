// What the receiver's tests, fuzz target and benchmark share: a builder of transfer streams
// written independently of the wire-format code, a host that records every call, a file
// system wrapper that records every path the receiver touches, and the hostile paths.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "os/FileSystem.h"
#include "os/Text.h"
#include "transfer/StreamReceiver.h"

namespace recvkit {

struct Entry {
    os::WString path;
    std::string body;
    uint32_t attributes = os::kAttrArchive;
    uint64_t creation = 0;
    uint64_t access = 0;
    uint64_t write = 0;
};

// Builds a stream and remembers where each part of each entry starts, so that a test can cut
// it at a named place ("the metadata block of the second file plus 20").
class StreamBuilder {
  public:
    struct Marks {
        size_t header = 0;
        size_t path = 0;
        size_t meta = 0;  // file entries only
        size_t body = 0;  // file entries only
        size_t end = 0;
    };

    static std::string Hex(const os::WString& path) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        std::string out;
        for (char16_t unit : path) {
            for (unsigned byte : {unit & 0xFFu, (unit >> 8) & 0xFFu}) {
                out.push_back(kDigits[byte >> 4]);
                out.push_back(kDigits[byte & 0xF]);
            }
        }
        return out;
    }

    static std::string Le(uint64_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) {
            out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
        return out;
    }

    static std::string Meta(const Entry& e, uint64_t size) {
        return Le(e.creation, 8) + Le(e.access, 8) + Le(e.write, 8) + Le(e.attributes, 4) +
               Le(size, 8);
    }

    StreamBuilder& Header(uint8_t kind, uint8_t value) {
        m_bytes += std::string{'%', '?', static_cast<char>(kind), static_cast<char>(value)};
        return *this;
    }

    StreamBuilder& File(const Entry& e) { return FileWithSize(e, e.body.size()); }

    // A file entry announcing `size` body bytes, of which e.body is sent (tests of cut streams).
    StreamBuilder& FileWithSize(const Entry& e, uint64_t size) {
        Marks m;
        m.header = m_bytes.size();
        Header(1, static_cast<uint8_t>(e.path.size()));
        m.path = m_bytes.size();
        m_bytes += Hex(e.path);
        m.meta = m_bytes.size();
        m_bytes += Meta(e, size);
        m.body = m_bytes.size();
        m_bytes += e.body;
        m.end = m_bytes.size();
        m_marks.push_back(m);
        return *this;
    }

    StreamBuilder& Dir(const os::WString& path) { return PathEntry(2, path); }
    // "Not intact" (kind 6), which only two copies of this program exchange.
    StreamBuilder& NotIntact(const os::WString& path) { return PathEntry(6, path); }

    StreamBuilder& Resume() { return Header(5, 0); }
    StreamBuilder& EndOfPathLog(char letter) { return Header(4, static_cast<uint8_t>(letter)); }
    StreamBuilder& Raw(const std::string& bytes) {
        m_bytes += bytes;
        return *this;
    }

    const std::string& Bytes() const { return m_bytes; }
    const Marks& Mark(size_t entry) const { return m_marks.at(entry); }

  private:
    // Header and hexadecimal path, nothing after them.
    StreamBuilder& PathEntry(uint8_t kind, const os::WString& path) {
        Marks m;
        m.header = m_bytes.size();
        Header(kind, static_cast<uint8_t>(path.size()));
        m.path = m_bytes.size();
        m_bytes += Hex(path);
        m.meta = m.body = m.end = m_bytes.size();
        m_marks.push_back(m);
        return *this;
    }

    std::string m_bytes;
    std::vector<Marks> m_marks;
};

// Every host call in order, as text; file positions separately, since how many there are
// depends on where the reads were cut.
class RecordingHost : public CReceiverHost {
  public:
    void SendFrame(const std::string& frame) override { calls.push_back("frame " + frame); }
    void SendErrorReport(const os::WString& path) override {
        calls.push_back("report " + os::ToUtf8(path));
    }
    void StartErrorRepeatTimer() override { calls.push_back("timer10"); }
    bool IsFullDrive() const override { return fullDrive; }
    void SetFullDrive() override {
        fullDrive = true;
        calls.push_back("fulldrive");
    }
    void OnEndOfPathLog(char16_t letter) override {
        calls.push_back("end " + os::ToUtf8(std::u16string(1, letter)));
    }
    void SetFileName(const os::WString& path) override {
        calls.push_back("name " + os::ToUtf8(path));
    }
    void SetFileRange(uint64_t size) override { calls.push_back("range " + std::to_string(size)); }
    void SetFilePos(uint64_t pos) override { positions.push_back(pos); }
    void SetOverallPos(int fileIndex) override {
        calls.push_back("overall " + std::to_string(fileIndex));
    }

    int Count(const std::string& prefix) const {
        int n = 0;
        for (const auto& c : calls) {
            n += c.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
        }
        return n;
    }

    std::vector<std::string> calls;
    std::vector<uint64_t> positions;
    bool fullDrive = false;
};

// Forwards to a real file system and records the path of every call that creates, opens,
// changes or deletes something.
class SpyFileSystem : public os::FileSystem {
  public:
    explicit SpyFileSystem(os::FileSystem& inner) : m_inner(inner) {}

    std::unique_ptr<os::FindHandle> FindFirst(const os::WString& pattern,
                                              os::FindData& first) override {
        return m_inner.FindFirst(pattern, first);
    }
    uint32_t GetAttributes(const os::WString& path) override { return m_inner.GetAttributes(path); }
    bool SetAttributes(const os::WString& path, uint32_t attributes) override {
        touched.push_back(path);
        return m_inner.SetAttributes(path, attributes);
    }
    bool CreateDirectory(const os::WString& path) override {
        touched.push_back(path);
        return m_inner.CreateDirectory(path);
    }
    bool RemoveDirectory(const os::WString& path) override {
        touched.push_back(path);
        return m_inner.RemoveDirectory(path);
    }
    bool DeleteFile(const os::WString& path) override {
        touched.push_back(path);
        return m_inner.DeleteFile(path);
    }
    bool MoveFile(const os::WString& from, const os::WString& to, uint32_t flags) override {
        touched.push_back(from);
        touched.push_back(to);
        return m_inner.MoveFile(from, to, flags);
    }
    std::unique_ptr<os::File> Open(const os::WString& path, os::OpenMode mode,
                                   uint32_t attributes) override {
        touched.push_back(path);
        return m_inner.Open(path, mode, attributes);
    }
    uint32_t LogicalDrives() override { return m_inner.LogicalDrives(); }
    os::DriveType GetDriveType(const os::WString& root) override {
        return m_inner.GetDriveType(root);
    }
    bool GetVolumeInformation(const os::WString& root, os::WString& volumeName,
                              os::WString& fileSystemName) override {
        return m_inner.GetVolumeInformation(root, volumeName, fileSystemName);
    }
    bool GetDiskFreeSpace(const os::WString& root, uint64_t& totalBytes,
                          uint64_t& freeBytes) override {
        return m_inner.GetDiskFreeSpace(root, totalBytes, freeBytes);
    }
    uint32_t LastError() override { return m_inner.LastError(); }

    std::vector<os::WString> touched;

  private:
    os::FileSystem& m_inner;
};

// Paths a hostile or confused peer might send for the base folder E:\Ferrylo. Each would
// reach outside it, name the base itself, or be changed by Windows into another name. All fit
// a transfer header (at most 255 code units); the empty one is sent with length 0.
inline std::vector<os::WString> HostilePaths() {
    using namespace std::string_literals;
    return {
        u"E:\\Ferrylo\\..\\victim.txt",
        u"E:\\Ferrylo\\a\\..\\..\\victim.txt",
        u"E:\\Ferrylo\\..",
        u"E:\\Ferrylo\\.",
        u"E:\\Ferrylo\\.\\x",
        u"E:\\Ferrylo\\...\\x",
        u"E:\\Ferrylo",
        u"E:\\Ferrylo\\",
        u"E:\\Ferrylo\\a\\",
        u"E:\\Ferrylo\\\\x",
        u"E:\\FerryloEvil\\x",
        u"E:\\Ferrylo.\\x",
        u"E:\\victim.txt",
        u"C:\\Windows\\win.ini",
        u"C:\\Ferrylo\\x",
        u"D:\\Ferrylo\\x",
        u"\\\\?\\E:\\Ferrylo\\x",
        u"\\\\?\\C:\\Windows\\win.ini",
        u"\\\\.\\E:\\Ferrylo\\x",
        u"\\\\server\\share\\Ferrylo\\x",
        u"E:Ferrylo\\x",
        u"\\Ferrylo\\x",
        u"Ferrylo\\x",
        u"E:\\Ferrylo\\NUL",
        u"E:\\Ferrylo\\nul.txt",
        u"E:\\Ferrylo\\COM1.tar.gz",
        u"E:\\Ferrylo\\a\\con",
        u"E:\\Ferrylo\\Lpt9",
        u"E:\\Ferrylo\\AUX .log",
        u"E:\\Ferrylo\\CONOUT$",
        u"E:\\Ferrylo\\COM\u00B9",
        u"E:\\Ferrylo\\a:b",
        u"E:\\Ferrylo\\x::$DATA",
        u"E:\\Ferrylo\\x.",
        u"E:\\Ferrylo\\x ",
        u"E:\\Ferrylo\\a\\b. \\c",
        u"E:\\Ferrylo\\a/..\\..\\victim.txt",
        u"E:\\Ferrylo/../victim.txt",
        u"E:\\Ferrylo\\a/b",
        u"E:\\Ferrylo\\a\u0000b"s,
        u"E:\\Ferrylo\\tab\tname",
        u"E:\\Ferrylo\\*",
        u"E:\\Ferrylo\\a?b",
        u"E:\\Ferrylo\\a<b",
        u"E:\\Ferrylo\\a>b",
        u"E:\\Ferrylo\\a\"b",
        u"E:\\Ferrylo\\a|b",
        u"e:\\ferrylo\\..\\..\\..\\C:\\Windows",
        u"",
    };
}

}  // namespace recvkit
