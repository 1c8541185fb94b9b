#include "library/songlength.h"
#include "support/paramname.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

// EstimateSongLengths' estimates in the files' order; fails the test unless
// every index is handed over exactly once.
std::vector<qint32> lengthsOf(const QStringList &files)
{
    const size_t count = static_cast<size_t>(files.size());
    std::vector<qint32> lengths(count, -1);
    std::vector<int> calls(count, 0);
    EstimateSongLengths(files, [&](qsizetype index, qint32 length) {
        lengths[static_cast<size_t>(index)] = length;
        ++calls[static_cast<size_t>(index)];
    });
    EXPECT_EQ(std::count(calls.begin(), calls.end(), 1), files.size());
    return lengths;
}

struct SizeCase
{
    const char *file;
    qint64 size;
    qint32 seconds;
};

class SongLengthFromSize : public ::testing::TestWithParam<SizeCase>
{
};

TEST_P(SongLengthFromSize, EstimatesWholeSeconds)
{
    const SizeCase &c = GetParam();
    EXPECT_EQ(estimateSongLengthFromSize(QString::fromUtf8(c.file), c.size), c.seconds)
        << c.file << " of " << c.size << " bytes";
}

INSTANTIATE_TEST_SUITE_P(
    Table, SongLengthFromSize,
    ::testing::Values(
        // 57 s plus 34/6 s for one estimated minute = 62.67 -> 01:03
        SizeCase{"/m/a.mp3", 1'000'000, 63}, SizeCase{"/m/a.mp3", 0, 0},
        // size / 17640 = 0.5 and 1.5: halves go to the even neighbour
        SizeCase{"/m/a.mp3", 8'820, 0}, SizeCase{"/m/a.mp3", 26'460, 2},
        // 30 s is half a minute, rounded to no minute; 90 s to two minutes
        SizeCase{"/m/a.mp3", 30 * 17'640, 30}, SizeCase{"/m/a.mp3", 90 * 17'640, 101},
        SizeCase{"/m/A.MP3", 1'000'000, 63}, SizeCase{"/m/a.Mp3", 1'000'000, 63},
        // 100 s of CD audio -> 01:40
        SizeCase{"/m/b.wav", 17'640'000, 100}, SizeCase{"/m/B.WAV", 17'640'000, 100},
        SizeCase{"/m/b.wav", 88'200, 0}, SizeCase{"/m/b.wav", 264'600, 2},
        SizeCase{"/m/c.mid", 17'640'000, 0}, SizeCase{"/m/c.mp2", 17'640'000, 0},
        SizeCase{"/m/c.mpeg", 17'640'000, 0}, SizeCase{"/m/noext", 17'640'000, 0},
        SizeCase{"", 17'640'000, 0}, SizeCase{"/m/a.mp3", -5, 0},
        // The largest mp3 whose intermediates fitted in 16 bits keeps its result...
        SizeCase{"/m/a.mp3", 578'018'699, 35'861},
        // ... and larger ones no longer overflow.
        SizeCase{"/m/a.mp3", 578'018'700, 35'862}, SizeCase{"/m/a.mp3", 700'000'000, 43'429},
        SizeCase{"/m/b.wav", 4'000'000'000LL, 22'676},
        SizeCase{"/m/a.mp3", std::numeric_limits<qint64>::max(),
                 std::numeric_limits<qint32>::max()}),
    [](const ::testing::TestParamInfo<SizeCase> &info) {
        return readableCaseName(
            std::string(info.param.file) + " " + std::to_string(info.param.size), info.index);
    });

class SongLengthOfFile : public ::testing::Test
{
protected:
    QString createFile(const QString &name, qint64 size)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(file.resize(size));
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_F(SongLengthOfFile, ReadsTheSizeOfAnMp3)
{
    EXPECT_EQ(EstimateSongLength(createFile(QStringLiteral("a.mp3"), 1'000'000)), 63);
    EXPECT_EQ(EstimateSongLength(createFile(QStringLiteral("UPPER.MP3"), 1'000'000)), 63);
}

TEST_F(SongLengthOfFile, ReadsTheSizeOfAWav)
{
    EXPECT_EQ(EstimateSongLength(createFile(QStringLiteral("b.wav"), 17'640'000)), 100);
}

TEST_F(SongLengthOfFile, OtherTypesGetNoEstimate)
{
    EXPECT_EQ(EstimateSongLength(createFile(QStringLiteral("c.mid"), 17'640'000)), 0);
    EXPECT_EQ(EstimateSongLength(createFile(QStringLiteral("d.it"), 17'640'000)), 0);
}

TEST_F(SongLengthOfFile, AMissingFileGivesZero)
{
    EXPECT_EQ(EstimateSongLength(m_dir.filePath(QStringLiteral("gone.mp3"))), 0);
    EXPECT_EQ(EstimateSongLength(m_dir.filePath(QStringLiteral("gone.wav"))), 0);
    EXPECT_EQ(EstimateSongLength(QStringLiteral("D:\\b.wav")), 0);
    EXPECT_EQ(EstimateSongLength(QString()), 0);
    // The part before a NUL names a file that exists: still no file of this name.
    const QString real = createFile(QStringLiteral("real.mp3"), 1'000'000);
    EXPECT_EQ(EstimateSongLength(real + QChar(u'\0') + QStringLiteral(".mp3")), 0);
    // Names in UTF-8 beyond ASCII reach the file.
    EXPECT_EQ(EstimateSongLength(createFile(QStringLiteral("Été ♪.mp3"), 1'000'000)), 63);
}

TEST_F(SongLengthOfFile, AFolderNamedLikeAnMp3GivesZero)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.mp3")));
    EXPECT_EQ(EstimateSongLength(m_dir.filePath(QStringLiteral("folder.mp3"))), 0);
}

TEST_F(SongLengthOfFile, AHugeMp3GetsTheFullEstimate)
{
    // A sparse file: no disk space is used for its 700 MB.
    EXPECT_EQ(EstimateSongLength(createFile(QStringLiteral("long.mp3"), 700'000'000)), 43'429);
}

// A long import looks its files up in batches: every file must get what it
// gets alone, however the list mixes folders, and in the list's order.
TEST_F(SongLengthOfFile, ABatchGivesEachFileWhatItGetsAlone)
{
    QDir(m_dir.path()).mkpath(QStringLiteral("album/folder.mp3"));
    createFile(QStringLiteral("plain.txt"), 10);
    QStringList kinds = {
        createFile(QStringLiteral("album/a.mp3"), 1'000'000),
        createFile(QStringLiteral("album/b.WAV"), 17'640'000),
        createFile(QStringLiteral("album/Été ♪.mp3"), 2'000'000),
        createFile(QStringLiteral("top.mp3"), 500'000),
        m_dir.filePath(QStringLiteral("album/gone.mp3")),
        m_dir.filePath(QStringLiteral("no such folder/a.mp3")),
        m_dir.filePath(QStringLiteral("plain.txt/a.mp3")), // a file where a folder should be
        m_dir.filePath(QStringLiteral("album/folder.mp3")),
        m_dir.filePath(QStringLiteral("album/../album/a.mp3")),
        m_dir.filePath(QStringLiteral("album/")) + QStringLiteral("x.wav/"),
        m_dir.filePath(QStringLiteral("album/a.mp3")) + QChar(u'\0') + QStringLiteral(".mp3"),
        createFile(QStringLiteral("album/c.mid"), 1'000'000),
        QStringLiteral("/top-level-nothing.mp3"),
        QStringLiteral("relative/none.wav"),
        QString(),
    };
    // A symbolic link to a song counts as the song.
    ASSERT_TRUE(QFile::link(kinds[0], m_dir.filePath(QStringLiteral("link.mp3"))));
    kinds << m_dir.filePath(QStringLiteral("link.mp3"));

    for (const qsizetype count : {qsizetype(1), kinds.size(), qsizetype(5000)}) {
        QStringList files;
        for (qsizetype i = 0; i < count; ++i)
            files << kinds[(i * 7 + i / 3) % kinds.size()]; // runs of one folder, and jumps
        const std::vector<qint32> lengths = lengthsOf(files);
        ASSERT_EQ(lengths.size(), static_cast<size_t>(count));
        for (qsizetype i = 0; i < count; ++i)
            ASSERT_EQ(lengths[static_cast<size_t>(i)], EstimateSongLength(files[i]))
                << files[i].toStdString() << " at " << i << " of " << count;
    }
    EXPECT_EQ(lengthsOf({kinds[0], kinds[1], kinds[2], kinds[3]}),
              (std::vector<qint32>{63, 100, 124, 28}));
}

} // namespace
