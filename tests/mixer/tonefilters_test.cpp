// Bass and treble faders on the real mpv (without a sound card): the player
// reports the filters in its chain, on the playing file and on the next one.
#include "mixer/toneline.h"
#include "playback/mpvipc.h"
#include "playback/mpvlink.h"
#include "support/audiofiles.h"
#include "support/nullaudiompv.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ToneFiltersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!NullAudioMpv::installed())
            GTEST_SKIP() << "mpv is not installed";
        link = std::make_unique<MpvLink>(dir.filePath(QStringLiteral("mpv.sock")));
        ASSERT_TRUE(link->StartWinamp(QString()));
    }

    void TearDown() override
    {
        if (link)
            link->CloseWinamp();
    }

    // The gain parameter of the player's filter under `label`; empty when
    // the chain has no such filter.
    QString gain(const QString &label)
    {
        MpvIpc probe(link->socketPath());
        const QJsonArray chain =
            probe.request(QJsonArray{QStringLiteral("get_property"), QStringLiteral("af")})
                .data.toArray();
        for (const QJsonValue &filter : chain) {
            if (filter.toObject().value(QLatin1String("label")).toString() == label)
                return filter.toObject()
                    .value(QLatin1String("params"))
                    .toObject()
                    .value(QLatin1String("g"))
                    .toString();
        }
        return {};
    }

    void play(const QString &name)
    {
        link->WinampAddFile(writeWavFile(dir.path(), name, 5.0, WavContent::Tone));
        link->WinampStartPlay();
    }

    QTemporaryDir dir;
    std::unique_ptr<MpvLink> link;
    NullAudioMpv m_nullAudio;
};

TEST_F(ToneFiltersTest, FadersSetThePlayersToneFiltersAndTheyStayForTheNextSong)
{
    ToneLine bass(*link, PlayerLink::ToneBand::Bass);
    ToneLine treble(*link, PlayerLink::ToneBand::Treble);
    play(QStringLiteral("one.wav"));
    EXPECT_TRUE(gain(QStringLiteral("vornbass")).isEmpty()); // flat: no filter yet

    bass.setVolume(100);
    treble.setVolume(25);
    EXPECT_EQ(gain(QStringLiteral("vornbass")), QStringLiteral("12.0"));
    EXPECT_EQ(gain(QStringLiteral("vorntreble")), QStringLiteral("-6.0"));

    play(QStringLiteral("two.wav"));
    EXPECT_EQ(gain(QStringLiteral("vornbass")), QStringLiteral("12.0"));
    EXPECT_EQ(gain(QStringLiteral("vorntreble")), QStringLiteral("-6.0"));

    // Muting a tone line sets it flat; unmuting brings it back.
    bass.setMuted(true);
    EXPECT_EQ(gain(QStringLiteral("vornbass")), QStringLiteral("0.0"));
    bass.setMuted(false);
    EXPECT_EQ(gain(QStringLiteral("vornbass")), QStringLiteral("12.0"));
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kPlaying);
}

} // namespace
