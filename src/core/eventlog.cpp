#include "eventlog.h"

#include <QFile>
#include <QFileInfo>

EventLog::EventLog(QString path, qint64 limitBytes)
    : m_path(std::move(path))
    , m_limit(limitBytes)
{}

void EventLog::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}

void EventLog::write(const QString &text)
{
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    // One entry is one line, whatever the text holds.
    QString flat = text;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray line =
        (now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")) + QLatin1String("  ") + flat)
            .toUtf8() +
        '\n';

    const QFileInfo info(m_path);
    if (info.exists() && info.size() > 0 && info.size() + line.size() > m_limit) {
        const QString older = m_path + QLatin1String(".1");
        QFile::remove(older);
        QFile::rename(m_path, older);
    }
    const bool existed = QFile::exists(m_path);
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    // On a full disk the name is made but no line fits: leave no log behind.
    if ((file.write(line) != line.size() || !file.flush()) && !existed) {
        file.close();
        QFile::remove(m_path);
    }
}
