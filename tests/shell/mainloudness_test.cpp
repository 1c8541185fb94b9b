#include "library/songlistmodel.h"
#include "loudness/loudnesscache.h"
#include "loudness/loudnesshelper.h"
#include "loudness/loudnessservice.h"
#include "playback/playeractions.h"
#include "shell/mainloudness.h"
#include "support/frmmainfixture.h"
#include "support/loudnessfiles.h"
#include "support/playerprocesses.h"
#include "support/waitfor.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>

namespace {

using MainLoudnessTest = frmMainFixture;

// From start-up on the window measures the songs of every list in the
// background, shows how far it got and nothing once done; the song played
// then starts with its gain; closing keeps the results in VORN.loudness.
TEST_F(MainLoudnessTest, ListsAreMeasuredInTheBackgroundAndEachSongStartsWithItsGain)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    const QString loud = writeTestSound(dir.path(), QStringLiteral("loud.wav"), TestSignal::Sine, -10, 2.0);
    const QString quiet = writeTestSound(dir.path(), QStringLiteral("quiet.wav"), TestSignal::Sine, -30, 2.0);
    const QString other = writeTestSound(dir.path(), QStringLiteral("other.wav"), TestSignal::Sine, -20, 2.0);
    ASSERT_FALSE(loud.isEmpty() || quiet.isEmpty() || other.isEmpty());
    const auto line = [](const QString &file) {
        const QByteArray name = file.toUtf8();
        return storedLine({"Song", "", "", "", "00:02", name.constData()});
    };
    writeBytes(path(QStringLiteral("Alpha.sdf")), line(loud) + line(quiet));
    writeBytes(path(QStringLiteral("Beta.sdf")), line(other));

    auto window = makeWindow();
    LoudnessService &service = window->loudness().service();
    QLabel *progress = window->findChild<QLabel *>(QStringLiteral("pLoudness"));
    ASSERT_NE(progress, nullptr);
    QStringList shownTexts;
    QObject::connect(&service, &LoudnessService::progressChanged, progress, [&] {
        if (progress->isVisibleTo(window.get()))
            shownTexts << progress->text();
    });
    window->show();
    window->tmrInit_Timer();

    QDeadlineTimer deadline(60000);
    while ((service.entries().size() < 3 || !service.isIdle()) && !deadline.hasExpired())
        QTest::qWait(20);
    ASSERT_EQ(service.entries().size(), 3);
    EXPECT_FALSE(progress->isVisible());
    // The program links no decoder: the helper program measured the songs,
    // and the work ended it once it ran out.
    EXPECT_TRUE(waitFor(
        [] { return ownChildrenMentioning(LoudnessHelper::kProgramName).isEmpty(); }));
    // Counted up to all three songs of both lists while it worked.
    ASSERT_FALSE(shownTexts.isEmpty());
    EXPECT_EQ(shownTexts.last(), QStringLiteral("Measuring loudness: 3 of 3"));

    const QString shown = window->songs().row(0).field(chFile);
    window->playerActions().tbPlay->trigger();
    ASSERT_EQ(link->played, QStringList{shown});
    ASSERT_EQ(link->songGains.size(), 1);
    EXPECT_NEAR(link->songGains[0], shown == loud ? -8.0 : 2.0, 0.5);

    ASSERT_TRUE(closeWindow(*window));
    QFile cache(path(QLatin1String(LoudnessCacheFile::kFileName)));
    ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
    const LoudnessCacheFile::Parsed kept = LoudnessCacheFile::parse(cache.readAll());
    EXPECT_FALSE(kept.damaged());
    QStringList files = kept.entries.keys();
    files.sort();
    QStringList expected{loud, quiet, other};
    expected.sort();
    EXPECT_EQ(files, expected);
    EXPECT_NEAR(kept.entries.value(quiet).measurement->loudnessLufs, -30.0, 1.0);
    // Nothing went wrong that the log would tell.
    EXPECT_FALSE(readBytes(path(QStringLiteral("VORN.log"))).contains("Loudness"))
        << readBytes(path(QStringLiteral("VORN.log"))).toStdString();
}

} // namespace
