#include "common/clocktime.h"
#include "logger/loggerclock.h"
#include "logger/presentationlog.h"
#include "schedule/logreader.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

double at(int h, int m, int s) {
    return ClockTime::fromSeconds(h * 3600LL + m * 60LL + s);
}

std::vector<std::string> sampleLines() {
    std::ifstream in(CUE_SOURCE_DIR "/tests/samples/q3.txt", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::vector<std::string> lines;
    const std::string text = bytes.str();
    for (size_t from = 0; from < text.size();) {
        const size_t end = text.find("\r\n", from);
        lines.push_back(text.substr(from, end + 2 - from));
        from = end + 2;
    }
    return lines;
}

double dayCountOf(const std::string& line) {
    return *DayCount::parseNumber(line.substr(1, line.find(' ', 1) - 1));
}

} // namespace

TEST(PresentationLog, writesTheSampleRunByteForByte) {
    const std::vector<std::string> lines = sampleLines();
    ASSERT_EQ(lines.size(), 5u);
    const std::string path = "C:\\Talks\\q3.ppt";
    using namespace PresentationLog;
    EXPECT_EQ(slideLine(0, "10:15:23 AM", path, 1, "Welcome"), lines[0]);
    EXPECT_EQ(slideLine(dayCountOf(lines[1]), "10:15:28 AM", path, 2, "Agenda"), lines[1]);
    EXPECT_EQ(slideLine(dayCountOf(lines[2]), "10:15:35 AM", path, 3, NoTitle), lines[2]);
    EXPECT_EQ(eventLine(dayCountOf(lines[3]), "10:16:02 AM", SlideShowStopped), lines[3]);
    EXPECT_EQ(eventLine(dayCountOf(lines[4]), "10:16:12 AM", LoggingStopped), lines[4]);
}

TEST(PresentationLog, intervalIsThePlainDifferenceAndZeroOnTheFirstLine) {
    using PresentationLog::interval;
    EXPECT_EQ(interval(std::nullopt, at(10, 15, 23)), 0.0);
    EXPECT_EQ(ClockTime::toSeconds(interval(at(10, 15, 23), at(10, 15, 28))), 5);
    EXPECT_EQ(interval(at(10, 15, 23), at(10, 15, 23)), 0.0);
    // Across midnight a 20-second gap is 20 seconds, not a negative count.
    const double acrossMidnight = interval(at(23, 59, 50), at(0, 0, 10));
    EXPECT_EQ(ClockTime::toSeconds(acrossMidnight), 20);
    EXPECT_GT(acrossMidnight, 0.0);
    // A gap of 25 hours cannot be told from one of one hour.
    EXPECT_EQ(ClockTime::toSeconds(interval(at(9, 0, 0), at(10, 0, 0))), 3600);
}

// Only a difference below minus half a day is midnight; a clock set back is no gap at all,
// and the import reads such a count back the same way.
TEST(PresentationLog, aClockSetBackIsNotMidnight) {
    struct Case {
        double previous, reading;
        long long seconds;
    };
    const Case cases[] = {
        {at(10, 0, 5), at(10, 0, 0), 0},    // a time sync
        {at(3, 0, 0), at(2, 0, 1), 0},      // the end of summer time
        {at(12, 0, 0), at(0, 0, 1), 0},     // exactly half a day back
        {at(12, 0, 1), at(0, 0, 0), 43199}, // just past half a day: midnight
        {at(23, 59, 59), at(0, 0, 0), 1},
    };
    for (const Case& c : cases) {
        const double d = PresentationLog::interval(c.previous, c.reading);
        EXPECT_EQ(ClockTime::toSeconds(d), c.seconds) << c.previous;
        EXPECT_GE(d, 0.0);
        const auto read = parseLogDayCount(DayCount::format(c.reading - c.previous));
        ASSERT_TRUE(read);
        EXPECT_EQ(ClockTime::toSeconds(*read), c.seconds);
    }
}

TEST(PresentationLog, linesKeepTheirFieldsUnchanged) {
    using namespace PresentationLog;
    struct Case {
        std::string line;
        std::string expected;
    };
    const Case cases[] = {
        // Logging ended before any show: the one line of such a run.
        {eventLine(0, "9:00:01 AM", LoggingStopped),
         " 0  , Event , 0:00:00 , 9:00:01 AM , Logging Stopped\r\n"},
        // An empty title leaves the separator before the line end.
        {slideLine(0, "14:02:03", "/talks/a.ppt", 4, ""),
         " 0  , Slide , 0:00:00 , 14:02:03 , /talks/a.ppt , 4 , \r\n"},
        // Commas and quotes in the title are written as they are.
        {slideLine(0, "14:02:03", "C:\\t\\a.ppt", 12, "Costs, risks, \"plans\""),
         " 0  , Slide , 0:00:00 , 14:02:03 , C:\\t\\a.ppt , 12 , Costs, risks, \"plans\"\r\n"},
        {eventLine(ClockTime::fromSeconds(1), "15:04:05", ProgramStopped),
         " 1.15740740740741E-05  , Event , 0:00:01 , 15:04:05 , Program Stopped\r\n"},
        {slideLine(0.5, "12:00:00", "p.ppt", 32767, "x"),
         " 0.5  , Slide , 12:00:00 , 12:00:00 , p.ppt , 32767 , x\r\n"},
        // Line breaks in a title or path would split the line: they become blanks.
        {slideLine(0, "9:00:00", "C:\\a\nb.ppt", 2, "Two\r\nlines\vand\x80"),
         " 0  , Slide , 0:00:00 , 9:00:00 , C:\\a b.ppt , 2 , Two  lines and\x80\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.line, c.expected);
}

TEST(PresentationLog, aLineAfterMidnightCarriesTheTimeThatPassed) {
    const double d = PresentationLog::interval(at(23, 59, 50), at(0, 0, 10));
    const std::string line =
        PresentationLog::eventLine(d, "12:00:10 AM", PresentationLog::SlideShowStopped);
    EXPECT_EQ(line.substr(0, 7), " 2.3148");
    EXPECT_EQ(line.find(" , Event , 0:00:20 , 12:00:10 AM , Slide Show Stopped\r\n"),
              line.find(' ', 1) + 1);
    EXPECT_EQ(ClockTime::toSeconds(*DayCount::parseNumber(line.substr(1, line.find(' ', 1) - 1))),
              20);
}

// The computer's clock writes the time of day as the desktop shows it, in one field of the
// log line: the U.S. long time on Linux and under an English Windows, the user's format
// elsewhere, never with a comma.
TEST(SystemClock, writesTheTimeOfDayAsOneFieldOfTheLine) {
    bool usFormat = true;
#ifdef _WIN32
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    ::GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    usFormat = std::wstring(locale) == L"en-US";
#endif
    const struct {
        double time;
        std::string us;
    } cases[] = {
        {at(0, 0, 5), "12:00:05 AM"},    {at(9, 5, 7), "9:05:07 AM"},
        {at(12, 0, 0), "12:00:00 PM"},   {at(13, 7, 9), "1:07:09 PM"},
        {at(23, 59, 59), "11:59:59 PM"},
    };
    SystemClock clock;
    for (const auto& c : cases) {
        const std::string text = clock.timeText(c.time);
        EXPECT_EQ(text.find(','), std::string::npos) << text;
        EXPECT_NE(text.find(c.us.substr(c.us.find(':'), 6)), std::string::npos) << text;
        if (usFormat) {
            EXPECT_EQ(text, c.us);
        }
    }
    const double now = clock.timeOfDay();
    EXPECT_GE(now, 0.0);
    EXPECT_LT(now, 1.0);
}
