// Importing big play lists as the user does it: opening an M3U list of
// 100,000 songs (absolute paths of .mp3 and .wav files that exist, so every
// length estimate reads the file's size) as a new play list, and listing a
// shortcut play list's folder of 10,000 media files. Both include the status
// refresh that writes the working copy, as the main window does.
#include "mediafiles.h"
#include "windowstack.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kFolderFiles = 10000;

// The M3U list of every media file, with the extended info lines another
// player writes.
struct M3uList
{
    M3uList()
    {
        QByteArray list = "#EXTM3U\n";
        for (const QString &path : MediaFiles::instance().paths())
            list += "#EXTINF:180,Artist - Song\n" + path.toUtf8() + '\n';
        path = dir.filePath(QStringLiteral("Big.m3u"));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(list) != list.size())
            std::abort();
    }

    QTemporaryDir dir;
    QString path;
};

// A folder of 10,000 media files for a shortcut play list.
struct ShortcutFolder
{
    ShortcutFolder()
    {
        for (int i = 0; i < kFolderFiles; ++i) {
            QFile file(QStringLiteral("%1/track%2.%3")
                           .arg(dir.path())
                           .arg(i, 5, 10, QLatin1Char('0'))
                           .arg(i % 2 ? QLatin1String("wav") : QLatin1String("mp3")));
            if (!file.open(QIODevice::WriteOnly) || !file.resize(4096))
                std::abort();
        }
    }

    QTemporaryDir dir;
};

void BM_OpenM3uOf100000Songs(benchmark::State &state)
{
    static const M3uList list;
    int songs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto stack = std::make_unique<WindowStack>();
        stack->dialogs.fileAnswers = {{list.path}};
        state.ResumeTiming();

        stack->commands.OpenPlayListFiles(false);
        WindowStack::settle();

        state.PauseTiming();
        songs = stack->songs.rowCount();
        stack.reset();
        state.ResumeTiming();
    }
    state.counters["songs"] = songs;
}
BENCHMARK(BM_OpenM3uOf100000Songs)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ListShortcutFolderOf10000Files(benchmark::State &state)
{
    static const ShortcutFolder folder;
    WindowStack stack;
    stack.commands.LoadShortcutPlayList(folder.dir.path(), true, QStringLiteral("folder"));
    WindowStack::settle();
    for (auto _ : state) {
        stack.commands.LoadShortcutPlayList(QString(), false, QString());
        WindowStack::settle();
    }
    state.counters["songs"] = stack.songs.rowCount();
}
BENCHMARK(BM_ListShortcutFolderOf10000Files)->Unit(benchmark::kMillisecond);

} // namespace
