#include "mpvlink.h"

#include "core/datalocations.h"
#include "core/numeric.h"
#include "mpvsocketpath.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>

#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace {

const QString kLevelFilterLabel = QStringLiteral("vornlevel");
const QString kMpvOptionsVariable = QStringLiteral("VORN_MPV_OPTIONS");

// How long WinampStartPlay waits for the file to play. The window waits with
// it: a file that takes longer reads as starting (isStarting) until it plays,
// rather than hold the window for as long as mpv opens and probes it.
constexpr int kLoadWaitMs = 20;
// How long a started file may stay loading before it counts as failed.
constexpr int kLoadingLimitMs = 10000;
constexpr int kFadeStepMs = 40;
constexpr int kStartPollMs = 50;
constexpr int kQuitWaitMs = 2000;
// How long WinampStopButton waits for the player to have let go of the file.
constexpr int kStopWaitMs = 1000;
// How long WinampPauseButton waits for the position of a paused file to hold.
constexpr int kPauseSettleMs = 300;
// How many alternative socket paths a start tries when others are held.
constexpr int kSocketVariants = 10;

// Options that keep the player to the files VORN hands it: no user
// configuration or scripts, no web download hook, and no following of
// references from a file to other files or protocols (which also keeps mpv
// from expanding play lists and EDL files).
const QStringList kLockedDownOptions{
    QStringLiteral("--no-config"),         QStringLiteral("--ytdl=no"),
    QStringLiteral("--load-scripts=no"),   QStringLiteral("--access-references=no"),
    QStringLiteral("--autoload-files=no"),
};

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

// An absolute path of a local regular file: mpv takes anything else for a URL
// or a protocol, and would read a device or a FIFO without end.
bool isLocalFile(const QString &file)
{
#ifdef Q_OS_WIN
    if (!QDir::isAbsolutePath(file) || file.startsWith(QLatin1Char(':')))
        return false;
#else
    if (!file.startsWith(QLatin1Char('/')))
        return false;
#endif
    return QFileInfo(file).isFile();
}

// True when some process accepts connections on `path`.
bool hasListener(const QString &path)
{
    QLocalSocket probe;
    probe.connectToServer(path);
    return probe.waitForConnected(MpvIpc::kProbeTimeoutMs);
}

} // namespace

QString defaultMpvSocketPath()
{
    return mpvSocketPathFor(programFolder());
}

MpvLink::MpvLink(const QString &socketPath)
    : m_basePath(fitSocketPath(socketPath))
    , m_ipc(m_basePath)
{
    m_ipc.setEventHandler([this](const QJsonObject &event) { handleEvent(event); });
}

MpvLink::~MpvLink()
{
    endStartedPlayer();
}

qint64 MpvLink::startedPlayerPid() const
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return 0;
    return m_process->processId();
}

void MpvLink::endStartedPlayer()
{
    m_ipc.disconnectFromPlayer();
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        // SIGKILL: a stopped or hung player would never act on a gentler signal.
        m_process->kill();
        m_process->waitForFinished(kQuitWaitMs);
    }
    m_process.reset();
    // A player that was killed leaves its socket file behind.
    QFile::remove(m_ipc.socketPath());
}

QString MpvLink::freeSocketPath() const
{
    for (int n = 0; n < kSocketVariants; ++n) {
        const QString candidate = socketPathVariant(m_basePath, n);
        if (!hasListener(candidate))
            return candidate;
    }
    return socketPathVariant(m_basePath, kSocketVariants);
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
    beginStart(path);
    return finishStart(path);
}

void MpvLink::beginStart(const QString &path)
{
    m_launchClock.start();
    if (FindWinamp())
        m_launch = Launch::Answering;
    else
        m_launch = launch(path) ? Launch::Running : Launch::Failed;
}

bool MpvLink::finishStart(const QString &path)
{
    const Launch launched = std::exchange(m_launch, Launch::None);
    switch (launched) {
    case Launch::None:
        return StartWinamp(path);
    case Launch::Answering:
        return true;
    case Launch::Failed:
        return false;
    case Launch::Running:
        break;
    }
    return waitUntilAnswering();
}

bool MpvLink::launch(const QString &path)
{
    // The player of ours that did not answer is given up before another
    // starts, so that there is never a second one, and the new one gets a
    // path that no silent or foreign listener holds.
    endStartedPlayer();
    m_ipc.setSocketPath(freeSocketPath());
    QStringList arguments{QStringLiteral("--idle=yes"), QStringLiteral("--no-video"),
                          QStringLiteral("--force-window=no"), QStringLiteral("--no-terminal"),
                          // A song that has played to its end is held, paused at
                          // its end, rather than closed: closing waits for the
                          // sound card to play out, and mpv answers nobody for
                          // those tenths of a second.
                          QStringLiteral("--keep-open=yes"),
                          QStringLiteral("--input-ipc-server=") + m_ipc.socketPath()};
    arguments += kLockedDownOptions;
    arguments += QProcess::splitCommand(qEnvironmentVariable(qPrintable(kMpvOptionsVariable)));

    auto process = std::make_unique<QProcess>();
    process->setProgram(path.isEmpty() ? QStringLiteral("mpv") : path);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
#ifdef Q_OS_LINUX
    const pid_t vorn = ::getpid();
    process->setChildProcessModifier([vorn] {
        // Its own process group, so that a terminal's Ctrl+C reaches VORN,
        // which then closes the player; and it ends when VORN ends, however
        // VORN ends.
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != vorn)
            ::_exit(127);
    });
#endif
    process->start();
    if (!process->waitForStarted(kStartTimeoutMs))
        return false;
    m_process = std::move(process);
    return true;
}

bool MpvLink::waitUntilAnswering()
{
    if (!m_process)
        return false;
    const qint64 pid = m_process->processId();

    while (m_launchClock.elapsed() < kStartTimeoutMs) {
        if (FindWinamp())
            return true;
        if (m_process->state() == QProcess::NotRunning || !processRunning(pid))
            break;
        waitResponsive(kStartPollMs);
    }
    if (FindWinamp())
        return true;
    endStartedPlayer();
    return false;
}

void MpvLink::CloseWinamp()
{
    if (call(command({QStringLiteral("quit")})).answered())
        m_ipc.waitForDisconnected(kQuitWaitMs);
    m_ipc.disconnectFromPlayer();
    if (m_process && m_process->state() != QProcess::NotRunning)
        m_process->waitForFinished(kQuitWaitMs);
    endStartedPlayer();
    forgetStart();
    m_listFile.clear();
    m_listFileRefused = false;
    m_pausedByUser = false;
}

void MpvLink::WinampClearList()
{
    if (call(command({QStringLiteral("playlist-clear")})).outcome != MpvIpc::Outcome::NoAnswer)
        m_listFile.clear();
}

void MpvLink::WinampAddFile(const QString &file)
{
    if (!FindWinamp())
        return;
    m_listFileRefused = !isLocalFile(file);
    m_listFile = m_listFileRefused ? QString() : file;
}

void MpvLink::WinampStartPlay()
{
    playListFile();
}

void MpvLink::playListFile()
{
    if (m_listFile.isEmpty()) {
        // A refused entry ends what played, as a file that fails to load does.
        if (m_listFileRefused)
            WinampStopButton();
        return;
    }
    // Filters set between files are rebuilt with the next one, so the level
    // is put in place while nothing plays.
    call(command({QStringLiteral("af"), QStringLiteral("add"),
                  QStringLiteral("@%1:lavfi-volume=volume=%2")
                      .arg(kLevelFilterLabel, levelText(m_levelDb))}));
    if (m_toneSet) {
        applyTone(ToneBand::Bass);
        applyTone(ToneBand::Treble);
    }
    // A song at unity gain has no gain filter at all.
    if (std::abs(m_songGainDb) < 0.005)
        call(command({QStringLiteral("af"), QStringLiteral("remove"), QStringLiteral("@vorngain")}));
    else
        call(command({QStringLiteral("af"), QStringLiteral("add"),
                      QStringLiteral("@vorngain:lavfi-volume=volume=%1dB:precision=float")
                          .arg(QString::number(m_songGainDb, 'f', 2))}));
    const MpvIpc::Reply reply =
        call(command({QStringLiteral("loadfile"), m_listFile, QStringLiteral("replace")}));
    if (!reply.answered())
        return;
    // Taken before anything else is read: the file's events follow the reply.
    m_startingEntry = std::max<qint64>(
        0, reply.data.toObject().value(QLatin1String("playlist_entry_id")).toInteger(0));
    m_startingEntrySeen = false;
    // Until the file plays, it reads as playing at 1 ms with no length, so
    // that nobody takes the previous song's figures for its.
    m_startingDeadline.setRemainingTime(kLoadingLimitMs);
    // The pause flag outlives a file in mpv, and mpv pauses a song it holds at
    // its end: a new song starts playing. Only once the file is replaced, or
    // mpv would pause the held song again at once.
    call(command({QStringLiteral("set_property"), QStringLiteral("pause"), false}));
    m_pausedByUser = false;
    m_ipc.waitForEvents(kLoadWaitMs, [this] { return m_startingEntry < 0; });
}

bool MpvLink::hasEnded(const MpvIpc::Reply &pause)
{
    // A song held at its end (see --keep-open) reads as ended once mpv has
    // paused it there; mpv reads eof-reached while the last of the sound is
    // still playing, so the pause tells that it has played out. A pause of the
    // user's own in those last moments is a pause.
    if (m_pausedByUser || !pause.answered() || !pause.data.toBool())
        return false;
    const MpvIpc::Reply eof =
        call(command({QStringLiteral("get_property"), QStringLiteral("eof-reached")}));
    return eof.answered() && eof.data.toBool();
}

bool MpvLink::hasEnded()
{
    if (m_pausedByUser)
        return false;
    return hasEnded(call(command({QStringLiteral("get_property"), QStringLiteral("pause")})));
}

bool MpvLink::isStopped(const MpvIpc::Reply &idle, const MpvIpc::Reply &time) const
{
    if (isStarting())
        return false;
    // mpv reads idle as soon as it was told to stop, while the file may still
    // be loaded, and the file is gone a moment before mpv reads idle at the
    // end of a song: either one means stopped.
    return idle.data.toBool() || !time.answered() || !time.data.isDouble();
}

int MpvLink::WinampIsPlaying()
{
    const MpvIpc::Reply idle =
        call(command({QStringLiteral("get_property"), QStringLiteral("idle-active")}));
    if (!idle.answered())
        return kStopped;
    const MpvIpc::Reply time =
        call(command({QStringLiteral("get_property"), QStringLiteral("playback-time")}));
    if (time.outcome == MpvIpc::Outcome::NoAnswer || isStopped(idle, time))
        return kStopped;
    const MpvIpc::Reply pause =
        call(command({QStringLiteral("get_property"), QStringLiteral("pause")}));
    if (!pause.answered() || hasEnded(pause))
        return kStopped;
    return pause.data.toBool() ? kPaused : kPlaying;
}

int MpvLink::WinampGetPosition()
{
    const MpvIpc::Reply idle =
        call(command({QStringLiteral("get_property"), QStringLiteral("idle-active")}));
    if (!idle.answered())
        return 0;
    const MpvIpc::Reply time =
        call(command({QStringLiteral("get_property"), QStringLiteral("playback-time")}));
    if (time.outcome == MpvIpc::Outcome::NoAnswer || isStopped(idle, time))
        return 0;
    if (isStarting() || !time.answered() || !time.data.isDouble())
        return 1; // still loading
    if (hasEnded())
        return 0;
    // A loaded file reads at least 1 ms: 0 means the song has ended.
    return std::max(1, clampToInt(roundHalfEven(time.data.toDouble() * 1000.0)));
}

int MpvLink::WinampGetLength()
{
    const MpvIpc::Reply reply =
        call(command({QStringLiteral("get_property"), QStringLiteral("duration")}));
    if (isStarting() || !reply.answered() || !reply.data.isDouble() || hasEnded())
        return 0;
    return std::max(0, clampToInt(roundHalfEven(reply.data.toDouble())));
}

void MpvLink::WinampPlayButton()
{
    const MpvIpc::Reply idle =
        call(command({QStringLiteral("get_property"), QStringLiteral("idle-active")}));
    if (!idle.answered())
        return;
    if ((idle.data.toBool() && !isStarting()) || hasEnded()) {
        playListFile();
        return;
    }
    if (call(command({QStringLiteral("set_property"), QStringLiteral("pause"), false})).answered())
        m_pausedByUser = false;
}

void MpvLink::WinampPauseButton()
{
    const MpvIpc::Reply idle =
        call(command({QStringLiteral("get_property"), QStringLiteral("idle-active")}));
    if (!idle.answered() || (idle.data.toBool() && !isStarting()) || hasEnded())
        return;
    if (!call(command({QStringLiteral("cycle"), QStringLiteral("pause")})).answered())
        return;
    const MpvIpc::Reply pause =
        call(command({QStringLiteral("get_property"), QStringLiteral("pause")}));
    m_pausedByUser = pause.answered() && pause.data.toBool();
    if (m_pausedByUser)
        waitUntilPauseHolds();
}

void MpvLink::waitUntilPauseHolds()
{
    // mpv answers the pause before its play loop has taken the final position
    // of the paused file; a caller must read the position that then holds.
    const QDeadlineTimer deadline(kPauseSettleMs);
    QJsonValue last;
    while (!deadline.hasExpired()) {
        const MpvIpc::Reply time =
            call(command({QStringLiteral("get_property"), QStringLiteral("playback-time")}),
                 MpvIpc::kProbeTimeoutMs);
        if (!time.answered() || !time.data.isDouble())
            return;
        if (time.data == last)
            return;
        last = time.data;
        m_ipc.waitForEvents(20, [] { return false; });
    }
}

void MpvLink::WinampStopButton()
{
    forgetStart();
    m_pausedByUser = false;
    if (!call(command({QStringLiteral("stop")})).answered())
        return;
    // mpv answers the command, and even reads idle, before it has let go of
    // the file: wait for both, briefly, so that the next query reads the
    // player as stopped with no position and no length.
    const QDeadlineTimer deadline(kStopWaitMs);
    while (!deadline.hasExpired()) {
        const MpvIpc::Reply idle =
            call(command({QStringLiteral("get_property"), QStringLiteral("idle-active")}),
                 MpvIpc::kProbeTimeoutMs);
        if (!idle.answered())
            return;
        const MpvIpc::Reply path =
            call(command({QStringLiteral("get_property"), QStringLiteral("path")}),
                 MpvIpc::kProbeTimeoutMs);
        if (path.outcome == MpvIpc::Outcome::NoAnswer)
            return;
        if (idle.data.toBool() && !path.answered())
            return;
        m_ipc.waitForEvents(5, [] { return false; });
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

int MpvLink::volumePercent()
{
    const MpvIpc::Reply volume =
        call(command({QStringLiteral("get_property"), QStringLiteral("volume")}));
    if (!volume.answered() || !volume.data.isDouble())
        return -1;
    return static_cast<int>(std::lround(std::clamp(volume.data.toDouble(), 0.0, 100.0)));
}

void MpvLink::setVolumePercent(int percent)
{
    setVolume(std::clamp(percent, 0, 100));
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
