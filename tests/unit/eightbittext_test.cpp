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
}
