#include "library/fileicons.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

constexpr FileIconSize kBothSizes[] = {FileIconSize::Small, FileIconSize::Large};

bool hasVisiblePixel(const QPixmap &pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0)
                return true;
        }
    }
    return false;
}

QPixmap solidPixmap(int px, const QColor &color)
{
    QPixmap pixmap(px, px);
    pixmap.fill(color);
    return pixmap;
}

class FileIconsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ensureIconTheme(); }
};

TEST_F(FileIconsTest, FindsTheIconThemeWithoutADesktopSession)
{
    EXPECT_TRUE(ensureIconTheme());
    // Calling it again keeps the theme.
    EXPECT_TRUE(ensureIconTheme());
    FileIcons icons;
    EXPECT_GE(icons.GetFileIcon(QStringLiteral("/music/song.mp3"), FileIconSize::Small), 3);
    EXPECT_GE(icons.GetFileIcon(QStringLiteral("/music/song.mp3"), FileIconSize::Large), 3);
}

TEST_F(FileIconsTest, StartsWithTheNowPlayingAndTheGenericImageInBothSizes)
{
    const FileIcons icons;
    for (FileIconSize size : kBothSizes) {
        const int px = FileIcons::pixelSize(size);
        EXPECT_EQ(icons.imageCount(size), 2);
        for (int index : {FileIcons::kNowPlayingImage, FileIcons::kGenericImage}) {
            const QPixmap pixmap = icons.pixmap(index, size);
            ASSERT_FALSE(pixmap.isNull()) << "image " << index << " at " << px;
            EXPECT_EQ(pixmap.size(), QSize(px, px));
            EXPECT_TRUE(hasVisiblePixel(pixmap));
            EXPECT_FALSE(icons.icon(index, size).isNull());
        }
    }
    EXPECT_NE(icons.pixmap(1, FileIconSize::Small).toImage(),
              icons.pixmap(2, FileIconSize::Small).toImage());
}

TEST_F(FileIconsTest, DrawsItsOwnBuiltInImagesWithoutAnIconTheme)
{
    const QString theme = QIcon::themeName();
    QIcon::setThemeName(QStringLiteral("vorn-test-no-such-theme"));
    const FileIcons icons;
    QIcon::setThemeName(theme);
    for (FileIconSize size : kBothSizes) {
        const int px = FileIcons::pixelSize(size);
        for (int index : {FileIcons::kNowPlayingImage, FileIcons::kGenericImage}) {
            EXPECT_EQ(icons.pixmap(index, size).size(), QSize(px, px));
            EXPECT_TRUE(hasVisiblePixel(icons.pixmap(index, size)));
        }
    }
}

TEST_F(FileIconsTest, OutsideTheListThereIsNoImage)
{
    const FileIcons icons;
    for (int index : {-1, 0, 3}) {
        EXPECT_TRUE(icons.pixmap(index, FileIconSize::Small).isNull());
        EXPECT_TRUE(icons.icon(index, FileIconSize::Large).isNull());
    }
}

TEST_F(FileIconsTest, NamesWithoutAUsableExtensionGetTheGenericImage)
{
    FileIcons icons;
    for (const QString &file :
         {QStringLiteral("/music/song.zzqq"), QStringLiteral("/music/README"),
          QStringLiteral("C:\\Music.old\\Song"), QStringLiteral("/music.d/song"),
          QStringLiteral("/music/song."), QString()}) {
        for (FileIconSize size : kBothSizes)
            EXPECT_EQ(icons.GetFileIcon(file, size), FileIcons::kGenericImage)
                << file.toStdString();
    }
    EXPECT_EQ(icons.imageCount(FileIconSize::Small), 2);
    EXPECT_EQ(icons.imageCount(FileIconSize::Large), 2);
}

TEST_F(FileIconsTest, OneExtensionAddsOneImagePerList)
{
    FileIcons icons;
    const int small = icons.GetFileIcon(QStringLiteral("/music/a.mp3"), FileIconSize::Small);
    const int large = icons.GetFileIcon(QStringLiteral("/music/a.mp3"), FileIconSize::Large);
    EXPECT_EQ(icons.GetFileIcon(QStringLiteral("C:\\Other\\b.mp3"), FileIconSize::Small), small);
    EXPECT_EQ(icons.GetFileIcon(QStringLiteral("C:\\Other\\b.mp3"), FileIconSize::Large), large);
    EXPECT_EQ(small, 3);
    EXPECT_EQ(large, 3);
    EXPECT_EQ(icons.imageCount(FileIconSize::Small), 3);
    EXPECT_EQ(icons.imageCount(FileIconSize::Large), 3);
}

TEST_F(FileIconsTest, EachListCachesOnItsOwn)
{
    FileIcons icons;
    EXPECT_EQ(icons.GetFileIcon(QStringLiteral("a.mp3"), FileIconSize::Large), 3);
    EXPECT_EQ(icons.imageCount(FileIconSize::Small), 2);
    EXPECT_EQ(icons.GetFileIcon(QStringLiteral("b.wav"), FileIconSize::Small), 3);
    EXPECT_EQ(icons.GetFileIcon(QStringLiteral("c.mp3"), FileIconSize::Small), 4);
    EXPECT_EQ(icons.GetFileIcon(QStringLiteral("d.wav"), FileIconSize::Large), 4);
}

TEST_F(FileIconsTest, DifferentExtensionsGetDifferentImages)
{
    FileIcons icons;
    for (FileIconSize size : kBothSizes) {
        const int mp3 = icons.GetFileIcon(QStringLiteral("/music/a.mp3"), size);
        const int wav = icons.GetFileIcon(QStringLiteral("/music/a.wav"), size);
        EXPECT_GE(mp3, 3);
        EXPECT_GE(wav, 3);
        EXPECT_NE(mp3, wav);
    }
}

TEST_F(FileIconsTest, AFullListGivesEveryFurtherTypeTheGenericImage)
{
    QPixmap red(8, 8);
    red.fill(Qt::red);
    FileIcons icons([&](const QString &, const QString &) { return QIcon(red); }, 4);
    for (FileIconSize size : kBothSizes) {
        EXPECT_EQ(icons.GetFileIcon(QStringLiteral("a.one"), size), 3);
        EXPECT_EQ(icons.GetFileIcon(QStringLiteral("a.two"), size), 4);
        EXPECT_EQ(icons.GetFileIcon(QStringLiteral("a.six"), size), FileIcons::kGenericImage);
        EXPECT_EQ(icons.GetFileIcon(QStringLiteral("b.one"), size), 3);
        EXPECT_EQ(icons.imageCount(size), 4);
    }
    const FileIcons::Indexes both = icons.GetFileIcons(QByteArrayView("c.ten"));
    EXPECT_EQ(both.large, FileIcons::kGenericImage);
    EXPECT_EQ(both.small, FileIcons::kGenericImage);
}

TEST_F(FileIconsTest, ExtensionsThatDifferInCaseAreSeparateKeys)
{
    FileIcons icons;
    const int lower = icons.GetFileIcon(QStringLiteral("a.mp3"), FileIconSize::Small);
    const int upper = icons.GetFileIcon(QStringLiteral("B.MP3"), FileIconSize::Small);
    EXPECT_GE(upper, 3);
    EXPECT_NE(lower, upper);
    EXPECT_EQ(icons.GetFileIcon(QStringLiteral("c.MP3"), FileIconSize::Small), upper);
}

TEST_F(FileIconsTest, TypeImagesAreDrawnAtExactlyTheListSize)
{
    FileIcons icons;
    for (FileIconSize size : kBothSizes) {
        const int px = FileIcons::pixelSize(size);
        for (const QString &file : {QStringLiteral("a.mp3"), QStringLiteral("a.wav"),
                                    QStringLiteral("a.mid"), QStringLiteral("a.txt")}) {
            const int index = icons.GetFileIcon(file, size);
            ASSERT_GE(index, 3) << file.toStdString();
            const QPixmap pixmap = icons.pixmap(index, size);
            ASSERT_FALSE(pixmap.isNull());
            EXPECT_EQ(pixmap.size(), QSize(px, px));
            EXPECT_TRUE(hasVisiblePixel(pixmap));
        }
    }
}

TEST_F(FileIconsTest, AsksTheLookupOncePerExtensionForBothSizes)
{
    QStringList asked;
    FileIcons icons([&](const QString &, const QString &extension) {
        asked << extension;
        return extension == QLatin1String(".none") ? QIcon() : QIcon(solidPixmap(48, Qt::red));
    });
    for (FileIconSize size : kBothSizes) {
        for (const QString &file : {QStringLiteral("a.mp3"), QStringLiteral("b.mp3"),
                                    QStringLiteral("a.none"), QStringLiteral("b.none")})
            icons.GetFileIcon(file, size);
    }
    EXPECT_EQ(asked, (QStringList{QStringLiteral(".mp3"), QStringLiteral(".none")}));
}

TEST_F(FileIconsTest, AnIconThatDrawsNothingGetsTheGenericImage)
{
    FileIcons icons([](const QString &, const QString &extension) {
        return extension == QLatin1String(".blank") ? QIcon(solidPixmap(32, Qt::transparent))
                                                    : QIcon(solidPixmap(32, Qt::blue));
    });
    EXPECT_EQ(icons.GetFileIcon(QStringLiteral("a.blank"), FileIconSize::Small),
              FileIcons::kGenericImage);
    EXPECT_EQ(icons.GetFileIcon(QStringLiteral("a.blue"), FileIconSize::Small), 3);
    // A 32-pixel icon is drawn scaled down into the small list.
    const QImage small = icons.pixmap(3, FileIconSize::Small).toImage();
    EXPECT_EQ(small.size(), QSize(16, 16));
    EXPECT_EQ(QColor(small.pixel(8, 8)), QColor(Qt::blue));
}

TEST(FileTypeIcon, UnknownTypesHaveNoIcon)
{
    ensureIconTheme();
    EXPECT_TRUE(fileTypeIcon(QStringLiteral("/x/a.zzqq"), QStringLiteral(".zzqq")).isNull());
    EXPECT_FALSE(fileTypeIcon(QStringLiteral("/x/a.mp3"), QStringLiteral(".mp3")).isNull());
    // By name only: the file need not exist, and letter case does not matter.
    EXPECT_FALSE(fileTypeIcon(QStringLiteral("/nowhere/A.WAV"), QStringLiteral(".WAV")).isNull());
}

} // namespace

TEST_F(FileIconsTest, BothSizesAtOnceMatchAskingEachSize)
{
    // Both objects see the same requests in the same order, so the indexes
    // they hand out must agree, for known, unknown and missing extensions.
    // A third is asked with the names in UTF-8, as song rows hold them.
    FileIcons oneByOne;
    FileIcons both;
    FileIcons utf8;
    for (const QString &file :
         {QStringLiteral("/music/a.mp3"), QStringLiteral("/music/b.wav"),
          QStringLiteral("C:\\Music\\c.MP3"), QStringLiteral("/music/d.mp3"),
          QStringLiteral("/music.d/song"), QStringLiteral("/music/e.zzqq"),
          QStringLiteral("/music/f."), QString(), QStringLiteral("/music/g.wav"),
          QStringLiteral("/música/h.ñu"), QStringLiteral("/m/i.ñu"), QStringLiteral("/m.p3/é")}) {
        const int large = oneByOne.GetFileIcon(file, FileIconSize::Large);
        const int small = oneByOne.GetFileIcon(file, FileIconSize::Small);
        const FileIcons::Indexes got = both.GetFileIcons(file);
        EXPECT_EQ(got.large, large) << file.toStdString();
        EXPECT_EQ(got.small, small) << file.toStdString();
        const QByteArray bytes = file.toUtf8();
        const FileIcons::Indexes fromUtf8 = utf8.GetFileIcons(QByteArrayView(bytes));
        EXPECT_EQ(fromUtf8.large, large) << file.toStdString();
        EXPECT_EQ(fromUtf8.small, small) << file.toStdString();
    }
    for (const FileIcons *icons : {&both, &utf8}) {
        EXPECT_EQ(icons->imageCount(FileIconSize::Large), oneByOne.imageCount(FileIconSize::Large));
        EXPECT_EQ(icons->imageCount(FileIconSize::Small), oneByOne.imageCount(FileIconSize::Small));
    }
}
