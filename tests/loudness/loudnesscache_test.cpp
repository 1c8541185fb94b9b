#include "loudness/loudnesscache.h"
#include "loudness/loudnessservice.h"
#include "support/paramname.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string_view>

namespace {

LoudnessMeasurement measured(double lufs, double peak,
                             LoudnessMeasurement::Source source = LoudnessMeasurement::Source::Measured)
{
    LoudnessMeasurement m;
    m.loudnessLufs = lufs;
    m.truePeakDbtp = peak;
    m.source = source;
    return m;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Paths with every awkward character survive, and the bytes are exactly
// the documented form, sorted by path.
TEST(LoudnessCacheFile, WritesTheDocumentedBytesAndReadsThemBack)
{
    LoudnessEntries entries;
    entries.insert(QStringLiteral("/music/b song.mp3"), {{1234, 1700000000123}, measured(-14.256, -0.5)});
    entries.insert(QStringLiteral("/music/a\n%tab\there.ogg"), {{7, 8}, std::nullopt});
    entries.insert(QStringLiteral("/müsic/ÿ.wav"),
                   {{0, 1}, measured(-18, -3, LoudnessMeasurement::Source::GainTags)});
    const QByteArray bytes = LoudnessCacheFile::serialize(entries);
    EXPECT_EQ(bytes, QByteArray("VORN loudness 1\n"
                                "%2Fmusic%2Fa%0A%25tab%09here.ogg 7 8 N\n"
                                "%2Fmusic%2Fb%20song.mp3 1234 1700000000123 M -14.26 -0.50\n"
                                "%2Fm%C3%BCsic%2F%C3%BF.wav 0 1 T -18.00 -3.00\n"));
    const LoudnessCacheFile::Parsed parsed = LoudnessCacheFile::parse(bytes);
    EXPECT_FALSE(parsed.damaged());
    EXPECT_EQ(parsed.entries, entries);

    QTemporaryDir dir;
    const QString path = dir.filePath(QLatin1String(LoudnessCacheFile::kFileName));
    ASSERT_TRUE(LoudnessCacheFile::write(path, entries));
    EXPECT_EQ(readAll(path), bytes);
}

struct Damage
{
    const char *name;
    std::string_view bytes;
    int entries;
    int damagedLines;
    bool badHeader;
};

class LoudnessCacheDamage : public ::testing::TestWithParam<Damage>
{
};

// What is sound is kept, what is not is counted; nothing is guessed.
TEST_P(LoudnessCacheDamage, IsCountedAndLeftOut)
{
    const Damage &c = GetParam();
    const LoudnessCacheFile::Parsed parsed = LoudnessCacheFile::parse(QByteArray(c.bytes.data(), qsizetype(c.bytes.size())));
    EXPECT_EQ(parsed.entries.size(), c.entries);
    EXPECT_EQ(parsed.damagedLines, c.damagedLines);
    EXPECT_EQ(parsed.badHeader, c.badHeader);
}

#define GOOD "%2Fa.mp3 10 20 M -18.00 -1.00\n"
INSTANTIATE_TEST_SUITE_P(
    Table, LoudnessCacheDamage,
    ::testing::Values(
        Damage{"no file yet", "", 0, 0, false},
        Damage{"only the header", "VORN loudness 1\n", 0, 0, false},
        Damage{"another file", "RIFF....WAVEfmt \n" GOOD, 0, 0, true},
        Damage{"newer version", "VORN loudness 2\n" GOOD, 0, 0, true},
        Damage{"header without line end", "VORN loudness 1", 0, 0, true},
        Damage{"last line cut short", "VORN loudness 1\n" GOOD "%2Fb.mp3 10 20 M -18.00 -1.0", 1, 1, false},
        Damage{"figure not a number", "VORN loudness 1\n" GOOD "%2Fb.mp3 10 20 M loud -1.00\n", 1, 1, false},
        Damage{"figure out of range", "VORN loudness 1\n" GOOD "%2Fb.mp3 10 20 M -18 1e300\n", 1, 1, false},
        Damage{"negative size", "VORN loudness 1\n" GOOD "%2Fb.mp3 -10 20 M -18 -1\n", 1, 1, false},
        Damage{"unknown kind", "VORN loudness 1\n" GOOD "%2Fb.mp3 10 20 X -18 -1\n", 1, 1, false},
        Damage{"not measured with figures", "VORN loudness 1\n" GOOD "%2Fb.mp3 10 20 N -18 -1\n", 1, 1, false},
        Damage{"measured without figures", "VORN loudness 1\n" GOOD "%2Fb.mp3 10 20 M\n", 1, 1, false},
        Damage{"path not encoded", "VORN loudness 1\n" GOOD "/b.mp3 10 20 N\n", 1, 1, false},
        Damage{"path not UTF-8", "VORN loudness 1\n" GOOD "%FF%FE 10 20 N\n", 1, 1, false},
        Damage{"path twice", "VORN loudness 1\n" GOOD GOOD, 1, 1, false},
        Damage{"empty line", "VORN loudness 1\n\n" GOOD, 1, 1, false},
        Damage{"zero bytes", std::string_view("VORN loudness 1\n\0\0\0\n", 20), 0, 1, false}),
    [](const ::testing::TestParamInfo<Damage> &info) {
        return readableCaseName(info.param.name, info.index);
    });
#undef GOOD

// A measurer that knows every song as -23 LUFS and counts its calls.
struct CountingMeasure
{
    std::shared_ptr<QStringList> calls = std::make_shared<QStringList>();

    LoudnessWorker::Measure measure() const
    {
        return [calls = calls](const QString &path, bool, const std::atomic<bool> &) {
            calls->append(path);
            return LoudnessResult{LoudnessResult::Outcome::Measured, measured(-23, -6), {}};
        };
    }
};

bool waitIdle(LoudnessService &service)
{
    QDeadlineTimer deadline(10000);
    while (!service.isIdle() && !deadline.hasExpired())
        QTest::qWait(10);
    return service.isIdle();
}

// A damaged cache is reported once in the log, does not stop anything, and
// is written whole again; what was sound in it is not measured again.
TEST(LoudnessService, ADamagedCacheIsReportedAndRebuilt)
{
    QTemporaryDir dir;
    const QString song = dir.filePath(QStringLiteral("known.mp3"));
    writeAll(song, "known");
    const QString cache = dir.filePath(QLatin1String(LoudnessCacheFile::kFileName));
    const std::optional<FileStamp> stamp = fileStampOf(song);
    ASSERT_TRUE(stamp);
    LoudnessEntries known;
    known.insert(song, {*stamp, measured(-10, -2)});
    writeAll(cache, LoudnessCacheFile::serialize(known) + "garbage\n");

    QStringList log;
    CountingMeasure counting;
    {
        LoudnessService service(cache, [&log](const QString &line) { log << line; },
                                counting.measure());
        service.load();
        ASSERT_EQ(log.size(), 1);
        EXPECT_TRUE(log[0].contains(QLatin1String("damaged"))) << log[0].toStdString();
        EXPECT_NEAR(service.gainFor(song), -8.0, 1e-9);
        service.setWork(QStringList{song}, 0, {}, {});
        ASSERT_TRUE(waitIdle(service));
        EXPECT_TRUE(counting.calls->isEmpty());
    }
    EXPECT_EQ(readAll(cache), LoudnessCacheFile::serialize(known));
    EXPECT_EQ(log.size(), 1);
}

// A song that changed since it was measured plays at unity gain until it
// is measured again, which the next work does.
TEST(LoudnessService, AChangedSongIsMeasuredAgain)
{
    QTemporaryDir dir;
    const QString song = dir.filePath(QStringLiteral("song.mp3"));
    writeAll(song, "first");
    const QString cache = dir.filePath(QLatin1String(LoudnessCacheFile::kFileName));
    LoudnessEntries old;
    old.insert(song, {*fileStampOf(song), measured(-10, -2)});
    ASSERT_TRUE(LoudnessCacheFile::write(cache, old));
    writeAll(song, "second version");

    CountingMeasure counting;
    LoudnessService service(cache, [](const QString &) {}, counting.measure());
    service.load();
    EXPECT_EQ(service.gainFor(song), 0.0);
    service.setWork(QStringList{song}, 0, {}, {});
    ASSERT_TRUE(waitIdle(service));
    EXPECT_EQ(*counting.calls, QStringList{song});
    EXPECT_NEAR(service.gainFor(song), 5.0, 1e-9);
    service.close();
    EXPECT_EQ(LoudnessCacheFile::parse(readAll(cache)).entries.value(song).stamp, *fileStampOf(song));
}

} // namespace
