// The drive list message: records, trailer, and what a receiver makes of damaged input.
#include "transfer/DriveListMessage.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "common/Latin1System.h"
#include "platform/Drive.h"

namespace wire {
void PrintTo(const PeerFacts& f, std::ostream* os) {
    *os << std::hex << f.m_nRemoteOSVer << std::dec << " " << f.m_bRemoteFlag5
        << f.m_bRemoteOutlookEx << f.m_bRemoteFlag9 << " " << f.m_nRemoteMailYear << " ["
        << testing::PrintToString(f.m_sRemoteText) << "] " << f.m_bRemoteFlag21 << f.m_bRemoteFlag23
        << " " << testing::PrintToString(f.m_sRemoteUserName);
}
}  // namespace wire

namespace {

using namespace std::string_literals;
using wire::PeerFacts;

std::string Zeros(size_t n) {
    return std::string(n, '0');
}

// One record with 20-digit fields given as their significant digits.
std::string Record(const std::string& root, char cd, char notNtfs, const std::string& free,
                   const std::string& total) {
    return root + cd + notNtfs + Zeros(20 - free.size()) + free + Zeros(20 - total.size()) + total;
}

const std::string kSentTrailer = "#0200,0,0,0,    ,    ,0,0,taro";

class DriveListMessage : public testing::Test {
  protected:
    Latin1System sys;
    CDrive drives;
    PeerFacts facts;

    bool Parse(const std::string& message) {
        return wire::ParseDriveList(message.data(), message.size(), sys, drives, facts);
    }
};

TEST_F(DriveListMessage, BuildsOneRecordPerDriveThenTheTrailer) {
    CDrive table;
    table.AddDrive(u"C:\\", u"", 12345, 476000, u"NTFS");
    table.AddDrive(u"d:\\", u"CDROM", 0, 0, u"");
    table.AddDrive(u"e:\\", u"", 0, INT32_MAX, u"ntfs");
    table.AddDrive(u"f:\\", u"", -5, 7, u"exFAT");
    PeerFacts own;
    own.m_nRemoteOSVer = 0x200;
    own.m_sRemoteUserName = u"taro";
    EXPECT_EQ(wire::MakeDriveList(table, own, sys),
              Record("C:\\", '0', '0', "12345", "476000") + Record("d:\\", '1', '1', "", "") +
                  Record("e:\\", '0', '0', "", "2147483647") + Record("f:\\", '0', '1', "", "7") +
                  kSentTrailer);

    // No drives: the trailer alone. Facts this system never sends still have their places.
    own = PeerFacts{0x1ABCD, true, true, false, 2011, u"ab", false, true, u"\u00E9"};
    EXPECT_EQ(wire::MakeDriveList(CDrive(), own, sys), "#ABCD,1,1,0,2011,  ab,0,1,\xE9");
    own.m_nRemoteMailYear = 2010;
    own.m_sRemoteText = u"abcdef";
    EXPECT_EQ(wire::MakeDriveList(CDrive(), own, sys), "#ABCD,1,1,0,    ,abcd,0,1,\xE9");
}

TEST_F(DriveListMessage, RecordsFillTheTable) {
    const struct {
        std::string record;
        std::u16string root, type, fileSystem;
        int32_t freeMB, totalMB;
    } rows[] = {
        {Record("C:\\", '0', '0', "12345", "476000"), u"C:\\", u"", u"NTFS", 12345, 476000},
        {Record("q:\\", '1', '1', "", ""), u"q:\\", u"CDROM", wire::kNonNtfsName, 0, 0},
        {Record("e:\\", '2', 'x', "1", "2"), u"e:\\", u"", u"NTFS", 1, 2},  // flags: "1" only
        {Record("e:\\", '0', '0', "2147483648", "99999999999999999999"), u"e:\\", u"", u"NTFS",
         INT32_MAX, INT32_MAX},
        {Record("e:\\", '0', '0', "", "").replace(10, 1, "x").replace(40, 1, " "), u"e:\\", u"",
         u"NTFS", 0, 0},
        {Record("\xE9:\0"s, '0', '0', "", ""), u"\u00E9:", u"", u"NTFS", 0, 0},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(Parse(row.record));
        ASSERT_EQ(drives.Count(), 1) << row.record;
        EXPECT_EQ(drives.GetRoot(0), row.root);
        EXPECT_EQ(drives.GetType(0), row.type);
        EXPECT_EQ(drives.GetFileSystem(0), row.fileSystem);
        EXPECT_EQ(drives.GetFreeMB(0), row.freeMB);
        EXPECT_EQ(drives.GetTotalMB(0), row.totalMB);
    }
}

TEST_F(DriveListMessage, RecordsEndAtTheFirstHashAndWholeRecordsOnly) {
    const std::string c = Record("C:\\", '0', '0', "1", "2");
    const std::string d = Record("d:\\", '0', '0', "3", "4");
    std::string many;
    for (int i = 0; i < 30; ++i) {
        many += c;
    }
    const struct {
        std::string message;
        int count;
        bool trailer;
    } rows[] = {
        {c + d + kSentTrailer, 2, true},
        {c + d, 2, false},
        {c + d.substr(0, 44), 1, false},
        {c + d.substr(0, 20) + kSentTrailer, 1, true},
        {kSentTrailer + c, 0, true},
        {c + "#" + d + "#", 1, true},
        {many, CDrive::kMaxDrives, false},
        {many + kSentTrailer, CDrive::kMaxDrives, true},
        {"", 0, false},
    };
    for (const auto& row : rows) {
        drives.AddDrive(u"z:\\", u"", 1, 1, u"NTFS");  // a previous list is replaced
        EXPECT_EQ(Parse(row.message), row.trailer) << row.message;
        EXPECT_EQ(drives.Count(), row.count) << row.message;
        if (row.count > 1) {
            EXPECT_EQ(drives.GetRoot(1), row.count == 2 ? u"d:\\" : u"C:\\");
        }
    }
}

TEST_F(DriveListMessage, TrailerFieldsAreReadByPosition) {
    PeerFacts taro;
    taro.m_nRemoteOSVer = 0x200;
    taro.m_sRemoteUserName = u"taro";
    auto with = [](auto change) {
        PeerFacts f;
        change(f);
        return f;
    };
    const struct {
        std::string trailer;
        PeerFacts expected;
    } rows[] = {
        {kSentTrailer, taro},
        {"#0e00,1,1,1,2009,tExt,1,1,\xC0ki", with([](PeerFacts& f) {
             f = PeerFacts{0xE00, true, true, true, 2009, u"tExt", true, true, u"\u00C0ki"};
         })},
        {"#0200,0,0,0,2008,    ,0,0,", with([](PeerFacts& f) {
             f.m_nRemoteOSVer = 0x200;
             f.m_nRemoteMailYear = 2008;
         })},
        {"#0200,0,0,0,2010,ab  ,0,0,a#b,c", with([](PeerFacts& f) {
             f.m_nRemoteOSVer = 0x200;
             f.m_sRemoteText = u"ab  ";
             f.m_sRemoteUserName = u"a#b,c";
         })},
        {"#0200,0,0,0, 2012,  ,0,0,x", with([](PeerFacts& f) {
             f.m_nRemoteOSVer = 0x200;  // the fields moved: positions still decide
             f.m_sRemoteText = u",  ,";
         })},
        {"#0200,0,0,0,    ,    ,0,0,ta\0ro"s, with([](PeerFacts& f) {
             f.m_nRemoteOSVer = 0x200;  // the name ends at a zero byte
             f.m_sRemoteUserName = u"ta";
         })},
        // Cut short: what is missing reads as a zero-filled buffer would.
        {"#", PeerFacts{}},
        {"#02", with([](PeerFacts& f) { f.m_nRemoteOSVer = 2; })},
        {"#0g00,1", with([](PeerFacts& f) { f.m_bRemoteFlag5 = true; })},
        {"#0200,1,1", with([](PeerFacts& f) {
             f.m_nRemoteOSVer = 0x200;
             f.m_bRemoteFlag5 = f.m_bRemoteOutlookEx = true;
         })},
        {"#0200,0,0,0,201", with([](PeerFacts& f) { f.m_nRemoteOSVer = 0x200; })},
        {"#0200,0,0,0,2012,ab", with([](PeerFacts& f) {
             f.m_nRemoteOSVer = 0x200;
             f.m_nRemoteMailYear = 2012;
         })},
        {"#0200,0,0,0,    ,    ,1,1,", with([](PeerFacts& f) {
             f.m_nRemoteOSVer = 0x200;
             f.m_bRemoteFlag21 = f.m_bRemoteFlag23 = true;
         })},
        {"#0200,0,0,0,    ,    ,0,0," + std::string(1041, 'n'), with([](PeerFacts& f) {
             f.m_nRemoteOSVer = 0x200;  // a name too long for the receiving buffer is dropped
         })},
    };
    for (const auto& row : rows) {
        facts = PeerFacts{0x999, true, true, true, 2011, u"old", true, true, u"old"};
        EXPECT_TRUE(Parse(row.trailer));
        EXPECT_EQ(facts, row.expected) << testing::PrintToString(row.trailer);
    }
}

TEST_F(DriveListMessage, WithoutTrailerTheFactsStay) {
    const PeerFacts before{0x999, true, false, true, 2011, u"old", true, false, u"old"};
    facts = before;
    EXPECT_FALSE(Parse(Record("C:\\", '0', '0', "1", "2") + "0200,0,0,0"));
    EXPECT_EQ(facts, before);
}

TEST_F(DriveListMessage, WhatIsBuiltParsesBackToTheSameList) {
    CDrive table;
    table.AddDrive(u"C:\\", u"", 12345, 476000, u"NTFS");
    table.AddDrive(u"d:\\", u"CDROM", 0, 0, u"");
    table.AddDrive(u"e:\\", u"", 3000000, INT32_MAX, u"FAT32");
    const PeerFacts own{0x800, false, true, false, 2012, u"abcd", true, false, u"\u00C9mile"};
    ASSERT_TRUE(Parse(wire::MakeDriveList(table, own, sys)));
    EXPECT_EQ(facts, own);
    ASSERT_EQ(drives.Count(), table.Count());
    for (int i = 0; i < table.Count(); ++i) {
        EXPECT_EQ(drives.GetRoot(i), table.GetRoot(i));
        EXPECT_EQ(drives.GetType(i), table.GetType(i));
        EXPECT_EQ(drives.GetFreeMB(i), table.GetFreeMB(i));
        EXPECT_EQ(drives.GetTotalMB(i), table.GetTotalMB(i));
        EXPECT_EQ(drives.GetFileSystem(i) == u"NTFS", table.GetFileSystem(i) == u"NTFS");
    }
}

}  // namespace

namespace {

TEST_F(DriveListMessage, OnlyTheExactTagMarksACopyOfThisProgram) {
    PeerFacts own;
    own.m_sRemoteText = wire::kCapabilityTag;
    const std::string sent = wire::MakeDriveList(CDrive(), own, sys);
    EXPECT_EQ(sent.substr(17, 4), "TDX1");
    ASSERT_TRUE(Parse(sent));
    EXPECT_TRUE(wire::AnnouncesCapabilityTag(facts));
    for (const std::string& other : {kSentTrailer, "#0200,0,0,0,    ,TDX2,0,0,x"s,
                                     "#0200,0,0,0,    , TDX,0,0,x"s, "#0200,0,0,0,    ,tdx1"s}) {
        ASSERT_TRUE(Parse(other));
        EXPECT_FALSE(wire::AnnouncesCapabilityTag(facts)) << other;
    }
}

}  // namespace
