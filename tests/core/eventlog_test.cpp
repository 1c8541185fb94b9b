#include "core/eventlog.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class EventLogTest : public ::testing::Test
{
protected:
    EventLog logWithLimit(qint64 limit)
    {
        EventLog log(dir.filePath(QStringLiteral("VORN.log")), limit);
        log.setClock([this] { return now; });
        return log;
    }

    QTemporaryDir dir;
    QDateTime now{QDate(2024, 3, 9), QTime(14, 5, 7, 42)};
};

TEST_F(EventLogTest, AppendsOneStampedLinePerEntryEvenForTextWithLineBreaks)
{
    EventLog log = logWithLimit(EventLog::kDefaultLimit);
    log.write(QStringLiteral("mpv stopped unexpectedly"));
    now = now.addSecs(61);
    log.write(QStringLiteral("two\r\nlines \u00e9"));
    EXPECT_EQ(bytesOf(log.path()), QByteArray("2024-03-09 14:05:07.042  mpv stopped unexpectedly\n"
                                              "2024-03-09 14:06:08.042  two  lines \xc3\xa9\n"));
}

TEST_F(EventLogTest, RotatesBeforeAnEntryWouldPassTheLimitKeepingOneOlderFile)
{
    const QByteArray line = "2024-03-09 14:05:07.042  0123456789\n"; // 36 bytes
    EventLog log = logWithLimit(3 * line.size());
    for (int i = 0; i < 3; ++i)
        log.write(QStringLiteral("0123456789"));
    EXPECT_EQ(bytesOf(log.path()), line + line + line);
    EXPECT_FALSE(QFile::exists(log.path() + QLatin1String(".1")));

    log.write(QStringLiteral("0123456789"));
    EXPECT_EQ(bytesOf(log.path()), line);
    EXPECT_EQ(bytesOf(log.path() + QLatin1String(".1")), line + line + line);

    // The next rotation replaces the older file; nothing grows without bound.
    for (int i = 0; i < 3; ++i)
        log.write(QStringLiteral("0123456789"));
    EXPECT_EQ(bytesOf(log.path()), line);
    EXPECT_EQ(bytesOf(log.path() + QLatin1String(".1")), line + line + line);
}

TEST_F(EventLogTest, AnUnwritableFolderIsIgnored)
{
    EventLog log(dir.filePath(QStringLiteral("missing/VORN.log")));
    log.write(QStringLiteral("nobody hears this"));
    EXPECT_FALSE(QFile::exists(log.path()));
}

} // namespace
