#include "support/librarystack.h"
#include "support/taggedfiles.h"
#include "tagging/addengines.h"
#include "tagging/libraryplaylisttarget.h"
#include "tagging/taglibtagreader.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// The engines add through the real song list, over real files.
class AddEnginesTest : public ::testing::Test
{
protected:
    AddEnginesTest() { QDir(lib.dir.path()).mkpath("media"); }

    QString folder() const { return lib.dir.filePath("media"); }
    QString file(const QString &name) const { return folder() + QLatin1Char('/') + name; }

    void tagged(const QString &name, const TagTexts &texts, TagKinds kinds = TagKinds::Id3v2)
    {
        ASSERT_TRUE(writeTaggedMp3(file(name), texts, kinds));
    }

    // Title, Artist, Album, Genre and File of every row.
    std::vector<QStringList> rows() const
    {
        std::vector<QStringList> result;
        for (int row = 0; row < lib.songs.rowCount(); ++row) {
            const SongRow &song = lib.songs.row(row);
            result.push_back({song.field(chTitle), song.field(chArtist), song.field(chAlbum),
                              song.field(chGenre), song.field(chFile)});
        }
        return result;
    }

    static TagReaderFactory tagLib()
    {
        return [] { return std::make_unique<TagLibTagReader>(); };
    }

    LibraryStack lib;
    LibraryPlayListTarget target{lib.store, lib.commands, lib.editor};
};

} // namespace

TEST_F(AddEnginesTest, TagEngineFillsTitleArtistAlbumFromRealFiles)
{
    tagged("01.mp3", {"Dancing Queen", "ABBA", "Arrival"});
    tagged("02.mp3", {"Waterloo", "ABBA", "Waterloo"}, TagKinds::Id3v1);
    tagged("03 Untagged.mp3", {}, TagKinds::None);
    tagged("04.mp3", {"", "No Title", "Album"});
    lib.commands.NewPlayList(QString());
    lib.songs.clear();
    // Genre keeps what the song list gives a new row.
    const int added =
        AddWithTags(folder(), {"01.mp3", "02.mp3", "03 Untagged.mp3", "04.mp3", "05 Gone.mp3"},
                    tagLib(), target);
    EXPECT_EQ(added, 5);
    const std::vector<QStringList> expected = {
        {"Dancing Queen", "ABBA", "Arrival", "", file("01.mp3")},
        {"Waterloo", "ABBA", "Waterloo", "", file("02.mp3")},
        {"03 Untagged", "", "", "", file("03 Untagged.mp3")},
        {"04", "No Title", "Album", "", file("04.mp3")},
        {"05 Gone", "", "", "", file("05 Gone.mp3")},
    };
    EXPECT_EQ(rows(), expected);
    // The length comes from the file's size; the gone file gets none.
    EXPECT_EQ(lib.songs.row(0).field(chLen), QStringLiteral("00:00"));
    EXPECT_EQ(lib.songs.row(4).field(chLen), QStringLiteral("00:00"));
}

TEST_F(AddEnginesTest, TagEngineWithoutAReaderAddsWithoutFields)
{
    tagged("Band - Song.mp3", {"Tagged", "Band", ""});
    lib.commands.NewPlayList(QString());
    const TagReaderFactory none = [] { return std::unique_ptr<Id3TagReader>(); };
    EXPECT_EQ(AddWithTags(folder(), {"Band - Song.mp3"}, none, target), 1);
    EXPECT_EQ(rows(),
              (std::vector<QStringList>{{"Band - Song", "", "", "", file("Band - Song.mp3")}}));
}

TEST_F(AddEnginesTest, FileNameEngineFillsMarkedFieldsInListOrder)
{
    for (const char *name : {"Band - Song.mp3", "Band - Song - Live.mp3", "Song.mp3",
                             "Band-Song.mp3", "R.E.M - Song.mp3", "Band - Song.xm"})
        tagged(QString::fromUtf8(name), {"Tag Title", "Tag Artist", ""});
    lib.commands.NewPlayList(QString());
    const FieldOrder order = readFieldOrder(QStringLiteral("1Artist,0Genre,1Title,0Album,"));
    EXPECT_EQ(AddWithFileNames(folder(),
                               {"Band - Song.mp3", "Band - Song - Live.mp3", "Song.mp3",
                                "Band-Song.mp3", "R.E.M - Song.mp3", "Band - Song.xm"},
                               order, target),
              6);
    const std::vector<QStringList> expected = {
        {"Song", "Band", "", "", file("Band - Song.mp3")},
        {"Song", "Band", "", "", file("Band - Song - Live.mp3")},
        {"Song", "", "", "", file("Song.mp3")},
        {"Band-Song", "", "", "", file("Band-Song.mp3")},
        {"Song", "R.E.M", "", "", file("R.E.M - Song.mp3")},
        {"Song", "Band", "", "", file("Band - Song.xm")},
    };
    EXPECT_EQ(rows(), expected);
}

TEST_F(AddEnginesTest, FileNameEngineWithOnlyArtistMarkedKeepsTheSongListsTitle)
{
    tagged("Band - Song.mp3", {}, TagKinds::None);
    lib.commands.NewPlayList(QString());
    AddWithFileNames(folder(), {"Band - Song.mp3"},
                     readFieldOrder(QStringLiteral("0Title,1Artist,0Album,0Genre,")), target);
    // With fields the row starts without text, and no Title entry fills it.
    EXPECT_EQ(rows(), (std::vector<QStringList>{{"", "Band", "", "", file("Band - Song.mp3")}}));
}

TEST_F(AddEnginesTest, StoppingTheBatchKeepsWhatWasAdded)
{
    lib.commands.NewPlayList(QString());
    std::vector<int> steps;
    const int added =
        AddWithFileNames(folder(), {"A - 1.mp3", "B - 2.mp3", "C - 3.mp3"},
                         readFieldOrder(QStringLiteral("1Artist,")), target, [&](int done) {
                             steps.push_back(done);
                             return done < 2;
                         });
    EXPECT_EQ(added, 2);
    EXPECT_EQ(steps, (std::vector<int>{1, 2}));
    ASSERT_EQ(lib.songs.rowCount(), 2);
    EXPECT_EQ(lib.songs.row(1).field(chArtist), QStringLiteral("B"));
}

TEST_F(AddEnginesTest, TargetGoesThroughTheLibrarysOperations)
{
    EXPECT_FALSE(target.hasSelectedPlayList());
    target.NewPlayList(QString());
    EXPECT_TRUE(target.hasSelectedPlayList());
    ASSERT_EQ(lib.library.count(), 1);
    lib.library.setTag(0, QString());
    target.Add2PlayList(file("a.mp3"), {"chTitle=A"});
    EXPECT_EQ(lib.library.entry(0).tag, QString());
    target.SetModifyedPLFlag();
    EXPECT_EQ(lib.library.entry(0).tag, QStringLiteral("*"));
    EXPECT_EQ(lib.songs.row(0).field(chTitle), QStringLiteral("A"));
}
