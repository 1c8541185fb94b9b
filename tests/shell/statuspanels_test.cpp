#include "core/duration.h"
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

// The total is kept as rows come and go; it must always read what adding up
// the rows shown would give, also on the way back down from the most shown.
TEST(StatusPanels, TheTotalFollowsEveryChangeOfTheRows)
{
    const auto addedUp = [](const SongListModel &model) {
        qint64 total = 0;
        for (const SongRow &row : model.rows())
            total = qMin(total + qBound<qint64>(0, ParseDuration(row.field(chLen)),
                                                SongListModel::kMaxPlayTime),
                         SongListModel::kMaxPlayTime);
        return total;
    };
    const auto song = [](int i, const QString &len) {
        return songRow(QStringLiteral("t%1").arg(i), {}, len, QStringLiteral("/m/%1.mp3").arg(i));
    };
    SongListModel model;
    const auto check = [&](const char *step) {
        EXPECT_EQ(model.totalPlaySeconds(), addedUp(model)) << step;
    };

    for (int i = 0; i < 200; ++i)
        model.appendRow(
            song(i, QStringLiteral("%1:%2").arg(i % 7).arg(i % 60, 2, 10, QChar(u'0'))));
    check("appended one by one");
    model.appendRows({song(200, QStringLiteral("99999:00:00")),
                      song(201, QStringLiteral("1:00:00")), song(202, QStringLiteral("oops")),
                      song(203, QStringLiteral("-5:00")),
                      song(204, QStringLiteral("4:05 \u00e9"))});
    check("appended a block past the most shown");
    model.removeRowsAt({200});
    check("removed the longest, back below the most shown");
    model.setRow(3, song(3, QStringLiteral("12:34")));
    model.setRow(4, song(4, QString()));
    check("rows replaced");
    std::vector<int> scattered;
    for (int i = 0; i < 200; i += 3)
        scattered.push_back(i);
    model.removeRowsAt(scattered);
    check("a scattered selection removed");
    model.sort(chLen, Qt::DescendingOrder);
    check("sorted");
    model.setRows({song(1, QStringLiteral("2:00")), song(2, QStringLiteral("3:30"))});
    EXPECT_EQ(model.totalPlaySeconds(), 330);
    model.clear();
    EXPECT_EQ(model.totalPlaySeconds(), 0);
}
