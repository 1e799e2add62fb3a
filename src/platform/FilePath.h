// The path list: ordered pairs of source and destination paths with a cursor, and the
// destination folder text of a send list.
#pragma once

#include <vector>

#include "os/Types.h"

class CFilePath {
  public:
    enum : int { kAdded = 1, kDuplicate = 2 };

    CFilePath() = default;
    virtual ~CFilePath();

    // Refused (kDuplicate) when `src` or `dst` equals a stored one exactly.
    int AddPair(const os::WString& src, const os::WString& dst, bool skipCheck);
    // Source only; refused when `path` equals a stored source ignoring letter case.
    int AddPath(const os::WString& path, bool skipCheck);

    // The entry at the cursor; empty past the end.
    os::WString GetSrc() const { return SrcAt(m_nCurrent); }
    os::WString GetDst() const { return DstAt(m_nCurrent); }
    os::WString SrcAt(int i) const;
    os::WString DstAt(int i) const;
    int Count() const { return m_nCount; }
    void Clear();

    const os::WString& FolderText() const { return m_sFolderText; }
    void SetFolderText(const os::WString& text) { m_sFolderText = text; }
    void AppendFolderText(const os::WString& text) { m_sFolderText += text; }

    int m_nCurrent = 0;  // cursor, set and advanced by the walks

  private:
    os::WString m_sFolderText;
    std::vector<os::WString> m_srcPaths;
    std::vector<os::WString> m_dstPaths;
    int m_nCount = 0;
};
