// Path look-ups from folder listings.
#include "transfer/FolderListings.h"

#include "os/Text.h"
#include "platform/FileOps.h"

namespace {

os::WString Folded(os::WString text) {
    for (char16_t& c : text) {
        c = os::FoldUpper(c);
    }
    return text;
}

}  // namespace

bool CFolderListings::Exists(const os::WString& path) {
    const size_t slash = path.rfind(u'\\');
    // A drive root or a bare name has no folder to list: asked directly.
    if (slash == os::WString::npos || slash < 3 || slash + 1 == path.size()) {
        return PathExists(m_fs, path);
    }
    const Listing& listing = ListingOf(path.substr(0, slash));
    return listing.names.count(Folded(path.substr(slash + 1))) != 0;
}

const CFolderListings::Listing& CFolderListings::ListingOf(const os::WString& folder) {
    const os::WString key = Folded(folder);
    for (auto it = m_recent.begin(); it != m_recent.end(); ++it) {
        if (it->folder == key) {
            if (it != m_recent.begin()) {
                Listing found = std::move(*it);
                m_recent.erase(it);
                m_recent.push_front(std::move(found));
            }
            return m_recent.front();
        }
    }
    Listing listing;
    listing.folder = key;
    os::FindData record;
    if (auto find = m_fs.FindFirst(folder + u"\\*", record)) {
        do {
            if (record.name != u"." && record.name != u"..") {
                listing.names.insert(Folded(record.name));
            }
        } while (find->Next(record));
    }
    m_recent.push_front(std::move(listing));
    if (m_recent.size() > m_nKeep) {
        m_recent.pop_back();
    }
    return m_recent.front();
}
