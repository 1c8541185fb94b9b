// Importing big play lists as the user does it: opening an M3U list of
// 100,000 songs (absolute paths of .mp3 and .wav files that exist, so every
// length estimate reads the file's size) as a new play list, and listing a
// shortcut play list's folder of 10,000 media files. Both include the status
// refresh that writes the working copy, as the main window does.
#include "mediafiles.h"
#include "windowstack.h"

#include <QDir>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <algorithm>
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
    double stall = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto stack = std::make_unique<WindowStack>();
        stack->dialogs.fileAnswers = {{list.path}};
        state.ResumeTiming();

        LongestStall window;
        stack->commands.OpenPlayListFiles(false);
        WindowStack::settle();
        stall = std::max(stall, window.milliseconds());

        state.PauseTiming();
        songs = stack->songs.rowCount();
        stack.reset();
        state.ResumeTiming();
    }
    state.counters["songs"] = songs;
    // The longest the window's thread went without answering events.
    state.counters["ms_stall_max"] = stall;
}
BENCHMARK(BM_OpenM3uOf100000Songs)->Unit(benchmark::kMillisecond)->Iterations(5);

// The floor of an import: a bare program that reads the same M3U list and
// looks up the size of each file it names, one after the other.
void BM_M3uFloorReadAndLookUp(benchmark::State &state)
{
    static const M3uList list;
    qint64 bytes = 0;
    for (auto _ : state) {
        QFile file(list.path);
        if (!file.open(QIODevice::ReadOnly))
            std::abort();
        bytes = 0;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (!line.isEmpty() && !line.startsWith('#'))
                bytes += QFileInfo(QString::fromUtf8(line)).size();
        }
    }
    benchmark::DoNotOptimize(bytes);
}
BENCHMARK(BM_M3uFloorReadAndLookUp)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ListShortcutFolderOf10000Files(benchmark::State &state)
{
    static const ShortcutFolder folder;
    WindowStack stack;
    stack.commands.LoadShortcutPlayList(folder.dir.path(), true, QStringLiteral("folder"));
    WindowStack::settle();
    double stall = 0;
    for (auto _ : state) {
        LongestStall window;
        stack.commands.LoadShortcutPlayList(QString(), false, QString());
        WindowStack::settle();
        stall = std::max(stall, window.milliseconds());
    }
    state.counters["songs"] = stack.songs.rowCount();
    state.counters["ms_stall_max"] = stall;
}
BENCHMARK(BM_ListShortcutFolderOf10000Files)->Unit(benchmark::kMillisecond);

// The anonymous memory of a process of its own after `mode` ("import": the
// M3U opened as a new play list and saved into `folder`; "load": the start-up
// load of that folder), in MiB; -1 when the child failed.
double childAnonMegabytes(const char *mode, const QString &path, const QString &folder)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--rss-child"), QLatin1String(mode), path, folder});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().toDouble() / 1024.0;
}

// What the 100,000-song list costs after an import against after a load of
// the same list at start-up: the same, once the import's own work is freed.
void BM_MemoryImportedAgainstLoaded(benchmark::State &state)
{
    static const M3uList list;
    QTemporaryDir folder;
    double imported = 0;
    double loaded = 0;
    for (auto _ : state) {
        imported = childAnonMegabytes("import", list.path, folder.path());
        loaded = childAnonMegabytes("load", QString(), folder.path());
    }
    state.counters["MB_anon_imported"] = imported;
    state.counters["MB_anon_loaded"] = loaded;
}
BENCHMARK(BM_MemoryImportedAgainstLoaded)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

// The child of BM_MemoryImportedAgainstLoaded: prints its RssAnon in KiB.
int anonMemoryChild(const QString &mode, const QString &path, const QString &folder)
{
    WindowStack stack(folder);
    const bool import = mode == QLatin1String("import");
    if (import) {
        stack.dialogs.fileAnswers = {{path}};
        stack.commands.OpenPlayListFiles(false);
    } else {
        stack.store.LoadPlayLists();
    }
    WindowStack::settle();
    stack.store.finishWrites();
    WindowStack::settle();
    if (stack.songs.rowCount() != MediaFiles::kCount)
        return 1;
    QByteArray anon;
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("RssAnon:"))
            anon = line.mid(8).trimmed().split(' ').value(0);
    }
    // The imported list, stored, is what the other child loads.
    if (import)
        stack.store.SavePlayList(false);
    if (anon.isEmpty())
        return 1;
    std::printf("%s\n", anon.constData());
    return 0;
}
