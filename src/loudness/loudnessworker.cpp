#include "loudnessworker.h"

#include "gaintags.h"
#include "library/playlistfile.h"
#include "loudnessanalyser.h"

#include <QFileInfo>
#include <QThread>

LoudnessResult LoudnessWorker::measureSong(const QString &path, bool useGainTags,
                                           const std::atomic<bool> &stop)
{
    if (useGainTags) {
        if (const std::optional<LoudnessMeasurement> tagged = GainTags::read(path))
            return {LoudnessResult::Outcome::Measured, tagged, {}};
    }
    return LoudnessAnalyser::measure(path, &stop);
}

LoudnessWorker::LoudnessWorker(Measure measure, QObject *parent)
    : QObject(parent)
    , m_measure(std::move(measure))
{
}

LoudnessWorker::~LoudnessWorker()
{
    stop();
    // A thread that did not end in time is waited for: it must not outlive
    // what it works on.
    if (m_thread)
        m_thread->wait();
}

void LoudnessWorker::ensureStarted()
{
    if (m_thread || m_stop.load())
        return;
    m_thread.reset(QThread::create([this] { run(); }));
    m_thread->setObjectName(QStringLiteral("loudness"));
    m_thread->start(QThread::IdlePriority);
}

void LoudnessWorker::setJobs(std::vector<Job> jobs)
{
    {
        const QMutexLocker lock(&m_mutex);
        m_jobs.assign(std::make_move_iterator(jobs.begin()), std::make_move_iterator(jobs.end()));
    }
    m_wake.wakeAll();
    ensureStarted();
}

void LoudnessWorker::appendJobs(std::vector<Job> jobs)
{
    {
        const QMutexLocker lock(&m_mutex);
        m_jobs.insert(m_jobs.end(), std::make_move_iterator(jobs.begin()),
                      std::make_move_iterator(jobs.end()));
    }
    m_wake.wakeAll();
    ensureStarted();
}

void LoudnessWorker::prependJob(Job job)
{
    {
        const QMutexLocker lock(&m_mutex);
        m_jobs.push_front(std::move(job));
    }
    m_wake.wakeAll();
    ensureStarted();
}

void LoudnessWorker::requestWrite(const QString &path, const LoudnessEntries &entries)
{
    {
        const QMutexLocker lock(&m_mutex);
        m_write.emplace(path, entries);
    }
    m_wake.wakeAll();
    ensureStarted();
}

std::vector<LoudnessWorker::Done> LoudnessWorker::takeDone()
{
    const QMutexLocker lock(&m_mutex);
    return std::exchange(m_done, {});
}

int LoudnessWorker::pending() const
{
    const QMutexLocker lock(&m_mutex);
    return static_cast<int>(m_jobs.size()) + (m_busy ? 1 : 0);
}

bool LoudnessWorker::stop(int waitMs)
{
    {
        const QMutexLocker lock(&m_mutex);
        m_stop.store(true);
        m_jobs.clear();
    }
    m_wake.wakeAll();
    return !m_thread || m_thread->wait(QDeadlineTimer(waitMs));
}

bool LoudnessWorker::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void LoudnessWorker::run()
{
    for (;;) {
        Job job;
        std::optional<std::pair<QString, LoudnessEntries>> write;
        {
            QMutexLocker lock(&m_mutex);
            m_busy = false;
            while (!m_stop.load() && m_jobs.empty() && !m_write)
                m_wake.wait(&m_mutex);
            if (m_stop.load())
                return;
            if (m_write) {
                write = std::exchange(m_write, std::nullopt);
            } else {
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
                m_busy = true;
            }
        }
        if (write) {
            LoudnessCacheFile::write(write->first, write->second);
            continue;
        }

        Done done;
        done.kind = job.kind;
        done.path = job.path;
        if (job.kind == Job::Kind::ListFile) {
            if (const std::optional<QByteArray> bytes = PlayListFile::read(job.path)) {
                const PlayListFile::Content content = PlayListFile::parse(*bytes);
                for (const SongRow &song : content.songs)
                    done.songs.append(song.field(chFile));
            }
        } else {
            done.stamp = fileStampOf(job.path);
            if (job.known && done.stamp == job.known) {
                done.unchanged = true;
            } else if (!done.stamp) {
                // A missing file says nothing: the list may name a file on a
                // drive not mounted now. Anything else is no song.
                if (QFileInfo::exists(job.path))
                    done.result = LoudnessResult::notMeasured(QStringLiteral("not a regular file"));
            } else {
                done.result = m_measure(job.path, job.useGainTags, m_stop);
                // Measured against the stamp seen before: a file that
                // changed meanwhile was refused by the analyser.
            }
            if (done.result.outcome == LoudnessResult::Outcome::Stopped && !done.unchanged)
                return;
        }
        {
            // Taken as done in the same step, so that an owner who sees the
            // result never sees the job still in hand.
            const QMutexLocker lock(&m_mutex);
            m_done.push_back(std::move(done));
            m_busy = false;
        }
        emit doneAvailable();
    }
}
