#include "loudnesshelper.h"

#include "analyser/measureanswer.h"
#include "core/resourcefolders.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <optional>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace {

// How long a helper may take to start, and to end once told to.
constexpr int kStartMs = 10000;
constexpr int kEndMs = 1000;
// How often a measurement looks at `stop` while it waits for the helper.
constexpr int kLookMs = 100;

LoudnessResult unavailable(const QString &why)
{
    return {LoudnessResult::Outcome::Unavailable, std::nullopt, why};
}

// User and system time of a process, from /proc/PID/stat.
std::optional<qint64> processorMs(qint64 pid)
{
#ifdef Q_OS_LINUX
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = stat.read(1024);
    // The name in parentheses may hold spaces; the fields after it start
    // with the state, and user and system time are the 12th and 13th.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    bool userOk = false;
    bool systemOk = false;
    const qint64 ticks =
        fields.value(11).toLongLong(&userOk) + fields.value(12).toLongLong(&systemOk);
    const long perSecond = sysconf(_SC_CLK_TCK);
    if (!userOk || !systemOk || perSecond <= 0)
        return std::nullopt;
    return ticks * 1000 / perSecond;
#else
    Q_UNUSED(pid);
    return std::nullopt;
#endif
}

} // namespace

LoudnessHelper::LoudnessHelper(QString program, int silenceMs)
    : m_program(std::move(program))
    , m_silenceMs(silenceMs)
{}

LoudnessHelper::~LoudnessHelper()
{
    end();
}

QString LoudnessHelper::findProgram()
{
    return QStandardPaths::findExecutable(
        QLatin1String(kProgramName),
        ResourceFolders::libraryFolders(QCoreApplication::applicationDirPath()));
}

qint64 LoudnessHelper::processId() const
{
    return m_process ? m_process->processId() : 0;
}

bool LoudnessHelper::ensureRunning()
{
    if (m_process && m_process->state() == QProcess::Running)
        return true;
    end();
    if (!m_problem.isEmpty())
        return false;
    if (m_program.isEmpty()) {
        m_problem = QStringLiteral("the loudness helper %1 was not found beside the program")
                        .arg(QLatin1String(kProgramName));
        return false;
    }
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(m_program);
    // What the decoders may print is of no use to anyone, and an unread
    // pipe that fills up would stop the helper.
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->start();
    if (!m_process->waitForStarted(kStartMs)) {
        m_problem = QStringLiteral("the loudness helper %1 did not start: %2")
                        .arg(m_program, m_process->errorString());
        end();
        return false;
    }
    return true;
}

void LoudnessHelper::end()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        // Between files the helper ends at the end of its input; in the
        // middle of one it is stopped at once.
        m_process->closeWriteChannel();
        if (!m_process->waitForFinished(kEndMs)) {
            m_process->kill();
            m_process->waitForFinished(kEndMs);
        }
    }
    m_process.reset();
}

qint64 LoudnessHelper::busyMs(const QElapsedTimer &since) const
{
    if (const std::optional<qint64> used = processorMs(processId()))
        return *used;
    return since.elapsed();
}

void LoudnessHelper::rest()
{
    end();
    m_problem.clear();
}

LoudnessResult LoudnessHelper::measure(const QString &path, const std::atomic<bool> &stop)
{
    // No file name holds a NUL, and the request would end at it.
    if (path.contains(QChar(0)))
        return LoudnessResult::notMeasured(QStringLiteral("not a regular file"));
    if (!ensureRunning())
        return unavailable(m_problem);
    m_process->write(MeasureAnswer::request(path));
    QElapsedTimer asked;
    asked.start();
    qint64 lastWord = busyMs(asked);
    for (;;) {
        while (m_process->canReadLine()) {
            const QByteArray line = m_process->readLine().trimmed();
            if (MeasureAnswer::isProgress(line)) {
                lastWord = busyMs(asked);
                continue;
            }
            if (std::optional<LoudnessResult> result = MeasureAnswer::parse(line))
                return *result;
            m_problem = QStringLiteral("the loudness helper %1 answered \"%2\"")
                            .arg(m_program, QString::fromUtf8(line.left(80)));
            end();
            return unavailable(m_problem);
        }
        if (stop.load()) {
            m_process->kill();
            end();
            return {LoudnessResult::Outcome::Stopped, std::nullopt, {}};
        }
        if (m_process->state() == QProcess::NotRunning) {
            const bool crashed = m_process->exitStatus() == QProcess::CrashExit;
            const int code = m_process->exitCode();
            end();
            // A crash belongs to the file that was decoded; a helper that
            // ends by itself cannot run here (a library missing, say).
            if (crashed)
                return LoudnessResult::notMeasured(
                    QStringLiteral("the decoder crashed on this file"));
            m_problem = QStringLiteral("the loudness helper %1 ended with code %2")
                            .arg(m_program)
                            .arg(code);
            return unavailable(m_problem);
        }
        if (busyMs(asked) - lastWord > m_silenceMs) {
            m_process->kill();
            end();
            return LoudnessResult::notMeasured(
                QStringLiteral("the decoder worked %1 s without getting on")
                    .arg(m_silenceMs / 1000.0));
        }
        m_process->waitForReadyRead(kLookMs);
    }
}
