#include "library/import/m3uparser.h"

#include <gtest/gtest.h>

namespace {

QStringList parsed(const QByteArray &bytes)
{
    return M3uParser().parse(bytes);
}

TEST(M3uParser, EveryLineNamesASong)
{
    EXPECT_EQ(parsed("a.mp3\r\nSub\\b.wav\r\n/abs/c.mid\r\n"),
              (QStringList{"a.mp3", "Sub\\b.wav", "/abs/c.mid"}));
}

TEST(M3uParser, SkipsCommentsAndDirectives)
{
    const QByteArray list = "#EXTM3U\r\n"
                            "#EXTINF:123,Artist - Title\r\n"
                            "x.mp3\r\n"
                            "# a comment\r\n"
                            "#EXTINF:-1,Stream\r\n"
                            "/music/y.wav\r\n";
    EXPECT_EQ(parsed(list), (QStringList{"x.mp3", "/music/y.wav"}));
}

TEST(M3uParser, SkipsEmptyAndBlankLines)
{
    EXPECT_EQ(parsed("\r\n  \r\na.mp3\r\n\t\r\n"), (QStringList{"a.mp3"}));
}

TEST(M3uParser, KeepsLinesThatLookLikeOtherFormats)
{
    EXPECT_EQ(parsed("[playlist]\nFile1=a.mp3\n"), (QStringList{"[playlist]", "File1=a.mp3"}));
}

} // namespace
