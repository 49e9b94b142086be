#include "common/fieldreader.h"

#include <gtest/gtest.h>

TEST(FieldReader, splitsFieldsAtCommasAndLineEnds) {
    FieldReader r(" 0  , Slide , 0:00:00 , 10:15:23 AM , C:\\Talks\\q3.ppt , 1 , Welcome, all\r\n"
                  "next\r\n");
    EXPECT_DOUBLE_EQ(r.readNumber(), 0);
    EXPECT_EQ(r.readField(), "Slide");
    EXPECT_EQ(r.readField(), "0:00:00");
    EXPECT_EQ(r.readField(), "10:15:23 AM");
    EXPECT_EQ(r.readField(), "C:\\Talks\\q3.ppt");
    EXPECT_EQ(r.readField(), "1");
    EXPECT_EQ(r.readLine(), " Welcome, all");
    EXPECT_EQ(r.line(), 2);
    EXPECT_EQ(r.readField(), "next");
    EXPECT_TRUE(r.atEnd());
}

TEST(FieldReader, quotedValuesRunToTheNextQuote) {
    FieldReader r("\"a, b\" , c\r\n  \"open\r\n");
    EXPECT_EQ(r.readField(), "a, b");
    EXPECT_EQ(r.readField(), "c");
    EXPECT_EQ(r.readField(), "open");
    EXPECT_TRUE(r.atEnd());
}

TEST(FieldReader, readsOnAcrossLinesAndKeepsWholeLinesUnchanged) {
    FieldReader r("Cuemark Grid File\r\nlog.txt\n\r\n \"quoted\", x \r\nlast");
    EXPECT_EQ(r.readField(), "Cuemark Grid File");
    EXPECT_EQ(r.readLine(), "log.txt");
    EXPECT_EQ(r.readField(), "");
    EXPECT_EQ(r.readLine(), " \"quoted\", x ");
    EXPECT_EQ(r.readLine(), "last");
    EXPECT_TRUE(r.atEnd());
    EXPECT_THROW(r.readLine(), ReadError);
    EXPECT_THROW(r.readField(), ReadError);
}

TEST(FieldReader, numbersEndAtABlankAndRejectAnythingElse) {
    FieldReader good(" 5.78703703703609E-05  , Slide\r\n .5 \r\n");
    EXPECT_DOUBLE_EQ(good.readNumber(), 5.78703703703609E-05);
    EXPECT_EQ(good.readField(), "Slide");
    EXPECT_DOUBLE_EQ(good.readNumber(), 0.5);

    FieldReader bad("abc\r\n1 2\r\n\r\n");
    try {
        bad.readNumber();
        FAIL() << "a text read as a number";
    } catch (const ReadError& e) {
        EXPECT_EQ(e.line(), 1);
    }
    EXPECT_THROW(bad.readNumber(), ReadError);
    EXPECT_THROW(bad.readNumber(), ReadError); // an empty line is no number
}

TEST(FieldReader, wholeLineFieldsKeepTheirCommas) {
    EXPECT_EQ(fieldOfLine("  C:\\logs\\a,b.txt  "), "C:\\logs\\a,b.txt");
    EXPECT_EQ(fieldOfLine("\"x, y\" tail"), "x, y");
    EXPECT_EQ(fieldOfLine(""), "");
    FieldReader r("http://h/a,b/\r\nnext\r\n");
    EXPECT_EQ(r.readLineAsField(), "http://h/a,b/");
    EXPECT_EQ(r.readLineAsField(), "next");
}
