// The file-system contract: folders, files, sizes, times, attributes, enumeration patterns,
// names (case, Japanese, invalid, normalised), moves and sharing, as Windows gives them.
#include "contract/FileSystemContract.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "os/Text.h"

namespace {

std::unique_ptr<os::File> Create(os::FileSystem& fs, const os::WString& path,
                                 uint32_t attributes = os::kAttrNormal) {
    return fs.Open(path, os::OpenMode::CreateAlways, attributes);
}

bool WriteAll(os::FileSystem& fs, const os::WString& path, const std::string& bytes,
              os::OpenMode mode = os::OpenMode::CreateAlways) {
    auto file = fs.Open(path, mode);
    uint32_t written = 0;
    return file && file->Write(bytes.data(), static_cast<uint32_t>(bytes.size()), written) &&
           written == bytes.size();
}

std::optional<std::string> ReadAll(os::FileSystem& fs, const os::WString& path) {
    auto file = fs.Open(path, os::OpenMode::Read);
    if (!file) {
        return std::nullopt;
    }
    std::string out;
    char chunk[4093];  // an odd size, so reads end mid-buffer
    uint32_t got = 0;
    do {
        if (!file->Read(chunk, sizeof chunk, got)) {
            return std::nullopt;
        }
        out.append(chunk, got);
    } while (got > 0);
    return out;
}

std::vector<os::FindData> FindAll(os::FileSystem& fs, const os::WString& pattern) {
    std::vector<os::FindData> out;
    os::FindData record;
    auto find = fs.FindFirst(pattern, record);
    if (!find) {
        return out;
    }
    do {
        out.push_back(record);
    } while (find->Next(record));
    return out;
}

// Sorted UTF-8 names, so that the order an implementation enumerates in does not matter.
std::vector<std::string> Names(const std::vector<os::FindData>& records) {
    std::vector<std::string> out;
    for (const auto& record : records) {
        out.push_back(os::ToUtf8(record.name));
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::string Bytes(size_t size) {
    std::string out(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        out[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);  // NUL bytes included
    }
    return out;
}

}  // namespace

void PrintTo(const FileSystemContractTarget& target, std::ostream* out) {
    *out << target.name;
}

std::string FileSystemContractName(const ::testing::TestParamInfo<FileSystemContractTarget>& info) {
    return info.param.name;
}

void FileSystemContract::SetUp() {
    m_env = GetParam().make();
    ASSERT_TRUE(m_env);
    m_root = m_env->Root();
    m_quirks = m_env->Quirks();
    ASSERT_NE(Fs().GetAttributes(m_root) & os::kAttrDirectory, 0u);
}

void FileSystemContract::TearDown() {
    m_env.reset();
}

TEST_P(FileSystemContract, FolderIsCreatedOnceAndRemovedOnlyWhenEmpty) {
    const os::WString dir = At(u"Folder");
    const os::WString inner = At(u"Folder\\inner.txt");
    ASSERT_TRUE(Fs().CreateDirectory(dir));
    EXPECT_EQ(Fs().GetAttributes(dir) & os::kAttrDirectory, os::kAttrDirectory);
    EXPECT_FALSE(Fs().CreateDirectory(dir));
    EXPECT_EQ(Fs().LastError(), os::kErrAlreadyExists);

    ASSERT_TRUE(WriteAll(Fs(), inner, "x"));
    EXPECT_FALSE(Fs().RemoveDirectory(dir));
    EXPECT_EQ(Fs().LastError(), os::kErrDirNotEmpty);
    ASSERT_TRUE(Fs().DeleteFile(inner));
    ASSERT_TRUE(Fs().RemoveDirectory(dir));
    EXPECT_EQ(Fs().GetAttributes(dir), os::kInvalidAttributes);
    EXPECT_EQ(Fs().LastError(), os::kErrFileNotFound);
}

TEST_P(FileSystemContract, MissingEntriesGiveFileOrPathNotFound) {
    const os::WString missing = At(u"missing.txt");
    const os::WString deep = At(u"no-such-folder\\file.txt");
    auto run = [&](const char* what, bool failed, uint32_t error) {
        const uint32_t got = Fs().LastError();
        EXPECT_TRUE(failed) << what;
        EXPECT_EQ(got, error) << what;
    };
    run("attributes of a missing file", Fs().GetAttributes(missing) == os::kInvalidAttributes,
        os::kErrFileNotFound);
    run("attributes in a missing folder", Fs().GetAttributes(deep) == os::kInvalidAttributes,
        os::kErrPathNotFound);
    run("open a missing file", Fs().Open(missing, os::OpenMode::Read) == nullptr,
        os::kErrFileNotFound);
    run("create in a missing folder", Create(Fs(), deep) == nullptr, os::kErrPathNotFound);
    run("folder in a missing folder", !Fs().CreateDirectory(At(u"no-such-folder\\sub")),
        os::kErrPathNotFound);
    run("delete a missing file", !Fs().DeleteFile(missing), os::kErrFileNotFound);
    run("remove a missing folder", !Fs().RemoveDirectory(At(u"gone")), os::kErrFileNotFound);
    os::FindData record;
    run("enumerate a missing folder", Fs().FindFirst(At(u"no-such-folder\\*"), record) == nullptr,
        os::kErrPathNotFound);
    run("move a missing file", !Fs().MoveFile(missing, At(u"other.txt"), 0), os::kErrFileNotFound);
}

TEST_P(FileSystemContract, FilesAreWrittenAppendedTruncatedAndReadBack) {
    const os::WString path = At(u"data.bin");
    const std::string body = Bytes(70000);
    {
        auto file = Create(Fs(), path);
        ASSERT_TRUE(file);
        uint32_t written = 0;
        ASSERT_TRUE(file->Write(body.data(), 30000, written));
        EXPECT_EQ(written, 30000u);
        EXPECT_EQ(file->Size(), 30000u);
        ASSERT_TRUE(file->Write(body.data() + 30000, 40000, written));
        EXPECT_EQ(file->Size(), 70000u);
    }
    EXPECT_EQ(ReadAll(Fs(), path), body);

    ASSERT_TRUE(WriteAll(Fs(), path, "tail", os::OpenMode::Append));
    EXPECT_EQ(ReadAll(Fs(), path), body + "tail");
    const auto records = FindAll(Fs(), path);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].size, 70004u);

    ASSERT_TRUE(WriteAll(Fs(), path, "new"));
    EXPECT_EQ(ReadAll(Fs(), path), "new");

    // Append creates a missing file; an unwritten new file is empty.
    ASSERT_TRUE(WriteAll(Fs(), At(u"appended.txt"), "first", os::OpenMode::Append));
    EXPECT_EQ(ReadAll(Fs(), At(u"appended.txt")), "first");
    ASSERT_TRUE(Create(Fs(), At(u"empty.txt")));
    EXPECT_EQ(ReadAll(Fs(), At(u"empty.txt")), "");
    const auto empty = FindAll(Fs(), At(u"empty.txt"));
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].size, 0u);
}

// CreateNew never opens what is there, whether it answers by its name, another case of it,
// or its 8.3 alias (when the file system gives the entry one).
TEST_P(FileSystemContract, CreateNewNeverOpensAnExistingEntry) {
    ASSERT_TRUE(WriteAll(Fs(), At(u"longfilename.txt"), "old"));
    ASSERT_TRUE(Fs().CreateDirectory(At(u"dir")));
    std::vector<os::WString> taken = {At(u"LONGFILENAME.TXT"), At(u"dir")};
    const auto records = FindAll(Fs(), At(u"longfilename.txt"));
    ASSERT_EQ(records.size(), 1u);
    if (!records[0].shortName.empty()) {
        taken.push_back(At(records[0].shortName));
    }
    for (const auto& path : taken) {
        EXPECT_EQ(Fs().Open(path, os::OpenMode::CreateNew), nullptr) << os::ToUtf8(path);
        EXPECT_TRUE(Fs().LastError() == os::kErrFileExists ||
                    Fs().LastError() == os::kErrAlreadyExists);
    }
    EXPECT_EQ(ReadAll(Fs(), At(u"longfilename.txt")), "old");
    ASSERT_TRUE(WriteAll(Fs(), At(u"fresh.txt"), "new", os::OpenMode::CreateNew));
    EXPECT_EQ(ReadAll(Fs(), At(u"fresh.txt")), "new");
}

// A file made by CreateNew is renamed, stamped and given its attributes through the handle it
// was written with; the rename never replaces an entry answering to the new name.
TEST_P(FileSystemContract, ANewFileIsRenamedAndStampedThroughItsHandle) {
    ASSERT_TRUE(WriteAll(Fs(), At(u"longfilename.txt"), "old"));
    const auto records = FindAll(Fs(), At(u"longfilename.txt"));
    ASSERT_EQ(records.size(), 1u);
    std::vector<os::WString> taken = {At(u"LONGFILENAME.TXT")};
    if (!records[0].shortName.empty()) {
        taken.push_back(At(records[0].shortName));
    }
    auto file = Fs().Open(At(u"~tmp1"), os::OpenMode::CreateNew);
    ASSERT_TRUE(file);
    // Marked to go with its handle while it is written, and kept again before the rename.
    ASSERT_TRUE(file->SetDeleteOnClose(true));
    uint32_t written = 0;
    ASSERT_TRUE(file->Write("new", 3, written));
    ASSERT_TRUE(file->SetDeleteOnClose(false));
    for (const auto& path : taken) {
        EXPECT_FALSE(file->RenameTo(path)) << os::ToUtf8(path);
        EXPECT_EQ(Fs().LastError(), os::kErrAlreadyExists);
    }
    EXPECT_EQ(ReadAll(Fs(), At(u"longfilename.txt")), "old");

    const uint64_t write = 132000000004444444ull;
    ASSERT_TRUE(file->RenameTo(At(u"名前.txt")));
    ASSERT_TRUE(file->SetTimes(nullptr, nullptr, &write));
    ASSERT_TRUE(file->SetAttributes(os::kAttrReadOnly | os::kAttrHidden | os::kAttrDirectory));
    os::File::State state;
    ASSERT_TRUE(file->QueryState(state));
    file.reset();
    EXPECT_EQ(Fs().GetAttributes(At(u"~tmp1")), os::kInvalidAttributes);
    EXPECT_EQ(ReadAll(Fs(), At(u"名前.txt")), "new");
    const auto renamed = FindAll(Fs(), At(u"名前.txt"));
    ASSERT_EQ(renamed.size(), 1u);
    EXPECT_EQ(renamed[0].name, u"名前.txt");
    const uint32_t kept = os::kAttrReadOnly | os::kAttrHidden | os::kAttrDirectory;
    EXPECT_EQ(renamed[0].attributes & kept, os::kAttrReadOnly | os::kAttrHidden);
    EXPECT_EQ(state.attributes & kept, os::kAttrReadOnly | os::kAttrHidden);
    EXPECT_EQ(state.size, 3u);
    const auto precision = [this](uint64_t t) { return Quirks().millisecondTimes ? t / 10000 : t; };
    EXPECT_EQ(precision(renamed[0].lastWriteTime), precision(write));
    EXPECT_EQ(precision(state.lastWriteTime), precision(write));
    ASSERT_TRUE(Fs().SetAttributes(At(u"名前.txt"), os::kAttrNormal));
}

TEST_P(FileSystemContract, AFileMarkedForDeletionGoesWithItsHandle) {
    auto file = Fs().Open(At(u"~tmp2"), os::OpenMode::CreateNew);
    ASSERT_TRUE(file);
    uint32_t written = 0;
    ASSERT_TRUE(file->Write("half", 4, written));
    ASSERT_TRUE(file->SetDeleteOnClose(true));
    file.reset();
    EXPECT_EQ(Fs().GetAttributes(At(u"~tmp2")), os::kInvalidAttributes);
    ASSERT_TRUE(WriteAll(Fs(), At(u"old.txt"), "old"));
    auto reader = Fs().Open(At(u"old.txt"), os::OpenMode::Read);
    ASSERT_TRUE(reader);
    EXPECT_FALSE(reader->SetDeleteOnClose(true)) << "only a handle made by CreateNew may";
    reader.reset();
    EXPECT_EQ(ReadAll(Fs(), At(u"old.txt")), "old");
}

TEST_P(FileSystemContract, FolderCannotBeOpenedAsAFile) {
    ASSERT_TRUE(Fs().CreateDirectory(At(u"dir")));
    EXPECT_EQ(Fs().Open(At(u"dir"), os::OpenMode::Read), nullptr);
    EXPECT_EQ(Create(Fs(), At(u"dir")), nullptr);
}

TEST_P(FileSystemContract, TimesSetThroughAHandleAreKept) {
    const os::WString path = At(u"times.txt");
    // Distinct values with digits below the millisecond.
    const uint64_t creation = 130000000001234567ull;
    const uint64_t access = 131000000007654321ull;
    const uint64_t write = 132000000004444444ull;
    {
        auto file = Create(Fs(), path);
        ASSERT_TRUE(file);
        uint32_t written = 0;
        ASSERT_TRUE(file->Write("abc", 3, written));
        ASSERT_TRUE(file->SetTimes(&creation, &access, &write));
    }
    const auto precision = [this](uint64_t t) { return Quirks().millisecondTimes ? t / 10000 : t; };
    auto records = FindAll(Fs(), path);
    ASSERT_EQ(records.size(), 1u);
    if (!Quirks().noCreationTime) {
        EXPECT_EQ(precision(records[0].creationTime), precision(creation));
    }
    EXPECT_EQ(precision(records[0].lastAccessTime), precision(access));
    EXPECT_EQ(precision(records[0].lastWriteTime), precision(write));

    // Null pointers leave a time alone.
    const uint64_t laterWrite = 133000000009999999ull;
    {
        auto file = Fs().Open(path, os::OpenMode::Append);
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->SetTimes(nullptr, nullptr, &laterWrite));
    }
    records = FindAll(Fs(), path);
    ASSERT_EQ(records.size(), 1u);
    if (!Quirks().noCreationTime) {
        EXPECT_EQ(precision(records[0].creationTime), precision(creation));
    }
    EXPECT_EQ(precision(records[0].lastAccessTime), precision(access));
    EXPECT_EQ(precision(records[0].lastWriteTime), precision(laterWrite));
}

TEST_P(FileSystemContract, AttributesRoundTrip) {
    // Wine reports the archive bit on every regular file: compare without it there.
    const uint32_t mask = os::kAttrReadOnly | os::kAttrHidden | os::kAttrSystem |
                          os::kAttrDirectory |
                          (Quirks().archiveAlwaysSet ? 0 : os::kAttrArchive | os::kAttrNormal);
    const os::WString path = At(u"attributes.txt");
    ASSERT_TRUE(WriteAll(Fs(), path, "x"));
    EXPECT_EQ(Fs().GetAttributes(path), os::kAttrArchive) << "new files get the archive bit";

    const uint32_t rows[] = {
        os::kAttrReadOnly,
        os::kAttrHidden,
        os::kAttrSystem,
        os::kAttrHidden | os::kAttrSystem,
        os::kAttrReadOnly | os::kAttrHidden | os::kAttrArchive,
        os::kAttrArchive,
        os::kAttrNormal,
    };
    for (const uint32_t attributes : rows) {
        ASSERT_TRUE(Fs().SetAttributes(path, attributes)) << attributes;
        EXPECT_EQ(Fs().GetAttributes(path) & mask, attributes & mask) << attributes;
        const auto records = FindAll(Fs(), path);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].attributes & mask, attributes & mask) << attributes;
    }

    // Attributes asked for at creation are kept, with the archive bit added.
    const os::WString hidden = At(u"hidden.txt");
    ASSERT_TRUE(Create(Fs(), hidden, os::kAttrHidden));
    EXPECT_EQ(Fs().GetAttributes(hidden), os::kAttrHidden | os::kAttrArchive);

    ASSERT_TRUE(Fs().CreateDirectory(At(u"dir")));
    ASSERT_TRUE(Fs().SetAttributes(At(u"dir"), os::kAttrHidden));
    EXPECT_EQ(Fs().GetAttributes(At(u"dir")) & mask, os::kAttrHidden | os::kAttrDirectory);
    ASSERT_TRUE(Fs().SetAttributes(At(u"dir"), os::kAttrNormal));
}

TEST_P(FileSystemContract, ReadOnlyFileRefusesDeletion) {
    const os::WString path = At(u"readonly.txt");
    ASSERT_TRUE(WriteAll(Fs(), path, "keep"));
    ASSERT_TRUE(Fs().SetAttributes(path, os::kAttrReadOnly));
    EXPECT_FALSE(Fs().DeleteFile(path));
    EXPECT_EQ(Fs().LastError(), os::kErrAccessDenied);
    EXPECT_EQ(ReadAll(Fs(), path), "keep");
    ASSERT_TRUE(Fs().SetAttributes(path, os::kAttrNormal));
    EXPECT_TRUE(Fs().DeleteFile(path));
}

TEST_P(FileSystemContract, FindPatternsFollowWindowsRules) {
    ASSERT_TRUE(Fs().CreateDirectory(At(u"find")));
    ASSERT_TRUE(Fs().CreateDirectory(At(u"find\\Sub")));
    for (const char16_t* name : {u"find\\a.txt", u"find\\B.doc", u"find\\noext"}) {
        ASSERT_TRUE(WriteAll(Fs(), At(name), "x"));
    }
    using Names_ = std::vector<std::string>;
    const Names_ all = {".", "..", "B.doc", "Sub", "a.txt", "noext"};
    struct Row {
        const char16_t* pattern;
        Names_ names;
    };
    const Row rows[] = {
        {u"find\\*.*", all},
        {u"find\\*", all},
        {u"find\\*.txt", {"a.txt"}},
        {u"find\\A*", {"a.txt"}},
        {u"find\\b.DOC", {"B.doc"}},
        {u"find\\Sub", {"Sub"}},  // a folder's own record, without "." and ".."
        {u"find\\Sub\\*", {".", ".."}},
        {u"find\\*.xyz", {}},
        {u"find\\", {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Names(FindAll(Fs(), At(row.pattern))), row.names) << os::ToUtf8(row.pattern);
    }

    os::FindData record;
    EXPECT_EQ(Fs().FindFirst(At(u"find\\*.xyz"), record), nullptr);
    EXPECT_EQ(Fs().LastError(), os::kErrFileNotFound);

    auto find = Fs().FindFirst(At(u"find\\Sub"), record);
    ASSERT_TRUE(find);
    EXPECT_EQ(record.attributes & os::kAttrDirectory, os::kAttrDirectory);
    EXPECT_FALSE(find->Next(record));
    EXPECT_EQ(Fs().LastError(), os::kErrNoMoreFiles);

    for (const auto& found : FindAll(Fs(), At(u"find\\*"))) {
        const bool folder = found.name == u"." || found.name == u".." || found.name == u"Sub";
        EXPECT_EQ((found.attributes & os::kAttrDirectory) != 0, folder) << os::ToUtf8(found.name);
        if (found.name == u"a.txt") {
            EXPECT_EQ(found.size, 1u);
            EXPECT_TRUE(found.shortName.empty()) << "a valid 8.3 name needs no alias";
        }
    }
}

TEST_P(FileSystemContract, NamesAreCaseInsensitiveAndKeepTheirCase) {
    ASSERT_TRUE(WriteAll(Fs(), At(u"MixedCase.Txt"), "one"));
    EXPECT_NE(Fs().GetAttributes(At(u"mixedcase.TXT")), os::kInvalidAttributes);
    EXPECT_EQ(ReadAll(Fs(), At(u"MIXEDCASE.TXT")), "one");
    ASSERT_TRUE(WriteAll(Fs(), At(u"mixedCASE.txt"), "two"));
    EXPECT_EQ(Names(FindAll(Fs(), At(u"*.txt"))), std::vector<std::string>{"MixedCase.Txt"});
    EXPECT_EQ(ReadAll(Fs(), At(u"MixedCase.Txt")), "two");

    ASSERT_TRUE(Fs().CreateDirectory(At(u"Folder")));
    EXPECT_FALSE(Fs().CreateDirectory(At(u"FOLDER")));
    EXPECT_EQ(Fs().LastError(), os::kErrAlreadyExists);
    ASSERT_TRUE(WriteAll(Fs(), At(u"folder\\inside.txt"), "in"));
    EXPECT_EQ(Names(FindAll(Fs(), At(u"FOLDER\\*.txt"))), std::vector<std::string>{"inside.txt"});
}

TEST_P(FileSystemContract, JapaneseNamesWork) {
    const os::WString folder = u"\u65E5\u672C\u8A9E\u30D5\u30A9\u30EB\u30C0";  // 日本語フォルダ
    const os::WString file = u"\u8CC7\u6599 2024.txt";                         // 資料 2024.txt
    const std::string body = "\xE3\x81\x82\xE3\x81\x84";
    ASSERT_TRUE(Fs().CreateDirectory(At(folder)));
    ASSERT_TRUE(WriteAll(Fs(), At(folder + u"\\" + file), body));
    EXPECT_EQ(ReadAll(Fs(), At(folder + u"\\" + file)), body);

    const auto records = FindAll(Fs(), At(folder + u"\\*.txt"));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name, file);
    if (!Quirks().noShortNames) {
        EXPECT_FALSE(records[0].shortName.empty());
        EXPECT_LE(records[0].shortName.size(), 12u);
        EXPECT_NE(records[0].shortName.find(u'~'), os::WString::npos);
    }
    EXPECT_EQ(Names(FindAll(Fs(), At(u"*"))),
              (std::vector<std::string>{".", "..", os::ToUtf8(folder)}));
}

TEST_P(FileSystemContract, InvalidNamesAreRefused) {
    for (const char16_t* name :
         {u"a<b.txt", u"a>b.txt", u"a|b.txt", u"a\"b.txt", u"a?b.txt", u"a*b.txt"}) {
        EXPECT_EQ(Create(Fs(), At(name)), nullptr) << os::ToUtf8(name);
        EXPECT_EQ(Fs().LastError(), os::kErrInvalidName) << os::ToUtf8(name);
        EXPECT_FALSE(Fs().CreateDirectory(At(name))) << os::ToUtf8(name);
        EXPECT_EQ(Fs().LastError(), os::kErrInvalidName) << os::ToUtf8(name);
    }
    EXPECT_EQ(Names(FindAll(Fs(), At(u"*"))), (std::vector<std::string>{".", ".."}));
}

TEST_P(FileSystemContract, PathsAreNormalised) {
    ASSERT_TRUE(Fs().CreateDirectory(At(u"n")));
    ASSERT_TRUE(WriteAll(Fs(), At(u"n\\..\\n\\.\\file.txt. "), "x"));
    EXPECT_EQ(Names(FindAll(Fs(), At(u"n\\*.*"))),
              (std::vector<std::string>{".", "..", "file.txt"}));
    EXPECT_EQ(ReadAll(Fs(), At(u"n\\missing\\..\\file.txt")), "x");
    EXPECT_EQ(ReadAll(Fs(), At(u"n/file.txt")), "x");
}

TEST_P(FileSystemContract, MoveReplacesOnlyWhenAsked) {
    const os::WString a = At(u"a.txt");
    const os::WString b = At(u"b.txt");
    ASSERT_TRUE(WriteAll(Fs(), a, "A"));
    ASSERT_TRUE(WriteAll(Fs(), b, "B"));
    EXPECT_FALSE(Fs().MoveFile(a, b, 0));
    EXPECT_EQ(Fs().LastError(), os::kErrAlreadyExists);
    EXPECT_EQ(ReadAll(Fs(), a), "A");
    EXPECT_EQ(ReadAll(Fs(), b), "B");

    ASSERT_TRUE(Fs().MoveFile(a, b, os::kMoveReplaceExisting));
    EXPECT_EQ(ReadAll(Fs(), b), "A");
    EXPECT_EQ(Fs().GetAttributes(a), os::kInvalidAttributes);

    ASSERT_TRUE(Fs().MoveFile(b, At(u"c.txt"), os::kMoveReplaceExisting | os::kMoveCopyAllowed));
    EXPECT_EQ(ReadAll(Fs(), At(u"c.txt")), "A");

    // A folder moves with everything in it.
    ASSERT_TRUE(Fs().CreateDirectory(At(u"Old")));
    ASSERT_TRUE(WriteAll(Fs(), At(u"Old\\f.txt"), "F"));
    ASSERT_TRUE(Fs().MoveFile(At(u"Old"), At(u"New"), 0));
    EXPECT_EQ(ReadAll(Fs(), At(u"New\\f.txt")), "F");
    EXPECT_EQ(Fs().GetAttributes(At(u"Old")), os::kInvalidAttributes);

    // A folder is never replaced.
    EXPECT_FALSE(Fs().MoveFile(At(u"c.txt"), At(u"New"), os::kMoveReplaceExisting));
    EXPECT_EQ(ReadAll(Fs(), At(u"c.txt")), "A");
}

TEST_P(FileSystemContract, OpenFileCannotBeDeleted) {
    const os::WString path = At(u"open.txt");
    ASSERT_TRUE(WriteAll(Fs(), path, "x"));
    for (const os::OpenMode mode : {os::OpenMode::Read, os::OpenMode::Append}) {
        auto file = Fs().Open(path, mode);
        ASSERT_TRUE(file);
        EXPECT_FALSE(Fs().DeleteFile(path));
        EXPECT_EQ(Fs().LastError(), os::kErrSharingViolation);
    }
    EXPECT_TRUE(Fs().DeleteFile(path));
}
