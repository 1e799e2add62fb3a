// Folder creation for received entries: one CreateDirectory per new folder, one look-up per
// folder that already exists, nothing for folders met before.
#include "transfer/ReceivedFolders.h"

#include <algorithm>

#include "os/Text.h"

namespace {

constexpr size_t kDriveLength = 2;  // "X:"; the first component starts after the next "\"

// End of the leading components `a` and `b` share (case-insensitively), as the index of the
// "\" after them, or kDriveLength when they share none.
size_t SharedFolders(const os::WString& a, const os::WString& b) {
    size_t shared = kDriveLength;
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    for (; i < n; ++i) {
        if (os::FoldUpper(a[i]) != os::FoldUpper(b[i])) {
            return shared;
        }
        if (a[i] == u'\\' && i > kDriveLength) {
            shared = i;
        }
    }
    const bool aEnds = a.size() == n || a[n] == u'\\';
    const bool bEnds = b.size() == n || b[n] == u'\\';
    return (n > kDriveLength && aEnds && bEnds) ? n : shared;
}

}  // namespace

bool CReceivedFolders::Ensure(const os::WString& folder) {
    if (folder.size() <= kDriveLength + 1 || folder[kDriveLength] != u'\\') {
        return false;
    }
    size_t done = m_sKnown.empty() ? kDriveLength : SharedFolders(m_sKnown, folder);
    while (done < folder.size()) {
        size_t next = folder.find(u'\\', done + 1);
        if (next == os::WString::npos) {
            next = folder.size();
        }
        const os::WString prefix = folder.substr(0, next);
        if (!m_fs.CreateDirectory(prefix)) {
            // Something is there already: a folder of this very name will do; a file, or a
            // folder that answers to this name only through its short name, will not.
            os::FindData found;
            const bool same =
                m_fs.FindFirst(prefix, found) != nullptr &&
                (found.attributes & os::kAttrDirectory) != 0 &&
                os::EqualsNoCase(found.name, folder.substr(done + 1, next - done - 1));
            if (!same) {
                m_sKnown = folder.substr(0, done);
                return false;
            }
        }
        done = next;
    }
    m_sKnown = folder;
    return true;
}
