#include "common/clocktime.h"

#include <gtest/gtest.h>

#include <optional>

TEST(ClockTime, acceptsTheTimeOfDaySpellings) {
    struct Case {
        const char* text;
        std::optional<long long> seconds;
    };
    const Case cases[] = {
        {"00:00:00", 0},
        {"0:00:05", 5},
        {"00:01:05", 65},
        {"23:59:59", 86399},
        {"1:30", 5400},
        {"01:30", 5400},
        {" 00:00:10 ", 10},
        {"24:00:00", std::nullopt},
        {"00:60:00", std::nullopt},
        {"00:00:60", std::nullopt},
        {"0:5:00", std::nullopt},
        {"000:00:00", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"10:15:28 AM", std::nullopt},
        {"12/08/2026 10:00:00", std::nullopt},
        {"1:2:3", std::nullopt},
        {"-1:00:00", std::nullopt},
        {"10:00:00:00", std::nullopt},
        {":30", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = ClockTime::parse(c.text);
        ASSERT_EQ(value.has_value(), c.seconds.has_value());
        if (value) {
            EXPECT_EQ(ClockTime::toSeconds(*value), *c.seconds);
        }
    }
}

TEST(ClockTime, writesTimeOfDayRoundedToTheSecond) {
    EXPECT_EQ(ClockTime::format(0), "00:00:00");
    EXPECT_EQ(ClockTime::format(ClockTime::fromSeconds(65)), "00:01:05");
    EXPECT_EQ(ClockTime::format(ClockTime::fromSeconds(25 * 3600)), "01:00:00");
    EXPECT_EQ(ClockTime::format(ClockTime::fromSeconds(86399)), "23:59:59");
    EXPECT_EQ(ClockTime::format(4.6 / 86400), "00:00:05");
    EXPECT_EQ(ClockTime::format(4.4 / 86400), "00:00:04");
    EXPECT_EQ(ClockTime::format(ClockTime::NotSet), "00:00:00");
    // Whole days are dropped before rounding, so no value is too large to write.
    EXPECT_EQ(ClockTime::format(2e14 + 0.5), "12:00:00");
    EXPECT_EQ(ClockTime::format(1e300), "00:00:00");
    // Before day zero the time of day is the fraction's magnitude.
    EXPECT_EQ(ClockTime::formatElapsed(ClockTime::fromSeconds(10) - ClockTime::fromSeconds(86390)),
              "23:59:40");
    EXPECT_EQ(ClockTime::formatElapsed(ClockTime::fromSeconds(5)), "0:00:05");
    EXPECT_EQ(ClockTime::formatElapsed(ClockTime::fromSeconds(13 * 3600 + 62)), "13:01:02");
}

TEST(ClockTime, sumsOfLoggedDifferencesLandOnWholeSeconds) {
    // Differences of two readings carry rounding noise; sums must still write right.
    const double t1 = ClockTime::fromSeconds(10 * 3600 + 15 * 60 + 23);
    const double t2 = ClockTime::fromSeconds(10 * 3600 + 15 * 60 + 28);
    EXPECT_EQ(ClockTime::format(t2 - t1), "00:00:05");
    EXPECT_EQ(ClockTime::toSeconds(t2 - t1), 5);
}

TEST(DayCount, writesAsTheRuntimePrintsADouble) {
    const double fiveSeconds = ClockTime::fromSeconds(10 * 3600 + 15 * 60 + 28) -
                               ClockTime::fromSeconds(10 * 3600 + 15 * 60 + 23);
    EXPECT_EQ(DayCount::format(0), " 0 ");
    EXPECT_EQ(DayCount::format(ClockTime::OneSecond), " 1.15740740740741E-05 ");
    EXPECT_EQ(DayCount::format(0.5), " 0.5 ");
    EXPECT_EQ(DayCount::format(1.0 / 24), " 0.0416666666666667 ");
    EXPECT_EQ(DayCount::format(25.0 / 24), " 1.04166666666667 ");
    EXPECT_EQ(DayCount::format(2), " 2 ");
    EXPECT_EQ(DayCount::format(0.001), " 0.001 ");
    EXPECT_EQ(DayCount::format(0.0003125), " 3.125E-04 ");
    // Across midnight the plain difference is negative: no blank in the sign place.
    const std::string acrossMidnight =
        DayCount::format(ClockTime::fromSeconds(10) - ClockTime::fromSeconds(86390));
    EXPECT_EQ(acrossMidnight.substr(0, 14), "-0.99976851851");
    EXPECT_EQ(acrossMidnight.back(), ' ');
    EXPECT_EQ(DayCount::format(1e-5), " 1E-05 ");
    EXPECT_EQ(DayCount::format(fiveSeconds).front(), ' ');
    EXPECT_EQ(DayCount::format(fiveSeconds).back(), ' ');
}

TEST(DayCount, everyWrittenSecondReadsBackToTheSameSecond) {
    for (long long s = 0; s < 2 * 86400; s += 37) {
        const double value = ClockTime::fromSeconds(s);
        const auto back = DayCount::parseNumber(DayCount::numberText(value));
        ASSERT_TRUE(back.has_value()) << s;
        ASSERT_EQ(ClockTime::toSeconds(*back), s);
    }
}

TEST(DayCount, readsTheNumberSpellingsOfOldAndNewFiles) {
    EXPECT_DOUBLE_EQ(*DayCount::parseNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(*DayCount::parseNumber(".0416666666666667"), 0.0416666666666667);
    EXPECT_DOUBLE_EQ(*DayCount::parseNumber("5.78703703703609E-05"), 5.78703703703609E-05);
    EXPECT_DOUBLE_EQ(*DayCount::parseNumber("1e-05"), 1e-05);
    EXPECT_DOUBLE_EQ(*DayCount::parseNumber("-0.99977"), -0.99977);
    EXPECT_DOUBLE_EQ(*DayCount::parseNumber("+3"), 3);
    EXPECT_DOUBLE_EQ(*DayCount::parseNumber("7."), 7);
    for (const char* bad : {"", ".", "-", "abc", "1E", "1,5", " 1", "1 ", "0x10", "1.2.3", "E5",
                            "+-1", "-+1", "++1", "--1", "inf", "nan"})
        EXPECT_FALSE(DayCount::parseNumber(bad).has_value()) << bad;
}
