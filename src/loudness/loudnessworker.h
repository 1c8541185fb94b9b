#pragma once

#include "loudnesscache.h"
#include "loudnesshelper.h"
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
        enum class Kind
        {
            Song,
            // A play list file: its songs are handed back to be queued.
            ListFile,
        };
        Kind kind = Kind::Song;
        QString path;
        // The stamp the song had when it was last looked at: it is skipped
        // when it still has it.
        std::optional<FileStamp> known;
        // The song's gain tags are taken instead of measuring when present.
        bool useGainTags = false;
    };

    struct Done
    {
        Job::Kind kind = Job::Kind::Song;
        QString path;
        // The stamp before measuring; nothing when the file was not a regular file.
        std::optional<FileStamp> stamp;
        // The song still had its known stamp: nothing was measured.
        bool unchanged = false;
        LoudnessResult result;
        // The songs of a play list file.
        QStringList songs;
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

    // The songs of `playing` from `nextRow` on, then those before it, then
    // those of `shown`, each once.
    static QStringList workOrder(const SongFiles &playing, int nextRow, const QStringList &shown);

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

    Job songJob(const QString &path, bool useGainTags) const;
    // Orders a plan into jobs; on the worker's thread, without the lock.
    std::deque<Job> order(const Plan &plan, QSet<QString> &seen) const;
    // Queues the songs of a play list file that are not queued yet.
    void queueListSongs(const QStringList &songs, bool useGainTags);

    Measure m_measure;
    // The helper of the real measurement; found by the owner's thread.
    QString m_helperProgram;
    KnownStamp m_known;
    mutable QMutex m_mutex;
    QWaitCondition m_wake;
    std::optional<Plan> m_plan;
    std::deque<Job> m_jobs;
    // Every song of the current plan.
    QSet<QString> m_seen;
    int m_doneCount = 0;
    bool m_busy = false;
    std::vector<Done> m_done;
    std::optional<std::pair<QString, LoudnessEntries>> m_write;
    // The songs of finished work, for the worker's thread to free.
    std::vector<QSet<QString>> m_forget;
    std::atomic<bool> m_stop{false};
    std::unique_ptr<QThread> m_thread;
};
