// File-system operations shared by the copy modes, the receiver and the exit path.
#include "platform/FileOps.h"

#include "os/Text.h"
#include "platform/SystemHelpers.h"
#include "platform/Trace.h"

namespace {

bool IsDotEntry(const os::WString& name) {
    return name == u"." || name == u"..";
}

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

// A root or bare drive ("C:", "C:\", "\") is never a tree to remove: a find on it would name
// the drive's current folder, not a folder of ours.
bool IsRemovableTree(const os::WString& p) {
    if (p.empty()) {
        return false;
    }
    if (p.size() <= 3 && p.size() >= 2 && p[1] == u':') {
        return false;
    }
    return !(p.size() == 1 && IsSeparator(p[0]));
}

}  // namespace

os::WString StripSuffix(const os::WString& text, const os::WString& suffix) {
    if (!suffix.empty() && text.size() >= suffix.size() &&
        text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return text.substr(0, text.size() - suffix.size());
    }
    return text;
}

os::WString ExtendedLengthPath(const os::WString& path) {
    constexpr size_t kLongFrom = 248;
    if (path.size() < kLongFrom || path.rfind(u"\\\\?\\", 0) == 0) {
        return path;
    }
    // The extended form is taken literally: "/" no longer separates.
    os::WString out = path;
    for (char16_t& c : out) {
        if (c == u'/') {
            c = u'\\';
        }
    }
    if (out.rfind(u"\\\\", 0) == 0) {
        return u"\\\\?\\UNC\\" + out.substr(2);
    }
    if (out.size() >= 3 && out[1] == u':' && out[2] == u'\\') {
        return u"\\\\?\\" + out;
    }
    return path;  // relative forms have no extended form
}

SplitPathParts SplitPath(const os::WString& path) {
    SplitPathParts parts;
    size_t pos = 0;
    if (path.size() >= 2 && path[1] == u':') {
        parts.drive = path.substr(0, 2);
        pos = 2;
    }
    size_t lastSep = os::WString::npos;
    for (size_t i = pos; i < path.size(); ++i) {
        if (IsSeparator(path[i])) {
            lastSep = i;
        }
    }
    size_t nameStart = pos;
    if (lastSep != os::WString::npos) {
        parts.dir = path.substr(pos, lastSep + 1 - pos);
        nameStart = lastSep + 1;
    }
    os::WString rest = path.substr(nameStart);
    size_t dot = rest.rfind(u'.');
    if (dot == os::WString::npos) {
        parts.name = rest;
    } else {
        parts.name = rest.substr(0, dot);
        parts.ext = rest.substr(dot);
    }
    return parts;
}

os::WString ParentOf(const os::WString& path) {
    SplitPathParts parts = SplitPath(path);
    return parts.drive + parts.dir;
}

bool IsDirectory(os::FileSystem& fs, const os::WString& path) {
    os::FindData data;
    auto find = fs.FindFirst(StripSuffix(path, u"\\"), data);
    return find && (data.attributes & os::kAttrDirectory) != 0;
}

bool PathExists(os::FileSystem& fs, const os::WString& path) {
    os::FindData data;
    return fs.FindFirst(path, data) != nullptr;
}

int CreateDirRecursive(os::FileSystem& fs, const os::WString& path) {
    if (path.empty()) {
        return 0;
    }
    const os::WString p = StripSuffix(path, u"\\");
    if (IsDirectory(fs, p)) {
        return 1;
    }
    if (fs.CreateDirectory(p)) {
        return 1;
    }
    if (p.size() <= 2) {
        return 0;  // a bare drive that does not exist
    }
    const os::WString parent = ParentOf(p);
    // A parent no shorter than the path itself would recurse for ever.
    if (parent.empty() || StripSuffix(parent, u"\\").size() >= p.size()) {
        return 0;
    }
    if (CreateDirRecursive(fs, parent) == 0) {
        return 0;
    }
    return fs.CreateDirectory(p) ? 1 : 0;
}

void CollectSubfolders(os::FileSystem& fs, const os::WString& pattern,
                       std::vector<os::WString>& list) {
    os::FindData data;
    auto find = fs.FindFirst(pattern, data);
    if (!find) {
        return;
    }
    const os::WString prefix = ParentOf(pattern);
    do {
        if (IsDotEntry(data.name) || (data.attributes & os::kAttrDirectory) == 0) {
            continue;
        }
        const os::WString path = prefix + data.name;
        if (path.size() > kMaxPathChars) {
            Trace(u"CollectSubfolders() path too long, skipped: ", path);
            continue;
        }
        list.push_back(path);
        const os::WString below = path + u"\\*.*";
        if (below.size() <= kMaxPathChars) {
            CollectSubfolders(fs, below, list);
        }
    } while (find->Next(data));
}

void CollectFiles(os::FileSystem& fs, const os::WString& pattern, std::vector<os::WString>& list) {
    os::FindData data;
    auto find = fs.FindFirst(pattern, data);
    if (!find) {
        return;
    }
    const os::WString prefix = ParentOf(pattern);
    do {
        if (IsDotEntry(data.name)) {
            continue;
        }
        const os::WString path = prefix + data.name;
        if ((data.attributes & os::kAttrDirectory) != 0) {
            const os::WString below = path + u"\\*.*";
            if (below.size() <= kMaxPathChars) {
                CollectFiles(fs, below, list);
            } else {
                Trace(u"CollectFiles() path too long, skipped: ", path);
            }
        } else if (path.size() <= kMaxPathChars) {
            list.push_back(path);
        } else {
            Trace(u"CollectFiles() path too long, skipped: ", path);
        }
    } while (find->Next(data));
}

namespace {

void ClearReadOnly(os::FileSystem& fs, const os::WString& path) {
    const uint32_t attributes = fs.GetAttributes(path);
    if (attributes != os::kInvalidAttributes && (attributes & os::kAttrReadOnly) != 0) {
        fs.SetAttributes(path, attributes & ~os::kAttrReadOnly);
    }
}

// The common walk of both removals; `sys` is null for the quiet variant.
void RemoveTree(os::FileSystem& fs, os::System* sys, const os::WString& path, bool deleteFiles) {
    const os::WString p = StripSuffix(path, u"\\");
    if (!IsRemovableTree(p)) {
        return;
    }
    if (deleteFiles) {
        std::vector<os::WString> files;
        CollectFiles(fs, p, files);
        for (auto it = files.rbegin(); it != files.rend(); ++it) {
            ClearReadOnly(fs, *it);
            fs.DeleteFile(*it);
        }
    }
    std::vector<os::WString> folders;
    CollectSubfolders(fs, p, folders);
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        ClearReadOnly(fs, *it);
        if (!fs.RemoveDirectory(*it) && sys != nullptr) {
            const uint32_t code = fs.LastError();
            Trace(u"RemoveDirRecursive2() path=%s,%s(%08x)",
                  *it + u"," + sys->ErrorText(code) + u"," + os::ToWStringUnsigned(code));
        }
        if (sys != nullptr) {
            sys->Sleep(100);
        }
    }
}

}  // namespace

void RemoveDirRecursive2(os::FileSystem& fs, os::System& sys, const os::WString& path,
                         bool deleteFiles) {
    Trace(u"RemoveDirRecursive2(%s,%d)", path);
    RemoveTree(fs, &sys, path, deleteFiles);
}

void RemoveDirTree(os::FileSystem& fs, const os::WString& path, bool deleteFiles) {
    RemoveTree(fs, nullptr, path, deleteFiles);
}

bool MoveFolderTree(os::FileSystem& fs, os::Ui* ui, const os::WString& src, const os::WString& dst,
                    uint32_t moveFlags, bool pumpMessages) {
    if (!IsDirectory(fs, src)) {
        return false;
    }
    const os::WString s = StripSuffix(src, u"\\");
    const os::WString d = StripSuffix(dst, u"\\");

    std::vector<os::WString> folders;
    CollectSubfolders(fs, s, folders);
    for (const auto& folder : folders) {
        fs.CreateDirectory(d + folder.substr(s.size()));
    }

    std::vector<os::WString> files;
    CollectFiles(fs, s + u"\\*.*", files);
    for (const auto& file : files) {
        const os::WString target = d + file.substr(s.size());
        const uint32_t srcAttributes = fs.GetAttributes(file);
        const bool srcChanged = srcAttributes != os::kInvalidAttributes;
        if (srcChanged) {
            fs.SetAttributes(file, os::kAttrNormal);
        }
        const uint32_t dstAttributes = fs.GetAttributes(target);
        const bool dstChanged = dstAttributes != os::kInvalidAttributes;
        if (dstChanged) {
            fs.SetAttributes(target, os::kAttrNormal);
        }
        const bool moved = fs.MoveFile(file, target, moveFlags);
        if (!moved) {
            // Locked now: the system completes the move at the next restart.
            fs.MoveFile(file, target, os::kMoveReplaceExisting | os::kMoveDelayUntilReboot);
        }
        if (srcChanged) {
            fs.SetAttributes(file, srcAttributes);
        }
        if (moved && srcChanged) {
            // The moved file keeps the attributes it had, whether or not the target existed.
            fs.SetAttributes(target, srcAttributes);
        } else if (dstChanged) {
            fs.SetAttributes(target, dstAttributes);
        }
        if (pumpMessages && ui != nullptr && ui->MainWindow() != nullptr) {
            ui->PumpMessages();
        }
    }

    RemoveDirTree(fs, s, false);
    return true;
}
