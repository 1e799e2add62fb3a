// Path splitting and testing, recursive folder creation, collection of folders and files,
// recursive removal, and moving a whole folder tree while the window stays responsive.
// None of these report errors to the user: a failing item is skipped and the walk goes on.
#pragma once

#include <vector>

#include "os/Platform.h"

// Longest path the collections compose (a 260-character buffer with its terminator).
constexpr size_t kMaxPathChars = 259;

struct SplitPathParts {
    os::WString drive;  // "C:"
    os::WString dir;    // "\a\b\"
    os::WString name;   // file name without extension
    os::WString ext;    // ".txt"
};

os::WString StripSuffix(const os::WString& text, const os::WString& suffix);
SplitPathParts SplitPath(const os::WString& path);
// Drive and directory of `path`: its parent folder with a trailing "\".
os::WString ParentOf(const os::WString& path);

// The form of `path` the file system accepts whatever its length: a path of 248 characters
// or more (the limit of a folder, and below MAX_PATH once a name or "\*" is added) becomes
// "\\?\X:\..." or "\\?\UNC\server\share\..."; shorter paths and paths already in that
// form stay as they are.
os::WString ExtendedLengthPath(const os::WString& path);

bool IsDirectory(os::FileSystem& fs, const os::WString& path);
bool PathExists(os::FileSystem& fs, const os::WString& path);
int CreateDirRecursive(os::FileSystem& fs, const os::WString& path);

// Depth-first, pre-order; a folder path without wildcard lists the folder itself first.
// Paths longer than kMaxPathChars are skipped with everything below them.
void CollectSubfolders(os::FileSystem& fs, const os::WString& pattern,
                       std::vector<os::WString>& list);
void CollectFiles(os::FileSystem& fs, const os::WString& pattern, std::vector<os::WString>& list);

// Deletes the files (when asked) and removes the folders of a tree, deepest first. The
// "2" variant traces failures and waits 100 ms after each folder.
void RemoveDirRecursive2(os::FileSystem& fs, os::System& sys, const os::WString& path,
                         bool deleteFiles);
void RemoveDirTree(os::FileSystem& fs, const os::WString& path, bool deleteFiles);

// Moves every file of `src` into the same place below `dst`; a file that cannot move now is
// left for the next restart. Returns false only when `src` is not a folder.
// `ui` may be null when no messages are to be pumped.
bool MoveFolderTree(os::FileSystem& fs, os::Ui* ui, const os::WString& src, const os::WString& dst,
                    uint32_t moveFlags, bool pumpMessages);
