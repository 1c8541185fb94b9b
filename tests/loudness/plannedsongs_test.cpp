#include "loudness/plannedsongs.h"

#include <QSet>

#include <gtest/gtest.h>

#include <random>

namespace {

// What the work order is: the playing list from its next song on, then the
// songs before it, then the shown list; each song once, no empty path.
QStringList plainOrder(const QStringList &playing, qsizetype nextRow, const QStringList &shown)
{
    QStringList order;
    QSet<QString> seen;
    const auto add = [&](const QString &path) {
        if (!path.isEmpty() && !seen.contains(path)) {
            seen.insert(path);
            order << path;
        }
    };
    const qsizetype start = nextRow >= 0 && nextRow < playing.size() ? nextRow : 0;
    for (qsizetype row = 0; row < playing.size(); ++row)
        add(playing.at((start + row) % playing.size()));
    for (const QString &path : shown)
        add(path);
    return order;
}

// A plan given as rows or as paths takes its songs in the plain order, each
// once, counts them so, and knows exactly its own songs, also those it has
// already handed out; after dropRest it hands out nothing.
TEST(PlannedSongs, TakesEachSongOnceInWorkOrderAndKnowsExactlyItsOwn)
{
    std::mt19937 random(7);
    QStringList pool;
    for (int i = 0; i < 3000; ++i)
        pool << QStringLiteral("/music/Folder %1/Song %2.mp3").arg(i % 37).arg(i);
    pool << QString() << QStringLiteral("/music/ä ø/Song.mp3");
    const auto draw = [&](int count) {
        QStringList drawn;
        for (int i = 0; i < count; ++i)
            drawn << pool.at(std::uniform_int_distribution<int>(0, int(pool.size()) - 1)(random));
        return drawn;
    };
    const QStringList playing = draw(2500);
    const QStringList shown = draw(800);
    for (const qsizetype nextRow :
         {qsizetype(0), qsizetype(1234), playing.size() - 1, playing.size(), qsizetype(-3)}) {
        std::vector<SongRow> rows(static_cast<size_t>(playing.size()));
        for (qsizetype i = 0; i < playing.size(); ++i)
            rows[static_cast<size_t>(i)].setField(chFile, playing.at(i));
        for (SongFiles files : {SongFiles(playing), SongFiles(std::move(rows))}) {
            const QStringList expected = plainOrder(playing, nextRow, shown);
            PlannedSongs planned(std::move(files), nextRow, shown);
            EXPECT_EQ(planned.size(), expected.size());
            QStringList taken;
            while (planned.hasNext())
                taken << planned.takeNext();
            EXPECT_EQ(taken, expected) << "next row " << nextRow;
            EXPECT_TRUE(planned.takeNext().isEmpty());
            const QSet<QString> own(expected.cbegin(), expected.cend());
            for (const QString &path : std::as_const(pool))
                EXPECT_EQ(planned.contains(path), own.contains(path)) << path.toStdString();
            EXPECT_FALSE(planned.contains(QStringLiteral("/music/Folder 1/Song 1.mp3 ")));
        }
    }
    PlannedSongs dropped(SongFiles(playing), 0, shown);
    ASSERT_TRUE(dropped.hasNext());
    dropped.takeNext();
    dropped.dropRest();
    EXPECT_FALSE(dropped.hasNext());
    EXPECT_TRUE(dropped.contains(playing.at(1)) || playing.at(1).isEmpty());
    EXPECT_EQ(PlannedSongs().size(), 0);
    EXPECT_FALSE(PlannedSongs().contains(playing.at(0)));
}

} // namespace
