// The song list at 100,000 songs as the user works with it in the window:
// clicking a play list (load with its status refresh), saving it, sorting by
// a column, moving a selection, removing one row, and the start-up listing of
// a library of 200 play lists. Every row points at a media file that exists
// and gets its file-type icons; the song list view is shown and its selection
// model is what the commands read.
#include "core/duration.h"
#include "core/freedmemory.h"
#include "library/playlistfile.h"
#include "mediafiles.h"
#include "windowstack.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr int kSongs = 100000;
constexpr int kLibraryLists = 200;
constexpr int kLibraryListSongs = 1000;

SongRow songFor(const QString &file, int i)
{
    SongRow row;
    row.setField(chTitle, QStringLiteral("Song number %1 – Été").arg(i));
    row.setField(chArtist, QStringLiteral("Artist %1").arg(i / 1000));
    row.setField(chAlbum, QStringLiteral("Album %1").arg(i / 100));
    row.setField(chGenre, QStringLiteral("Rock"));
    row.setField(chLen, FormatDuration(120 + i % 400));
    row.setField(chFile, file);
    return row;
}

// The stored play list of `count` songs starting at media file `first`.
QByteArray storedList(int first, int count)
{
    const QStringList &paths = MediaFiles::instance().paths();
    std::vector<SongRow> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = first; i < first + count; ++i)
        rows.push_back(songFor(paths[i % paths.size()], i));
    return PlayListFile::serialize(rows);
}

void writeStored(const QString &path, const QByteArray &bytes)
{
    if (!PlayListFile::writeAtomically(path, bytes))
        std::abort();
}

// A program folder with the play list Big of 100,000 songs and a small one,
// shown in the window as at the end of the start-up.
struct Fixture : WindowStack
{
    Fixture()
    {
        writeStored(dir.filePath(QStringLiteral("Big.sdf")), storedList(0, kSongs));
        writeStored(dir.filePath(QStringLiteral("Small.sdf")), storedList(0, 10));
        store.LoadPlayLists();
        settle();
    }

    // Clicks the play list `row` of the library, as the window's click does.
    void show(int row)
    {
        store.selectPlayList(row);
        store.loadPlayListAt(row);
        settle();
    }
};

// Made on first use, destroyed by main() while the application still exists.
std::unique_ptr<Fixture> &fixtureSlot()
{
    static std::unique_ptr<Fixture> f;
    return f;
}

Fixture &fixture()
{
    if (!fixtureSlot())
        fixtureSlot() = std::make_unique<Fixture>();
    return *fixtureSlot();
}

void BM_LoadPlayListWithStatusRefresh(benchmark::State &state)
{
    Fixture &f = fixture();
    const int big = f.library.findByName(QStringLiteral("Big"));
    const int small = f.library.findByName(QStringLiteral("Small"));
    for (auto _ : state) {
        state.PauseTiming();
        f.show(small);
        state.ResumeTiming();
        f.show(big);
    }
    state.counters["songs"] = f.songs.rowCount();
}
BENCHMARK(BM_LoadPlayListWithStatusRefresh)->Unit(benchmark::kMillisecond)->Iterations(10);

// Reading a stored list of 100,000 songs whose lines end in CR LF (as VORN
// writes them), CR only, or LF only: every kind reads in the same time.
void BM_ReadListByLineEnd(benchmark::State &state)
{
    static const char *const kEnds[] = {"\r\n", "\r", "\n"};
    std::vector<SongRow> rows;
    rows.reserve(kSongs);
    for (int i = 0; i < kSongs; ++i)
        rows.push_back(songFor(QStringLiteral("/music/%1.mp3").arg(i), i));
    QByteArray bytes = PlayListFile::serialize(rows);
    bytes.replace("\r\n", kEnds[state.range(0)]);
    for (auto _ : state) {
        const PlayListFile::Content content = PlayListFile::parse(bytes);
        if (content.songs.size() != static_cast<size_t>(kSongs))
            std::abort();
        benchmark::DoNotOptimize(content.songs.data());
    }
    state.SetLabel(state.range(0) == 0 ? "CR LF" : state.range(0) == 1 ? "CR" : "LF");
}
BENCHMARK(BM_ReadListByLineEnd)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_SavePlayList(benchmark::State &state)
{
    Fixture &f = fixture();
    f.show(f.library.findByName(QStringLiteral("Big")));
    for (auto _ : state)
        f.store.SavePlayList(false);
    state.counters["bytes"] = static_cast<double>(QFile(f.dir.filePath("Big.sdf")).size());
}
BENCHMARK(BM_SavePlayList)->Unit(benchmark::kMillisecond);

void BM_SortByColumn(benchmark::State &state)
{
    Fixture &f = fixture();
    f.show(f.library.findByName(QStringLiteral("Big")));
    for (auto _ : state) {
        f.editor.lvSongs_ColumnClick(chArtist);
        WindowStack::settle();
    }
}
BENCHMARK(BM_SortByColumn)->Unit(benchmark::kMillisecond);

// Every other row of a thousand in the middle selected, as by Ctrl+clicks,
// then Move Up: 500 selection ranges that follow their rows through the move
// of the whole list.
void BM_MoveUpEveryOtherOfAThousandRows(benchmark::State &state)
{
    Fixture &f = fixture();
    f.show(f.library.findByName(QStringLiteral("Big")));
    QItemSelectionModel &selection = *f.view.selectionModel();
    const int first = f.songs.rowCount() / 2;
    for (auto _ : state) {
        state.PauseTiming();
        QItemSelection rows;
        for (int row = first + 1; row < first + 1000; row += 2)
            rows.select(f.songs.index(row, 0), f.songs.index(row, kSongColumnCount - 1));
        selection.select(rows, QItemSelectionModel::ClearAndSelect);
        WindowStack::settle();
        state.ResumeTiming();

        f.editor.moveUp();
        WindowStack::settle();
    }
    selection.clearSelection();
}
BENCHMARK(BM_MoveUpEveryOtherOfAThousandRows)->Unit(benchmark::kMillisecond)->Iterations(5);

// All rows but the first selected (as by a click on row 2 and Shift+End),
// then Move Up; and all but the last, then Move Down: one selection range that
// follows nearly every row of the list.
void BM_MoveAllButOneRow(benchmark::State &state)
{
    Fixture &f = fixture();
    f.show(f.library.findByName(QStringLiteral("Big")));
    QItemSelectionModel &selection = *f.view.selectionModel();
    const bool up = state.range(0) == 0;
    const int last = f.songs.rowCount() - 1;
    for (auto _ : state) {
        state.PauseTiming();
        selection.select(QItemSelection(f.songs.index(up ? 1 : 0, 0),
                                        f.songs.index(up ? last : last - 1, kSongColumnCount - 1)),
                         QItemSelectionModel::ClearAndSelect);
        WindowStack::settle();
        state.ResumeTiming();

        if (up)
            f.editor.moveUp();
        else
            f.editor.moveDown();
        WindowStack::settle();
    }
    selection.clearSelection();
    state.SetLabel(up ? "Move Up" : "Move Down");
}
BENCHMARK(BM_MoveAllButOneRow)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(5);

// Ctrl+A in the song list: the view selects all 100,000 rows.
void BM_SelectAll(benchmark::State &state)
{
    Fixture &f = fixture();
    f.show(f.library.findByName(QStringLiteral("Big")));
    QTableView &details = *f.view.detailsView();
    for (auto _ : state) {
        state.PauseTiming();
        details.selectionModel()->clearSelection();
        WindowStack::settle();
        state.ResumeTiming();

        details.selectAll();
        WindowStack::settle();
    }
    details.selectionModel()->clearSelection();
}
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMillisecond)->Iterations(10);

// One row in the middle selected by a click, then Remove.
void BM_RemoveOneRow(benchmark::State &state)
{
    Fixture &f = fixture();
    f.show(f.library.findByName(QStringLiteral("Big")));
    QItemSelectionModel &selection = *f.view.selectionModel();
    for (auto _ : state) {
        state.PauseTiming();
        selection.setCurrentIndex(f.songs.index(f.songs.rowCount() / 2, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        WindowStack::settle();
        state.ResumeTiming();

        f.editor.RemoveSelectedSongs();
        WindowStack::settle();
    }
    state.counters["songs"] = f.songs.rowCount();
}
BENCHMARK(BM_RemoveOneRow)->Unit(benchmark::kMillisecond)->Iterations(20);

// One repaint of the shown details view of the 100,000-song list scrolled to
// its middle: the texts are the ones the last paint showed, as after a row
// removed below the visible part or a window exposed again.
void BM_RepaintSongList(benchmark::State &state)
{
    Fixture &f = fixture();
    f.show(f.library.findByName(QStringLiteral("Big")));
    QTableView &details = *f.view.detailsView();
    details.scrollTo(f.songs.index(f.songs.rowCount() / 2, 0), QAbstractItemView::PositionAtCenter);
    WindowStack::settle();
    details.viewport()->repaint();
    for (auto _ : state)
        details.viewport()->repaint();
    state.counters["rows"] = details.viewport()->height() / std::max(1, details.rowHeight(0));
}
BENCHMARK(BM_RepaintSongList)->Unit(benchmark::kMillisecond);

// Times the start-up's load over `folder`: its working copies deleted, then
// listed, the first play list loaded and shown. `after` sees each stack once
// the timing has paused.
void timeStartUps(benchmark::State &state, const QString &folder,
                  const std::function<void(WindowStack &)> &after)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto stack = std::make_unique<WindowStack>(folder);
        stack->store.DeleteWorkingCopies();
        state.ResumeTiming();

        stack->store.LoadPlayLists();
        WindowStack::settle();

        state.PauseTiming();
        after(*stack);
        stack.reset();
        state.ResumeTiming();
    }
}

// The start-up's listing: a program folder of 200 play lists of 1,000 songs
// each and no working copies.
void BM_ListLibraryOf200PlayLists(benchmark::State &state)
{
    QTemporaryDir folder;
    for (int i = 0; i < kLibraryLists; ++i) {
        writeStored(folder.filePath(QStringLiteral("List %1.sdf").arg(i, 3, 10, QLatin1Char('0'))),
                    storedList(i * kLibraryListSongs, kLibraryListSongs));
    }
    int lists = 0;
    timeStartUps(state, folder.path(), [&lists](WindowStack &stack) { lists = stack.library.count(); });
    state.counters["lists"] = lists;
}
BENCHMARK(BM_ListLibraryOf200PlayLists)->Unit(benchmark::kMillisecond)->Iterations(10);

// The start-up's load of a program folder whose one play list holds 100,000
// songs and has no working copy yet (as after a clean close), its working
// copy made. What the window waits for; a big working copy is written on the
// writer's thread, outside the timing.
void BM_StartUpLoadWithWorkingCopy(benchmark::State &state)
{
    QTemporaryDir folder;
    writeStored(folder.filePath(QStringLiteral("Big.sdf")), storedList(0, kSongs));
    int songs = 0;
    timeStartUps(state, folder.path(), [&](WindowStack &stack) {
        songs = stack.songs.rowCount();
        stack.store.finishWrites();
        if (!QFile::exists(folder.filePath(QStringLiteral("Big.tmp"))))
            std::abort();
    });
    state.counters["songs"] = songs;
}
BENCHMARK(BM_StartUpLoadWithWorkingCopy)->Unit(benchmark::kMillisecond)->Iterations(10);

// Peak resident memory of a process of its own, in MiB, and the bytes its
// heap holds at the end: `load` chooses whether it loads the 100,000-song
// list or only builds the window stack.
struct ChildMemory
{
    double peakMegabytes = -1;
    double heapBytes = -1;
};
ChildMemory childMemory(bool load, const QString &folder)
{
    QProcess child;
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--peak-rss-child"), load ? QStringLiteral("load") : QString(), folder});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return {};
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    return {figures.value(0).toDouble() / 1024.0, figures.value(1).toDouble()};
}

void BM_PeakMemoryWith100000Rows(benchmark::State &state)
{
    // The list is written once, before the children start.
    QTemporaryDir folder;
    writeStored(folder.filePath(QStringLiteral("Big.sdf")), storedList(0, kSongs));
    ChildMemory empty;
    ChildMemory loaded;
    for (auto _ : state) {
        empty = childMemory(false, folder.path());
        loaded = childMemory(true, folder.path());
    }
    state.counters["MB_peak"] = loaded.peakMegabytes;
    state.counters["MB_rows"] = loaded.peakMegabytes - empty.peakMegabytes;
    // What a song costs once loaded, against what it takes in its file.
    state.counters["B_per_song"] = (loaded.heapBytes - empty.heapBytes) / kSongs;
    state.counters["B_per_song_in_file"] =
        static_cast<double>(QFileInfo(folder.filePath(QStringLiteral("Big.sdf"))).size()) / kSongs;
}
BENCHMARK(BM_PeakMemoryWith100000Rows)->Unit(benchmark::kMillisecond)->Iterations(1);

// The child of BM_PeakMemoryWith100000Rows: prints its peak RSS in KiB and
// the bytes its heap holds, once the list's working copy is written. The
// high-water mark of this program image only (VmHWM): getrusage would count
// the parent's memory that the child shared before it started this program.
int peakRssChild(bool load, const QString &folder)
{
    WindowStack stack(folder);
    if (load) {
        stack.store.LoadPlayLists();
        WindowStack::settle();
        if (stack.songs.rowCount() != kSongs)
            return 1;
        stack.store.finishWrites();
    }
    releaseFreedMemory();
    double heap = -1;
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    heap = static_cast<double>(info.uordblks + info.hblkhd);
#endif
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            std::printf("%s %.0f\n", line.mid(6).trimmed().split(' ').value(0).constData(), heap);
            return 0;
        }
    }
    return 1;
}

} // namespace

int anonMemoryChild(const QString &mode, const QString &path, const QString &folder); // import_bench.cpp
int analyserPeakChild(const QString &file); // loudness_bench.cpp

int main(int argc, char **argv)
{
    // As the program does.
    useOneMemoryPool();
    // The window's views need a GUI platform; no display is needed to measure.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ensureIconTheme();
    if (argc == 5 && std::strcmp(argv[1], "--rss-child") == 0)
        return anonMemoryChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                               QString::fromLocal8Bit(argv[4]));
    if (argc == 4 && std::strcmp(argv[1], "--peak-rss-child") == 0)
        return peakRssChild(std::strcmp(argv[2], "load") == 0, QString::fromLocal8Bit(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "--analyser-peak-child") == 0)
        return analyserPeakChild(QString::fromLocal8Bit(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixtureSlot().reset();
    return 0;
}
