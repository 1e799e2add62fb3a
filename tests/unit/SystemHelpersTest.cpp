// Decoding of received fields and the product title in captions.
#include <gtest/gtest.h>

#include <string>

#include "platform/SystemHelpers.h"

TEST(ReceivedHexToWideTest, DecodesOnlyWellFormedFields) {
    const struct {
        std::string hex;
        os::WString text;
    } rows[] = {
        {"43003A005C006100", u"C:\\a"},
        {"43003a005c006100", u"C:\\a"},  // lower-case digits are accepted
        {"", u""},
        {"30AD", u"\uAD30"},
        {"DF5E", u"\u5EDF"},
        {"43003A00G", u""},  // not a multiple of four
        {"43003A0G", u""},   // a non-hexadecimal digit spoils the whole field
        {"4300 A00", u""},
        {std::string("43\0"
                     "03A00",
                     8),
         u""},  // a zero byte too
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReceivedHexToWide(row.hex.data(), row.hex.size()), row.text) << row.hex;
    }
    const std::string longest(1040, '4');
    EXPECT_EQ(ReceivedHexToWide(longest.data(), longest.size()).size(), 260u);
    const std::string tooLong(1044, '4');
    EXPECT_EQ(ReceivedHexToWide(tooLong.data(), tooLong.size()), u"");
    EXPECT_EQ(ReceivedHexToWide(nullptr, 4), u"");
}

TEST(ReplaceAppNameTest, ReplacesEveryPlaceholder) {
    EXPECT_EQ(ReplaceAppName(u"APPLICATION_NAME"), u"ソラノワ Basic");
    EXPECT_EQ(ReplaceAppName(u"APPLICATION_NAMEのバージョン情報"),
              u"ソラノワ Basicのバージョン情報");
    EXPECT_EQ(ReplaceAppName(u"[APPLICATION_NAME] - APPLICATION_NAME"),
              u"[ソラノワ Basic] - ソラノワ Basic");
    EXPECT_EQ(ReplaceAppName(u"ドライブ選択"), u"ドライブ選択");
    EXPECT_EQ(ReplaceAppName(u"APPLICATION_NAM"), u"APPLICATION_NAM");
    EXPECT_EQ(ReplaceAppName(u""), u"");
}
