#include "tagging/fieldparsing.h"
#include "tagging/id3tagreader.h"

#include <gtest/gtest.h>

namespace {

FieldOrder marked(std::initializer_list<const char *> names, int markedCount)
{
    FieldOrder order;
    int i = 0;
    for (const char *name : names)
        order.push_back({QString::fromUtf8(name), i++ < markedCount});
    return order;
}

const FieldOrder kArtistTitle = marked({"Artist", "Title", "Album", "Genre"}, 2);

struct FileNameCase
{
    const char *name;
    FieldOrder order;
    QStringList entries;
};

// A reader that hands out fixed texts, to see exactly what the engine sends.
class FixedReader final : public Id3TagReader
{
public:
    qint16 indicator = 0;
    QString lastPath;
    void read(const QString &path) override { lastPath = path; }
    qint16 noTagIndicator() const override { return indicator; }
    QString title() const override { return QString(); }
    QString artist() const override { return QStringLiteral(" Abba "); }
    QString album() const override { return QStringLiteral("Gold"); }
};

} // namespace

TEST(FileNameFields, SplitsAtSpacedHyphenIntoTheMarkedFields)
{
    const FileNameCase cases[] = {
        {"Band - Song.mp3", kArtistTitle, {"chArtist=Band", "chTitle=Song"}},
        {"Band - Song - Live.mp3", kArtistTitle, {"chArtist=Band", "chTitle=Song"}},
        {"Band - Song.mp3", marked({"Artist", "Title", "Album", "Genre"}, 1), {"chArtist=Band"}},
        {"Song - Band.mp3",
         marked({"Title", "Artist", "Album", "Genre"}, 3),
         {"chTitle=Song", "chArtist=Band", "chAlbum="}},
        {"Song.mp3", kArtistTitle, {}},
        {"Band-Song.mp3", kArtistTitle, {}},
        {"Band - Song.mpeg", kArtistTitle, {"chArtist=Band", "chTitle=Song"}},
        // Every media type VORN plays is an extension, two letters too; it
        // goes only from the last part: dots before it belong to the text.
        {"Band - Song.xm", kArtistTitle, {"chArtist=Band", "chTitle=Song"}},
        {"Band - Song.IT", kArtistTitle, {"chArtist=Band", "chTitle=Song"}},
        {"R.E.M - Song.mp3", kArtistTitle, {"chArtist=R.E.M", "chTitle=Song"}},
        {"R.E.M - Losing.mp3", kArtistTitle, {"chArtist=R.E.M", "chTitle=Losing"}},
        {"Band.mp3 - Song.wav", kArtistTitle, {"chArtist=Band.mp3", "chTitle=Song"}},
        {"Band - Vol.2.xm", kArtistTitle, {"chArtist=Band", "chTitle=Vol.2"}},
        {"Band - Song.mid - Live.s3m",
         marked({"Artist", "Title", "Album", "Genre"}, 3),
         {"chArtist=Band", "chTitle=Song.mid", "chAlbum=Live"}},
        // Spaces other than the separator's stay; unmarked entries keep only
        // their place, wherever they stand.
        {"  Band  - Song .mp3",
         FieldOrder{{"Genre", false}, {"Artist", true}, {"Album", false}, {"Title", true}},
         {"chArtist=  Band ", "chTitle=Song "}},
        // Nothing marked: no templates to fill, the song list titles it.
        {"Band - Song.mp3", marked({"Artist", "Title"}, 0), {}},
        // Empty parts.
        {" - Song.mp3", kArtistTitle, {"chArtist=", "chTitle=Song"}},
        {"Band - ", kArtistTitle, {"chArtist=Band", "chTitle="}},
    };
    for (const FileNameCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fileNameFieldEntries(QString::fromUtf8(c.name), c.order), c.entries);
    }
}

TEST(FileNameFields, ExtensionRuleOfTheLastPart)
{
    EXPECT_EQ(withoutExtension(QStringLiteral("Song.mp3")), QStringLiteral("Song"));
    EXPECT_EQ(withoutExtension(QStringLiteral("Song.mpeg")), QStringLiteral("Song"));
    EXPECT_EQ(withoutExtension(QStringLiteral("Song.xm")), QStringLiteral("Song"));
    EXPECT_EQ(withoutExtension(QStringLiteral("Song.Mod")), QStringLiteral("Song"));
    EXPECT_EQ(withoutExtension(QStringLiteral("Song.ab")), QStringLiteral("Song.ab"));
    EXPECT_EQ(withoutExtension(QStringLiteral("Song.flac2")), QStringLiteral("Song.flac2"));
    EXPECT_EQ(withoutExtension(QStringLiteral("Song")), QStringLiteral("Song"));
    // Parts too short for the test stay unchanged.
    EXPECT_EQ(withoutExtension(QStringLiteral(".")), QStringLiteral("."));
    EXPECT_EQ(withoutExtension(QStringLiteral("a.b")), QStringLiteral("a.b"));
    EXPECT_EQ(withoutExtension(QStringLiteral(".mp3")), QString());
    EXPECT_EQ(withoutExtension(QStringLiteral(".mpeg")), QString());
    EXPECT_EQ(withoutExtension(QString()), QString());
}

TEST(TagFields, SendsTheTextsAsReadAndNothingForAnUnusableTag)
{
    FixedReader reader;
    // No title in the tag: the file name without its extension, as for a
    // file without a tag.
    EXPECT_EQ(tagFieldEntries(reader, QStringLiteral("/m/Dancing Queen.mp3")),
              (QStringList{"chTitle=Dancing Queen", "chArtist= Abba ", "chAlbum=Gold", ""}));
    EXPECT_EQ(reader.lastPath, QStringLiteral("/m/Dancing Queen.mp3"));
    reader.indicator = 1;
    EXPECT_EQ(tagFieldEntries(reader, QStringLiteral("/m/b.mp3")), QStringList());
}

TEST(WizardFiles, FullPathsAndFileTypePatterns)
{
    EXPECT_EQ(wizardFullPath(QStringLiteral("/m"), QStringLiteral("a.mp3")),
              QStringLiteral("/m/a.mp3"));
    EXPECT_EQ(wizardFullPath(QStringLiteral("/"), QStringLiteral("a.mp3")),
              QStringLiteral("/a.mp3"));
    EXPECT_EQ(wizardFullPath(QStringLiteral("C:\\"), QStringLiteral("a.mp3")),
              QStringLiteral("C:\\a.mp3"));

    const QStringList types = wizardFileTypes();
    ASSERT_EQ(types.size(), 6);
    EXPECT_EQ(fileTypePatterns(types[0]),
              QString("*.mid;*.mpg;*.mp3;*.mp2;*.voc;*.wav;*.it;*.xm;*.s3m;*.stm;*.mod;*.mtm;"
                      "*.dsm;*.med")
                  .split(';'));
    EXPECT_EQ(fileTypePatterns(types[1]), (QStringList{"*.mpg", "*.mp3", "*.mp2"}));
    EXPECT_EQ(types[2], QStringLiteral("WAV Files (*.voc;*.wav)"));
    EXPECT_EQ(fileTypePatterns(types[2]), (QStringList{"*.voc", "*.wav"}));
    EXPECT_EQ(fileTypePatterns(types[3]).size(), 8);
    EXPECT_EQ(fileTypePatterns(types[4]), QStringList{"*.pls"});
    EXPECT_EQ(types[5], QStringLiteral("All Files (*.*)"));
    EXPECT_EQ(fileTypePatterns(types[5]), QStringList{"*"});
    // Odd items do not fail.
    EXPECT_EQ(fileTypePatterns(QStringLiteral("No pattern")), QStringList());
    EXPECT_EQ(fileTypePatterns(QStringLiteral("(")), QStringList());
}
