#include "library/playlistfile.h"
#include "library/songlistmodel.h"
#include "support/playlistfiles.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <numeric>
#include <random>
#include <vector>

// Rows keep their text as the file's UTF-8, shared between the rows of one
// file: what one row, the caller or the model does must never show in another.
TEST(SongRow, RowsOfAFileOutliveItsBytesAndChangeAlone)
{
    std::vector<SongRow> rows;
    {
        QByteArray bytes = storedLine({"Été", "Björk", "", "Pop", "03:25", "/m/a.mp3"}) +
                           storedLine({"Two", "B", "C", "D", "00:01", "/m/b.wav"});
        rows = PlayListFile::parse(bytes).songs;
        // The caller reuses its buffer: the rows keep what was read.
        bytes.fill('x');
    }
    ASSERT_EQ(rows.size(), 2u);
    std::vector<SongRow> copies = rows;
    copies[0].setField(chArtist, QStringLiteral("Other"));
    copies[1].setField(chLen, QString());

    EXPECT_EQ(rows[0].fields(),
              (std::array<QString, kSongColumnCount>{
                  QStringLiteral("Été"), QStringLiteral("Björk"), QString(), QStringLiteral("Pop"),
                  QStringLiteral("03:25"), QStringLiteral("/m/a.mp3")}));
    EXPECT_EQ(copies[0].field(chArtist), QStringLiteral("Other"));
    EXPECT_EQ(copies[0].title(), QStringLiteral("Été"));
    EXPECT_EQ(copies[0].field(chFile), QStringLiteral("/m/a.mp3"));
    EXPECT_EQ(rows[1].field(chLen), QStringLiteral("00:01"));
    EXPECT_TRUE(copies[1].field(chLen).isEmpty());
    EXPECT_EQ(copies[1].field(chFile), QStringLiteral("/m/b.wav"));
    EXPECT_EQ(PlayListFile::serialize(copies),
              storedLine({"Été", "Other", "", "Pop", "03:25", "/m/a.mp3"}) +
                  storedLine({"Two", "B", "C", "D", "", "/m/b.wav"}));
}

TEST(SongRow, RowsOfBorrowedBytesKeepTheirTextAfterTheBytesChange)
{
    // Bytes the array does not own (raw data) may change or go once parsed.
    char buffer[64];
    const QByteArray line = storedLine({"T", "A", "", "", "00:02", "/m/t.mp3"});
    std::memcpy(buffer, line.constData(), static_cast<size_t>(line.size()));
    const std::vector<SongRow> rows =
        PlayListFile::parse(QByteArray::fromRawData(buffer, line.size())).songs;
    std::memset(buffer, 'x', sizeof buffer);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].title(), QStringLiteral("T"));
    EXPECT_EQ(PlayListFile::serialize(rows), line);
}

TEST(SongRow, ModelSortsDecodedTextIgnoringCaseAndKeepsEqualRowsInOrder)
{
    SongListModel model;
    model.setRows(PlayListFile::parse(storedLine({"1", "élan", "", "", "", ""}) +
                                      storedLine({"2", "Zoë", "", "", "", ""}) +
                                      storedLine({"3", "abba", "", "", "", ""}) +
                                      storedLine({"4", "ÉLAN", "", "", "", ""}) +
                                      storedLine({"5", "ABBA", "", "", "", ""}))
                      .songs);
    QSignalSpy layout(&model, &SongListModel::layoutChanged);
    model.sort(chArtist);
    QStringList titles;
    for (int row = 0; row < model.rowCount(); ++row)
        titles << model.data(model.index(row, chTitle)).toString();
    EXPECT_EQ(titles, (QStringList{"3", "5", "2", "1", "4"}));
    EXPECT_EQ(layout.count(), 1);
    model.sort(chArtist, Qt::DescendingOrder);
    EXPECT_EQ(model.data(model.index(0, chArtist)).toString(), QStringLiteral("élan"));
    EXPECT_EQ(model.data(model.index(4, chArtist)).toString(), QStringLiteral("ABBA"));
}

// Sorting reads ASCII texts by their bytes and the others through Qt: the
// order must be the one Qt's comparison without case gives, whatever the mix.
TEST(SongRow, ModelSortAgreesWithQtsComparisonOverMixedTexts)
{
    const QStringList texts = {
        "abc", "ABC", "abd",    "ab", "",   "Ab c", "ab_", "ab[",    "ab`",     "AB@", "Zz",
        "zZ",  "z",   "éa",     "Éa", "ea", "EB",   "e",   "ß",      "SS",      "ss",  "ſ",
        "İ",   "i",   "I",      "ı",  "Ω",  "ω",    "~",   "\u007f", "a\u00a0", "a ",  "a!",
        "😀",   "😀a",  "\uffff", "Ǆ",  "ǅ",  "ǆ",    "123", "0123",   "12",
    };
    QByteArray lines;
    for (qsizetype i = 0; i < texts.size(); ++i)
        lines += storedLine(
            {QByteArray::number(i).constData(), texts[i].toUtf8().constData(), "", "", "", ""});
    for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        SongListModel model;
        model.setRows(PlayListFile::parse(lines).songs);
        model.sort(chArtist, order);

        QList<qsizetype> expected(texts.size());
        std::iota(expected.begin(), expected.end(), 0);
        std::stable_sort(expected.begin(), expected.end(), [&](qsizetype a, qsizetype b) {
            const int c = texts[a].compare(texts[b], Qt::CaseInsensitive);
            return order == Qt::AscendingOrder ? c < 0 : c > 0;
        });
        for (qsizetype row = 0; row < texts.size(); ++row)
            EXPECT_EQ(model.data(model.index(static_cast<int>(row), chTitle)).toString(),
                      QString::number(expected[row]))
                << "row " << row << " order " << order;
    }
}

// Rows made in a batch (an import) are packed into shared buffers: each keeps
// its texts, line breaks, played mark and icons, and a row changed afterwards
// changes alone.
TEST(SongRow, RowsPackedTogetherKeepEverything)
{
    std::vector<SongRow> rows;
    for (int i = 0; i < 3000; ++i) {
        SongRow row(std::array<QString, kSongColumnCount>{
            QStringLiteral("Title %1").arg(i), i % 2 ? QStringLiteral("Two\nlines") : QString(),
            QString(QChar(0xD800)), QStringLiteral("Été"), QStringLiteral("3:00"),
            QStringLiteral("/m/%1.mp3").arg(i)});
        row.setTag(i % 3 ? QString() : QStringLiteral("*"));
        row.icon = static_cast<quint16>(i % 7);
        row.smallIcon = static_cast<quint16>(i % 5);
        rows.push_back(row);
    }
    const std::vector<SongRow> made = rows;
    SongRow::packLines(rows);
    SongListModel model;
    model.appendRows(std::move(rows));
    ASSERT_EQ(model.rowCount(), 3000);
    for (int i = 0; i < 3000; ++i) {
        const SongRow &row = model.row(i);
        const SongRow &before = made[static_cast<size_t>(i)];
        ASSERT_EQ(row.line(), before.line()) << i;
        EXPECT_EQ(row.fields(), before.fields()) << i;
        EXPECT_EQ(row.hasLineBreaks(), before.hasLineBreaks()) << i;
        EXPECT_EQ(row.tag(), before.tag()) << i;
        EXPECT_EQ(row.icon, before.icon) << i;
        EXPECT_EQ(row.smallIcon, before.smallIcon) << i;
    }
    // The genre repeats from row to row: it is kept once (the length, not
    // written as mm:ss, is kept as it is).
    EXPECT_EQ(model.row(0).keptSize(), model.row(0).lineSize());
    EXPECT_LT(model.row(1).keptSize(), model.row(1).lineSize());

    SongRow changed = model.row(1);
    changed.setField(chTitle, QStringLiteral("New"));
    model.setRow(1, changed);
    EXPECT_EQ(model.row(0).title(), QStringLiteral("Title 0"));
    EXPECT_EQ(model.row(1).title(), QStringLiteral("New"));
    EXPECT_EQ(model.row(2).title(), QStringLiteral("Title 2"));
}

// Rows repeat their neighbours' artists, albums, genres and folders, and a
// title mostly repeats a piece of its own file name: a packed buffer keeps
// these once. Whatever repeats, whatever nearly repeats (a longer text, a
// folder of the same size, a name that differs inside a character of the
// title), and wherever a buffer ends (a row larger than a buffer, a folder
// too long to refer to), every row reads back
// its own texts and a list is written back byte for byte, read from a file
// (in two halves at once) or packed after an import.
TEST(SongRow, PackedRowsReadBackTheirOwnTextsWhatRepeatsAndWhereBuffersEnd)
{
    const QByteArray longFolder = '/' + QByteArray(17000, 'f') + '/';
    const std::vector<QByteArray> artists{"", "Ab", "Abba", "Abbas", "Abba ", "Été band"};
    const std::vector<QByteArray> albums{"", "Golden Hits", "Golden Hits 2", "Golden Hitz"};
    const std::vector<QByteArray> genres{"", "Rock", "Rock & Roll", "Pop"};
    const std::vector<QByteArray> folders{
        "",         "/",       "/m/",          "/mm/x/",
        "/mm/xy/",  "/mm/xz/", "/music/Abba/", "C:\\Música\\Été\\",
        "rel/dir/", longFolder};
    const std::vector<QByteArray> titles{"Song ", "Song – Été ", "Chanson d'été ",
                                         QByteArray(200, 't')};
    std::mt19937 random(7);
    const auto pick = [&](const std::vector<QByteArray> &pool, const QByteArray &last) {
        return random() % 10 < 7 ? last : pool[random() % pool.size()];
    };
    const auto folderOf = [](const QByteArray &path) {
        return path.first(std::max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1);
    };
    std::vector<std::array<QByteArray, kSongColumnCount>> expected;
    QByteArray stored;
    std::array<QByteArray, kSongColumnCount> fields;
    for (int i = 0; i < 3000; ++i) {
        // Now and then a title longer than a whole buffer.
        const QByteArray title = titles[random() % titles.size()] + QByteArray::number(i);
        fields[chTitle] = i % 997 == 5 ? QByteArray(70000, 't') : title;
        fields[chArtist] = pick(artists, fields[chArtist]);
        fields[chAlbum] = pick(albums, fields[chAlbum]);
        fields[chGenre] = pick(genres, fields[chGenre]);
        // Lengths as mm:ss are kept in fewer bytes; any other text as it is.
        const std::vector<QByteArray> lengths{"03:" + QByteArray::number(10 + i % 50),
                                              "", "00:00", "99:59", "3:05", "03:60", "1:02:03",
                                              "0a:00", "03:5", "003:05"};
        fields[chLen] = lengths[random() % lengths.size()];
        const std::vector<QByteArray> names{
            "a.mp3", "", "ü.flac", "b.wav", "01 " + title + ".mp3", title.left(8) + ".ogg",
            QByteArray(title).replace("été", "ètè") + ".wav", QByteArray(title).replace("Été", "Et")};
        fields[chFile] = pick(folders, folderOf(fields[chFile])) + names[random() % names.size()];
        expected.push_back(fields);
        for (const QByteArray &field : fields)
            stored += field + '\xFF';
        stored += "\r\n";
    }
    ASSERT_GT(stored.size(), 2 * 1024 * 1024);

    std::vector<SongRow> made;
    for (const auto &row : expected)
        made.emplace_back(std::array<QString, kSongColumnCount>{
            QString::fromUtf8(row[0]), QString::fromUtf8(row[1]), QString::fromUtf8(row[2]),
            QString::fromUtf8(row[3]), QString::fromUtf8(row[4]), QString::fromUtf8(row[5])});
    SongRow::packLines(made);
    const PlayListFile::Content read = PlayListFile::parse(stored);
    ASSERT_TRUE(read.canonical);

    const std::vector<SongRow> &packed = made;
    for (const std::vector<SongRow> *rows : {&read.songs, &packed}) {
        ASSERT_EQ(rows->size(), expected.size());
        qsizetype kept = 0;
        qsizetype lines = 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            const SongRow &row = (*rows)[i];
            for (int column = 0; column < kSongColumnCount; ++column)
                ASSERT_EQ(row.fieldUtf8(SongColumn(column)), expected[i][size_t(column)])
                    << "row " << i << " column " << column;
            qsizetype lineSize = kSongColumnCount;
            for (const QByteArray &field : expected[i])
                lineSize += field.size();
            EXPECT_EQ(row.lineSize(), lineSize) << i;
            const QByteArray &file = expected[i][chFile];
            EXPECT_TRUE(file.endsWith(row.fileNameUtf8()) &&
                        row.fileNameUtf8().size() >= file.size() - folderOf(file).size())
                << i;
            EXPECT_EQ(row.field(chFile), QString::fromUtf8(file)) << i;
            if (row.lineSize() < 1000) {
                kept += row.keptSize();
                lines += row.lineSize();
            }
        }
        EXPECT_EQ(PlayListFile::serialize(*rows), stored);
        // Runs of one album in one folder are kept in less than their lines
        // (the rows of giant texts aside; these texts are short).
        EXPECT_LT(kept, lines * 9 / 10);
    }
}

// A packed row refers to texts of its own line (its title to a piece of its
// file name, its length to a table) and of the rows before it (their artist,
// album and genre at once, their folder). A change to any one field, of the
// referring row or of the row referred to, changes that field alone.
TEST(SongRow, AChangeToOneFieldOfAPackedRowChangesItAlone)
{
    const std::array<const char *, kSongColumnCount> first{
        "Song number 1", "Artist", "Album", "Rock", "03:25", "/srv/music/album/01 Song number 1.mp3"};
    const std::array<const char *, kSongColumnCount> second{
        "Song number 2 – Été", "Artist", "Album", "Rock", "04:00",
        "/srv/music/album/02 Song number 2.mp3"};
    const QByteArray stored = storedLine({first[0], first[1], first[2], first[3], first[4], first[5]}) +
                              storedLine({second[0], second[1], second[2], second[3], second[4],
                                          second[5]});
    for (const int changed : {0, 1}) {
        for (int column = 0; column < kSongColumnCount; ++column) {
            std::vector<SongRow> rows = PlayListFile::parse(stored).songs;
            ASSERT_EQ(rows.size(), 2u);
            // The second row is kept in less than its line: it refers.
            ASSERT_LT(rows[1].keptSize(), rows[1].lineSize());
            rows[size_t(changed)].setField(SongColumn(column), QStringLiteral("New"));

            std::array<std::array<const char *, kSongColumnCount>, 2> expected{first, second};
            expected[size_t(changed)][size_t(column)] = "New";
            QByteArray lines;
            for (const auto &row : expected)
                lines += storedLine({row[0], row[1], row[2], row[3], row[4], row[5]});
            EXPECT_EQ(PlayListFile::serialize(rows), lines) << "row " << changed << " column " << column;
            for (int row = 0; row < 2; ++row)
                EXPECT_EQ(rows[size_t(row)].field(SongColumn(column)),
                          QString::fromUtf8(expected[size_t(row)][size_t(column)]))
                    << "row " << row << " column " << column;
        }
    }
}
