#include "library/playlistfile.h"
#include "support/librarystack.h"
#include "support/playlistfiles.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class SongListEditorTest : public ::testing::Test, protected LibraryStack
{
protected:
    SongListEditorTest()
    {
        SongListEditor::Hooks hooks;
        hooks.updateStatusBar = [this] { refresh(); };
        hooks.importPlayListFile = [this](const QString &path, bool merge) {
            imports << (merge ? QStringLiteral("merge ") : QStringLiteral("new ")) + path;
        };
        editor.setHooks(hooks);
    }

    // Rows titled 1..n in a new play list; returns nothing, sets up the list.
    void numberedRows(int count)
    {
        store.NewPlayList(QStringLiteral("Numbers"));
        for (int i = 1; i <= count; ++i)
            editor.Add2PlayList(QStringLiteral("/m/%1.mid").arg(i));
    }

    void select(std::initializer_list<int> rows)
    {
        songSelection.clearSelection();
        for (int row : rows) {
            songSelection.select(songs.index(row - 1, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    QStringList titles() const
    {
        QStringList all;
        for (const SongRow &row : songs.rows())
            all << row.title();
        return all;
    }

    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (const QModelIndex &index : songSelection.selectedRows())
            rows << index.row() + 1;
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    QStringList imports;
};

TEST(SongTitleFromFile, DropsThreeAndFourLetterExtensions)
{
    const std::pair<const char *, const char *> cases[] = {
        {"C:\\Music\\Song.mp3", "Song"},
        {"C:\\Music\\Song", "Song"},
        {"/m/a.mpeg", "a"},
        {"/m/b.it", "b.it"},
        {"/m/x.y/name", "name"},
        {"plain.wav", "plain"},
    };
    for (const auto &[file, title] : cases)
        EXPECT_EQ(songTitleOf(QString::fromLatin1(file)), QLatin1String(title)) << file;
}

TEST_F(SongListEditorTest, AddingAFileStartsAPlayListAndEstimatesItsLength)
{
    ASSERT_EQ(store.selectedPlayList(), -1);
    editor.Add2PlayList(media(QStringLiteral("Song.mp3"), 1000000));
    EXPECT_EQ(library.count(), 1);
    EXPECT_EQ(library.entry(0).name, QStringLiteral("Untitled"));
    editor.Add2PlayList(media(QStringLiteral("Long.wav"), 17640000));
    editor.Add2PlayList(media(QStringLiteral("Tune.mid")));
    editor.Add2PlayList(dir.filePath(QStringLiteral("media/missing.mp3")));

    ASSERT_EQ(songs.rowCount(), 4);
    EXPECT_EQ(songs.row(0).title(), QStringLiteral("Song"));
    EXPECT_EQ(songs.row(0).field(chLen), QStringLiteral("01:03"));
    EXPECT_EQ(songs.row(0).field(chFile), dir.filePath(QStringLiteral("media/Song.mp3")));
    EXPECT_EQ(songs.row(1).field(chLen), QStringLiteral("01:40"));
    EXPECT_EQ(songs.row(2).field(chLen), QStringLiteral("00:00"));
    EXPECT_EQ(songs.row(3).title(), QStringLiteral("missing"));
    EXPECT_EQ(songs.row(3).field(chLen), QStringLiteral("00:00"));
}

TEST_F(SongListEditorTest, FieldsFillTheColumnsInsteadOfTheFileName)
{
    store.NewPlayList(QString());
    editor.Add2PlayList(QStringLiteral("/m/a.mid"),
                        {QStringLiteral("chTitle=Hello"), QStringLiteral("chArtist="), QString(),
                         QStringLiteral("chAlbum=A=B"), QStringLiteral("chNope=x")});
    ASSERT_EQ(songs.rowCount(), 1);
    EXPECT_EQ(songs.row(0).title(), QStringLiteral("Hello"));
    EXPECT_TRUE(songs.row(0).field(chArtist).isEmpty());
    EXPECT_EQ(songs.row(0).field(chAlbum), QStringLiteral("A=B"));
    EXPECT_EQ(songs.row(0).field(chFile), QStringLiteral("/m/a.mid"));
}

TEST_F(SongListEditorTest, AddMediaFilesAddsInTheDialogsOrderAndMarksTheListModified)
{
    store.NewPlayList(QStringLiteral("Mix"));
    library.setTag(0, QString());
    dialogs.fileAnswers = {{media(QStringLiteral("b.mp3")), media(QStringLiteral("a.wav"))}, {}};
    const int refreshes = statusRefreshes;
    editor.AddMediaFiles();

    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].title, QStringLiteral("Open Media Files"));
    EXPECT_EQ(dialogs.fileDialogs[0].text,
              QStringLiteral("Supported Media Files|*.mid;*.mpg;*.mp3;*.mp2;*.voc;*.wav;*.it;*.xm;"
                             "*.s3m;*.stm;*.mod;*.mtm;*.dsm;*.med|All Files (*.*)|*.*"));
    EXPECT_EQ(titles(), (QStringList{"b", "a"}));
    EXPECT_EQ(library.entry(0).tag, QStringLiteral("*"));
    EXPECT_GT(statusRefreshes, refreshes);
    EXPECT_EQ(PlayListFile::parse(readBytes(dir.filePath(QStringLiteral("Mix.tmp")))).songs.size(),
              2u);

    // Cancel adds nothing and marks nothing.
    library.setTag(0, QString());
    editor.AddMediaFiles();
    EXPECT_EQ(songs.rowCount(), 2);
    EXPECT_TRUE(library.entry(0).tag.isEmpty());
}

TEST_F(SongListEditorTest, ALongAddGivesEveryFileTheRowThatAddingItAloneGives)
{
    SongListEditor::Hooks hooks;
    hooks.updateStatusBar = [this] { refresh(); };
    bool iconsOffTheMainThread = false;
    hooks.assignIcons = [&](SongRow &row) {
        iconsOffTheMainThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
        row.icon = static_cast<quint16>(row.fieldUtf8(chFile).size() % 7);
        row.smallIcon = row.icon + 1;
    };
    editor.setHooks(hooks);

    // Long enough to be shared between two threads.
    QStringList files;
    for (int i = 0; i < 5000; ++i) {
        switch (i % 5) {
        case 0:
            files << media(QStringLiteral("s%1.mp3").arg(i), 17640LL * (i % 300));
            break;
        case 1:
            files << media(QStringLiteral("s%1.WAV").arg(i), 176400LL * (i % 50) + 88200);
            break;
        case 2:
            files << media(QStringLiteral("s%1.mid").arg(i));
            break;
        case 3:
            files << dir.filePath(QStringLiteral("gone/s%1.mp3").arg(i));
            break;
        default:
            files << QStringLiteral("Ünïcode %1 – song.mpeg").arg(i);
        }
    }
    store.NewPlayList(QStringLiteral("Long"));
    editor.addFiles(files);
    const std::vector<SongRow> together = songs.rows();
    songs.clear();
    for (const QString &file : std::as_const(files))
        editor.Add2PlayList(file);

    ASSERT_EQ(together.size(), songs.rows().size());
    EXPECT_EQ(PlayListFile::serialize(together), PlayListFile::serialize(songs.rows()));
    for (size_t i = 0; i < together.size(); ++i) {
        ASSERT_EQ(together[i].icon, songs.rows()[i].icon) << i;
        ASSERT_EQ(together[i].smallIcon, songs.rows()[i].smallIcon) << i;
    }
    EXPECT_NE(together[5].field(chLen), QStringLiteral("00:00"));
    EXPECT_FALSE(iconsOffTheMainThread);
}

TEST_F(SongListEditorTest, RemovingKeepsCurrentSongOnItsRow)
{
    numberedRows(5);
    songs.setCurrentSong(4);
    select({2});
    editor.RemoveSelectedSongs();
    EXPECT_EQ(titles(), (QStringList{"1", "3", "4", "5"}));
    EXPECT_EQ(songs.CurrentSong(), 3);
    EXPECT_EQ(library.entry(0).tag, QStringLiteral("*"));
    EXPECT_EQ(
        PlayListFile::parse(readBytes(dir.filePath(QStringLiteral("Numbers.tmp")))).songs.size(),
        4u);

    // Removing the current row itself leaves the number as it was.
    select({3, 4});
    editor.RemoveSelectedSongs();
    EXPECT_EQ(titles(), (QStringList{"1", "3"}));
    EXPECT_EQ(songs.CurrentSong(), 3);
}

TEST_F(SongListEditorTest, RemoveLeavesTheCurrentRowWhereTheSelectionModelsOwnRemovalLeavesIt)
{
    QAbstractItemModelTester tester(&songs, QAbstractItemModelTester::FailureReportingMode::Fatal);
    std::vector<SongRow> start;
    for (int i = 0; i < 200; ++i)
        start.push_back(songRow(QString::number(i), {}, QStringLiteral("01:00"), QString()));
    std::vector<int> scattered;
    for (int row = 1; row < 200; row += 2)
        scattered.push_back(row); // 100 runs: the model resets instead
    const std::vector<std::pair<std::vector<int>, int>> cases = {
        {{100}, 100},           {{0}, 0},
        {{199}, 199},           {{0, 1, 2}, 1},
        {{197, 198, 199}, 198}, {{10, 11, 50, 51, 52, 90}, 51},
        {scattered, 51},        {{5, 6}, 120}, // the current row stays
    };
    for (const auto &[removed, current] : cases) {
        songs.setRows(start);
        songSelection.clearSelection();
        for (int row : removed)
            songSelection.select(songs.index(row, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
        songSelection.setCurrentIndex(songs.index(current, 2), QItemSelectionModel::NoUpdate);

        // The same removal done by the model alone, under a selection model of its own.
        SongListModel plain;
        plain.setRows(start);
        QItemSelectionModel plainSelection(&plain);
        plainSelection.setCurrentIndex(plain.index(current, 2), QItemSelectionModel::NoUpdate);
        plain.removeRowsAt(removed);

        editor.RemoveSelectedSongs();
        ASSERT_EQ(songs.rowCount(), plain.rowCount()) << current;
        EXPECT_EQ(songSelection.currentIndex().row(), plainSelection.currentIndex().row())
            << current;
        EXPECT_EQ(songSelection.currentIndex().column(), plainSelection.currentIndex().column())
            << current;
        EXPECT_FALSE(songSelection.hasSelection()) << current;
    }
    // Every row gone: no current row either.
    songs.setRows(start);
    songSelection.select(QItemSelection(songs.index(0, 0), songs.index(199, 5)),
                         QItemSelectionModel::Select);
    songSelection.setCurrentIndex(songs.index(0, 0), QItemSelectionModel::NoUpdate);
    editor.RemoveSelectedSongs();
    EXPECT_EQ(songs.rowCount(), 0);
    EXPECT_FALSE(songSelection.currentIndex().isValid());
}

TEST_F(SongListEditorTest, MovingCarriesTheSelectionAndCurrentSongButWritesNothing)
{
    numberedRows(5);
    library.setTag(0, QString());
    const QByteArray workingCopy = readBytes(dir.filePath(QStringLiteral("Numbers.tmp")));
    songs.setCurrentSong(1);

    select({1, 4});
    editor.moveUp();
    EXPECT_EQ(titles(), (QStringList{"2", "1", "4", "3", "5"}));
    EXPECT_EQ(selectedRows(), (QList<int>{2, 3}));
    EXPECT_EQ(songs.CurrentSong(), 2);

    // Rows 1 and 4 of 2, 1, 4, 3, 5: the last row carries the block below it.
    select({1, 4});
    editor.moveDown();
    EXPECT_EQ(titles(), (QStringList{"1", "4", "5", "2", "3"}));
    EXPECT_EQ(selectedRows(), (QList<int>{4, 5}));
    EXPECT_EQ(songs.CurrentSong(), 1);

    select({5});
    editor.DropTarget = 0;
    editor.MoveSelectedSongs(false);
    EXPECT_EQ(titles(), (QStringList{"1", "3", "4", "5", "2"}));

    editor.DropTarget = -1;
    editor.MoveSelectedSongs(false);
    EXPECT_EQ(titles(), (QStringList{"1", "3", "4", "5", "2"}));

    EXPECT_TRUE(library.entry(0).tag.isEmpty());
    EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("Numbers.tmp"))), workingCopy);
}

TEST_F(SongListEditorTest, RowsWithTheSameTitleBothSurviveAMove)
{
    store.NewPlayList(QString());
    editor.Add2PlayList(QStringLiteral("/a/Same.mid"));
    editor.Add2PlayList(QStringLiteral("/m/Other.mid"));
    editor.Add2PlayList(QStringLiteral("/b/Same.mid"));
    select({3});
    editor.moveUp();
    ASSERT_EQ(songs.rowCount(), 3);
    EXPECT_EQ(songs.row(0).field(chFile), QStringLiteral("/a/Same.mid"));
    EXPECT_EQ(songs.row(1).field(chFile), QStringLiteral("/b/Same.mid"));
}

TEST_F(SongListEditorTest, ColumnClicksSortByTextAndReverse)
{
    store.NewPlayList(QString());
    editor.Add2PlayList(QStringLiteral("/m/b.mid"),
                        {QStringLiteral("chTitle=b"), QStringLiteral("chArtist=Zed")});
    editor.Add2PlayList(QStringLiteral("/m/a.mid"),
                        {QStringLiteral("chTitle=a"), QStringLiteral("chArtist=amy")});
    editor.Add2PlayList(QStringLiteral("/m/C.mid"),
                        {QStringLiteral("chTitle=C"), QStringLiteral("chArtist=Bob")});

    editor.lvSongs_ColumnClick(chTitle); // already the sort column: descending
    EXPECT_EQ(titles(), (QStringList{"C", "b", "a"}));
    editor.lvSongs_ColumnClick(chArtist);
    EXPECT_EQ(titles(), (QStringList{"a", "C", "b"}));
    editor.lvSongs_ColumnClick(chArtist);
    EXPECT_EQ(titles(), (QStringList{"b", "C", "a"}));
    EXPECT_EQ(editor.sortOrder(), Qt::DescendingOrder);
}

TEST_F(SongListEditorTest, DroppedMediaFilesLandAfterTheRowUnderThePointerSelected)
{
    numberedRows(5);
    library.setTag(0, QString());
    editor.dropFiles({media(QStringLiteral("x.mp3")), media(QStringLiteral("notes.txt")),
                      dir.filePath(QStringLiteral("media")), media(QStringLiteral("y.MP3")),
                      media(QStringLiteral("list.m3u")), media(QStringLiteral("party.PLS"))},
                     3 - 1, true);
    EXPECT_EQ(titles(), (QStringList{"1", "2", "3", "x", "y", "4", "5"}));
    EXPECT_EQ(selectedRows(), (QList<int>{4, 5}));
    EXPECT_EQ(imports, (QStringList{"merge " + dir.filePath("media/list.m3u"),
                                    "merge " + dir.filePath("media/party.PLS")}));
    EXPECT_EQ(library.entry(0).tag, QStringLiteral("*"));

    // Without a row under the pointer the new rows stay at the end.
    editor.dropFiles({media(QStringLiteral("z.wav"))}, -1, false);
    EXPECT_EQ(titles().last(), QStringLiteral("z"));
    EXPECT_EQ(selectedRows(), (QList<int>{8}));
}

} // namespace

namespace {

TEST_F(SongListEditorTest, APlayListFileDroppedWithoutCtrlKeepsItsOwnOrder)
{
    numberedRows(2);
    // The import hook stands in for a new play list of three songs.
    SongListEditor::Hooks hooks;
    hooks.updateStatusBar = [this] { refresh(); };
    hooks.importPlayListFile = [this](const QString &, bool) {
        store.NewPlayList(QStringLiteral("Imported"));
        for (const char *name : {"/i/a.mid", "/i/b.mid", "/i/c.mid"})
            editor.Add2PlayList(QString::fromLatin1(name));
    };
    editor.setHooks(hooks);
    editor.dropFiles({media(QStringLiteral("list.m3u8")), media(QStringLiteral("d.mid"))}, 0,
                     false);
    EXPECT_EQ(titles(), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(selectedRows(), QList<int>{4});
}

} // namespace
