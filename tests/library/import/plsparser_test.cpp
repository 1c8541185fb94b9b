#include "library/import/plsparser.h"

#include <gtest/gtest.h>

namespace {

QStringList parsed(const QByteArray &bytes)
{
    return PlsParser().parse(bytes);
}

TEST(PlsParser, NamesTheSongsOfFileLinesOnly)
{
    const QByteArray list = "[playlist]\r\n"
                            "File1=a.mp3\r\n"
                            "Title1=A\r\n"
                            "Length1=200\r\n"
                            "File2=D:\\b.wav\r\n"
                            "NumberOfEntries=2\r\n"
                            "Version=2\r\n";
    EXPECT_EQ(parsed(list), (QStringList{"a.mp3", "D:\\b.wav"}));
}

TEST(PlsParser, MatchesFileInAnyLetterCase)
{
    EXPECT_EQ(parsed("FILE3=x\nfile4=y\nFiLe5=z\n"), (QStringList{"x", "y", "z"}));
}

TEST(PlsParser, ThePathIsTheTextAfterTheFirstEqualsSign)
{
    EXPECT_EQ(parsed("File1=/m/a=b.mp3\nFile2==c.mp3\n"), (QStringList{"/m/a=b.mp3", "=c.mp3"}));
}

TEST(PlsParser, LinesWithoutAPathNameNothing)
{
    EXPECT_EQ(parsed("File1\nFile2=\nFile3=   \nFile4=ok.mp3\n"), (QStringList{"ok.mp3"}));
}

TEST(PlsParser, IgnoresLinesThatDoNotBeginWithFile)
{
    EXPECT_EQ(parsed("Title1=File=x.mp3\n; File1=y.mp3\n#File1=z.mp3\nfil=w.mp3\n"), QStringList());
}

} // namespace
