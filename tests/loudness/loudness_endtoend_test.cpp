#include "loudness/loudnesscache.h"
#include "loudness/loudnessservice.h"
#include "playback/mpvlink.h"
#include "support/loudnessfiles.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Three songs 20 LU apart, measured by the worker and played by the real mpv
// into a file: each comes out at the target within 1 LU, and none clips.
TEST(LoudnessEndToEnd, SongsTwentyLuApartComeOutOfThePlayerAtTheTarget)
{
    if (!haveFfmpeg() || QStandardPaths::findExecutable(QStringLiteral("mpv")).isEmpty())
        GTEST_SKIP() << "ffmpeg or mpv is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Song
    {
        double lufs;
        TestSignal signal;
        QString path;
    };
    std::vector<Song> songs{{-8, TestSignal::Sine, {}}, {-18, TestSignal::Noise, {}},
                            {-28, TestSignal::Sine, {}}};
    QStringList paths;
    for (Song &song : songs) {
        song.path = writeTestSound(dir.path(), QStringLiteral("song%1.mp3").arg(-song.lufs),
                                   song.signal, song.lufs, 3.0);
        ASSERT_FALSE(song.path.isEmpty());
        paths << song.path;
    }

    LoudnessService service(dir.filePath(QLatin1String(LoudnessCacheFile::kFileName)),
                            [](const QString &line) { ADD_FAILURE() << line.toStdString(); });
    constexpr int kTarget = -16;
    service.setOptions({true, kTarget, true});
    service.setWork(paths, 0, {}, {});
    QDeadlineTimer measured(60000);
    while (!service.isIdle() && !measured.hasExpired())
        QTest::qWait(20);
    ASSERT_TRUE(service.isIdle());

    for (const Song &song : songs) {
        SCOPED_TRACE(song.lufs);
        ASSERT_TRUE(service.measurementOf(song.path));
        const QString output = dir.filePath(QFileInfo(song.path).completeBaseName() + ".out.wav");
        const QByteArray options = "--ao=pcm --ao-pcm-file=" + QFile::encodeName(output);
        qputenv("VORN_MPV_OPTIONS", options);
        {
            MpvLink link(dir.filePath(QStringLiteral("mpv.sock")));
            ASSERT_TRUE(link.StartWinamp(QString()));
            link.setSongGain(service.gainFor(song.path));
            link.WinampClearList();
            link.WinampAddFile(song.path);
            link.WinampStartPlay();
            // The file output runs faster than real time.
            QDeadlineTimer played(30000);
            QTest::qWait(100);
            while (link.WinampIsPlaying() != PlayerLink::kStopped && !played.hasExpired())
                QTest::qWait(50);
            EXPECT_EQ(link.WinampIsPlaying(), PlayerLink::kStopped);
            link.CloseWinamp();
        }
        qunsetenv("VORN_MPV_OPTIONS");
        const std::optional<ReferenceLoudness> out = referenceLoudness(output);
        ASSERT_TRUE(out) << output.toStdString();
        EXPECT_NEAR(out->integratedLufs, kTarget, 1.0);
        EXPECT_LT(out->truePeakDbfs, 0.0);
    }
}

} // namespace
