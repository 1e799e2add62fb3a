// The source's list of what did not leave it intact.
#include "platform/NotSentList.h"

#include <algorithm>
#include <string>

#include "os/Text.h"
#include "platform/FileOps.h"
#include "platform/PathLog.h"
#include "platform/Texts.h"

void CNotSentList::Clear() {
    m_paths.clear();
    m_known.clear();
}

void CNotSentList::Add(const os::WString& sourcePath) {
    if (m_known.insert(sourcePath).second) {
        m_paths.push_back(sourcePath);
    }
}

void CNotSentList::Remove(const os::WString& sourcePath) {
    if (m_known.erase(sourcePath) != 0) {
        m_paths.erase(std::find(m_paths.begin(), m_paths.end(), sourcePath));
    }
}

os::WString CNotSentList::Write(os::FileSystem& fs, os::System& sys) const {
    const os::WString work = GetWorkFolderPath(sys);
    if (work.empty()) {
        return os::WString();
    }
    const os::WString folder = StripSuffix(ParentOf(work), u"\\");
    CreateDirRecursive(fs, folder);
    const os::WString path = folder + u"\\" + texts::kNotSentListName;
    auto file = fs.Open(path, os::OpenMode::CreateAlways);
    if (!file) {
        return os::WString();
    }
    os::WString text = os::WString(texts::kNotSentListHeading) + u"\r\n";
    for (const os::WString& source : m_paths) {
        text += source + u"\r\n";
    }
    const std::string bytes = "\xEF\xBB\xBF" + os::ToUtf8(text);
    uint32_t written = 0;
    if (!file->Write(bytes.data(), static_cast<uint32_t>(bytes.size()), written) ||
        written != bytes.size()) {
        return os::WString();
    }
    return path;
}
