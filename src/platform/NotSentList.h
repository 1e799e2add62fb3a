// The source's own list of what a copy could not send intact (unreadable, locked, vanished,
// changed, a folder that cannot be listed, a path or size the destination cannot take). The
// destination cannot always tell: a partner that knows no "not intact" entry keeps a padded
// body as if it were complete. So the source names them itself, in a file of the program's
// folder below the documents, which outlives the program (the work folder does not).
#pragma once

#include <set>
#include <vector>

#include "os/Platform.h"

class CNotSentList {
  public:
    void Clear();
    void Add(const os::WString& sourcePath);     // each path once, in the order met
    void Remove(const os::WString& sourcePath);  // it went whole after all (a resend)
    bool Empty() const { return m_paths.empty(); }
    const std::vector<os::WString>& Paths() const { return m_paths; }

    // Replaces the list file with a heading and one source path per line (UTF-8 with a
    // byte-order mark, CR LF). Returns its path, or empty when it could not be written.
    os::WString Write(os::FileSystem& fs, os::System& sys) const;

  private:
    std::vector<os::WString> m_paths;
    std::set<os::WString> m_known;
};
