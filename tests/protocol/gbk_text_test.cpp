#include "gbk_text.h"

#include <gtest/gtest.h>

namespace motor {
namespace {

TEST(GbkText, ConvertsTheSystemsTextsBothWays) {
    const std::string file_name = "\xb6\xcb\xbf\xda\xc1\xd0\xb1\xed.TXT";
    EXPECT_EQ(utf8_to_gbk("端口列表.TXT"), file_name);
    EXPECT_EQ(gbk_to_utf8(file_name), "端口列表.TXT");
    EXPECT_EQ(utf8_to_gbk("丄0000"),
              "\x81\x41"
              "0000");
    EXPECT_EQ(gbk_to_utf16("\x81\x41"
                           "0000"),
              u"丄0000");
    EXPECT_EQ(utf16_to_gbk(u"KV7514-9600"), "KV7514-9600");
    EXPECT_EQ(utf8_to_gbk("１２"), "\xa3\xb1\xa3\xb2");
    EXPECT_EQ(gbk_to_utf16(""), u"");
}

TEST(GbkText, InvalidOrTruncatedBytesAreReplacedAndTheRestIsKept) {
    // 0x80 and 0xFF are no lead bytes; 0xB6 at the end has lost its trail byte.
    EXPECT_EQ(gbk_to_utf16("a\xff"
                           "b"),
              u"a\uFFFDb");
    EXPECT_EQ(gbk_to_utf16("\x81\x20x"), u"\uFFFD x");
    EXPECT_EQ(gbk_to_utf16("12\xb6"), u"12\uFFFD");
    EXPECT_EQ(gbk_to_utf8("\xb6\xcb\xff\xbf\xda"), "端\xEF\xBF\xBD口");
}

TEST(GbkText, CharactersGbkCannotHoldBecomeQuestionMarks) {
    EXPECT_EQ(utf16_to_gbk(u"a\uD55C\U0001F600b"), "a??b");  // Hangul, an emoji
    EXPECT_EQ(utf16_to_gbk(std::u16string{u'x', char16_t(0xD800), u'y'}), "x?y");  // lone surrogate
    EXPECT_EQ(utf8_to_gbk("a\xC3(b"), "a?(b");  // broken UTF-8 in
}

TEST(GbkText, LongTextsSurviveTheRoundTrip) {
    std::u16string text;
    for (int i = 0; i < 5000; ++i) text += u"电机增量控制程序";
    EXPECT_EQ(gbk_to_utf16(utf16_to_gbk(text)), text);
}

}  // namespace
}  // namespace motor
