#pragma once

// What runs on this machine, read from /proc: lets player tests count the
// players that exist, whoever started them.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <unistd.h>

// The process state letter of /proc/<pid>/stat; 0 when there is no process.
inline char processState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close < 0 || close + 2 >= text.size() ? '?' : text.at(close + 2);
}

inline bool processAlive(qint64 pid)
{
    const char state = processState(pid);
    return state != 0 && state != 'Z' && state != 'X';
}

// Live processes whose command line contains `needle` (a socket path, say).
inline QList<qint64> processesMentioning(const QByteArray &needle)
{
    QList<qint64> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isNumber = false;
        const qint64 pid = entry.toLongLong(&isNumber);
        if (!isNumber || pid == ::getpid())
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        if (cmdline.readAll().contains(needle) && processAlive(pid))
            found << pid;
    }
    return found;
}

// Live children of this test process whose command line contains `needle`.
inline QList<qint64> ownChildrenMentioning(const QByteArray &needle)
{
    QList<qint64> found;
    for (const qint64 pid : processesMentioning(needle)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toLongLong() == ::getpid())
            found << pid;
    }
    return found;
}

// Live players (processes named mpv) that this test process started itself.
inline QList<qint64> ownPlayers()
{
    return ownChildrenMentioning(QByteArrayLiteral("--input-ipc-server="));
}
