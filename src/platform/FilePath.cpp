// Path list.
#include "platform/FilePath.h"

#include <algorithm>

#include "os/Text.h"

CFilePath::~CFilePath() = default;

int CFilePath::AddPair(const os::WString& src, const os::WString& dst, bool skipCheck) {
    if (!skipCheck) {
        const bool dupSrc =
            std::find(m_srcPaths.begin(), m_srcPaths.end(), src) != m_srcPaths.end();
        const bool dupDst =
            std::find(m_dstPaths.begin(), m_dstPaths.end(), dst) != m_dstPaths.end();
        if (dupSrc || dupDst) {
            return kDuplicate;
        }
    }
    // A list built with AddPath has no destinations; keep both arrays aligned.
    m_dstPaths.resize(m_srcPaths.size());
    m_srcPaths.push_back(src);
    m_dstPaths.push_back(dst);
    ++m_nCount;
    return kAdded;
}

int CFilePath::AddPath(const os::WString& path, bool skipCheck) {
    if (!skipCheck) {
        for (const auto& stored : m_srcPaths) {
            if (os::EqualsNoCase(stored, path)) {
                return kDuplicate;
            }
        }
    }
    m_srcPaths.push_back(path);
    ++m_nCount;
    return kAdded;
}

os::WString CFilePath::SrcAt(int i) const {
    return (i >= 0 && i < m_nCount) ? m_srcPaths[static_cast<size_t>(i)] : os::WString();
}

os::WString CFilePath::DstAt(int i) const {
    return (i >= 0 && static_cast<size_t>(i) < m_dstPaths.size() && i < m_nCount)
               ? m_dstPaths[static_cast<size_t>(i)]
               : os::WString();
}

void CFilePath::Clear() {
    m_sFolderText.clear();
    m_srcPaths.clear();
    m_dstPaths.clear();
    m_nCurrent = 0;
    m_nCount = 0;
}
