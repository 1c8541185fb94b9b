#include "loudnessworker.h"

#include "core/freedmemory.h"
#include "gaintags.h"
#include "library/playlistfile.h"

#include <QFileInfo>
#include <QThread>

LoudnessResult LoudnessWorker::measureSong(const QString &path, bool useGainTags,
                                           const std::atomic<bool> &stop, LoudnessHelper &helper)
{
    if (useGainTags) {
        if (const std::optional<LoudnessMeasurement> tagged = GainTags::read(path))
            return {LoudnessResult::Outcome::Measured, tagged, {}};
    }
    return helper.measure(path, stop);
}

QStringList LoudnessWorker::workOrder(const SongFiles &playing, int nextRow,
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
        add(playing.at(row));
    for (qsizetype row = 0; row < start; ++row)
        add(playing.at(row));
    for (const QString &path : shown)
        add(path);
    return order;
}

LoudnessWorker::LoudnessWorker(Measure measure, KnownStamp known, QObject *parent)
    : QObject(parent)
    , m_measure(std::move(measure))
    , m_helperProgram(m_measure ? QString() : LoudnessHelper::findProgram())
    , m_known(std::move(known))
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

LoudnessWorker::Job LoudnessWorker::songJob(const QString &path, bool useGainTags) const
{
    Job job;
    job.path = path;
    job.useGainTags = useGainTags;
    if (m_known)
        job.known = m_known(path, useGainTags);
    return job;
}

std::deque<LoudnessWorker::Job> LoudnessWorker::order(const Plan &plan, QSet<QString> &seen) const
{
    std::deque<Job> jobs;
    const QStringList songs = workOrder(plan.playing, plan.nextRow, plan.shown);
    seen.reserve(songs.size());
    for (const QString &path : songs) {
        seen.insert(path);
        jobs.push_back(songJob(path, plan.useGainTags));
    }
    for (const QString &list : plan.otherLists) {
        Job job;
        job.kind = Job::Kind::ListFile;
        job.path = list;
        job.useGainTags = plan.useGainTags;
        jobs.push_back(std::move(job));
    }
    return jobs;
}

void LoudnessWorker::setPlan(Plan plan)
{
    {
        const QMutexLocker lock(&m_mutex);
        // Nothing to order: the work simply ends here.
        if (plan.playing.isEmpty() && plan.shown.isEmpty() && plan.otherLists.isEmpty())
            m_plan.reset();
        else
            m_plan = std::move(plan);
        m_jobs.clear();
        m_seen.clear();
        m_doneCount = 0;
    }
    m_wake.wakeAll();
    ensureStarted();
}

void LoudnessWorker::prependSong(const QString &path, bool useGainTags)
{
    Job job = songJob(path, useGainTags);
    {
        const QMutexLocker lock(&m_mutex);
        m_seen.insert(path);
        m_jobs.push_front(std::move(job));
    }
    m_wake.wakeAll();
    ensureStarted();
}

void LoudnessWorker::queueListSongs(const QStringList &songs, bool useGainTags)
{
    std::vector<Job> more;
    {
        const QMutexLocker lock(&m_mutex);
        for (const QString &path : songs) {
            if (path.isEmpty() || m_seen.contains(path))
                continue;
            m_seen.insert(path);
            Job job;
            job.path = path;
            more.push_back(std::move(job));
        }
    }
    // Known stamps are looked up without the lock held.
    for (Job &job : more) {
        job.useGainTags = useGainTags;
        if (m_known)
            job.known = m_known(job.path, useGainTags);
    }
    const QMutexLocker lock(&m_mutex);
    m_jobs.insert(m_jobs.end(), std::make_move_iterator(more.begin()),
                  std::make_move_iterator(more.end()));
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

void LoudnessWorker::forgetFinishedWork()
{
    {
        const QMutexLocker lock(&m_mutex);
        if (m_plan || !m_jobs.empty() || m_busy || !m_done.empty() || m_seen.isEmpty())
            return;
        m_forget.push_back(std::exchange(m_seen, {}));
        m_doneCount = 0;
    }
    m_wake.wakeAll();
}

int LoudnessWorker::doneCount() const
{
    const QMutexLocker lock(&m_mutex);
    return m_doneCount;
}

int LoudnessWorker::totalCount() const
{
    const QMutexLocker lock(&m_mutex);
    return static_cast<int>(m_seen.size());
}

bool LoudnessWorker::isIdle() const
{
    const QMutexLocker lock(&m_mutex);
    return !m_plan && m_jobs.empty() && !m_busy && m_done.empty();
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
    LoudnessHelper helper(m_helperProgram);
    for (;;) {
        Job job;
        std::optional<Plan> plan;
        std::optional<std::pair<QString, LoudnessEntries>> write;
        std::vector<QSet<QString>> forget;
        {
            QMutexLocker lock(&m_mutex);
            const auto nothingToDo = [this] {
                return !m_stop.load() && m_jobs.empty() && !m_write && !m_plan && m_forget.empty();
            };
            if (nothingToDo()) {
                // No helper waits through idle hours.
                lock.unlock();
                helper.rest();
                lock.relock();
            }
            while (nothingToDo())
                m_wake.wait(&m_mutex);
            if (m_stop.load())
                return;
            if (!m_forget.empty()) {
                forget = std::exchange(m_forget, {});
            } else if (m_write) {
                write = std::exchange(m_write, std::nullopt);
            } else if (m_plan) {
                plan = std::exchange(m_plan, std::nullopt);
                // Planned counts as in hand until its jobs are queued.
                m_busy = true;
            } else {
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
                m_busy = true;
            }
        }
        if (!forget.empty()) {
            // A list of 100,000 songs left tens of MiB behind.
            forget.clear();
            releaseFreedMemory();
            continue;
        }
        if (write) {
            LoudnessCacheFile::write(write->first, write->second);
            continue;
        }
        if (plan) {
            QSet<QString> seen;
            std::deque<Job> jobs = order(*plan, seen);
            {
                const QMutexLocker lock(&m_mutex);
                // A newer plan that came meanwhile replaces this one.
                if (!m_plan) {
                    // Songs put first while the plan was ordered stay first.
                    for (auto it = m_jobs.rbegin(); it != m_jobs.rend(); ++it)
                        jobs.push_front(std::move(*it));
                    for (const QString &path : std::as_const(m_seen))
                        seen.insert(path);
                    m_jobs = std::move(jobs);
                    m_seen = std::move(seen);
                }
                m_busy = false;
            }
            emit doneAvailable();
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
            queueListSongs(done.songs, job.useGainTags);
            const QMutexLocker lock(&m_mutex);
            m_busy = false;
            continue;
        }
        done.stamp = fileStampOf(job.path);
        if (job.known && done.stamp == job.known) {
            done.unchanged = true;
        } else if (!done.stamp) {
            // A missing file says nothing: the list may name a file on a
            // drive not mounted now. Anything else is no song.
            if (QFileInfo::exists(job.path))
                done.result = LoudnessResult::notMeasured(QStringLiteral("not a regular file"));
        } else {
            // A file that changes while it is measured is refused by the
            // analyser, so the result belongs to the stamp seen before.
            done.result = m_measure ? m_measure(job.path, job.useGainTags, m_stop)
                                    : measureSong(job.path, job.useGainTags, m_stop, helper);
        }
        if (done.result.outcome == LoudnessResult::Outcome::Stopped && !done.unchanged)
            return;
        {
            // Taken as done in the same step, so that an owner who sees the
            // result never sees the job still in hand.
            const QMutexLocker lock(&m_mutex);
            if (m_seen.contains(done.path))
                ++m_doneCount;
            m_done.push_back(std::move(done));
            m_busy = false;
        }
        emit doneAvailable();
    }
}
