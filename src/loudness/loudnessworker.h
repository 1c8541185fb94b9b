#pragma once

#include "loudnesscache.h"
#include "loudnessmeasurement.h"

#include <QMutex>
#include <QObject>
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

    // Measures one song; must end soon with Outcome::Stopped once `stop` is set.
    using Measure = std::function<LoudnessResult(const QString &path, bool useGainTags,
                                                 const std::atomic<bool> &stop)>;

    // The real measurement: gain tags when allowed and present, else the
    // analyser.
    static LoudnessResult measureSong(const QString &path, bool useGainTags,
                                      const std::atomic<bool> &stop);

    explicit LoudnessWorker(Measure measure = measureSong, QObject *parent = nullptr);
    // Stops as stop() does.
    ~LoudnessWorker() override;
    LoudnessWorker(const LoudnessWorker &) = delete;
    LoudnessWorker &operator=(const LoudnessWorker &) = delete;

    // Replaces the jobs still waiting; starts the thread on first use.
    void setJobs(std::vector<Job> jobs);
    // Adds jobs after those waiting.
    void appendJobs(std::vector<Job> jobs);
    // Adds a job before those waiting.
    void prependJob(Job job);
    // Writes the cache file on the worker's thread before the next job; a
    // later request replaces one not yet carried out.
    void requestWrite(const QString &path, const LoudnessEntries &entries);
    // Results since the last call, in the order they came.
    std::vector<Done> takeDone();
    // Jobs waiting, the one in hand included.
    int pending() const;

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

    Measure m_measure;
    mutable QMutex m_mutex;
    QWaitCondition m_wake;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    std::vector<Done> m_done;
    std::optional<std::pair<QString, LoudnessEntries>> m_write;
    std::atomic<bool> m_stop{false};
    std::unique_ptr<QThread> m_thread;
};
