#include "common/eightbittext.h"

#include <gtest/gtest.h>

TEST(EightBitText, showsUtf8WhenItDecodesElseTheWindowsCodePage) {
    struct Case {
        std::string bytes;
        bool utf8;
        std::string shownAsUtf8;
    };
    const Case cases[] = {
        {"", true, ""},
        {"plain", true, "plain"},
        {"Caf\xc3\xa9", true, "Caf\xc3\xa9"},
        {"Caf\xe9", false, "Caf\xc3\xa9"},
        // Curly quotes of the code page; Latin-1 would show control characters.
        {"\x93q\x94", false, "\xe2\x80\x9cq\xe2\x80\x9d"},
        // A broken UTF-8 sequence is 8-bit text.
        {"\xc3(", false, "\xc3\x83("},
        // The page's corners: the euro sign, the last letter, a byte it leaves unassigned.
        {"\x80\x9f\xff", false, "\xe2\x82\xac\xc5\xb8\xc3\xbf"},
        {"\x81", false, "\xc2\x81"},
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        {"\xc0\xaf", false, "\xc3\x80\xc2\xaf"},
        {"\xed\xa0\x80", false, "\xc3\xad\xc2\xa0\xe2\x82\xac"},
        {"\xf4\x90\x80\x80", false, "\xc3\xb4\xc2\x90\xe2\x82\xac\xe2\x82\xac"},
        {"\xf0\x9f\x8e\xa4 \xef\xbb\xbfx", true, "\xf0\x9f\x8e\xa4 \xef\xbb\xbfx"},
        {std::string("a\0b", 3), true, std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EightBitText::isUtf8(c.bytes), c.utf8) << c.bytes;
        EXPECT_EQ(EightBitText::toUtf8(c.bytes), c.shownAsUtf8) << c.bytes;
    }
}

TEST(EightBitText, anEditKeepsTheBytesOfAnEightBitTextAndItsCodePage) {
    const std::string previous = "Caf\xe9 \x93x\x94";
    const std::string shown = EightBitText::toUtf8(previous);
    EXPECT_EQ(EightBitText::encodeEdit(shown, previous), previous);
    EXPECT_EQ(EightBitText::encodeEdit(shown + "!", previous), previous + "!");
    // A character the code page lacks turns the text into UTF-8.
    EXPECT_EQ(EightBitText::encodeEdit("\xd0\x96", previous), "\xd0\x96");
    // A UTF-8 text stays UTF-8.
    EXPECT_EQ(EightBitText::encodeEdit("\xc3\xa9", "x"), "\xc3\xa9");
    // An edit that is no UTF-8 at all is kept as given.
    EXPECT_EQ(EightBitText::encodeEdit("\xff", previous), "\xff");

    // Every one of the 256 bytes comes back from the screen unchanged.
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    ASSERT_FALSE(EightBitText::isUtf8(all));
    EXPECT_EQ(EightBitText::encodeEdit(EightBitText::toUtf8(all), all), all);
}
