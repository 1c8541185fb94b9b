#include "playmonitor.h"

#include "core/numeric.h"
#include "core/textlimit.h"
#include "library/songlistmodel.h"
#include "playbacksequencer.h"
#include "playdisplay.h"
#include "playerlink.h"

#include <cmath>

QString formatPlayTime(double seconds)
{
    const qint64 hundredths = std::isfinite(seconds) && seconds > 0
                                  ? static_cast<qint64>(std::floor(seconds * 100.0 + 1e-6))
                                  : 0;
    const qint64 minutes = hundredths / 6000;
    const qint64 secs = hundredths / 100 % 60;
    const qint64 rest = hundredths % 100;
    return QStringLiteral("%1:%2:%3")
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(secs, 2, 10, QLatin1Char('0'))
        .arg(rest, 2, 10, QLatin1Char('0'));
}

PlayMonitor::PlayMonitor(PlaybackSequencer &sequencer, SongListModel &songs, PlayDisplay &display)
    : m_sequencer(sequencer)
    , m_songs(songs)
    , m_display(display)
{}

void PlayMonitor::tmrMonitor_Timer()
{
    PlayerLink &link = m_sequencer.link();
    double p = link.WinampGetPosition() / 1000.0;
    if (p <= 0) {
        // A song paused before the player read its first position also reads
        // 0; it has not ended, and moving on would start the next one.
        if (link.WinampIsPlaying() == PlayerLink::kPaused)
            return;
        endOfSong();
        return;
    }
    m_sequencer.playerHealthy();

    const int length = m_sequencer.SongLength();
    if (ShowRemainingTime)
        p = std::abs(length - p);
    const double progress = length == 0 ? -1.0 : p / length * 100.0;
    if (progress < 0.0 || progress > 100.0) {
        // No length yet, or the song outlived it: ask again, show it next tick.
        m_sequencer.setSongLength(link.WinampGetLength());
        return;
    }
    m_display.setProgress(static_cast<int>(roundHalfEven(progress)));
    m_display.setTimeText(formatPlayTime(p));
    showSong();
}

void PlayMonitor::showSong()
{
    const int current = m_songs.CurrentSong();
    const bool hasRow = current > 0 && current <= m_songs.rowCount();
    // The caption and the banner show the start of a huge field, as the
    // song list does, and never decode or lay out the whole.
    const auto shown = [this, current](SongColumn column) {
        return elidedUtf8(m_songs.row(current - 1).fieldUtf8(column), kLongestFieldText);
    };
    if (m_display.isMinimized() && hasRow) {
        m_display.setCaption(shown(chTitle) + QLatin1String(" - VORN"));
        return;
    }
    m_display.setCaption(QStringLiteral("VORN"));
    if (!hasRow) {
        m_display.setBannerText(QString());
        return;
    }
    QString text = shown(chTitle);
    if (!m_songs.row(current - 1).fieldUtf8(chArtist).isEmpty())
        text += QLatin1String(" - ") + shown(chArtist);
    m_display.setBannerText(text);
}

void PlayMonitor::endOfSong()
{
    // A player that stopped answers position 0 as well; only a player that is
    // still there has really reached the end of the song.
    if (!m_sequencer.link().FindWinamp()) {
        m_sequencer.playerGone();
        return;
    }
    m_sequencer.playNextAfterEnd();
}
