#include "loudnessservice.h"

#include "songgain.h"

#include <QFile>
#include <QTimer>

#include <algorithm>

LoudnessService::LoudnessService(QString cacheFile, std::function<void(const QString &)> log,
                                 LoudnessWorker::Measure measure, QObject *parent)
    : QObject(parent)
    , m_cacheFile(std::move(cacheFile))
    , m_log(std::move(log))
    , m_worker(std::make_unique<LoudnessWorker>(
          std::move(measure),
          [this](const QString &path, bool useGainTags) { return knownStamp(path, useGainTags); }))
    , m_writeTimer(new QTimer(this))
{
    m_writeTimer->setSingleShot(true);
    m_writeTimer->setInterval(kWriteDelayMs);
    connect(m_writeTimer, &QTimer::timeout, this, [this] {
        if (!m_dirty || m_closed || (m_writable && !m_writable()))
            return;
        m_worker->requestWrite(m_cacheFile, m_entries);
        m_dirty = false;
    });
    connect(m_worker.get(), &LoudnessWorker::doneAvailable, this, &LoudnessService::takeResults,
            Qt::QueuedConnection);
}

LoudnessService::~LoudnessService()
{
    close();
}

void LoudnessService::load()
{
    QFile file(m_cacheFile);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        m_log(QStringLiteral("Loudness cache %1 not readable: %2; songs are measured again")
                  .arg(m_cacheFile, file.errorString()));
        return;
    }
    LoudnessCacheFile::Parsed parsed = LoudnessCacheFile::parse(file.readAll());
    {
        const QMutexLocker lock(&m_entriesMutex);
        m_entries = std::move(parsed.entries);
    }
    if (parsed.badHeader) {
        m_log(QStringLiteral("Loudness cache %1 damaged (not a loudness cache); it is rebuilt")
                  .arg(m_cacheFile));
        m_dirty = true;
    } else if (parsed.damagedLines > 0) {
        m_log(QStringLiteral("Loudness cache %1 damaged (%2 lines unreadable); it is rebuilt")
                  .arg(m_cacheFile)
                  .arg(parsed.damagedLines));
        m_dirty = true;
    }
    // The rebuilt file replaces the damaged one soon, not only at closing.
    if (m_dirty)
        m_writeTimer->start();
}

void LoudnessService::setOptions(const LoudnessSettings::Options &options)
{
    m_options = options;
}

std::optional<LoudnessMeasurement> LoudnessService::measurementOf(const QString &path) const
{
    const auto found = m_entries.constFind(path);
    if (found == m_entries.cend() || !found->measurement)
        return std::nullopt;
    if (found->measurement->source == LoudnessMeasurement::Source::GainTags
        && !m_options.useGainTags)
        return std::nullopt;
    if (fileStampOf(path) != std::optional(found->stamp))
        return std::nullopt;
    return found->measurement;
}

double LoudnessService::gainFor(const QString &path) const
{
    if (!m_options.even)
        return 0.0;
    return SongGain::gainDb(measurementOf(path), m_options.targetLufs);
}

std::optional<FileStamp> LoudnessService::knownStamp(const QString &path, bool useGainTags) const
{
    const QMutexLocker lock(&m_entriesMutex);
    const auto found = m_entries.constFind(path);
    if (found == m_entries.cend())
        return std::nullopt;
    // A song known only from its tags is measured once tags are not wanted.
    if (found->measurement && found->measurement->source == LoudnessMeasurement::Source::GainTags
        && !useGainTags)
        return std::nullopt;
    return found->stamp;
}

void LoudnessService::setWork(SongFiles playing, int nextRow, const QStringList &shown,
                              const QStringList &otherLists)
{
    if (m_closed)
        return;
    takeResults();
    LoudnessWorker::Plan plan;
    if (m_options.even) {
        plan.playing = std::move(playing);
        plan.nextRow = nextRow;
        plan.shown = shown;
        plan.otherLists = otherLists;
        plan.useGainTags = m_options.useGainTags;
    }
    // Lists are shared, not copied: the ordering happens on the worker.
    m_worker->setPlan(std::move(plan));
    updateProgress();
}

void LoudnessService::measureFirst(const QString &path)
{
    if (m_closed || !m_options.even || path.isEmpty())
        return;
    // One look at the file: a song known and unchanged needs no work.
    const std::optional<FileStamp> known = knownStamp(path, m_options.useGainTags);
    if (known && fileStampOf(path) == known)
        return;
    m_worker->prependSong(path, m_options.useGainTags);
    updateProgress();
}

int LoudnessService::doneCount() const
{
    return m_worker->doneCount();
}

int LoudnessService::totalCount() const
{
    return m_worker->totalCount();
}

bool LoudnessService::isIdle() const
{
    return m_closed || m_worker->isIdle();
}

void LoudnessService::takeResults()
{
    // Also called when the worker has only put a plan in order.
    for (const LoudnessWorker::Done &done : m_worker->takeDone())
        record(done);
    updateProgress();
}

void LoudnessService::record(const LoudnessWorker::Done &done)
{
    if (done.unchanged || done.result.outcome == LoudnessResult::Outcome::Stopped)
        return;
    // Nothing is known of the file; the same trouble is told once.
    if (done.result.outcome == LoudnessResult::Outcome::Unavailable) {
        if (!m_reportedProblems.contains(done.result.failure)) {
            m_reportedProblems.insert(done.result.failure);
            m_log(QStringLiteral("Loudness not measured: %1").arg(done.result.failure));
        }
        return;
    }
    if (!done.stamp) {
        if (!done.result.failure.isEmpty() && !m_reported.contains(done.path)) {
            m_reported.insert(done.path);
            m_log(QStringLiteral("Loudness not measured: %1 (%2)").arg(done.path, done.result.failure));
        }
        return;
    }
    LoudnessCacheEntry entry;
    entry.stamp = *done.stamp;
    entry.measurement = done.result.measurement;
    if (!entry.measurement)
        m_log(QStringLiteral("Loudness not measured: %1 (%2)").arg(done.path, done.result.failure));
    {
        const QMutexLocker lock(&m_entriesMutex);
        m_entries.insert(done.path, entry);
    }
    scheduleWrite();
}

void LoudnessService::scheduleWrite()
{
    m_dirty = true;
    if (!m_writeTimer->isActive())
        m_writeTimer->start();
}

void LoudnessService::updateProgress()
{
    const int total = m_worker->totalCount();
    const int done = std::min(m_worker->doneCount(), total);
    // The last count is shown before idle hides it, so every step of the
    // work is told, however quickly it went.
    if (total > 0)
        emit progressChanged(done, total);
    if (m_worker->isIdle()) {
        emit progressChanged(0, 0);
        m_worker->forgetFinishedWork();
    }
}

void LoudnessService::close()
{
    if (m_closed)
        return;
    m_closed = true;
    m_writeTimer->stop();
    m_worker->stop(1000);
    // What was measured up to the stop is kept.
    for (const LoudnessWorker::Done &done : m_worker->takeDone())
        record(done);
    m_writeTimer->stop();
    if (m_dirty && (!m_writable || m_writable()) &&
        !LoudnessCacheFile::write(m_cacheFile, m_entries))
        m_log(QStringLiteral("Loudness cache %1 not written").arg(m_cacheFile));
    m_dirty = false;
    emit progressChanged(0, 0);
}

QString LoudnessService::progressText(int done, int total, const QLocale &locale)
{
    if (total <= 0)
        return {};
    return QStringLiteral("Measuring loudness: %1 of %2")
        .arg(locale.toString(done), locale.toString(total));
}
