#include "mpvlink.h"

#include "core/datalocations.h"
#include "core/numeric.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <climits>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#endif

namespace {

const QString kLevelFilterLabel = QStringLiteral("vornlevel");
const QString kMpvOptionsVariable = QStringLiteral("VORN_MPV_OPTIONS");

// How long WinampStartPlay waits for the file to play.
constexpr int kLoadWaitMs = 2000;
// How long a started file may stay loading before it counts as failed.
constexpr int kLoadingLimitMs = 10000;
constexpr int kFadeStepMs = 40;
constexpr int kStartPollMs = 50;
constexpr int kQuitWaitMs = 2000;

QJsonArray command(std::initializer_list<QJsonValue> parts)
{
    return QJsonArray(parts);
}

// Lets the application handle its events, except user input, for `ms`.
void waitResponsive(int ms)
{
    if (!QCoreApplication::instance()) {
        QThread::msleep(static_cast<unsigned long>(ms));
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool processRunning(qint64 pid)
{
#if defined(Q_OS_LINUX)
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    // The state follows the parenthesised command name; Z is an exited child
    // that nobody has reaped yet.
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close < 0 || close + 2 >= text.size() || text.at(close + 2) != 'Z';
#elif defined(Q_OS_UNIX)
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#else
    Q_UNUSED(pid);
    return true;
#endif
}

QString levelText(double db)
{
    return QString::number(db, 'f', 1) + QLatin1String("dB");
}

int clampToInt(qint64 value)
{
    return static_cast<int>(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

} // namespace

QString defaultMpvSocketPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\pipe\\vorn-mpv");
#else
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = programFolder();
    return QDir(folder).filePath(QStringLiteral("vorn-mpv.sock"));
#endif
}

MpvLink::MpvLink(const QString &socketPath)
    : m_ipc(socketPath)
{
    m_ipc.setEventHandler([this](const QJsonObject &event) { handleEvent(event); });
}

QString MpvLink::playerName() const
{
    return QStringLiteral("mpv");
}

MpvIpc::Reply MpvLink::call(const QJsonArray &command, int timeoutMs)
{
    MpvIpc::Reply reply = m_ipc.request(command, timeoutMs);
    if (reply.outcome == MpvIpc::Outcome::NoAnswer)
        forgetStart();
    return reply;
}

void MpvLink::handleEvent(const QJsonObject &event)
{
    if (m_startingEntry < 0)
        return;
    const QString name = event.value(QLatin1String("event")).toString();
    const qint64 entry = event.value(QLatin1String("playlist_entry_id")).toInteger(-1);
    // An mpv that does not number its entries (entry 0) is matched by order.
    const bool ours = m_startingEntry == 0 || entry == m_startingEntry;
    if (name == QLatin1String("start-file") && ours)
        m_startingEntrySeen = true;
    else if (name == QLatin1String("end-file") && ours)
        forgetStart();
    else if (name == QLatin1String("playback-restart") && m_startingEntrySeen)
        forgetStart();
}

bool MpvLink::isStarting() const
{
    return m_startingEntry >= 0 && !m_startingDeadline.hasExpired();
}

void MpvLink::forgetStart()
{
    m_startingEntry = -1;
    m_startingEntrySeen = false;
}

bool MpvLink::FindWinamp()
{
    const MpvIpc::Reply reply =
        call(command({QStringLiteral("get_property"), QStringLiteral("pid")}));
    if (!reply.answered())
        return false;
    const qint64 pid = reply.data.toInteger();
    if (pid != m_playerPid) {
        // Another player instance: nothing of the last one is loading here.
        m_playerPid = pid;
        forgetStart();
    }
    return true;
}

bool MpvLink::StartWinamp(const QString &path)
{
    if (FindWinamp())
        return true;

    QStringList arguments{QStringLiteral("--idle=yes"), QStringLiteral("--no-video"),
                          QStringLiteral("--force-window=no"), QStringLiteral("--no-terminal"),
                          // The end of a song is seen as the player going idle.
                          QStringLiteral("--keep-open=no"),
                          QStringLiteral("--input-ipc-server=") + m_ipc.socketPath()};
    arguments += QProcess::splitCommand(qEnvironmentVariable(qPrintable(kMpvOptionsVariable)));

    QProcess process;
    process.setProgram(path.isEmpty() ? QStringLiteral("mpv") : path);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return false;

    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStartTimeoutMs) {
        if (FindWinamp())
            return true;
        if (pid > 0 && !processRunning(pid))
            return FindWinamp();
        waitResponsive(kStartPollMs);
    }
    return FindWinamp();
}

void MpvLink::CloseWinamp()
{
    if (call(command({QStringLiteral("quit")})).answered())
        m_ipc.waitForDisconnected(kQuitWaitMs);
    m_ipc.disconnectFromPlayer();
    forgetStart();
    m_listFile.clear();
}

void MpvLink::WinampClearList()
{
    if (call(command({QStringLiteral("playlist-clear")})).outcome != MpvIpc::Outcome::NoAnswer)
        m_listFile.clear();
}

void MpvLink::WinampAddFile(const QString &file)
{
    if (FindWinamp())
        m_listFile = file;
}

void MpvLink::WinampStartPlay()
{
    playListFile();
}

void MpvLink::playListFile()
{
    if (m_listFile.isEmpty())
        return;
    // The pause flag outlives a file in mpv; a new song starts playing.
    if (!call(command({QStringLiteral("set_property"), QStringLiteral("pause"), false})).answered())
        return;
    // Filters set between files are rebuilt with the next one, so the level
    // is put in place while nothing plays.
    call(command({QStringLiteral("af"), QStringLiteral("add"),
                  QStringLiteral("@%1:lavfi-volume=volume=%2")
                      .arg(kLevelFilterLabel, levelText(m_levelDb))}));
    if (m_toneSet) {
        applyTone(ToneBand::Bass);
        applyTone(ToneBand::Treble);
    }
    const MpvIpc::Reply reply =
        call(command({QStringLiteral("loadfile"), m_listFile, QStringLiteral("replace")}));
    if (!reply.answered())
        return;
    m_startingEntry = std::max<qint64>(
        0, reply.data.toObject().value(QLatin1String("playlist_entry_id")).toInteger(0));
    m_startingEntrySeen = false;
    m_startingDeadline.setRemainingTime(kLoadingLimitMs);
    m_ipc.waitForEvents(kLoadWaitMs, [this] { return m_startingEntry < 0; });
}

int MpvLink::WinampIsPlaying()
{
    const MpvIpc::Reply idle =
        call(command({QStringLiteral("get_property"), QStringLiteral("idle-active")}));
    if (!idle.answered())
        return kStopped;
    if (idle.data.toBool() && !isStarting())
        return kStopped;
    const MpvIpc::Reply pause =
        call(command({QStringLiteral("get_property"), QStringLiteral("pause")}));
    if (!pause.answered())
        return kStopped;
    return pause.data.toBool() ? kPaused : kPlaying;
}

int MpvLink::WinampGetPosition()
{
    const MpvIpc::Reply reply =
        call(command({QStringLiteral("get_property"), QStringLiteral("playback-time")}));
    if (reply.answered() && reply.data.isDouble()) {
        // A loaded file reads at least 1 ms: 0 means the song has ended.
        return std::max(1, clampToInt(roundHalfEven(reply.data.toDouble() * 1000.0)));
    }
    if (reply.outcome == MpvIpc::Outcome::Refused && isStarting())
        return 1;
    return 0;
}

int MpvLink::WinampGetLength()
{
    const MpvIpc::Reply reply =
        call(command({QStringLiteral("get_property"), QStringLiteral("duration")}));
    if (!reply.answered() || !reply.data.isDouble())
        return 0;
    return std::max(0, clampToInt(roundHalfEven(reply.data.toDouble())));
}

void MpvLink::WinampPlayButton()
{
    const MpvIpc::Reply idle =
        call(command({QStringLiteral("get_property"), QStringLiteral("idle-active")}));
    if (!idle.answered())
        return;
    if (idle.data.toBool() && !isStarting()) {
        playListFile();
        return;
    }
    call(command({QStringLiteral("set_property"), QStringLiteral("pause"), false}));
}

void MpvLink::WinampPauseButton()
{
    const MpvIpc::Reply idle =
        call(command({QStringLiteral("get_property"), QStringLiteral("idle-active")}));
    if (!idle.answered() || (idle.data.toBool() && !isStarting()))
        return;
    call(command({QStringLiteral("cycle"), QStringLiteral("pause")}));
}

void MpvLink::WinampStopButton()
{
    forgetStart();
    if (!call(command({QStringLiteral("stop")})).answered())
        return;
    // mpv answers the command before it has gone idle: wait for that, briefly,
    // so that the next query already reads the player as stopped.
    const QDeadlineTimer deadline(1000);
    while (!deadline.hasExpired()) {
        const MpvIpc::Reply idle =
            call(command({QStringLiteral("get_property"), QStringLiteral("idle-active")}),
                 MpvIpc::kProbeTimeoutMs);
        if (!idle.answered() || idle.data.toBool())
            return;
        QThread::msleep(5);
    }
}

bool MpvLink::setVolume(double volume)
{
    return call(command({QStringLiteral("set_property"), QStringLiteral("volume"), volume}))
        .answered();
}

void MpvLink::WinampFadeOutStop()
{
    if (WinampIsPlaying() != kPlaying) {
        WinampStopButton();
        return;
    }
    const MpvIpc::Reply volume =
        call(command({QStringLiteral("get_property"), QStringLiteral("volume")}));
    if (!volume.answered() || !volume.data.isDouble())
        return;
    const double startVolume = volume.data.toDouble();

    QElapsedTimer clock;
    clock.start();
    for (qint64 elapsed = clock.elapsed(); elapsed < kFadeOutMs; elapsed = clock.elapsed()) {
        const double remaining = 1.0 - static_cast<double>(elapsed) / kFadeOutMs;
        if (!setVolume(startVolume * remaining))
            return; // the player is gone
        waitResponsive(kFadeStepMs);
    }
    setVolume(0.0);
    WinampStopButton();
    setVolume(startVolume);
}

void MpvLink::stepVolume(int delta)
{
    const MpvIpc::Reply volume =
        call(command({QStringLiteral("get_property"), QStringLiteral("volume")}));
    if (!volume.answered() || !volume.data.isDouble())
        return;
    setVolume(std::clamp(volume.data.toDouble() + delta, 0.0, 100.0));
}

void MpvLink::WinampVolumeUp()
{
    stepVolume(kVolumeStep);
}

void MpvLink::WinampVolumeDown()
{
    stepVolume(-kVolumeStep);
}

void MpvLink::stepLevel(double deltaDb)
{
    const double level = std::clamp(m_levelDb + deltaDb, kMinLevelDb, kMaxLevelDb);
    // The filter changes its level in place; mpv reports that as an error even
    // when it worked, and refuses while no file plays (the next start applies
    // the level then). Only a missing player leaves the level as it was.
    const MpvIpc::Reply reply = call(command({QStringLiteral("af-command"), kLevelFilterLabel,
                                              QStringLiteral("volume"), levelText(level)}));
    if (reply.outcome != MpvIpc::Outcome::NoAnswer)
        m_levelDb = level;
}

void MpvLink::WinampLevelUp()
{
    stepLevel(kLevelStepDb);
}

void MpvLink::WinampLevelDown()
{
    stepLevel(-kLevelStepDb);
}

void MpvLink::setToneGain(ToneBand band, double gainDb)
{
    (band == ToneBand::Bass ? m_bassDb : m_trebleDb) = gainDb;
    m_toneSet = true;
    applyTone(band);
}

void MpvLink::applyTone(ToneBand band)
{
    // Adding a filter under a label that is in the chain replaces it there,
    // on the playing file too.
    const bool bass = band == ToneBand::Bass;
    call(command({QStringLiteral("af"), QStringLiteral("add"),
                  QStringLiteral("@%1:lavfi-%2=g=%3")
                      .arg(bass ? QStringLiteral("vornbass") : QStringLiteral("vorntreble"),
                           bass ? QStringLiteral("bass") : QStringLiteral("treble"),
                           QString::number(bass ? m_bassDb : m_trebleDb, 'f', 1))}));
}
