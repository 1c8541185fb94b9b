// Importing big play lists as the user does it: opening an M3U list of
// 100,000 songs (every file present) as a new play list, and listing a
// shortcut play list's folder of 10,000 media files. Both include the status
// refresh that writes the working copy, as the main window does.
#include "support/librarystack.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kListSongs = 100000;
constexpr int kFolderFiles = 10000;

void createEmptyFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
}

// The files the user imports, made once: a folder of media files with an
// M3U list beside it, and a folder for a shortcut play list.
struct MediaFiles
{
    MediaFiles()
    {
        QDir root(dir.path());
        root.mkdir(QStringLiteral("media"));
        QByteArray list = "#EXTM3U\n";
        for (int i = 0; i < kListSongs; ++i) {
            const QString name = QStringLiteral("song%1.mid").arg(i, 6, 10, QLatin1Char('0'));
            createEmptyFile(root.filePath(QStringLiteral("media/") + name));
            list += "#EXTINF:180,Artist - Song\nmedia/" + name.toUtf8() + '\n';
        }
        m3u = root.filePath(QStringLiteral("Big.m3u"));
        QFile out(m3u);
        if (!out.open(QIODevice::WriteOnly) || out.write(list) != list.size())
            std::abort();

        root.mkdir(QStringLiteral("folder"));
        folder = root.filePath(QStringLiteral("folder"));
        const char *types[] = {"mid", "mp3", "wav", "xm"};
        for (int i = 0; i < kFolderFiles; ++i) {
            createEmptyFile(QStringLiteral("%1/track%2.%3")
                                .arg(folder)
                                .arg(i, 5, 10, QLatin1Char('0'))
                                .arg(QLatin1String(types[i % 4])));
        }
    }

    QTemporaryDir dir;
    QString m3u;
    QString folder;
};

MediaFiles &mediaFiles()
{
    static MediaFiles files;
    return files;
}

// The library, the song list and the commands over an empty program folder.
using Session = LibraryStack;

void BM_OpenM3uOf100000Songs(benchmark::State &state)
{
    MediaFiles &files = mediaFiles();
    int songs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto session = std::make_unique<Session>();
        session->dialogs.fileAnswers = {{files.m3u}};
        state.ResumeTiming();

        session->commands.OpenPlayListFiles(false);

        state.PauseTiming();
        songs = session->songs.rowCount();
        session.reset();
        state.ResumeTiming();
    }
    state.counters["songs"] = songs;
}
BENCHMARK(BM_OpenM3uOf100000Songs)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ListShortcutFolderOf10000Files(benchmark::State &state)
{
    MediaFiles &files = mediaFiles();
    Session session;
    session.commands.LoadShortcutPlayList(files.folder, true, QStringLiteral("folder"));
    for (auto _ : state)
        session.commands.LoadShortcutPlayList(QString(), false, QString());
    state.counters["songs"] = session.songs.rowCount();
}
BENCHMARK(BM_ListShortcutFolderOf10000Files)->Unit(benchmark::kMillisecond);

} // namespace
