#include "loudness/loudnesshelper.h"
#include "support/loudnessfiles.h"
#include "support/paramname.h"
#include "support/playerprocesses.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Stand-ins for the helper that misbehave as a decoder may: each is a shell
// script that ignores the path it is sent.
struct HelperCase
{
    const char *name;
    const char *script; // empty: no helper at all
    LoudnessResult::Outcome outcome;
    const char *failureContains;
    bool stopFirst = false;
};

QString writeScript(const QString &folder, const char *body)
{
    const QString path = folder + QStringLiteral("/helper.sh");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QByteArray("#!/bin/sh\n") + body + '\n');
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

class LoudnessHelperFailure : public testing::TestWithParam<HelperCase>
{
};

// Whatever the helper does, the measurement ends within its bounds, says
// why, and leaves no helper running. A helper that crashes or hangs on a
// file costs that file only; one that cannot run at all leaves every file
// unknown (not cached as unmeasurable) without being started for each.
TEST_P(LoudnessHelperFailure, EndsWithinItsBoundsAndLeavesNoHelper)
{
    const HelperCase &c = GetParam();
    QTemporaryDir dir;
    const QString program = *c.script ? writeScript(dir.path(), c.script) : QString();
    LoudnessHelper helper(program, 1500);
    std::atomic<bool> stop{c.stopFirst};
    const LoudnessResult result = helper.measure(dir.filePath(QStringLiteral("song.mp3")), stop);
    EXPECT_EQ(result.outcome, c.outcome) << result.failure.toStdString();
    EXPECT_TRUE(result.failure.contains(QLatin1String(c.failureContains)))
        << result.failure.toStdString();
    EXPECT_FALSE(result.measurement);
    EXPECT_EQ(helper.processId(), 0);
    EXPECT_TRUE(ownChildrenMentioning(QFile::encodeName(dir.path())).isEmpty());
    if (result.outcome == LoudnessResult::Outcome::Unavailable) {
        // Not started again for the next file, but again after a rest.
        if (!program.isEmpty())
            QFile::remove(program);
        EXPECT_EQ(helper.measure(QStringLiteral("/other.mp3"), stop).failure, result.failure);
        helper.rest();
        if (!program.isEmpty())
            EXPECT_NE(helper.measure(QStringLiteral("/other.mp3"), stop).failure, result.failure);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoudnessHelperFailure,
    testing::Values(
        HelperCase{"Missing", "", LoudnessResult::Outcome::Unavailable, "was not found"},
        HelperCase{"EndsByItself", "exit 3", LoudnessResult::Outcome::Unavailable,
                   "ended with code 3"},
        HelperCase{"AnswersNonsense", "echo 'hello there'; exec cat >/dev/null",
                   LoudnessResult::Outcome::Unavailable, "answered \"hello there\""},
        HelperCase{"Crashes", "kill -SEGV $$", LoudnessResult::Outcome::NotMeasured, "crashed"},
        HelperCase{"SpinsWithoutAWord", "while :; do :; done", LoudnessResult::Outcome::NotMeasured,
                   "worked 1.5 s without getting on"},
        HelperCase{"AskedToStop", "exec sleep 60", LoudnessResult::Outcome::Stopped, "", true}),
    [](const testing::TestParamInfo<HelperCase> &info) {
        return readableCaseName(info.param.name, info.index);
    });

// A helper is waited for past the silence bound while it keeps saying that
// it reads, and while it works not at all (a busy machine starves it); its
// figures cross whole. The real helper measures a real file and ends when
// told to rest.
TEST(LoudnessHelper, WaitsWhileTheHelperReadsOrWaitsAndTakesItsFigures)
{
    QTemporaryDir dir;
    const std::atomic<bool> stop{false};
    for (const char *body : {"i=0; while [ $i -lt 2000000 ]; do i=$((i+1));\n"
                             "  [ $((i % 100000)) -eq 0 ] && echo .; done",
                             "sleep 2"}) {
        const QString program =
            writeScript(dir.path(), (QByteArray(body) +
                                     "\necho 'M -20.125 -1.0000000000000002'; exec cat >/dev/null")
                                        .constData());
        LoudnessHelper helper(program, 1000);
        const LoudnessResult result = helper.measure(QStringLiteral("/song.mp3"), stop);
        ASSERT_TRUE(result.measurement) << body << ": " << result.failure.toStdString();
        EXPECT_EQ(result.measurement->loudnessLufs, -20.125);
        EXPECT_EQ(result.measurement->truePeakDbtp, -1.0000000000000002);
    }
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    const QString song =
        writeTestSound(dir.path(), QStringLiteral("tone.wav"), TestSignal::Sine, -23, 2.0);
    ASSERT_FALSE(song.isEmpty());
    LoudnessHelper helper;
    const LoudnessResult measured = helper.measure(song, stop);
    ASSERT_TRUE(measured.measurement) << measured.failure.toStdString();
    EXPECT_NEAR(measured.measurement->loudnessLufs, -23.0, 1.0);
    const LoudnessResult missing = helper.measure(dir.filePath(QStringLiteral("gone.wav")), stop);
    EXPECT_EQ(missing.outcome, LoudnessResult::Outcome::NotMeasured);
    const qint64 pid = helper.processId();
    ASSERT_NE(pid, 0);
    helper.rest();
    EXPECT_FALSE(processAlive(pid));
}

} // namespace
