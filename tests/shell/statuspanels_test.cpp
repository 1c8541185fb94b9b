#include "library/songlistmodel.h"
#include "shell/statuspanels.h"
#include "support/playlistfiles.h"

#include <gtest/gtest.h>

TEST(StatusPanels, StartTextsAndAnEmptyRefresh)
{
    const StatusPanelTexts start = StatusPanelTexts::initial();
    EXPECT_EQ(start.playLists, QStringLiteral("0 Play Lists"));
    EXPECT_EQ(start.mediaFiles, QStringLiteral("0 Media files"));
    EXPECT_EQ(start.playTime, QStringLiteral("Play Time 00:00"));

    SongListModel empty;
    const StatusPanelTexts texts = StatusPanelTexts::compute(0, empty);
    EXPECT_EQ(texts.playLists, QStringLiteral("0 Play Lists"));
    EXPECT_EQ(texts.mediaFiles, QStringLiteral("0 Media Files"));
    EXPECT_EQ(texts.playTime, QStringLiteral("Play Time 00:00"));
}

TEST(StatusPanels, TotalsThePlayTime)
{
    SongListModel two;
    two.appendRow(songRow(QStringLiteral("a"), {}, QStringLiteral("03:25"), {}));
    two.appendRow(songRow(QStringLiteral("b"), {}, QStringLiteral("02:40"), {}));
    two.appendRow(songRow(QStringLiteral("no length"), {}, QString(), {}));
    const StatusPanelTexts texts = StatusPanelTexts::compute(1, two);
    EXPECT_EQ(texts.playLists, QStringLiteral("1 Play Lists"));
    EXPECT_EQ(texts.mediaFiles, QStringLiteral("3 Media Files"));
    EXPECT_EQ(texts.playTime, QStringLiteral("Play Time 06:05"));

    SongListModel twenty;
    for (int i = 0; i < 20; ++i)
        twenty.appendRow(songRow(QStringLiteral("x"), {}, QStringLiteral("03:00"), {}));
    EXPECT_EQ(StatusPanelTexts::compute(3, twenty).playTime, QStringLiteral("Play Time 01:00:00"));

    SongListModel hour;
    hour.appendRow(songRow(QStringLiteral("x"), {}, QStringLiteral("01:02:03"), {}));
    hour.appendRow(songRow(QStringLiteral("y"), {}, QStringLiteral("garbage"), {}));
    EXPECT_EQ(StatusPanelTexts::compute(3, hour).playTime, QStringLiteral("Play Time 01:02:03"));
}

TEST(StatusPanels, AbsurdLengthsSaturateTheTotal)
{
    SongListModel huge;
    for (const char *len : {"9999999999999999:00:00", "99999999999999999999:59:59", "03:00"})
        huge.appendRow(songRow(QStringLiteral("x"), {}, QLatin1String(len), {}));
    EXPECT_EQ(StatusPanelTexts::compute(1, huge).playTime, QStringLiteral("Play Time 99999:59:59"));

    SongListModel many;
    for (int i = 0; i < 1000; ++i)
        many.appendRow(songRow(QStringLiteral("x"), {}, QStringLiteral("99999:00:00"), {}));
    EXPECT_EQ(StatusPanelTexts::compute(1, many).playTime, QStringLiteral("Play Time 99999:59:59"));
}
