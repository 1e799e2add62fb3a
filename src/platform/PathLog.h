// The path log "FerryloPath.log" in the work folder: one destination path per line, UTF-8
// with a byte-order mark before the first line, CR LF line ends, opened and closed per line.
#pragma once

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
