#include "core/numeric.h"
#include "core/registryvalue.h"
#include "core/settingvalues.h"
#include "core/twips.h"

#include <gtest/gtest.h>

TEST(RoundHalfEven, SendsHalvesToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(2.6), 3);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
}

TEST(TextLabelsSetting, IsOnOnlyWhenTheNumberRoundsToOne)
{
    EXPECT_TRUE(textLabelsOn(QStringLiteral("1")));
    EXPECT_TRUE(textLabelsOn(QStringLiteral("1.4")));
    EXPECT_TRUE(textLabelsOn(QStringLiteral("0.6")));
    EXPECT_FALSE(textLabelsOn(QStringLiteral("0")));
    EXPECT_FALSE(textLabelsOn(QStringLiteral("2")));
    EXPECT_FALSE(textLabelsOn(QStringLiteral("0.5"))); // half to even: 0
    EXPECT_FALSE(textLabelsOn(QStringLiteral("1.5"))); // half to even: 2
    EXPECT_TRUE(textLabelsOn(QStringLiteral("garbage")));
}

TEST(ShowBannerSetting, ReadsTrueValues)
{
    EXPECT_TRUE(showBannerOn(QStringLiteral("1")));
    EXPECT_TRUE(showBannerOn(QStringLiteral("-1")));
    EXPECT_TRUE(showBannerOn(QStringLiteral("2")));
    EXPECT_TRUE(showBannerOn(QStringLiteral("True")));
    EXPECT_FALSE(showBannerOn(QStringLiteral("0")));
    EXPECT_FALSE(showBannerOn(QStringLiteral("False")));
    EXPECT_EQ(onOffText(true), QStringLiteral("1"));
    EXPECT_EQ(onOffText(false), QStringLiteral("0"));
}

TEST(RegistryStringData, DropsOnlyOneTerminatingNul)
{
    EXPECT_EQ(registryStringData(QByteArray("abc\0", 4), 4), QByteArray("abc"));
    EXPECT_EQ(registryStringData(QByteArray("abc"), 3), QByteArray("abc"));
    EXPECT_EQ(registryStringData(QByteArray("ab\0\0", 4), 4), QByteArray("ab\0", 3));
    EXPECT_EQ(registryStringData(QByteArray("abcdef"), 3), QByteArray("abc"));
    EXPECT_EQ(registryStringData(QByteArray(), 0), QByteArray());
    EXPECT_EQ(registryStringData(QByteArray("ab"), 10), QByteArray("ab"));
}

TEST(Twips, ConvertAtTheScreensResolution)
{
    EXPECT_EQ(twipsToPixels(8500, 96), 567);
    EXPECT_EQ(twipsToPixels(1440, 120), 120);
    EXPECT_EQ(pixelsToTwips(567, 96), 8505);
    EXPECT_EQ(pixelsToTwips(100, 96), 1500);
    EXPECT_EQ(twipsToPixels(pixelsToTwips(333, 96), 96), 333);
}
