// The path log "FerryloPath.log" in the work folder: one destination path per line, UTF-8
// with a byte-order mark before the first line, CR LF line ends.
#pragma once

#include <memory>
#include <string>

#include "os/Platform.h"

// The work folder below the user's documents; empty when the documents folder is unknown.
os::WString GetWorkFolderPath(os::System& sys);
// Creates the work folder (on every call) and returns the full path of the log.
os::WString GetPathLogPath(os::FileSystem& fs, os::System& sys);
void AppendPathLog(os::FileSystem& fs, os::System& sys, const os::WString& text);
// Appends `text` to a UTF-8 text file ("\n" written as CR LF); a new or empty file starts
// with a byte-order mark.
bool AppendUtf8Text(os::FileSystem& fs, const os::WString& path, const os::WString& text);
void ResetPathLog(os::FileSystem& fs, os::System& sys);

// Writes lines to a UTF-8 text file through one handle, in blocks: the file is opened once,
// not for every line. The bytes are those AppendUtf8Text would write line by line (a new or
// empty file starts with a byte-order mark); they are complete on disk once the writer is
// closed or destroyed. A file that cannot be opened takes nothing.
class CUtf8LineWriter {
  public:
    CUtf8LineWriter(os::FileSystem& fs, const os::WString& path);
    ~CUtf8LineWriter();
    CUtf8LineWriter(const CUtf8LineWriter&) = delete;
    CUtf8LineWriter& operator=(const CUtf8LineWriter&) = delete;

    void Append(const os::WString& line);  // the line end is added
    void Close();

  private:
    void Flush();

    std::unique_ptr<os::File> m_file;
    bool m_bEmpty = true;  // nothing in the file yet: the first line brings the byte-order mark
    std::string m_pending;
};

// The survey's lines: the folder is created and the log opened once.
class CPathLogWriter : public CUtf8LineWriter {
  public:
    CPathLogWriter(os::FileSystem& fs, os::System& sys)
        : CUtf8LineWriter(fs, GetPathLogPath(fs, sys)) {}
};
