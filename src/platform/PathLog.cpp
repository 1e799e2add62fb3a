// Path log.
#include "platform/PathLog.h"

#include <string>

#include "os/Text.h"
#include "platform/FileOps.h"
#include "platform/Texts.h"

namespace {

constexpr size_t kWriteBlock = 65536;

bool WriteAll(os::File& file, const std::string& bytes) {
    uint32_t written = 0;
    return file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()), written) &&
           written == bytes.size();
}

// Text mode: every "\n" is written as CR LF.
std::string ToTextModeUtf8(const os::WString& text) {
    std::string out;
    for (char ch : os::ToUtf8(text)) {
        if (ch == '\n') {
            out += '\r';
        }
        out += ch;
    }
    return out;
}

}  // namespace

os::WString GetWorkFolderPath(os::System& sys) {
    os::WString documents;
    if (!sys.GetFolderPath(os::kCsidlPersonal, documents) || documents.empty()) {
        return os::WString();
    }
    return documents + u"\\" + texts::kWorkFolder;
}

os::WString GetPathLogPath(os::FileSystem& fs, os::System& sys) {
    const os::WString folder = GetWorkFolderPath(sys);
    if (folder.empty()) {
        return os::WString();
    }
    CreateDirRecursive(fs, folder);
    return folder + u"\\" + texts::kPathLogName;
}

void AppendPathLog(os::FileSystem& fs, os::System& sys, const os::WString& text) {
    const os::WString path = GetPathLogPath(fs, sys);
    if (!path.empty()) {
        AppendUtf8Text(fs, path, text + u"\n");
    }
}

bool AppendUtf8Text(os::FileSystem& fs, const os::WString& path, const os::WString& text) {
    auto file = fs.Open(path, os::OpenMode::Append);
    if (!file) {
        return false;
    }
    std::string bytes;
    if (file->Size() == 0) {
        bytes = "\xEF\xBB\xBF";
    }
    bytes += ToTextModeUtf8(text);
    return WriteAll(*file, bytes);
}

void ResetPathLog(os::FileSystem& fs, os::System& sys) {
    const os::WString path = GetPathLogPath(fs, sys);
    if (!path.empty()) {
        fs.Open(path, os::OpenMode::CreateAlways);
    }
}

CUtf8LineWriter::CUtf8LineWriter(os::FileSystem& fs, const os::WString& path) {
    if (!path.empty()) {
        m_file = fs.Open(path, os::OpenMode::Append);
    }
    m_bEmpty = !m_file || m_file->Size() == 0;
}

CUtf8LineWriter::~CUtf8LineWriter() {
    Close();
}

void CUtf8LineWriter::Append(const os::WString& line) {
    if (!m_file) {
        return;
    }
    if (m_bEmpty) {
        m_pending = "\xEF\xBB\xBF";
        m_bEmpty = false;
    }
    m_pending += ToTextModeUtf8(line + u"\n");
    if (m_pending.size() >= kWriteBlock) {
        Flush();
    }
}

void CUtf8LineWriter::Flush() {
    if (m_file && !m_pending.empty()) {
        WriteAll(*m_file, m_pending);
    }
    m_pending.clear();
}

void CUtf8LineWriter::Close() {
    Flush();
    m_file.reset();
}
