#include "library/import/m3uparser.h"
#include "library/import/playlistimport.h"
#include "library/import/plsparser.h"
#include "support/paramname.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using PlayListImport::PathStyle;

struct ResolveCase
{
    PathStyle style;
    const char *entry;
    const char *folder;
    const char *resolved;
};

class PlayListImportResolve : public ::testing::TestWithParam<ResolveCase>
{
};

std::string resolveCaseName(const ::testing::TestParamInfo<ResolveCase> &info)
{
    return readableCaseName(info.param.entry, info.index);
}

TEST_P(PlayListImportResolve, GivesTheSongsFullPath)
{
    const ResolveCase &c = GetParam();
    EXPECT_EQ(PlayListImport::resolveEntry(QString::fromUtf8(c.entry), QString::fromUtf8(c.folder),
                                           c.style),
              QString::fromUtf8(c.resolved))
        << c.entry;
}

INSTANTIATE_TEST_SUITE_P(
    Posix, PlayListImportResolve,
    ::testing::Values(
        ResolveCase{PathStyle::Posix, "a.mp3", "/lists", "/lists/a.mp3"},
        ResolveCase{PathStyle::Posix, "Sub\\a.mp3", "/lists", "/lists/Sub/a.mp3"},
        ResolveCase{PathStyle::Posix, "Sub/My Song.mp3", "/lists", "/lists/Sub/My Song.mp3"},
        ResolveCase{PathStyle::Posix, "..\\music\\a.mp3", "/lists/pop", "/lists/music/a.mp3"},
        ResolveCase{PathStyle::Posix, "./a.mp3", "/lists/", "/lists/a.mp3"},
        ResolveCase{PathStyle::Posix, "/abs/b.wav", "/lists", "/abs/b.wav"},
        // Absolute where the list was written: kept as written.
        ResolveCase{PathStyle::Posix, "D:\\b.wav", "/lists", "D:\\b.wav"},
        ResolveCase{PathStyle::Posix, "c:/music/b.wav", "/lists", "c:/music/b.wav"},
        ResolveCase{PathStyle::Posix, "\\\\server\\share\\a.mp3", "/lists",
                    "\\\\server\\share\\a.mp3"},
        ResolveCase{PathStyle::Posix, "\\Music\\a.mp3", "/lists", "\\Music\\a.mp3"},
        ResolveCase{PathStyle::Posix, "file:///home/u/My%20Song.mp3", "/lists",
                    "/home/u/My Song.mp3"},
        ResolveCase{PathStyle::Posix, "FILE:///x/y.mp3", "/lists", "/x/y.mp3"},
        ResolveCase{PathStyle::Posix, "file:Sub/a.mp3", "/lists", "/lists/Sub/a.mp3"},
        ResolveCase{PathStyle::Posix, "http://radio.example/stream.mp3", "/lists",
                    "http://radio.example/stream.mp3"},
        ResolveCase{PathStyle::Posix, "héllo wörld.mp3", "/lists/ü", "/lists/ü/héllo wörld.mp3"}),
    resolveCaseName);

INSTANTIATE_TEST_SUITE_P(
    Windows, PlayListImportResolve,
    ::testing::Values(
        ResolveCase{PathStyle::Windows, "a.mp3", "C:/Lists", "C:\\Lists\\a.mp3"},
        ResolveCase{PathStyle::Windows, "Sub\\a.mp3", "C:\\Lists\\", "C:\\Lists\\Sub\\a.mp3"},
        ResolveCase{PathStyle::Windows, "Sub/a.mp3", "C:/Lists", "C:\\Lists\\Sub\\a.mp3"},
        ResolveCase{PathStyle::Windows, "D:\\b.wav", "C:/Lists", "D:\\b.wav"},
        ResolveCase{PathStyle::Windows, "\\\\server\\share\\a.mp3", "C:/Lists",
                    "\\\\server\\share\\a.mp3"},
        ResolveCase{PathStyle::Windows, "\\Music\\a.mp3", "C:/Lists", "\\Music\\a.mp3"},
        ResolveCase{PathStyle::Windows, "file:///C:/Music/a.mp3", "C:/Lists", "C:\\Music\\a.mp3"},
        ResolveCase{PathStyle::Windows, "http://radio.example/s", "C:/Lists",
                    "http://radio.example/s"}),
    resolveCaseName);

TEST(PlayListImport, NamesThePlayListAfterTheFileWithoutItsExtension)
{
    const std::pair<const char *, const char *> cases[] = {
        {"/lists/Party.pls", "Party"},
        {"/lists/PARTY.PLS", "PARTY"},
        {"/lists/list.m3u8", "list"},
        {"/lists/my.party.list.m3u", "my.party.list"},
        {"/lists/NoDot", "NoDot"},
        {"/lists.d/NoDot", "NoDot"},
        {"C:\\Lists\\Party.pls", "Party"},
        {"/lists/.hidden", ".hidden"},
        {"Party.pls", "Party"},
    };
    for (const auto &[file, name] : cases)
        EXPECT_EQ(PlayListImport::playListName(QString::fromUtf8(file)), QString::fromUtf8(name))
            << file;
}

TEST(PlayListImport, ChoosesTheParserByTheEndOfTheName)
{
    for (const char *pls : {"/l/a.pls", "/l/A.PLS", "/l/a.Pls"}) {
        EXPECT_NE(
            dynamic_cast<PlsParser *>(PlayListImport::parserFor(QString::fromUtf8(pls)).get()),
            nullptr)
            << pls;
    }
    for (const char *m3u : {"/l/a.m3u", "/l/a.m3u8", "/l/a.txt", "/l/pls.m3u", "/l/noext"}) {
        EXPECT_NE(
            dynamic_cast<M3uParser *>(PlayListImport::parserFor(QString::fromUtf8(m3u)).get()),
            nullptr)
            << m3u;
    }
    EXPECT_EQ(PlayListImport::parserFor(QStringLiteral("/l/a.M3U8"))->encoding(),
              PlayListEncoding::Utf8);
    EXPECT_EQ(PlayListImport::parserFor(QStringLiteral("/l/a.m3u"))->encoding(),
              PlayListEncoding::Utf8OrWindows1252);
}

class PlayListImportRead : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return path;
    }

    QString inFolder(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

TEST_F(PlayListImportRead, ReadsAPlsList)
{
    const QByteArray party = "[playlist]\r\n"
                             "File1=a.mp3\r\n"
                             "Title1=A\r\n"
                             "Length1=200\r\n"
                             "File2=/abs/b.wav\r\n"
                             "NumberOfEntries=2\r\n";
    for (const QString &name : {QStringLiteral("Party.pls"), QStringLiteral("PARTY.PLS")}) {
        const auto list = PlayListImport::read(write(name, party));
        ASSERT_TRUE(list);
        EXPECT_EQ(list->name, PlayListImport::playListName(name));
        EXPECT_EQ(list->songs, (QStringList{inFolder(QStringLiteral("a.mp3")), "/abs/b.wav"}));
    }
}

TEST_F(PlayListImportRead, ReadsAnExtendedM3uList)
{
    const auto list =
        PlayListImport::read(write(QStringLiteral("mix.m3u"), "#EXTM3U\n"
                                                              "#EXTINF:123,Artist - Title\n"
                                                              "Sub\\a.mp3\n"
                                                              "/abs/b.wav\n"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->name, QStringLiteral("mix"));
    EXPECT_EQ(list->songs, (QStringList{inFolder(QStringLiteral("Sub/a.mp3")), "/abs/b.wav"}));
}

TEST_F(PlayListImportRead, ReadsUtf8NamesFromAnM3u8List)
{
    const auto list = PlayListImport::read(write(QStringLiteral("list.m3u8"),
                                                 "\xC3\x89t\xC3\xA9.mp3\r\n"
                                                 "\xE6\x97\xA5\xE6\x9C\xAC.wav\r\n"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->name, QStringLiteral("list"));
    EXPECT_EQ(list->songs, (QStringList{inFolder(QStringLiteral("Été.mp3")),
                                        inFolder(QStringLiteral("日本.wav"))}));
}

TEST_F(PlayListImportRead, ReadsWindows1252NamesFromAnM3uList)
{
    const auto list = PlayListImport::read(
        write(QStringLiteral("old.m3u"), "Caf\xE9 del Mar.mp3\r\nBj\xF6rk\\J\xF3ga.mp3\r\n"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->songs, (QStringList{inFolder(QStringLiteral("Café del Mar.mp3")),
                                        inFolder(QStringLiteral("Björk/Jóga.mp3"))}));
}

TEST_F(PlayListImportRead, AnEmptyFileGivesAnEmptyList)
{
    const auto list = PlayListImport::read(write(QStringLiteral("Empty.pls"), {}));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->name, QStringLiteral("Empty"));
    EXPECT_TRUE(list->songs.isEmpty());
}

TEST_F(PlayListImportRead, AFileThatCannotBeReadGivesNothing)
{
    EXPECT_FALSE(PlayListImport::read(inFolder(QStringLiteral("missing.m3u"))));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.m3u")));
    EXPECT_FALSE(PlayListImport::read(inFolder(QStringLiteral("folder.m3u"))));
}

TEST_F(PlayListImportRead, RefusesAFileTooLargeForAPlayList)
{
    const QString path = inFolder(QStringLiteral("huge.m3u"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(PlayListImport::kMaxListFileSize + 1)); // sparse
    file.close();
    EXPECT_FALSE(PlayListImport::read(path));
}

TEST_F(PlayListImportRead, ReadsBinaryGarbageWithoutHarm)
{
    QByteArray bytes;
    for (int i = 0; i < 256 * 64; ++i)
        bytes += static_cast<char>(i * 7 % 256);
    const auto list = PlayListImport::read(write(QStringLiteral("garbage.pls"), bytes));
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->songs.isEmpty()); // no line begins with "file"
}

} // namespace
