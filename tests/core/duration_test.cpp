#include "core/duration.h"

#include <gtest/gtest.h>

TEST(FormatDuration, WritesMinutesAndSecondsWithHoursFromOneHourOn)
{
    const std::pair<qint64, const char *> cases[] = {
        {0, "00:00"},       {59, "00:59"},      {205, "03:25"},        {3599, "59:59"},
        {3600, "01:00:00"}, {3723, "01:02:03"}, {360000, "100:00:00"}, {-5, "00:00"},
    };
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(FormatDuration(seconds), QLatin1String(text)) << seconds;
}

TEST(ParseDuration, ReadsBothFormsLeniently)
{
    const std::pair<const char *, qint64> cases[] = {
        {"03:25", 205},
        {"3:25", 205},
        {"01:02:03", 3723},
        {"100:00:00", 360000},
        {"", 0},
        {"abc", 0},
        {"1.5:00:00", 5400},
        {" 1:02:03", 3723},
        // Only the first and last two characters count in the short form.
        {"  2:05", 5},
        {"0x:1y", 1},
        {"02:3.5", 120},
        {"7", 427},
    };
    for (const auto &[text, seconds] : cases)
        EXPECT_EQ(ParseDuration(QString::fromLatin1(text)), seconds) << text;
}

TEST(ParseDuration, ReadsBackEverythingFormatDurationWrites)
{
    for (qint64 seconds : {0, 1, 59, 60, 205, 3599, 3600, 3723, 86399, 360001})
        EXPECT_EQ(ParseDuration(FormatDuration(seconds)), seconds);
}
