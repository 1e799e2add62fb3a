// Temporary body files: created with CREATE_NEW so that they can never open, truncate or
// replace an existing entry, and named within the 259 characters Windows accepts without the
// extended-length form.
#include "transfer/BodyFile.h"

#include <algorithm>

#include "os/Text.h"

namespace {

constexpr size_t kMaxPath = 259;
constexpr int kNameAttempts = 32;
// One write call takes a 32-bit size; reads are normally at most 64 KiB anyway.
constexpr size_t kMaxWriteChunk = size_t{1} << 30;

// "~tdx12.tmp", or "~12" when the folder leaves less room: a received name has at least one
// character, so its folder always leaves room for four more.
os::WString TempName(const os::WString& folder, uint32_t serial) {
    const os::WString number = os::ToWStringUnsigned(serial);
    os::WString path = folder + u"\\~tdx" + number + u".tmp";
    if (path.size() > kMaxPath) {
        path = folder + u"\\~" + number;
    }
    return path;
}

os::WString NameOf(const os::WString& path) {
    return path.substr(path.rfind(u'\\') + 1);
}

}  // namespace

bool CBodyFile::Create(const os::WString& folder, const os::WString& finalPath,
                       bool wholeBodyAtHand) {
    Discard();
    m_bAtFinal = false;
    if (wholeBodyAtHand && finalPath.size() <= kMaxPath) {
        // One create and no rename. CREATE_NEW fails on any entry that answers to the name,
        // its short name included; those take the temporary file and the careful commit.
        m_pFile = m_fs.Open(finalPath, os::OpenMode::CreateNew);
        if (m_pFile) {
            m_sTemp = finalPath;
            m_sFinal = finalPath;
            m_bClosed = false;
            m_bAtFinal = true;
            return true;
        }
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const os::WString temp = TempName(folder, ++m_nSerial);
        if (temp.size() > kMaxPath) {
            return false;
        }
        m_pFile = m_fs.Open(temp, os::OpenMode::CreateNew);
        if (m_pFile) {
            m_sTemp = temp;
            m_sFinal = finalPath;
            m_bClosed = false;
            // Should this program end before the commit (killed, crashed, the PC restarting),
            // the system removes the half-written file with the handle.
            m_bDeletePending = m_pFile->SetDeleteOnClose(true);
            return true;
        }
        const uint32_t error = m_fs.LastError();
        if (error != os::kErrFileExists && error != os::kErrAlreadyExists &&
            error != os::kErrAccessDenied) {
            return false;  // the folder itself is the trouble, not the name
        }
    }
    return false;
}

bool CBodyFile::Write(const uint8_t* data, size_t size) {
    if (!m_pFile || m_bClosed) {
        return false;
    }
    size_t done = 0;
    while (done < size) {
        const auto chunk = static_cast<uint32_t>(std::min(size - done, kMaxWriteChunk));
        uint32_t written = 0;
        if (!m_pFile->Write(data + done, chunk, written) || written != chunk) {
            return false;
        }
        done += chunk;
    }
    return true;
}

void CBodyFile::Close(uint64_t creation, uint64_t lastAccess, uint64_t lastWrite) {
    m_nCreation = creation;
    m_nLastAccess = lastAccess;
    m_nLastWrite = lastWrite;
    m_bClosed = true;
}

void CBodyFile::StampTimes() {
    if (m_pFile && m_bClosed) {
        m_pFile->SetTimes(&m_nCreation, &m_nLastAccess, &m_nLastWrite);
    }
}

bool CBodyFile::Commit(uint32_t attributes) {
    if (!IsHeld()) {
        return false;
    }
    // The body is kept from here on; a file the system would still remove is never committed.
    if (m_bDeletePending) {
        if (!m_pFile || !m_pFile->SetDeleteOnClose(false)) {
            Discard();
            return false;
        }
        m_bDeletePending = false;
    }
    if (m_bAtFinal && m_pFile) {
        m_sTemp.clear();
        StampTimes();
        m_pFile->SetAttributes(attributes);
        m_pFile.reset();
        return true;
    }
    // The rename fails on any entry that answers to the final name, its short name included;
    // only then is it worth looking at what is there. The attributes come after the rename, so
    // a read-only body never stands in the way of discarding its temporary file.
    if (m_pFile && m_pFile->RenameTo(m_sFinal)) {
        m_sTemp.clear();
        StampTimes();
        m_pFile->SetAttributes(attributes);
        m_pFile.reset();
        return true;
    }
    StampTimes();
    m_pFile.reset();
    if (!m_fs.MoveFile(m_sTemp, m_sFinal, 0) && !ReplaceExisting()) {
        Discard();
        return false;
    }
    m_sTemp.clear();
    m_fs.SetAttributes(m_sFinal, attributes);
    return true;
}

bool CBodyFile::ReplaceExisting() {
    os::FindData found;
    const bool sameFile = m_fs.FindFirst(m_sFinal, found) != nullptr &&
                          (found.attributes & os::kAttrDirectory) == 0 &&
                          os::EqualsNoCase(found.name, NameOf(m_sFinal));
    if (!sameFile) {
        return false;
    }
    if (found.attributes & (os::kAttrReadOnly | os::kAttrHidden | os::kAttrSystem)) {
        m_fs.SetAttributes(m_sFinal, os::kAttrNormal);
    }
    if (m_fs.MoveFile(m_sTemp, m_sFinal, os::kMoveReplaceExisting)) {
        return true;
    }
    // The old file stays as it was, attributes included.
    m_fs.SetAttributes(m_sFinal, found.attributes);
    return false;
}

void CBodyFile::Discard() {
    m_pFile.reset();
    m_bDeletePending = false;
    if (!m_sTemp.empty()) {
        m_fs.DeleteFile(m_sTemp);
        m_sTemp.clear();
    }
}
