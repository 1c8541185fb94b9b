#include "banner/bannersettings.h"
#include "core/settingsstore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

class BannerSettingsTest : public ::testing::Test
{
protected:
    void store(const char *key, const char *text)
    {
        settings->SaveSetting(QStringLiteral("Preferences"), QLatin1String(key),
                              QLatin1String(text));
    }
    QString stored(const char *key) const
    {
        return settings->GetSetting(QStringLiteral("Preferences"), QLatin1String(key), QString());
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> settings =
        std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("VORN.ini")));
};

TEST_F(BannerSettingsTest, AnEmptyStoreGivesBoldTwelvePointTahomaYellowOnBlack)
{
    const BannerAppearance a = BannerAppearance::read(*settings);
    EXPECT_TRUE(a.bold);
    EXPECT_FALSE(a.italic);
    EXPECT_FALSE(a.strike);
    EXPECT_FALSE(a.underline);
    EXPECT_EQ(a.fontName, QStringLiteral("Tahoma"));
    EXPECT_DOUBLE_EQ(a.fontSize, 12.0);
    EXPECT_EQ(a.fontColor, QColor(255, 255, 0));
    EXPECT_EQ(a.backColor, QColor(0, 0, 0));

    const QFont font = a.font();
    EXPECT_EQ(font.family(), QStringLiteral("Tahoma"));
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 12.0);
    EXPECT_TRUE(font.bold());
    EXPECT_FALSE(font.italic());
}

TEST_F(BannerSettingsTest, ReadsAStoredSet)
{
    store("Banner_FontBold", "0");
    store("Banner_FontItalic", "1");
    store("Banner_FontName", "DejaVu Serif");
    store("Banner_FontSize", "13.5");
    store("Banner_FontStrike", "-1");
    store("Banner_FontUnderline", "True");
    store("Banner_FontColor", "255");      // red
    store("Banner_BackColor", "16711680"); // blue
    const BannerAppearance a = BannerAppearance::read(*settings);
    EXPECT_FALSE(a.bold);
    EXPECT_TRUE(a.italic);
    EXPECT_EQ(a.fontName, QStringLiteral("DejaVu Serif"));
    EXPECT_DOUBLE_EQ(a.fontSize, 13.5);
    EXPECT_TRUE(a.strike);
    EXPECT_TRUE(a.underline);
    EXPECT_EQ(a.fontColor, QColor(255, 0, 0));
    EXPECT_EQ(a.backColor, QColor(0, 0, 255));

    const QFont font = a.font();
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 13.5);
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_TRUE(font.underline());
    EXPECT_FALSE(font.bold());
}

TEST_F(BannerSettingsTest, UnreadableValuesTakeTheirDefaults)
{
    store("Banner_FontBold", "yes please");
    store("Banner_FontItalic", "");
    store("Banner_FontSize", "-4");
    store("Banner_FontColor", "bright");
    store("Banner_BackColor", "-2147483633");
    const BannerAppearance a = BannerAppearance::read(*settings);
    EXPECT_TRUE(a.bold);
    EXPECT_FALSE(a.italic);
    EXPECT_DOUBLE_EQ(a.fontSize, 12.0);
    EXPECT_EQ(a.fontColor, QColor(255, 255, 0));
    EXPECT_EQ(a.backColor, QColor(0, 0, 0));
}

TEST_F(BannerSettingsTest, SavedAppearanceReadsBackTheSame)
{
    BannerAppearance a;
    a.bold = false;
    a.underline = true;
    a.fontName = QStringLiteral("Courier");
    a.fontSize = 9.5;
    a.fontColor = QColor(0x12, 0x34, 0x56);
    a.backColor = QColor(255, 255, 255);
    a.save(*settings);
    EXPECT_EQ(stored("Banner_FontBold"), QStringLiteral("0"));
    EXPECT_EQ(stored("Banner_FontUnderline"), QStringLiteral("1"));
    EXPECT_EQ(stored("Banner_FontSize"), QStringLiteral("9.5"));
    EXPECT_EQ(stored("Banner_FontColor"), QStringLiteral("5649426")); // 0x563412
    EXPECT_EQ(stored("Banner_BackColor"), QStringLiteral("16777215"));
    EXPECT_EQ(BannerAppearance::read(*settings), a);
}

} // namespace
