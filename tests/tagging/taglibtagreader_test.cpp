#include "support/taggedfiles.h"
#include "tagging/taglibtagreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class TagLibTagReaderTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    QString tagged(const QString &name, const TagTexts &texts, TagKinds kinds, int pictureBytes = 0)
    {
        const QString file = path(name);
        EXPECT_TRUE(writeTaggedMp3(file, texts, kinds, pictureBytes));
        return file;
    }

    static QByteArray bytes(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void append(const QString &file, const QByteArray &data)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::Append));
        ASSERT_EQ(f.write(data), data.size());
    }

    void expectRead(const QString &file, const TagTexts &texts)
    {
        reader.read(file);
        EXPECT_EQ(reader.noTagIndicator(), 0);
        EXPECT_EQ(reader.title(), texts.title);
        EXPECT_EQ(reader.artist(), texts.artist);
        EXPECT_EQ(reader.album(), texts.album);
    }

    void expectNothing(const QString &file)
    {
        reader.read(file);
        EXPECT_NE(reader.noTagIndicator(), 0);
    }

    QTemporaryDir dir;
    TagLibTagReader reader;
};

} // namespace

TEST_F(TagLibTagReaderTest, ReadsId3v2AndId3v1AsTheTagHoldsThem)
{
    const TagTexts v2{" Dancing Queen ", "ABBA", "Arrival – Deluxe 日本"};
    const QString v2File = tagged("v2.mp3", v2, TagKinds::Id3v2);
    EXPECT_TRUE(bytes(v2File).startsWith("ID3"));
    expectRead(v2File, v2);

    // ID3v1 fields are fixed-width: the padding goes, leading spaces stay.
    const TagTexts v1{" Waterloo", "ABBA", "Waterloo"};
    const QString v1File = tagged("v1.mp3", v1, TagKinds::Id3v1);
    EXPECT_EQ(bytes(v1File).right(128).left(3), QByteArray("TAG"));
    expectRead(v1File, v1);

    // Only an artist: still a tag to use, with an empty title.
    expectRead(tagged("artist.mp3", {"", "ABBA", ""}, TagKinds::Id3v2), {"", "ABBA", ""});

    // The reader forgets the previous file.
    expectNothing(tagged("none.mp3", {}, TagKinds::None));
    EXPECT_EQ(reader.title(), QString());
    EXPECT_EQ(reader.artist(), QString());
}

TEST_F(TagLibTagReaderTest, Id3v1InWindows1252AndUtf8)
{
    const QString file = path("cp1252.mp3");
    ASSERT_TRUE(writeSilentMp3(file));
    // "Café “Live” €5" in Windows-1252, an artist in plain ASCII, and an album
    // padded with spaces as some taggers do.
    append(file, rawId3v1("Caf\xe9 \x93Live\x94 \x80"
                          "5",
                          "Motorhead", "Hits   "));
    expectRead(file, {QString::fromUtf8("Café “Live” €5"), "Motorhead", "Hits"});

    const QString utf8 = path("utf8.mp3");
    ASSERT_TRUE(writeSilentMp3(utf8));
    append(utf8, rawId3v1("Mot\xc3\xb6rhead", "", ""));
    expectRead(utf8, {QString::fromUtf8("Motörhead"), "", ""});
}

TEST_F(TagLibTagReaderTest, NothingToUseInFilesWithoutAUsableTag)
{
    // A tag holding only a year and a comment.
    const QString yearOnly = path("year.mp3");
    ASSERT_TRUE(writeSilentMp3(yearOnly));
    append(yearOnly, rawId3v1("", "", ""));
    expectNothing(yearOnly);

    // Not audio at all under an .mp3 name, an empty file, a folder, a file
    // that is gone.
    QFile text(path("letter.mp3"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray("Dear customer,\nthis is not a song.\n").repeated(200));
    text.close();
    expectNothing(text.fileName());
    QFile empty(path("empty.mp3"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    expectNothing(empty.fileName());
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.mp3"));
    expectNothing(path("folder.mp3"));
    const QString gone = tagged("gone.mp3", {"Gone", "", ""}, TagKinds::Id3v2);
    ASSERT_TRUE(QFile::remove(gone));
    expectNothing(gone);
    EXPECT_EQ(reader.noTagIndicator(), TagLibTagReader::kUnreadable);
}

TEST_F(TagLibTagReaderTest, DamagedAndHugeTagsDoNotFail)
{
    // The header of an ID3v2 tag claims far more than the file holds.
    const QString truncated = tagged("truncated.mp3", {"Cut", "Short", ""}, TagKinds::Id3v2);
    QByteArray data = bytes(truncated);
    QFile out(truncated);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(data.left(24));
    out.close();
    // What survives of the frames is read.
    reader.read(truncated);
    EXPECT_EQ(reader.noTagIndicator(), 0);
    EXPECT_EQ(reader.title(), QStringLiteral("Cut"));

    // Garbage frames inside a tag of a valid size.
    const QString garbled = tagged("garbled.mp3", {"Fine", "", ""}, TagKinds::Id3v2);
    data = bytes(garbled);
    for (int i = 10; i < 40 && i < data.size(); ++i)
        data[i] = char(0xFF - i);
    QFile rewrite(garbled);
    ASSERT_TRUE(rewrite.open(QIODevice::WriteOnly));
    rewrite.write(data);
    rewrite.close();
    reader.read(garbled);
    EXPECT_EQ(reader.noTagIndicator(), TagLibTagReader::kNoUsableTag);

    // A five-megabyte cover picture in front of the texts.
    const QString huge =
        tagged("huge.mp3", {"Big", "Picture", "Album"}, TagKinds::Id3v2, 5 * 1024 * 1024);
    EXPECT_GT(QFileInfo(huge).size(), 5 * 1024 * 1024);
    expectRead(huge, {"Big", "Picture", "Album"});
}

TEST_F(TagLibTagReaderTest, PrefersId3v2AndFillsGapsFromId3v1)
{
    const QString file = tagged("both.mp3", {"Two", "Artist", ""}, TagKinds::Both);
    expectRead(file, {"Two", "Artist", ""});
}

// A tag text is kept up to 1,024 characters, cut between characters, and a
// text of NULs only is no text: a hostile tag of megabytes must not reach
// the song list whole.
TEST_F(TagLibTagReaderTest, KeepsAtMostAThousandCharactersOfEachText)
{
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
    const QString exact(1024, QLatin1Char('e'));
    struct Case
    {
        const char *name;
        TagTexts written;
        qint16 indicator;
        TagTexts read;
    };
    const Case cases[] = {
        {"a 20 MB title",
         {QString(20 * 1024 * 1024, QLatin1Char('t')), "Band", ""},
         0,
         {QString(1024, QLatin1Char('t')), "Band", ""}},
        {"a pair of units across the limit",
         {QString(1023, QLatin1Char('a')) + smile, "", smile + QString(2000, QLatin1Char('b'))},
         0,
         {QString(1023, QLatin1Char('a')), "", smile + QString(1022, QLatin1Char('b'))}},
        {"exactly the limit", {exact, "", ""}, 0, {exact, "", ""}},
        {"a 1 MB title of NULs beside an artist",
         {QString(1024 * 1024, QChar(u'\0')), "Band", ""},
         0,
         {"", "Band", ""}},
        {"a 1 MB title of NULs alone",
         {QString(1024 * 1024, QChar(u'\0')), "", ""},
         TagLibTagReader::kNoUsableTag,
         {"", "", ""}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = tagged(QStringLiteral("huge.mp3"), c.written, TagKinds::Id3v2);
        reader.read(file);
        EXPECT_EQ(reader.noTagIndicator(), c.indicator);
        EXPECT_EQ(reader.title(), c.read.title);
        EXPECT_EQ(reader.artist(), c.read.artist);
        EXPECT_EQ(reader.album(), c.read.album);
    }
}
