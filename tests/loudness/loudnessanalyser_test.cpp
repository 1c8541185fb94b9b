#include "analyser/loudnessanalyser.h"
#include "loudness/gaintags.h"
#include "loudness/loudnessworker.h"
#include "support/loudnessfiles.h"
#include "support/paramname.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include <id3v2tag.h>
#include <mpegfile.h>
#include <textidentificationframe.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Reference
{
    TestSignal signal;
    double lufs;
    const char *format;
};

std::string referenceName(const ::testing::TestParamInfo<Reference> &info)
{
    const Reference &c = info.param;
    return readableCaseName(std::string(c.signal == TestSignal::Sine ? "sine" : "noise") + "_"
                                + std::to_string(static_cast<int>(-c.lufs)) + "_" + c.format,
                            info.index);
}

class LoudnessReference : public ::testing::TestWithParam<Reference>
{
};

// VORN's figure for each level, signal and format agrees with ffmpeg's own
// R128 meter on the very same file.
TEST_P(LoudnessReference, IntegratedLoudnessAgreesWithTheOutsideMeter)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    const Reference &c = GetParam();
    QTemporaryDir dir;
    const QString file = writeTestSound(dir.path(), QStringLiteral("sound.") + QLatin1String(c.format),
                                        c.signal, c.lufs, 3.0);
    ASSERT_FALSE(file.isEmpty());
    const std::optional<ReferenceLoudness> reference = referenceLoudness(file);
    ASSERT_TRUE(reference);
    // The sound is what the case says, so the table spans its levels.
    EXPECT_NEAR(reference->integratedLufs, c.lufs, 2.0);

    const LoudnessResult result = LoudnessAnalyser::measure(file);
    ASSERT_EQ(result.outcome, LoudnessResult::Outcome::Measured) << result.failure.toStdString();
    EXPECT_NEAR(result.measurement->loudnessLufs, reference->integratedLufs, 0.5);
    // The true peak of a tone is its sample peak for any interpolator; that
    // of full-band noise depends on the interpolation filter, which the two
    // meters do not share.
    if (c.signal == TestSignal::Sine)
        EXPECT_NEAR(result.measurement->truePeakDbtp, reference->truePeakDbfs, 0.5);
    EXPECT_EQ(result.measurement->source, LoudnessMeasurement::Source::Measured);
}

INSTANTIATE_TEST_SUITE_P(
    LevelsAndFormats, LoudnessReference,
    ::testing::Values(Reference{TestSignal::Sine, -10, "wav"}, Reference{TestSignal::Sine, -20, "wav"},
                      Reference{TestSignal::Sine, -30, "wav"}, Reference{TestSignal::Sine, -10, "mp3"},
                      Reference{TestSignal::Sine, -20, "mp3"}, Reference{TestSignal::Sine, -30, "mp3"},
                      Reference{TestSignal::Sine, -10, "ogg"}, Reference{TestSignal::Sine, -20, "ogg"},
                      Reference{TestSignal::Sine, -30, "ogg"}, Reference{TestSignal::Noise, -10, "wav"},
                      Reference{TestSignal::Noise, -20, "mp3"}, Reference{TestSignal::Noise, -30, "ogg"}),
    referenceName);

// Something on disk that is no song VORN can measure.
struct BadInput
{
    const char *name;
    // Makes the thing in `folder`; returns its path.
    QString (*make)(const QString &folder);
};

QString writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

QString corruptAudio(const QString &folder)
{
    // A real song whose last 70 percent is garbage: the decoder skips it
    // silently, and the rest is too little to stand for the song.
    const QString good = writeTestSound(folder, QStringLiteral("good.mp3"), TestSignal::Sine, -20, 3.0);
    QFile file(good);
    if (good.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    for (qsizetype at = bytes.size() * 3 / 10; at < bytes.size(); ++at)
        bytes[at] = static_cast<char>((at * 7919) & 0xFF);
    return writeBytes(folder + QStringLiteral("/corrupt.mp3"), bytes);
}

QString emptyFile(const QString &folder)
{
    return writeBytes(folder + QStringLiteral("/empty.mp3"), {});
}

QString textFile(const QString &folder)
{
    return writeBytes(folder + QStringLiteral("/notes.mp3"),
                      QByteArray("These are the shop's opening hours, not a song.\n").repeated(200));
}

QString playListInDisguise(const QString &folder)
{
    // A play list naming a real song: it must not be followed.
    const QString song = writeTestSound(folder, QStringLiteral("real.wav"), TestSignal::Sine, -20, 1.0);
    return writeBytes(folder + QStringLiteral("/list.mp3"),
                      "#EXTM3U\n#EXTINF:1,real\n" + song.toUtf8() + '\n');
}

QString videoOnly(const QString &folder)
{
    const QString path = folder + QStringLiteral("/picture.mkv");
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-hide_banner"), QStringLiteral("-nostdin"), QStringLiteral("-y"),
                  QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                  QStringLiteral("color=c=black:s=16x16:d=1"), QStringLiteral("-c:v"),
                  QStringLiteral("ffv1"), path});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0 ? path : QString();
}

QString silentFile(const QString &folder)
{
    return writeTestSound(folder, QStringLiteral("silence.wav"), TestSignal::Sine, -400, 2.0);
}

QString fifo(const QString &folder)
{
    const QString path = folder + QStringLiteral("/pipe.mp3");
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
}

QString device(const QString &)
{
    return QStringLiteral("/dev/zero");
}

QString folderNamedLikeASong(const QString &folder)
{
    const QString path = folder + QStringLiteral("/folder.mp3");
    return ::mkdir(QFile::encodeName(path).constData(), 0700) == 0 ? path : QString();
}

QString missing(const QString &folder)
{
    return folder + QStringLiteral("/gone.mp3");
}

class LoudnessBadInput : public ::testing::TestWithParam<BadInput>
{
};

// Each ends in "not measured" with a reason, promptly: nothing hangs on a
// pipe or a device, nothing named inside a file is opened.
TEST_P(LoudnessBadInput, IsNotMeasuredAndSaysWhy)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    QTemporaryDir dir;
    const QString path = GetParam().make(dir.path());
    ASSERT_FALSE(path.isEmpty());
    QElapsedTimer clock;
    clock.start();
    const LoudnessResult result = LoudnessAnalyser::measure(path);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(result.outcome, LoudnessResult::Outcome::NotMeasured);
    EXPECT_FALSE(result.measurement);
    EXPECT_FALSE(result.failure.isEmpty());
    // Gain tags are no way round it either.
    EXPECT_FALSE(GainTags::read(path));
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoudnessBadInput,
    ::testing::Values(BadInput{"corrupt audio", corruptAudio}, BadInput{"zero length", emptyFile},
                      BadInput{"text named mp3", textFile},
                      BadInput{"play list named mp3", playListInDisguise},
                      BadInput{"no audio stream", videoOnly}, BadInput{"silence", silentFile},
                      BadInput{"fifo", fifo}, BadInput{"device", device},
                      BadInput{"folder", folderNamedLikeASong}, BadInput{"missing", missing}),
    [](const ::testing::TestParamInfo<BadInput> &info) {
        return readableCaseName(info.param.name, info.index);
    });

// A file changed or removed while it is read is not measured: its figures
// could belong to neither version.
TEST(LoudnessAnalyser, AFileThatChangesOrVanishesWhileMeasuredIsNotMeasured)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    QTemporaryDir dir;
    for (const bool remove : {false, true}) {
        SCOPED_TRACE(remove ? "vanishes" : "changes");
        const QString path = writeTestSound(dir.path(), QStringLiteral("song.wav"), TestSignal::Sine, -20, 3.0);
        ASSERT_FALSE(path.isEmpty());
        bool touched = false;
        const LoudnessResult result = LoudnessAnalyser::measure(path, nullptr, [&](qint64) {
            if (touched)
                return;
            touched = true;
            if (remove) {
                QFile::remove(path);
            } else {
                QFile file(path);
                if (file.open(QIODevice::Append))
                    file.write(QByteArray(4096, '\0'));
            }
        });
        EXPECT_TRUE(touched);
        EXPECT_EQ(result.outcome, LoudnessResult::Outcome::NotMeasured);
        EXPECT_TRUE(result.failure.contains(remove ? QLatin1String("gone") : QLatin1String("changed")))
            << result.failure.toStdString();
    }
}

// Ten hours of audio (a sparse file, so the test writes nothing): measuring
// goes on block by block, and a stop ends it within a second.
TEST(LoudnessAnalyser, ATenHourFileIsReadInBlocksAndStopsWhenAsked)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ten-hours.wav"));
    constexpr quint32 kRate = 8000;
    constexpr quint32 kDataBytes = 10u * 3600u * kRate * 2u;
    QByteArray header("RIFF");
    const auto le32 = [&header](quint32 v) {
        for (int i = 0; i < 4; ++i)
            header += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const auto le16 = [&header](quint16 v) {
        header += static_cast<char>(v & 0xFF);
        header += static_cast<char>(v >> 8);
    };
    le32(36 + kDataBytes);
    header += "WAVEfmt ";
    le32(16);
    le16(1);
    le16(1);
    le32(kRate);
    le32(kRate * 2);
    le16(2);
    le16(16);
    header += "data";
    le32(kDataBytes);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(header);
        ASSERT_TRUE(file.resize(header.size() + qint64(kDataBytes)));
    }
    std::atomic<bool> stop{false};
    std::atomic<qint64> read{0};
    LoudnessResult result;
    std::thread measuring([&] {
        result = LoudnessAnalyser::measure(path, &stop, [&read](qint64 bytes) { read = bytes; });
    });
    // Well into the file, then stop.
    QDeadlineTimer deadline(30000);
    while (read.load() < 4 * 1024 * 1024 && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GE(read.load(), 4 * 1024 * 1024);
    QElapsedTimer clock;
    clock.start();
    stop = true;
    measuring.join();
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(result.outcome, LoudnessResult::Outcome::Stopped);
    EXPECT_LT(read.load(), qint64(kDataBytes));
}

// ReplayGain tags stand for a measurement against the -18 LUFS reference;
// the worker takes them only when the user allows it.
TEST(LoudnessGainTags, AreTakenWhenAllowedAndOtherwiseTheAudioIsMeasured)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    QTemporaryDir dir;
    const QString path = writeTestSound(dir.path(), QStringLiteral("tagged.mp3"), TestSignal::Sine, -20, 2.0);
    ASSERT_FALSE(path.isEmpty());
    {
        TagLib::MPEG::File file(QFile::encodeName(path).constData());
        auto *tag = file.ID3v2Tag(true);
        for (const auto &[key, value] : {std::pair("REPLAYGAIN_TRACK_GAIN", "-6.50 dB"),
                                         std::pair("REPLAYGAIN_TRACK_PEAK", "0.501187")}) {
            auto *frame = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::UTF8);
            frame->setDescription(key);
            frame->setText(value);
            tag->addFrame(frame);
        }
        ASSERT_TRUE(file.save());
    }
    const std::atomic<bool> stop{false};
    // The helper program the window's worker runs, found as it finds it.
    LoudnessHelper helper;
    const LoudnessResult tagged = LoudnessWorker::measureSong(path, true, stop, helper);
    ASSERT_TRUE(tagged.measurement);
    EXPECT_EQ(tagged.measurement->source, LoudnessMeasurement::Source::GainTags);
    EXPECT_NEAR(tagged.measurement->loudnessLufs, -11.5, 1e-9);
    EXPECT_NEAR(tagged.measurement->truePeakDbtp, -6.0, 0.01);

    const LoudnessResult measured = LoudnessWorker::measureSong(path, false, stop, helper);
    ASSERT_TRUE(measured.measurement);
    EXPECT_EQ(measured.measurement->source, LoudnessMeasurement::Source::Measured);
    EXPECT_NEAR(measured.measurement->loudnessLufs, -20.0, 1.0);
}

TEST(LoudnessGainTags, NumbersAreReadWithOrWithoutTheirUnit)
{
    struct Case
    {
        const char *text;
        std::optional<double> number;
    };
    for (const Case &c : {Case{"-6.20 dB", -6.2}, Case{"+3.5dB", 3.5}, Case{" 0.988 ", 0.988},
                          Case{"loud", std::nullopt}, Case{"", std::nullopt},
                          Case{"nan dB", std::nullopt}, Case{"inf", std::nullopt}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(GainTags::parseNumber(QString::fromUtf8(c.text)), c.number);
    }
}

} // namespace
