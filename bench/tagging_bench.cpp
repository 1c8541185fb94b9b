// Adding 10,000 selected tagged mp3 files through the tag engine, as the Add
// Wizard's Open does: one TagLib reader for the run, each file's tag read and
// its song appended to the song list.
#include "support/librarystack.h"
#include "support/taggedfiles.h"
#include "tagging/addengines.h"
#include "tagging/libraryplaylisttarget.h"
#include "tagging/taglibtagreader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kTaggedFiles = 10000;

// The files are made once: a few distinct tagged files written by TagLib,
// copied under 10,000 names.
struct TaggedFolder
{
    TaggedFolder()
    {
        QDir root(dir.path());
        root.mkdir(QStringLiteral("templates"));
        root.mkdir(QStringLiteral("media"));
        folder = root.filePath(QStringLiteral("media"));
        QStringList templates;
        for (int i = 0; i < 8; ++i) {
            const QString path = root.filePath(QStringLiteral("templates/%1.mp3").arg(i));
            const TagKinds kinds = i % 4 == 3 ? TagKinds::Id3v1 : TagKinds::Both;
            if (!writeTaggedMp3(path,
                                {QStringLiteral("Title %1").arg(i),
                                 QStringLiteral("Artist %1").arg(i), QStringLiteral("Album")},
                                kinds))
                std::abort();
            templates.append(path);
        }
        for (int i = 0; i < kTaggedFiles; ++i) {
            const QString name =
                QStringLiteral("Artist - Song %1.mp3").arg(i, 5, 10, QLatin1Char('0'));
            if (!QFile::copy(templates[i % templates.size()], folder + QLatin1Char('/') + name))
                std::abort();
            names.append(name);
        }
    }

    QTemporaryDir dir;
    QString folder;
    QStringList names;
};

TaggedFolder &taggedFolder()
{
    static TaggedFolder files;
    return files;
}

void BM_AddWithTagsOf10000Files(benchmark::State &state)
{
    TaggedFolder &files = taggedFolder();
    const TagReaderFactory tagLib = [] { return std::make_unique<TagLibTagReader>(); };
    int songs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto session = std::make_unique<LibraryStack>();
        LibraryPlayListTarget target(session->store, session->commands, session->editor);
        target.NewPlayList(QString());
        state.ResumeTiming();

        AddWithTags(files.folder, files.names, tagLib, target);
        target.SetModifyedPLFlag();

        state.PauseTiming();
        songs = session->songs.rowCount();
        if (session->songs.row(0).field(chTitle).isEmpty())
            std::abort();
        session.reset();
        state.ResumeTiming();
    }
    state.counters["songs"] = songs;
    state.SetItemsProcessed(state.iterations() * kTaggedFiles);
}
BENCHMARK(BM_AddWithTagsOf10000Files)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
