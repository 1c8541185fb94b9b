#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Writes files on one worker thread, so that the window does not wait while
// the disk takes a large file. Writes are done one at a time in the order
// posted, except that a write still waiting is replaced by a newer one of the
// same file: only the newest bytes of a file matter. Each write that was done
// reports through `finished`, on the thread that owns the writer, from its
// event loop or from waitForDone.
//
// The thread starts with the first post. When it cannot be started, the post
// is written at once on the caller's thread and reported before `post`
// returns; the next post tries to start the thread again.
class BackgroundWriter : public QObject
{
    Q_OBJECT

public:
    // Runs on the worker thread: replaces `path` by `bytes`, or returns false
    // with the reason in `error`.
    using WriteFunction =
        std::function<bool(const QString &path, const QByteArray &bytes, QString &error)>;

    // Starts the worker thread running `body`, or throws std::system_error
    // when no thread can be had, as std::thread does.
    using ThreadStarter = std::function<std::thread(std::function<void()> body)>;

    // An empty `startThread` starts a std::thread.
    explicit BackgroundWriter(QObject *parent = nullptr, ThreadStarter startThread = {});
    // Finishes every posted write; their reports are dropped.
    ~BackgroundWriter() override;

    void post(const QString &path, const QByteArray &bytes, WriteFunction write);
    // Blocks until every posted write is done, then reports them.
    void waitForDone();
    // True while a write of `path` is waiting or being done.
    bool isPending(const QString &path) const;

signals:
    void finished(const QString &path, bool written, const QString &error);

private:
    struct Job
    {
        QString path;
        QByteArray bytes;
        WriteFunction write;
    };
    struct Result
    {
        QString path;
        bool written = false;
        QString error;
    };

    void run();
    void deliver();
    bool idleLocked() const { return m_jobs.empty() && m_busyPath.isNull(); }

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::deque<Job> m_jobs;
    QString m_busyPath; // null while no write is being done
    std::vector<Result> m_results;
    bool m_stop = false;
    ThreadStarter m_startThread;
    std::thread m_thread;
};
