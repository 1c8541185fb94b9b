#include "library/playlistfile.h"
#include "library/songlistmodel.h"
#include "support/librarystack.h"
#include "support/playlistfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>

using PlayListFile::parse;
using PlayListFile::serialize;

TEST(PlayListFile, StoresSixFieldsEachEndedBy0xFFAndLinesByCrLf)
{
    SongRow a = songRow(QStringLiteral("Song A"), QStringLiteral("Artist A"),
                        QStringLiteral("03:25"), QStringLiteral("/music/a.mp3"));
    a.setField(chGenre, QStringLiteral("Rock"));
    const SongRow b = songRow(QStringLiteral("Song B"), {}, QStringLiteral("01:02:03"),
                              QStringLiteral("/music/b.wav"));
    const SongRow c = songRow(QStringLiteral("Été à Noël"), QStringLiteral("Ölmann"),
                              QStringLiteral("00:07"), QStringLiteral("/music/ç.mid"));
    const QByteArray bytes = serialize({a, b, c});

    const QByteArray expected =
        storedLine({"Song A", "Artist A", "", "Rock", "03:25", "/music/a.mp3"}) +
        storedLine({"Song B", "", "", "", "01:02:03", "/music/b.wav"}) +
        storedLine({"\xC3\x89t\xC3\xA9 \xC3\xA0 No\xC3\xABl", "\xC3\x96lmann", "", "", "00:07",
                    "/music/\xC3\xA7.mid"});
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.count("\r\n"), 3);

    const PlayListFile::Content loaded = parse(bytes);
    ASSERT_EQ(loaded.songs.size(), 3u);
    EXPECT_FALSE(loaded.shortcutFolder);
    EXPECT_EQ(loaded.songs[0].fields(), a.fields());
    EXPECT_EQ(loaded.songs[1].fields(), b.fields());
    EXPECT_EQ(loaded.songs[2].fields(), c.fields());
    EXPECT_EQ(serialize(loaded.songs), bytes);
}

TEST(PlayListFile, AnEmptyListIsAnEmptyFile)
{
    EXPECT_TRUE(serialize({}).isEmpty());
    EXPECT_TRUE(parse(QByteArray()).songs.empty());
}

TEST(PlayListFile, ReadsAListWrittenInWindows1252)
{
    const QByteArray bytes =
        storedLine({"Caf\xE9 del Mar", "Bj\xF6rk", "", "", "04:00", "C:\\Music\\caf\xE9.mp3"}) +
        storedLine({"Price \x80 5", "", "", "", "", ""});
    const PlayListFile::Content loaded = parse(bytes);
    ASSERT_EQ(loaded.songs.size(), 2u);
    EXPECT_EQ(loaded.songs[0].title(), QStringLiteral("Café del Mar"));
    EXPECT_EQ(loaded.songs[0].field(chArtist), QStringLiteral("Björk"));
    EXPECT_EQ(loaded.songs[0].field(chFile), QStringLiteral("C:\\Music\\café.mp3"));
    EXPECT_EQ(loaded.songs[1].title(), QStringLiteral("Price € 5"));
}

TEST(PlayListFile, ReplacesLineBreaksInsideAFieldWhenWriting)
{
    const SongRow row = songRow(QStringLiteral("Two\r\nLines"), QStringLiteral("A\nB"),
                                QStringLiteral("03:00"), QStringLiteral("/m/x.mp3"));
    const PlayListFile::Content loaded = parse(serialize({row, row}));
    ASSERT_EQ(loaded.songs.size(), 2u);
    EXPECT_EQ(loaded.songs[1].title(), QStringLiteral("Two  Lines"));
    EXPECT_EQ(loaded.songs[1].field(chArtist), QStringLiteral("A B"));
    EXPECT_EQ(loaded.songs[1].field(chFile), QStringLiteral("/m/x.mp3"));
}

TEST(PlayListFile, LoadsMalformedLinesWithTheMissingFieldsEmpty)
{
    const QByteArray bytes = QByteArray("Only title\r\n") + "\r\n\r\n" +
                             "A\xFF"
                             "B\xFF"
                             "\r\n" +
                             "1\xFF"
                             "2\xFF"
                             "3\xFF"
                             "4\xFF"
                             "5\xFF"
                             "6\xFF"
                             "7\xFF"
                             "extra\r\n" +
                             "unix line\xFF\n" + "last without end";
    const PlayListFile::Content loaded = parse(bytes);
    ASSERT_EQ(loaded.songs.size(), 5u);
    EXPECT_EQ(loaded.songs[0].title(), QStringLiteral("Only title"));
    EXPECT_TRUE(loaded.songs[0].field(chFile).isEmpty());
    EXPECT_EQ(loaded.songs[1].title(), QStringLiteral("A"));
    EXPECT_EQ(loaded.songs[1].field(chArtist), QStringLiteral("B"));
    EXPECT_TRUE(loaded.songs[1].field(chAlbum).isEmpty());
    EXPECT_EQ(loaded.songs[2].field(chFile), QStringLiteral("6"));
    EXPECT_EQ(loaded.songs[3].title(), QStringLiteral("unix line"));
    EXPECT_EQ(loaded.songs[4].title(), QStringLiteral("last without end"));
}

// What the song list adds up for the rows when they come one at a time.
qint64 playSecondsOfRows(const std::vector<SongRow> &songs)
{
    qint64 sum = 0;
    for (const SongRow &song : songs)
        sum += SongListModel::playSeconds(song);
    return sum;
}

TEST(PlayListFile, TheLoadedPlayTimeIsWhatTheRowsAddUpTo)
{
    // "|" stands for the field end 0xFF.
    const auto stored = [](QByteArray text) { return text.replace('|', '\xFF'); };
    QByteArray bytes;
    for (const char *len : {"03:20", "1:00:00", "99999:59:59", "100000:00:00", "abc", "", "-5:00",
                            "\xD9\xA3:00", "00:07 "})
        bytes += stored(QByteArray("T|A|B|G|") + len + "|/m/f.mp3|\r\n");
    bytes += stored("T|A|B|G|01:00|/m/f.mp3|\n");  // another line end
    bytes += stored("Caf\xE9|A|B|G|02:00|f|\r\n"); // Windows-1252
    bytes += stored("T|A|B|G|04:00|f|extra\r\n");  // seven fields
    bytes += "Only title\r\n";
    const PlayListFile::Content loaded = parse(bytes);
    ASSERT_EQ(loaded.songs.size(), 13u);
    EXPECT_GT(loaded.playSeconds, 2 * SongListModel::kMaxPlayTime + 3600);
    EXPECT_EQ(loaded.playSeconds, playSecondsOfRows(loaded.songs));

    QRandomGenerator random(20261208);
    for (int round = 0; round < 50; ++round) {
        QByteArray noise(static_cast<qsizetype>(random.bounded(1, 4096)), '\0');
        for (char &byte : noise)
            byte = "0123456789:\xFF\r\n\xE9"[random.bounded(15)];
        const PlayListFile::Content parsed = parse(noise);
        ASSERT_EQ(parsed.playSeconds, playSecondsOfRows(parsed.songs)) << round;
    }
}

TEST(PlayListFile, SurvivesHostileInput)
{
    QRandomGenerator random(20261207);
    for (int round = 0; round < 50; ++round) {
        QByteArray noise(static_cast<qsizetype>(random.bounded(1, 4096)), '\0');
        for (char &byte : noise)
            byte = static_cast<char>(random.bounded(256));
        const PlayListFile::Content loaded = parse(noise);
        EXPECT_LE(loaded.songs.size(), static_cast<size_t>(noise.size()));
    }

    const QByteArray nuls("a\0b\xFF\0\xFF\r\n", 8);
    const PlayListFile::Content withNuls = parse(nuls);
    ASSERT_EQ(withNuls.songs.size(), 1u);
    EXPECT_EQ(withNuls.songs[0].title(), QString::fromLatin1("a\0b", 3));

    const QByteArray longLine(10 * 1024 * 1024, 'x');
    const PlayListFile::Content single = parse(longLine);
    ASSERT_EQ(single.songs.size(), 1u);
    EXPECT_EQ(single.songs[0].title().size(), longLine.size());
}

TEST(PlayListFile, ReadsAShortcutsWholeFolderLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Shortcut to Music.sdf"));
    const QString folder = QStringLiteral("/srv/music/Rock, Pop & \"More\"");
    ASSERT_TRUE(PlayListFile::writeAtomically(path, PlayListFile::serializeShortcut(folder)));
    EXPECT_EQ(readBytes(path), QByteArray("#SHORTCUT#\r\n") + folder.toUtf8() + "\r\n");

    EXPECT_EQ(PlayListFile::readShortcutFolder(path), folder);
    const PlayListFile::Content loaded = parse(readBytes(path));
    EXPECT_EQ(loaded.shortcutFolder, folder);
    EXPECT_TRUE(loaded.songs.empty());

    const QString normal = dir.filePath(QStringLiteral("Rock.sdf"));
    writeBytes(normal, storedLine({"#SHORTCUT#", "", "", "", "", ""}));
    EXPECT_FALSE(PlayListFile::readShortcutFolder(normal));
    EXPECT_FALSE(PlayListFile::readShortcutFolder(dir.filePath(QStringLiteral("missing.sdf"))));
}

TEST(PlayListFile, AFailedWriteLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Rock.sdf"));
    const QByteArray old = storedLine({"Old", "", "", "", "01:00", "/m/old.mp3"});
    ASSERT_TRUE(PlayListFile::writeAtomically(path, old));
    // A file in a folder that does not exist cannot be written.
    EXPECT_FALSE(PlayListFile::writeAtomically(dir.filePath(QStringLiteral("no/such.sdf")), old));
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Rock.sdf")});
}

TEST(PlayListFile, WritesEveryFieldAsItsUtf8WithLineBreaksAsSpaces)
{
    // Text beyond the Basic Multilingual Plane, unpaired surrogates and line
    // breaks next to multi-byte characters: each field must come out exactly
    // as its own UTF-8 encoding, whatever its neighbours hold.
    const std::array<QString, kSongColumnCount> text{
        QStringLiteral("Été\r\nNaïve"),
        QString::fromUtf16(u"\U0001F3B5 note"),
        QString(QChar(0xD83C)),                       // a high surrogate alone at the end
        QString(QChar(0xDFB5)) + QStringLiteral("x"), // a low one first
        QStringLiteral("03:25"),
        QStringLiteral("/m/\n.mp3")};
    const SongRow row(text);
    // The same text put in field by field, in an order other than the columns'.
    SongRow edited;
    for (int column : {chFile, chLen, chTitle, chGenre, chArtist, chAlbum})
        edited.setField(static_cast<SongColumn>(column), text[static_cast<size_t>(column)]);
    QByteArray expected;
    for (const QString &field : text) {
        QString clean = field;
        clean.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        expected += clean.toUtf8() + '\xFF';
    }
    expected += "\r\n";
    EXPECT_EQ(serialize({row, edited}), expected + expected);
    // The song list still shows the line breaks the file cannot hold.
    EXPECT_EQ(row.title(), text[chTitle]);
    EXPECT_EQ(edited.field(chFile), text[chFile]);
    EXPECT_TRUE(
        expected.startsWith("\xC3\x89t\xC3\xA9  Na\xC3\xAFve\xFF\xF0\x9F\x8E\xB5 note\xFF"));
}

TEST(PlayListFile, TellsWhetherWritingTheRowsBackGivesTheSameBytes)
{
    const QByteArray line = storedLine({"T", "A", "", "", "03:00", "/m/t.mp3"});
    const QByteArray utf8Line = storedLine({"\xC3\x89t\xC3\xA9", "", "", "", "", "/m/e.mp3"});
    struct Case
    {
        const char *what;
        QByteArray bytes;
        bool canonical;
    };
    const Case cases[] = {
        {"empty file", QByteArray(), true},
        {"lines in CR LF", line + utf8Line, true},
        {"a line ending in LF only", line + QByteArray(line).replace("\r\n", "\n"), false},
        {"a last line without its end", line + line.chopped(2), false},
        {"an empty line", line + "\r\n" + line, false},
        {"a line of five fields", storedLine({"T", "A", "", "", "03:00"}), false},
        {"text after the sixth field", line.chopped(2) + "tail\r\n", false},
        {"Windows-1252 text", storedLine({"\xC9t\xE9", "", "", "", "", "/m/e.mp3"}), false},
        {"a shortcut", QByteArray("#SHORTCUT#\r\n/music\r\n"), false},
    };
    for (const Case &c : cases) {
        const PlayListFile::Content content = parse(c.bytes);
        EXPECT_EQ(content.canonical, c.canonical) << c.what;
        if (content.canonical) {
            EXPECT_EQ(serialize(content.songs), c.bytes) << c.what;
        } else if (!content.shortcutFolder) {
            EXPECT_NE(serialize(content.songs), c.bytes) << c.what;
        }
    }
}

// Lines end at CR, LF or CR LF, whichever comes first; text is checked in
// words of eight bytes, so a byte beyond ASCII must be seen wherever it sits.
TEST(PlayListFile, SplitsLinesAtAnyEndAndSeesTextBeyondAsciiAnywhereInAField)
{
    const PlayListFile::Content mixed = parse("T1\rT2\nT3\n\rT4\r\nT5");
    QStringList titles;
    for (const SongRow &row : mixed.songs)
        titles << row.title();
    EXPECT_EQ(titles, (QStringList{"T1", "T2", "T3", "T4", "T5"}));

    for (int at = 0; at < 20; ++at) {
        QByteArray utf8(20, 'x');
        utf8.replace(at, 1, "\xC3\xA9");
        QByteArray cp1252(20, 'x');
        cp1252[at] = '\xE9';
        const QByteArray good = storedLine({utf8.constData(), "", "", "", "", "/m/a.mp3"});
        const QByteArray bad = storedLine({"T", cp1252.constData(), "", "", "", "/m/a.mp3"});
        EXPECT_TRUE(parse(good).canonical) << at;
        EXPECT_EQ(parse(good).songs.at(0).title(), QString::fromUtf8(utf8)) << at;
        EXPECT_FALSE(parse(bad).canonical) << at;
        EXPECT_EQ(parse(bad).songs.at(0).field(chArtist), QString::fromLatin1(cp1252)) << at;
    }
}

TEST(PlayListFile, FindsAShortcutOnlyByItsFirstLine)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("L.sdf"));
    const QByteArray longSong =
        storedLine({QByteArray(70000, 'x').constData(), "", "", "", "", ""});
    struct Case
    {
        const char *what;
        QByteArray bytes;
        std::optional<QString> folder;
    };
    const Case cases[] = {
        {"marker and folder", "#SHORTCUT#\r\n/music/a, b\r\n", QStringLiteral("/music/a, b")},
        {"blank lines before the marker", "\r\n\r\n#SHORTCUT#\n/music\n", QStringLiteral("/music")},
        {"a song", storedLine({"#SHORTCUT#", "", "", "", "", "/m/a.mp3"}), std::nullopt},
        {"the marker as a song's start", "#SHORTCUT#x\r\n/music\r\n", std::nullopt},
        {"the marker after a song", storedLine({"T", "", "", "", "", ""}) + "#SHORTCUT#\r\n/m\r\n",
         std::nullopt},
        {"a song longer than the first read", longSong, std::nullopt},
        {"an empty file", QByteArray(), std::nullopt},
    };
    for (const Case &c : cases) {
        writeBytes(file, c.bytes);
        EXPECT_EQ(PlayListFile::readShortcutFolder(file), c.folder) << c.what;
    }
}

TEST(PlayListFile, AHundredThousandSongsReadAndWrittenBackAreTheSameBytes)
{
    QByteArray stored;
    for (int i = 0; i < 100000; ++i) {
        const QByteArray n = QByteArray::number(i);
        stored +=
            storedLine({("Song " + n + " \xC3\x89t\xC3\xA9").constData(),
                        ("Artist " + QByteArray::number(i % 977)).constData(), i % 3 ? "Album" : "",
                        "Rock", "03:25", ("/srv/music/\xE2\x99\xAA/" + n + ".mp3").constData()});
    }
    const PlayListFile::Content content = parse(stored);
    ASSERT_EQ(content.songs.size(), 100000u);
    EXPECT_TRUE(content.canonical);
    EXPECT_EQ(content.songs[99999].field(chFile), QString::fromUtf8("/srv/music/♪/99999.mp3"));
    EXPECT_EQ(serialize(content.songs), stored);
}

// A big list is read in two halves at once, split after the line feed that
// follows its middle: the rows, the play time, the shortcut folder and whether
// the bytes are written back unchanged are what reading it line by line from
// the start gives, wherever the split falls.
TEST(PlayListFile, ABigListReadInTwoHalvesGivesWhatALineByLineReadingGives)
{
    const auto songs = [](int first, int count, const QByteArray &end) {
        QByteArray bytes;
        for (int i = first; i < first + count; ++i)
            bytes += storedLine({"Song " + QByteArray::number(i), "A", "", "", "00:02",
                                 "/m/" + QByteArray::number(i) + ".mp3"})
                         .chopped(2) +
                     end;
        return bytes;
    };
    constexpr int kHalf = 40000; // about 1.3 MiB of lines on each side
    const QByteArray front = songs(0, kHalf, "\r\n");
    const QByteArray marker = QByteArray(PlayListFile::kShortcutMarker) + "\r\n";
    const QByteArray folder = "/srv/shop\r\n";
    // A marker whose line holds the middle: the split falls right after it and
    // the folder is the second half's first line.
    const QByteArray back = songs(kHalf, kHalf, "\r\n");
    const QByteArray markerAtSplit = front + marker + folder + back.left(front.size() - folder.size());
    struct Case
    {
        const char *what;
        QByteArray bytes;
        size_t rows;
        bool canonical;
        std::optional<QString> folder;
    };
    const Case cases[] = {
        {"CR LF throughout", front + back, 2 * kHalf, true, std::nullopt},
        {"LF only", songs(0, 2 * kHalf, "\n"), 2 * kHalf, false, std::nullopt},
        {"CR only: no line feed to split at", songs(0, 2 * kHalf, "\r"), 2 * kHalf, false,
         std::nullopt},
        {"a short line in the second half", front + back + "X\xFF\r\n", 2 * kHalf + 1, false,
         std::nullopt},
        {"a marker at the split", markerAtSplit, kHalf, false, QStringLiteral("/srv/shop")},
        {"a marker in the second half", front + back + marker + folder + front, 2 * kHalf, false,
         QStringLiteral("/srv/shop")},
    };
    for (const Case &c : cases) {
        const PlayListFile::Content content = parse(c.bytes);
        ASSERT_EQ(content.songs.size(), c.rows) << c.what;
        EXPECT_EQ(content.canonical, c.canonical) << c.what;
        EXPECT_EQ(content.shortcutFolder, c.folder) << c.what;
        // Two seconds a song; the short line has no length.
        EXPECT_EQ(content.playSeconds, 2 * static_cast<qint64>(std::min<size_t>(c.rows, 2 * kHalf)))
            << c.what;
        for (size_t i = 0; i < std::min<size_t>(c.rows, 2 * kHalf); i += 997)
            EXPECT_EQ(content.songs[i].title(), QStringLiteral("Song %1").arg(i)) << c.what;
    }
    EXPECT_EQ(serialize(parse(front + back).songs), front + back);
    EXPECT_EQ(parse(front + back + "X\xFF\r\n").songs.back().field(chTitle), QStringLiteral("X"));
}

// Reading is linear in the file size for every mix of CR, LF, CR LF and LF
// CR: each line end found once, never a search over the rest of the file per
// line. A list read through the store, as a click on it reads it; the first
// file took an endless time when each line searched the whole rest for an LF.
TEST(PlayListFile, ReadsEveryMixOfLineEndsInTimeLinearInTheFileSize)
{
    const QByteArray row = storedLine({"T", "A", "", "", "03:00", "/m/a.mp3"}).chopped(2);
    const auto rows = [&row](int count, const QByteArray &end) {
        QByteArray bytes;
        bytes.reserve((row.size() + end.size()) * count);
        for (int i = 0; i < count; ++i)
            bytes += row + end;
        return bytes;
    };
    struct Case
    {
        const char *what;
        QByteArray bytes;
        int songs;
    };
    const Case cases[] = {
        {"4M CR then 4M LF", QByteArray(4 << 20, '\r') + QByteArray(4 << 20, '\n'), 0},
        {"a song, then 1M LF CR", row + QByteArray("\n\r").repeated(1 << 20), 1},
        {"rows ending in CR", rows(100000, "\r"), 100000},
        {"rows ending in LF", rows(100000, "\n"), 100000},
        {"rows ending in LF CR", rows(100000, "\n\r"), 100000},
        {"every end in turn",
         rows(25000, "\r") + rows(25000, "\n") + rows(25000, "\r\n") + rows(25000, "\n\r"), 100000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        LibraryStack lib;
        writeBytes(lib.dir.filePath(QStringLiteral("Mixed.sdf")), c.bytes);
        QElapsedTimer clock;
        clock.start();
        lib.store.LoadPlayLists();
        // Linear reading takes milliseconds, even with sanitizers on a busy
        // machine; a search of the rest per line took half a minute for the
        // first file at a quarter of its size, and grows with its square.
        EXPECT_LT(clock.elapsed(), 20000);
        ASSERT_EQ(lib.songs.rowCount(), c.songs);
        if (c.songs > 0) {
            EXPECT_EQ(lib.songs.row(c.songs - 1).field(chFile), QStringLiteral("/m/a.mp3"));
        }
    }
}
