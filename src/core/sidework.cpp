#include "sidework.h"

#include <QEventLoop>

#include <thread>

void runBesideEvents(const std::function<void()> &work)
{
    QEventLoop loop;
    std::thread worker([&work, &loop] {
        work();
        // Posted, so that it also ends a loop that has not begun yet.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the program quits; the work is still waited
    // for, since it writes into its caller's data.
    worker.join();
}
