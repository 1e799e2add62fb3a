// The destination's path guard: which base folders are accepted and which received paths may
// be written to below one.
#include "transfer/PathGuard.h"

#include <gtest/gtest.h>

#include "common/ReceiverTestKit.h"
#include "os/Text.h"

namespace {

using namespace std::string_literals;

constexpr char16_t kBase[] = u"E:\\Ferrylo";

TEST(PathGuard, BaseFolderIsExactlyDriveColonBackslashFerrylo) {
    struct Row {
        std::u16string text;
        bool valid;
    };
    const Row rows[] = {
        {u"E:\\Ferrylo", true},
        {u"a:\\ferrylo", true},
        {u"Z:\\FERRYLO", true},
        {u"c:\\fErRyLo", true},
        {u"", false},
        {u"E:\\", false},
        {u"E:\\Ferrylo\\", false},
        {u"E:\\Ferryl", false},
        {u"E:\\Ferrylo2", false},
        {u"E:/Ferrylo", false},
        {u"E:Ferrylo\\", false},
        {u"1:\\Ferrylo", false},
        {u"\u00C4:\\Ferrylo", false},
        {u"\\\\?\\E:\\Ferrylo", false},
        {u"E:\\\uFF26erryl\uFF4F", false},  // full-width F and o
        {u"E:\\Ferrylo\0"s, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IsValidBaseFolder(row.text), row.valid) << os::ToUtf8(row.text);
    }
}

TEST(PathGuard, RefusesEveryHostilePath) {
    std::vector<std::u16string> rows = recvkit::HostilePaths();
    // Rows that cannot travel in a transfer header but must still be refused.
    rows.push_back(u"E:\\Ferrylo\\" + std::u16string(245, u'a'));   // 256 units
    rows.push_back(u"E:\\Ferrylo\\" + std::u16string(1000, u'a'));  // far too long
    rows.push_back(u"E:\\Ferrylo\\" + std::u16string(240, u'a') + u"\\..\\..\\x");
    for (const auto& path : rows) {
        EXPECT_FALSE(IsSafeDestinationPath(kBase, path)) << os::ToUtf8(path);
    }
}

TEST(PathGuard, AcceptsOrdinaryNamesBelowTheBase) {
    std::u16string deep = u"E:\\Ferrylo";
    for (int i = 0; i < 60; ++i) {
        deep += u"\\d";
    }
    const std::u16string rows[] = {
        u"E:\\Ferrylo\\x",
        u"e:\\ferrylo\\X",
        u"E:\\FERRYLO\\a\\b\\c",
        u"E:\\Ferrylo\\PC1のCドライブ\\Users\\写真\\旅行 2023.jpg",
        u"E:\\Ferrylo\\ソラノワ\\データ.tar.gz",
        u"E:\\Ferrylo\\a.b.c.txt",
        u"E:\\Ferrylo\\.gitignore",
        u"E:\\Ferrylo\\..a",
        u"E:\\Ferrylo\\ leading blank",
        u"E:\\Ferrylo\\CONSOLE",
        u"E:\\Ferrylo\\COM10",
        u"E:\\Ferrylo\\LPT",
        u"E:\\Ferrylo\\nul1.txt",
        u"E:\\Ferrylo\\xcon",
        u"E:\\Ferrylo\\$Recycle.Bin\\x",
        u"E:\\Ferrylo\\a~1\\PROGRA~1",
        u"E:\\Ferrylo\\emoji\\\U0001F600.png",
        u"E:\\Ferrylo\\!#$%&'()+,;=@[]^_`{}~",
        deep,
        u"E:\\Ferrylo\\" + std::u16string(244, u'a'),  // 255 units, the longest a header carries
    };
    for (const auto& path : rows) {
        EXPECT_TRUE(IsSafeDestinationPath(kBase, path)) << os::ToUtf8(path);
    }
}

TEST(PathGuard, BaseMustBeValidAndIsMatchedIgnoringCase) {
    struct Row {
        std::u16string base;
        std::u16string path;
        bool safe;
    };
    const Row rows[] = {
        {u"e:\\ferrylo", u"E:\\FERRYLO\\x", true},
        {u"D:\\Ferrylo", u"d:\\ferrylo\\x", true},
        {u"D:\\Ferrylo", u"E:\\Ferrylo\\x", false},
        {u"", u"E:\\Ferrylo\\x", false},
        {u"E:\\", u"E:\\x", false},
        {u"E:\\Ferrylo\\", u"E:\\Ferrylo\\x", false},
        {u"E:\\Other", u"E:\\Other\\x", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IsSafeDestinationPath(row.base, row.path), row.safe)
            << os::ToUtf8(row.base) << " / " << os::ToUtf8(row.path);
    }
}

TEST(PathGuard, EveryReservedDeviceNameIsRefusedInAnyCaseAndWithAnyExtension) {
    std::vector<std::u16string> names = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"};
    for (char16_t d = u'0'; d <= u'9'; ++d) {
        names.push_back(std::u16string(u"COM") + d);
        names.push_back(std::u16string(u"LPT") + d);
    }
    for (char16_t d : {u'\u00B9', u'\u00B2', u'\u00B3'}) {
        names.push_back(std::u16string(u"com") + d);
        names.push_back(std::u16string(u"lpt") + d);
    }
    for (const auto& name : names) {
        for (const auto& variant : {name, os::ToLower(name), name + u".txt", name + u".tar.gz",
                                    os::ToLower(name) + u"  .log"}) {
            EXPECT_FALSE(IsSafeComponent(variant)) << os::ToUtf8(variant);
            EXPECT_FALSE(IsSafeDestinationPath(kBase, u"E:\\Ferrylo\\dir\\" + variant))
                << os::ToUtf8(variant);
        }
        EXPECT_TRUE(IsSafeComponent(name + u"x")) << os::ToUtf8(name);
    }
}

TEST(PathGuard, EveryControlCharacterAndReservedPunctuationIsRefused) {
    std::u16string bad;
    for (char16_t c = 0; c < 0x20; ++c) {
        bad.push_back(c);
    }
    bad += u":<>\"/\\|?*";
    for (char16_t c : bad) {
        const std::u16string name = std::u16string(u"a") + c + u"b";
        EXPECT_FALSE(IsSafeComponent(name)) << static_cast<int>(c);
    }
    for (char16_t c : {u'\u007F', u'\u3000', u'\uFF1A', u'\uFF0F'}) {   // DEL, ideographic space,
        EXPECT_TRUE(IsSafeComponent(std::u16string(u"a") + c + u"b"));  // full-width : and /
    }
}

}  // namespace
