#include "backgroundwriter.h"

#include <QMetaObject>

#include <algorithm>
#include <system_error>
#include <utility>

BackgroundWriter::BackgroundWriter(QObject *parent, ThreadStarter startThread)
    : QObject(parent)
    , m_startThread(std::move(startThread))
{}

BackgroundWriter::~BackgroundWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundWriter::post(const QString &path, const QByteArray &bytes, WriteFunction write)
{
    {
        const std::lock_guard lock(m_mutex);
        if (!m_thread.joinable()) {
            try {
                if (m_startThread)
                    m_thread = m_startThread([this] { run(); });
                else
                    m_thread = std::thread(&BackgroundWriter::run, this);
            } catch (const std::system_error &) {
                // No thread to be had (a process at its limit): the caller
                // waits for this write rather than losing it.
            }
        }
        if (m_thread.joinable()) {
            auto waiting = std::find_if(m_jobs.begin(), m_jobs.end(),
                                        [&](const Job &job) { return job.path == path; });
            if (waiting != m_jobs.end())
                *waiting = Job{path, bytes, std::move(write)};
            else
                m_jobs.push_back(Job{path, bytes, std::move(write)});
            m_wake.notify_one();
            return;
        }
    }
    QString error;
    const bool written = write(path, bytes, error);
    emit finished(path, written, error);
}

void BackgroundWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
        if (m_jobs.empty())
            return; // stopping, with nothing left to write
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busyPath = job.path;
        lock.unlock();

        Result result{job.path, false, QString()};
        result.written = job.write(job.path, job.bytes, result.error);
        job = Job{};

        lock.lock();
        m_busyPath = QString();
        m_results.push_back(std::move(result));
        m_done.notify_all();
        // Queued: the report runs in the owner's event loop, never here.
        QMetaObject::invokeMethod(this, &BackgroundWriter::deliver, Qt::QueuedConnection);
    }
}

void BackgroundWriter::deliver()
{
    std::vector<Result> results;
    {
        const std::lock_guard lock(m_mutex);
        results.swap(m_results);
    }
    for (const Result &result : results)
        emit finished(result.path, result.written, result.error);
}

void BackgroundWriter::waitForDone()
{
    {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [this] { return idleLocked(); });
    }
    deliver();
}

bool BackgroundWriter::isPending(const QString &path) const
{
    const std::lock_guard lock(m_mutex);
    return m_busyPath == path || std::any_of(m_jobs.begin(), m_jobs.end(),
                                             [&](const Job &job) { return job.path == path; });
}
