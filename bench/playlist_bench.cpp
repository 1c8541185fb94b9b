// Loading, refreshing and saving a play list of 100,000 songs, as the user
// sees it: the library's LoadPlayList with its status refresh (which writes
// the working copy), and SavePlayList of the stored file.
#include "library/playlistfile.h"
#include "library/songorder.h"
#include "core/duration.h"
#include "support/librarystack.h"

#include <QCoreApplication>
#include <QFile>

#include <benchmark/benchmark.h>

namespace {

constexpr int kSongs = 100000;

struct Fixture : LibraryStack
{
    Fixture()
    {
        std::vector<SongRow> rows;
        rows.reserve(kSongs);
        for (int i = 0; i < kSongs; ++i) {
            SongRow row;
            row.fields[chTitle] = QStringLiteral("Song number %1 – Été").arg(i);
            row.fields[chArtist] = QStringLiteral("Artist %1").arg(i % 977);
            row.fields[chAlbum] = QStringLiteral("Album %1").arg(i % 5003);
            row.fields[chGenre] = QStringLiteral("Rock");
            row.fields[chLen] = FormatDuration(120 + i % 400);
            row.fields[chFile] =
                QStringLiteral("/srv/music/library/artist%1/song%2.mp3").arg(i % 977).arg(i);
            rows.push_back(std::move(row));
        }
        PlayListFile::writeAtomically(dir.filePath(QStringLiteral("Big.sdf")),
                                      PlayListFile::serialize(rows));
        store.LoadPlayLists();
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_LoadPlayListWithStatusRefresh(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state)
        f.store.LoadPlayList(QStringLiteral("Big"));
    state.counters["songs"] = f.songs.rowCount();
}
BENCHMARK(BM_LoadPlayListWithStatusRefresh)->Unit(benchmark::kMillisecond);

void BM_SavePlayList(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state)
        f.store.SavePlayList(false);
    state.counters["bytes"] = static_cast<double>(QFile(f.dir.filePath("Big.sdf")).size());
}
BENCHMARK(BM_SavePlayList)->Unit(benchmark::kMillisecond);

void BM_SortByColumn(benchmark::State &state)
{
    Fixture &f = fixture();
    f.store.LoadPlayList(QStringLiteral("Big"));
    bool descending = false;
    for (auto _ : state) {
        f.songs.sort(chArtist, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        descending = !descending;
    }
}
BENCHMARK(BM_SortByColumn)->Unit(benchmark::kMillisecond);

void BM_MoveUpEveryOtherRow(benchmark::State &state)
{
    Fixture &f = fixture();
    f.store.LoadPlayList(QStringLiteral("Big"));
    std::vector<bool> selected(static_cast<size_t>(f.songs.rowCount()));
    for (size_t i = 0; i < selected.size(); ++i)
        selected[i] = i % 2 == 1;
    for (auto _ : state)
        f.songs.reorder(SongOrder::moveUp(selected));
}
BENCHMARK(BM_MoveUpEveryOtherRow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
