#pragma once

#include "loudnesscache.h"
#include "loudnesshelper.h"
#include "plannedsongs.h"
#include "loudnessmeasurement.h"
#include "songfiles.h"

#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QWaitCondition>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QThread;

// Measures songs one after another on one thread of its own, at the lowest
// priority the system has (idle scheduling), so that the window and the
// player always come first. Everything it finds is collected until the owner
// takes it (takeDone); doneAvailable tells the owner's thread that there is
// something to take. Besides songs it reads play list files into their songs,
// and writes the cache file when asked, so that neither costs the window time.
class LoudnessWorker : public QObject
{
    Q_OBJECT

public:
    struct Job
    {
        enum class Kind : quint8
        {
            Song,
            // A play list file: its songs are handed back to be queued.
            ListFile,
        };
        // A song is skipped when it still has the stamp it had when it was
        // last looked at; that stamp is looked up when the job is taken, so
        // a waiting job costs its path and little more (a list of 100,000
        // songs waits whole).
        Kind kind = Kind::Song;
        // The song's gain tags are taken instead of measuring when present.
        bool useGainTags = false;
        // The work it belongs to: only the current work's songs count as done.
        quint32 work = 0;
        QString path;
    };

    // A song looked at (play list files are read into jobs, not told).
    struct Done
    {
        QString path;
        // The stamp before measuring; nothing when the file was not a regular file.
        std::optional<FileStamp> stamp;
        // The song still had its known stamp: nothing was measured.
        bool unchanged = false;
        LoudnessResult result;
    };

    // The work in order of need: song `nextRow` (0-based) of `playing`,
    // the rest of `playing` after it and then before it, the songs of
    // `shown`, and then the songs of the play list files `otherLists`.
    struct Plan
    {
        SongFiles playing;
        int nextRow = 0;
        QStringList shown;
        QStringList otherLists;
        bool useGainTags = false;
    };

    // The stamp a song had when it was last looked at, when its result may
    // stand; called on the worker's thread, so it must be safe there.
    using KnownStamp = std::function<std::optional<FileStamp>(const QString &path, bool useGainTags)>;

    // Measures one song; must end soon with Outcome::Stopped once `stop` is set.
    using Measure = std::function<LoudnessResult(const QString &path, bool useGainTags,
                                                 const std::atomic<bool> &stop)>;

    // The real measurement: gain tags when allowed and present, else the
    // loudness helper's.
    static LoudnessResult measureSong(const QString &path, bool useGainTags,
                                      const std::atomic<bool> &stop, LoudnessHelper &helper);

    // Without `measure`, songs get the real measurement, from a helper the
    // worker starts on its thread and ends whenever the work runs out.
    explicit LoudnessWorker(Measure measure = {}, KnownStamp known = {},
                            QObject *parent = nullptr);
    // Stops as stop() does.
    ~LoudnessWorker() override;
    LoudnessWorker(const LoudnessWorker &) = delete;
    LoudnessWorker &operator=(const LoudnessWorker &) = delete;

    // Replaces the work still waiting with `plan`, which the worker puts in
    // order on its own thread (the window never spends time on a long list);
    // starts the thread on first use.
    void setPlan(Plan plan);
    // Puts one song before all other work.
    void prependSong(const QString &path, bool useGainTags);
    // Writes the cache file on the worker's thread before the next job; a
    // later request replaces one not yet carried out.
    void requestWrite(const QString &path, const LoudnessEntries &entries);
    // Results since the last call, in the order they came.
    std::vector<Done> takeDone();
    // Once all work is done and its results taken: forgets its songs (the
    // counts go back to 0) and gives their memory back to the system, on the
    // worker's thread. Does nothing while work remains.
    void forgetFinishedWork();
    // Songs of the current plan looked at, and all songs in it (the other
    // lists' songs counted as their files are read).
    int doneCount() const;
    int totalCount() const;
    // Nothing planned, waiting, in hand or left to take.
    bool isIdle() const;

    // Asks the thread to end, the measurement in hand given up, and waits
    // up to `waitMs` for it; true when it has ended. Jobs not done are
    // dropped; results already found stay for takeDone. No job is taken
    // afterwards.
    bool stop(int waitMs = 1000);
    bool isRunning() const;

signals:
    // Emitted on the worker's thread when a result is ready to take.
    void doneAvailable();

private:
    void run();
    void ensureStarted();

    // Orders a plan; on the worker's thread, without the lock.
    void order(Plan plan);
    // Queues the songs of a play list file that are not queued yet.
    void queueListSongs(const QStringList &songs, bool useGainTags);
    // Nothing is waiting to be taken; under the lock.
    bool noJobs() const;
    // Is a song of the current work; under the lock.
    bool isSeen(const QString &path) const;

    Measure m_measure;
    // The helper of the real measurement; found by the owner's thread.
    QString m_helperProgram;
    KnownStamp m_known;
    mutable QMutex m_mutex;
    QWaitCondition m_wake;
    std::optional<Plan> m_plan;
    // Songs put first, then the plan's songs, then the other lists and
    // their songs.
    std::deque<Job> m_first;
    PlannedSongs m_planned;
    bool m_plannedUseGainTags = false;
    std::deque<Job> m_jobs;
    // The songs of the current work besides the plan's: put first, or read
    // from other lists.
    QSet<QString> m_seen;
    quint32 m_work = 0;
    int m_doneCount = 0;
    bool m_busy = false;
    std::vector<Done> m_done;
    std::optional<std::pair<QString, LoudnessEntries>> m_write;
    // The songs of finished or replaced work, for the worker's thread to
    // free.
    struct Leftover
    {
        QSet<QString> seen;
        PlannedSongs planned;
    };
    std::vector<Leftover> m_forget;
    std::atomic<bool> m_stop{false};
    std::unique_ptr<QThread> m_thread;
};
