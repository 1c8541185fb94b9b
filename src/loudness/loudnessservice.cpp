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
    , m_worker(std::make_unique<LoudnessWorker>(std::move(measure)))
    , m_writeTimer(new QTimer(this))
{
    m_writeTimer->setSingleShot(true);
    m_writeTimer->setInterval(kWriteDelayMs);
    connect(m_writeTimer, &QTimer::timeout, this, [this] {
        if (m_dirty && !m_closed)
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
    m_entries = std::move(parsed.entries);
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

QStringList LoudnessService::workOrder(const QStringList &playing, int nextRow,
                                       const QStringList &shown)
{
    QStringList order;
    order.reserve(playing.size() + shown.size());
    QSet<QString> seen;
    seen.reserve(playing.size() + shown.size());
    const auto add = [&](const QString &path) {
        if (!path.isEmpty() && !seen.contains(path)) {
            seen.insert(path);
            order.append(path);
        }
    };
    const qsizetype start = nextRow >= 0 && nextRow < playing.size() ? nextRow : 0;
    for (qsizetype row = start; row < playing.size(); ++row)
        add(playing[row]);
    for (qsizetype row = 0; row < start; ++row)
        add(playing[row]);
    for (const QString &path : shown)
        add(path);
    return order;
}

LoudnessWorker::Job LoudnessService::songJob(const QString &path) const
{
    LoudnessWorker::Job job;
    job.path = path;
    job.useGainTags = m_options.useGainTags;
    const auto found = m_entries.constFind(path);
    // A song known only from its tags is measured once tags are not wanted.
    if (found != m_entries.cend()
        && !(found->measurement
             && found->measurement->source == LoudnessMeasurement::Source::GainTags
             && !m_options.useGainTags))
        job.known = found->stamp;
    return job;
}

void LoudnessService::setWork(const QStringList &playing, int nextRow, const QStringList &shown,
                              const QStringList &otherLists)
{
    if (m_closed)
        return;
    takeResults();
    m_queued.clear();
    std::vector<LoudnessWorker::Job> jobs;
    if (m_options.even) {
        const QStringList order = workOrder(playing, nextRow, shown);
        jobs.reserve(static_cast<size_t>(order.size() + otherLists.size()));
        for (const QString &path : order) {
            m_queued.insert(path);
            jobs.push_back(songJob(path));
        }
        for (const QString &list : otherLists) {
            LoudnessWorker::Job job;
            job.kind = LoudnessWorker::Job::Kind::ListFile;
            job.path = list;
            jobs.push_back(std::move(job));
        }
    }
    m_done = 0;
    m_total = static_cast<int>(m_queued.size());
    m_worker->setJobs(std::move(jobs));
    updateProgress();
}

void LoudnessService::measureFirst(const QString &path)
{
    if (m_closed || !m_options.even || path.isEmpty())
        return;
    // One look at the file: a song known and unchanged needs no work.
    const LoudnessWorker::Job job = songJob(path);
    if (job.known && fileStampOf(path) == job.known)
        return;
    if (!m_queued.contains(path)) {
        m_queued.insert(path);
        ++m_total;
    }
    m_worker->prependJob(job);
    updateProgress();
}

void LoudnessService::takeResults()
{
    std::vector<LoudnessWorker::Done> results = m_worker->takeDone();
    if (results.empty())
        return;
    for (const LoudnessWorker::Done &done : results)
        record(done);
    updateProgress();
}

void LoudnessService::record(const LoudnessWorker::Done &done)
{
    if (done.kind == LoudnessWorker::Job::Kind::ListFile) {
        std::vector<LoudnessWorker::Job> more;
        for (const QString &path : done.songs) {
            if (path.isEmpty() || m_queued.contains(path))
                continue;
            m_queued.insert(path);
            more.push_back(songJob(path));
        }
        m_total += static_cast<int>(more.size());
        if (!more.empty() && !m_closed)
            m_worker->appendJobs(std::move(more));
        return;
    }
    // Results of work that was replaced still count for the cache.
    if (m_queued.contains(done.path))
        ++m_done;
    if (done.unchanged || done.result.outcome == LoudnessResult::Outcome::Stopped)
        return;
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
    m_entries.insert(done.path, entry);
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
    if (m_total > 0 && m_worker->pending() == 0 && m_done >= m_total) {
        m_done = 0;
        m_total = 0;
    }
    emit progressChanged(std::min(m_done, m_total), m_total);
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
    if (m_dirty && !LoudnessCacheFile::write(m_cacheFile, m_entries))
        m_log(QStringLiteral("Loudness cache %1 not written").arg(m_cacheFile));
    m_dirty = false;
    m_done = 0;
    m_total = 0;
    emit progressChanged(0, 0);
}

QString LoudnessService::progressText(int done, int total, const QLocale &locale)
{
    if (total <= 0)
        return {};
    return QStringLiteral("Measuring loudness: %1 of %2")
        .arg(locale.toString(done), locale.toString(total));
}
