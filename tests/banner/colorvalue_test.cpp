#include "banner/colorvalue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ColorCase
{
    const char *text;
    QColor color;
};

TEST(ColorValue, RedSitsInTheLowestByte)
{
    const std::vector<ColorCase> cases{
        {"0", QColor(0, 0, 0)},
        {"255", QColor(255, 0, 0)},
        {"65280", QColor(0, 255, 0)},
        {"16711680", QColor(0, 0, 255)},
        {"65535", QColor(255, 255, 0)},
        {"16777215", QColor(255, 255, 255)},
        {"8421504", QColor(128, 128, 128)},
        {"1193046", QColor(0x56, 0x34, 0x12)},
    };
    for (const ColorCase &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(colorFromSettingText(QLatin1String(c.text)), c.color);
        EXPECT_EQ(colorSettingText(c.color), QLatin1String(c.text));
    }
}

TEST(ColorValue, TextsThatAreNoColourGiveNothing)
{
    for (const char *text : {"", "yellow", "-1", "16777216", "-2147483633", "1e30"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(colorFromSettingText(QLatin1String(text)).has_value());
    }
    EXPECT_EQ(colorFromSettingText(QStringLiteral(" 255 ")), QColor(255, 0, 0));
}

TEST(ColorValue, NonRgbColoursAreStoredByTheirRgbValue)
{
    EXPECT_EQ(colorValue(QColor::fromHsv(60, 255, 255)), 65535u);
}

} // namespace
