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

void LoudnessWorker::order(Plan plan)
{
    PlannedSongs planned(std::move(plan.playing), plan.nextRow, std::move(plan.shown));
    const QMutexLocker lock(&m_mutex);
    // A newer plan that came meanwhile replaces this one.
    if (!m_plan) {
        // Songs put first while the plan was ordered stay first, and are
        // counted once.
        for (auto it = m_seen.begin(); it != m_seen.end();)
            it = planned.contains(*it) ? m_seen.erase(it) : std::next(it);
        std::swap(m_planned, planned);
        m_plannedUseGainTags = plan.useGainTags;
        for (const QString &list : plan.otherLists)
            m_jobs.push_back({Job::Kind::ListFile, plan.useGainTags, m_work, list});
    }
    m_busy = false;
    // What `planned` holds now (an empty table, or a plan that came too
    // late) is freed after the lock.
}

bool LoudnessWorker::noJobs() const
{
    return m_first.empty() && !m_planned.hasNext() && m_jobs.empty();
}

bool LoudnessWorker::isSeen(const QString &path) const
{
    return m_planned.contains(path) || m_seen.contains(path);
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
        m_first.clear();
        m_jobs.clear();
        // The worker frees the last work's songs.
        Leftover last{std::exchange(m_seen, {}), std::exchange(m_planned, {})};
        if (!last.seen.isEmpty() || last.planned.size() > 0)
            m_forget.push_back(std::move(last));
        ++m_work;
        m_doneCount = 0;
    }
    m_wake.wakeAll();
    ensureStarted();
}

void LoudnessWorker::prependSong(const QString &path, bool useGainTags)
{
    {
        const QMutexLocker lock(&m_mutex);
        if (!isSeen(path))
            m_seen.insert(path);
        m_first.push_front({Job::Kind::Song, useGainTags, m_work, path});
    }
    m_wake.wakeAll();
    ensureStarted();
}

void LoudnessWorker::queueListSongs(const QStringList &songs, bool useGainTags)
{
    const QMutexLocker lock(&m_mutex);
    for (const QString &path : songs) {
        if (path.isEmpty() || isSeen(path))
            continue;
        m_seen.insert(path);
        m_jobs.push_back({Job::Kind::Song, useGainTags, m_work, path});
    }
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
        if (m_plan || !noJobs() || m_busy || !m_done.empty()
            || (m_seen.isEmpty() && m_planned.size() == 0))
            return;
        m_forget.push_back({std::exchange(m_seen, {}), std::exchange(m_planned, {})});
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
    return static_cast<int>(m_seen.size() + m_planned.size());
}

bool LoudnessWorker::isIdle() const
{
    const QMutexLocker lock(&m_mutex);
    return !m_plan && noJobs() && !m_busy && m_done.empty();
}

bool LoudnessWorker::stop(int waitMs)
{
    {
        const QMutexLocker lock(&m_mutex);
        m_stop.store(true);
        m_first.clear();
        m_planned.dropRest();
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
        std::vector<Leftover> forget;
        {
            QMutexLocker lock(&m_mutex);
            const auto nothingToDo = [this] {
                return !m_stop.load() && noJobs() && !m_write && !m_plan && m_forget.empty();
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
                if (!m_first.empty()) {
                    job = std::move(m_first.front());
                    m_first.pop_front();
                } else if (m_planned.hasNext()) {
                    job = {Job::Kind::Song, m_plannedUseGainTags, m_work, m_planned.takeNext()};
                } else {
                    job = std::move(m_jobs.front());
                    m_jobs.pop_front();
                }
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
            order(std::move(*plan));
            emit doneAvailable();
            continue;
        }

        if (job.kind == Job::Kind::ListFile) {
            QStringList songs;
            if (const std::optional<QByteArray> bytes = PlayListFile::read(job.path)) {
                const PlayListFile::Content content = PlayListFile::parse(*bytes);
                for (const SongRow &song : content.songs)
                    songs.append(song.field(chFile));
            }
            queueListSongs(songs, job.useGainTags);
            const QMutexLocker lock(&m_mutex);
            m_busy = false;
            continue;
        }
        Done done;
        done.path = job.path;
        done.stamp = fileStampOf(job.path);
        const std::optional<FileStamp> known =
            m_known ? m_known(job.path, job.useGainTags) : std::nullopt;
        if (known && done.stamp == known) {
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
            if (job.work == m_work)
                ++m_doneCount;
            m_done.push_back(std::move(done));
            m_busy = false;
        }
        emit doneAvailable();
    }
}
