// Path normalisation, name rules, DOS wildcards and 8.3 aliases of the simulated file system.
#include "sim/SimPath.h"

#include <gtest/gtest.h>

#include <set>

#include "os/Text.h"

namespace sim {
namespace {

struct ParseRow {
    const char16_t* input;
    PathUse use;
    uint32_t error;
    const char16_t* normalised;  // when error is 0
    const char* why;
};

TEST(SimPath, ParsesAndNormalisesLikeWin32) {
    const ParseRow rows[] = {
        {u"C:\\", PathUse::Name, 0, u"C:\\", "root"},
        {u"c:", PathUse::Name, 0, u"C:\\", "drive alone is its root"},
        {u"c:/Users/taro", PathUse::Name, 0, u"C:\\Users\\taro", "forward slashes"},
        {u"C:\\a\\\\b\\", PathUse::Name, 0, u"C:\\a\\b", "repeated and trailing separators"},
        {u"C:\\a\\.\\b\\..\\c", PathUse::Name, 0, u"C:\\a\\c", "dot components"},
        {u"C:\\..\\..\\a", PathUse::Name, 0, u"C:\\a", "never above the root"},
        {u"C:\\a. \\b..", PathUse::Name, 0, u"C:\\a\\b", "trailing dots and blanks"},
        {u"C:\\a\\...\\b", PathUse::Name, 0, u"C:\\a\\b", "dots-only component vanishes"},
        {u"C:\\dir\\*.", PathUse::Pattern, 0, u"C:\\dir\\*.", "pattern keeps its dot"},
        {u"C:\\dir\\a?c*", PathUse::Pattern, 0, u"C:\\dir\\a?c*", "wildcards at the end"},
        {u"C:\\d*r\\x", PathUse::Pattern, os::kErrInvalidName, nullptr, "wildcard in folder"},
        {u"C:\\a*b", PathUse::Name, os::kErrInvalidName, nullptr, "wildcard in a name"},
        {u"C:\\a<b", PathUse::Name, os::kErrInvalidName, nullptr, "less-than"},
        {u"C:\\a|b", PathUse::Name, os::kErrInvalidName, nullptr, "bar"},
        {u"C:\\a\"b", PathUse::Name, os::kErrInvalidName, nullptr, "quote"},
        {u"C:\\a\tb", PathUse::Name, os::kErrInvalidName, nullptr, "control character"},
        {u"C:\\file.txt:stream", PathUse::Name, os::kErrInvalidName, nullptr, "stream"},
        {u"C:\\dir\\CON", PathUse::Name, os::kErrInvalidName, nullptr, "device"},
        {u"C:\\nul.txt", PathUse::Name, os::kErrInvalidName, nullptr, "device with extension"},
        {u"C:\\com7\\x", PathUse::Name, os::kErrInvalidName, nullptr, "device as a folder"},
        {u"\\\\server\\share\\x", PathUse::Name, os::kErrPathNotFound, nullptr, "UNC"},
        {u"\\\\?\\C:\\x\\y", PathUse::Name, 0, u"C:\\x\\y", "extended-length form"},
        {u"\\\\?\\UNC\\server\\share\\x", PathUse::Name, os::kErrPathNotFound, nullptr,
         "extended UNC"},
        {u"C:relative", PathUse::Name, os::kErrPathNotFound, nullptr, "drive-relative"},
        {u"relative\\x", PathUse::Name, os::kErrPathNotFound, nullptr, "relative"},
        {u"1:\\x", PathUse::Name, os::kErrPathNotFound, nullptr, "not a letter"},
    };
    for (const ParseRow& row : rows) {
        SimPath path;
        EXPECT_EQ(ParsePath(row.input, row.use, path), row.error) << row.why;
        if (row.error == 0) {
            EXPECT_EQ(os::ToUtf8(path.Text()), os::ToUtf8(row.normalised)) << row.why;
        }
    }
}

TEST(SimPath, LimitsLengthToMaxPath) {
    // "C:\" plus a name: 259 characters in all is the longest Win32 accepts.
    const os::WString longest = u"C:\\" + os::WString(256, u'a');
    SimPath path;
    EXPECT_EQ(ParsePath(longest, PathUse::Name, path), 0u);
    EXPECT_EQ(ParsePath(longest + u"b", PathUse::Name, path), os::kErrFilenameTooLong);
    // Dropped components do not count.
    EXPECT_EQ(ParsePath(longest + u"\\x\\..\\.", PathUse::Name, path), 0u);
    // The extended-length form has no MAX_PATH limit, as on Windows.
    const os::WString deep = longest + u"\\" + os::WString(200, u'b') + u"\\*";
    EXPECT_EQ(ParsePath(u"\\\\?\\" + deep, PathUse::Pattern, path), 0u);
    EXPECT_TRUE(path.extended);
    EXPECT_EQ(path.Text(), deep);
}

TEST(SimPath, RemembersTrailingSeparatorOfAComponent) {
    SimPath path;
    ASSERT_EQ(ParsePath(u"C:\\a\\", PathUse::Name, path), 0u);
    EXPECT_TRUE(path.trailingSeparator);
    ASSERT_EQ(ParsePath(u"C:\\a", PathUse::Name, path), 0u);
    EXPECT_FALSE(path.trailingSeparator);
    ASSERT_EQ(ParsePath(u"C:\\", PathUse::Name, path), 0u);
    EXPECT_FALSE(path.trailingSeparator);
}

TEST(SimPath, ReservedDeviceNames) {
    for (const char16_t* name : {u"CON", u"con", u"Prn.txt", u"AUX", u"NUL .x", u"COM1",
                                 u"com9.log", u"LPT1", u"lpt5.doc"}) {
        EXPECT_TRUE(IsReservedDeviceName(name)) << os::ToUtf8(name);
    }
    for (const char16_t* name :
         {u"CONSOLE", u"COM0", u"COM10", u"LPT", u"NULL.txt", u"xCON", u"A.CON"}) {
        EXPECT_FALSE(IsReservedDeviceName(name)) << os::ToUtf8(name);
    }
}

struct MatchRow {
    const char16_t* pattern;
    const char16_t* name;
    bool matches;
};

TEST(SimPath, MatchesWithDosWildcardRules) {
    const MatchRow rows[] = {
        {u"*", u"anything.txt", true},
        {u"*.*", u"noext", true},
        {u"*.*", u".", true},
        {u"*.txt", u"a.TXT", true},
        {u"*.txt", u"a.b.txt", true},
        {u"*.txt", u"a.txt2", false},
        {u"*.txt", u"txt", false},
        {u"*.", u"noext", true},
        {u"*.", u"a.b", false},
        {u"a?c", u"abc", true},
        {u"a?c", u"ac", false},
        {u"a?", u"a", true},
        {u"a??.txt", u"a.txt", true},
        {u"a??.txt", u"ab.txt", true},
        {u"a??.txt", u"abcd.txt", false},
        {u"ab*", u"AB", true},
        {u"*b*", u"abc", true},
        {u"*b*", u"xyz", false},
        {u"\u8CC7*", u"\u8CC7\u6599.doc", true},
        {u"readme", u"README", true},
        {u"readme", u"readme.txt", false},
    };
    for (const MatchRow& row : rows) {
        EXPECT_EQ(MatchesPattern(row.pattern, row.name), row.matches)
            << os::ToUtf8(row.pattern) << " vs " << os::ToUtf8(row.name);
    }
}

TEST(SimPath, KnowsValidShortNames) {
    for (const char16_t* name :
         {u"README.TXT", u"Desktop", u"a", u"ABCDEFGH.ABC", u"X_1-2!.$$$", u"readme.txt"}) {
        EXPECT_TRUE(IsValidShortName(name)) << os::ToUtf8(name);
    }
    for (const char16_t* name : {u"ABCDEFGHI", u"A.ABCD", u"a.b.c", u".profile", u"my file", u"a+b",
                                 u"x[1]", u"\u8CC7\u6599.txt", u"abc.", u""}) {
        EXPECT_FALSE(IsValidShortName(name)) << os::ToUtf8(name);
    }
}

struct ShortRow {
    const char16_t* name;
    const char16_t* alias;
};

TEST(SimPath, MakesShortNamesLikeNtfs) {
    const ShortRow rows[] = {
        {u"Long Name Document.doc", u"LONGNA~1.DOC"},
        {u"Program Files", u"PROGRA~1"},
        {u"report.final.html", u"REPORT~1.HTM"},
        {u".htaccess", u"HTACCE~1"},
        {u"a+b=c.txt", u"A_B_C~1.TXT"},
        {u"\u8CC7\u6599.txt", u"__~1.TXT"},
        {u"ab.text", u"AB~1.TEX"},
    };
    for (const ShortRow& row : rows) {
        const os::WString alias = MakeShortName(row.name, [](const os::WString&) { return false; });
        EXPECT_EQ(os::ToUtf8(alias), os::ToUtf8(row.alias)) << os::ToUtf8(row.name);
    }
}

TEST(SimPath, ShortNameCounterSkipsTakenAliases) {
    std::set<os::WString> taken;
    std::vector<os::WString> made;
    for (int i = 0; i < 11; ++i) {
        const os::WString alias = MakeShortName(
            u"Long Name Document.doc", [&](const os::WString& c) { return taken.count(c) != 0; });
        taken.insert(alias);
        made.push_back(alias);
    }
    EXPECT_EQ(os::ToUtf8(made[0]), "LONGNA~1.DOC");
    EXPECT_EQ(os::ToUtf8(made[1]), "LONGNA~2.DOC");
    EXPECT_EQ(os::ToUtf8(made[8]), "LONGNA~9.DOC");
    EXPECT_EQ(os::ToUtf8(made[9]), "LONGN~10.DOC");  // the base shrinks to keep eight
    EXPECT_EQ(taken.size(), made.size());
}

}  // namespace
}  // namespace sim
