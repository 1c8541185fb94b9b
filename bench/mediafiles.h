#pragma once

// Media files that exist, made once per benchmark run in a temporary folder:
// alternately .mp3 and .wav, each a few bytes (the length estimate reads the
// size, never the audio). Paths are absolute, as real play lists hold them.
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdlib>

class MediaFiles
{
public:
    static constexpr int kCount = 100000;

    static const MediaFiles &instance()
    {
        static const MediaFiles files;
        return files;
    }

    const QStringList &paths() const { return m_paths; }
    QString folder() const { return m_dir.path(); }

private:
    MediaFiles()
    {
        if (!m_dir.isValid())
            std::abort();
        m_paths.reserve(kCount);
        for (int i = 0; i < kCount; ++i) {
            // A hundred songs per album folder, as a music collection is laid out.
            const QString folder =
                m_dir.filePath(QStringLiteral("artist%1/album%2").arg(i / 1000).arg(i / 100 % 10));
            if (i % 100 == 0)
                QDir().mkpath(folder);
            const QString path = QStringLiteral("%1/%2 Song number %3.%4")
                                     .arg(folder)
                                     .arg(i % 100 + 1, 2, 10, QLatin1Char('0'))
                                     .arg(i)
                                     .arg(i % 2 ? QLatin1String("wav") : QLatin1String("mp3"));
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || !file.resize(4096 + i % 4096))
                std::abort();
            m_paths.append(path);
        }
    }

    QTemporaryDir m_dir;
    QStringList m_paths;
};
