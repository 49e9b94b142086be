#include "webout/pathhelpers.h"

#include <gtest/gtest.h>

TEST(PathHelpers, GetFnameSplitsAtTheLastSeparatorOfEitherKind) {
    struct Case {
        const char* path;
        const char* fileName;
        const char* directory;
    };
    const Case cases[] = {
        {"C:\\a\\b.txt", "b.txt", "C:\\a\\"},
        {"a/b\\c", "c", "a/b\\"},
        {"a\\b/c", "c", "a\\b/"},
        {"plain.txt", "plain.txt", ""},
        {"C:\\dir\\", "", "C:\\dir\\"},
        {"/tmp/x/talk.txt", "talk.txt", "/tmp/x/"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const PathParts parts = GetFname(c.path);
        EXPECT_EQ(parts.fileName, c.fileName) << c.path;
        EXPECT_EQ(parts.directory, c.directory) << c.path;
    }
}

// A path of this machine splits at its own separators only: on Linux a backslash is part
// of a name. A path inside a log keeps splitting at both (above).
TEST(PathHelpers, aLocalPathSplitsAtThisSystemsSeparatorsOnly) {
    struct Case {
        const char* path;
        const char* fileName;
        const char* directory;
    };
#ifdef _WIN32
    const Case cases[] = {
        {"C:\\Talks\\talk.txt", "talk.txt", "C:\\Talks\\"},
        {"C:/Talks\\v2/talk.txt", "talk.txt", "C:/Talks\\v2/"},
        {"a/b\\c", "c", "a/b\\"},
        {"talk.txt", "talk.txt", ""},
        {"", "", ""},
    };
#else
    const Case cases[] = {
        {"/tmp/x/talk\\v2.txt", "talk\\v2.txt", "/tmp/x/"},
        {"/tmp/a\\b/talk.txt", "talk.txt", "/tmp/a\\b/"},
        {"C:\\Talks\\talk.txt", "C:\\Talks\\talk.txt", ""},
        {"/talks/", "", "/talks/"},
        {"talk.txt", "talk.txt", ""},
        {"", "", ""},
    };
#endif
    for (const Case& c : cases) {
        const PathParts parts = splitLocalPath(c.path);
        EXPECT_EQ(parts.fileName, c.fileName) << c.path;
        EXPECT_EQ(parts.directory, c.directory) << c.path;
    }
}

TEST(PathHelpers, SplitFileNameCutsAtTheFirstDot) {
    struct Case {
        const char* name;
        const char* baseName;
        const char* extension;
    };
    const Case cases[] = {
        {"my.talk.ppt", "my", "talk.ppt"}, {"nodot", "nodot", ""}, {".hidden", "", "hidden"},
        {"trailing.", "trailing", ""},     {"", "", ""},
    };
    for (const Case& c : cases) {
        const FileNameParts parts = SplitFileName(c.name);
        EXPECT_EQ(parts.baseName, c.baseName) << c.name;
        EXPECT_EQ(parts.extension, c.extension) << c.name;
    }
}

TEST(PathHelpers, SplitIMGFileNameCutsAtTheFirstZeroAndTheFirstDot) {
    struct Case {
        const char* name;
        const char* prefix;
        const char* extension;
    };
    const Case cases[] = {
        {"sld000.gif", "sld", "gif"},        {"img10.jpg", "img1", "jpg"},
        {"sld000", "sld", "sld000"},         {"000.png", "", "png"},
        {"s.x0.tar.gz", "s.x", "x0.tar.gz"},
    };
    for (const Case& c : cases) {
        const auto parts = SplitIMGFileName(c.name);
        ASSERT_TRUE(parts) << c.name;
        EXPECT_EQ(parts->prefix, c.prefix) << c.name;
        EXPECT_EQ(parts->extension, c.extension) << c.name;
    }
    EXPECT_FALSE(SplitIMGFileName("slide.gif"));
    EXPECT_FALSE(SplitIMGFileName(""));
}

TEST(PathHelpers, ExpandIMGPathPutsThePresentationBaseNameForTheFirstToken) {
    struct Case {
        const char* pattern;
        const char* powerPointPath;
        const char* result;
    };
    const Case cases[] = {
        {"../{PF}/", "C:\\talks\\Q3.review.ppt", "../Q3/"},
        {"../{pf}/", "C:\\Talks\\q3.ppt", "../q3/"},
        {"img/{Pf}-{PF}/", "/home/me/deck.ppt", "img/deck-{PF}/"},
        {"../{PF}/", "", "..//"},
        {"../slides/", "C:\\talks\\q3.ppt", "../slides/"},
        {"{PF}", "deck", "deck"},
        {"", "q3.ppt", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandIMGPath(c.pattern, c.powerPointPath), c.result) << c.pattern;
}

TEST(PathHelpers, NumbersArePaddedToThreeDigitsAndLongerOnesKeptWhole) {
    const std::pair<int, const char*> cases[] = {
        {0, "000"},   {1, "001"},     {7, "007"},       {10, "010"},
        {100, "100"}, {1234, "1234"}, {32767, "32767"},
    };
    for (const auto& [number, text] : cases)
        EXPECT_EQ(threeDigits(number), text);
}
