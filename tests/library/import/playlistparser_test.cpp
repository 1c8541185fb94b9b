#include "library/import/playlistparser.h"

#include <QRandomGenerator>

#include <array>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Names every line it is given, so the tests see exactly what the shared
// reading hands to a format.
class EveryLineParser : public PlayListParser
{
public:
    explicit EveryLineParser(PlayListEncoding encoding = PlayListEncoding::Utf8OrWindows1252)
        : PlayListParser(encoding)
    {}

protected:
    QStringView entryOfLine(QStringView line) const override { return line; }
};

QStringList parsed(const QByteArray &bytes,
                   PlayListEncoding encoding = PlayListEncoding::Utf8OrWindows1252)
{
    return EveryLineParser(encoding).parse(bytes);
}

TEST(PlayListParser, EndsLinesAtCrLfLfAndLoneCr)
{
    EXPECT_EQ(parsed("a\r\nb\nc\rd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(parsed("a\r\n\r\n\n\r\rb\r\n"), (QStringList{"a", "b"}));
    EXPECT_EQ(parsed("\n\r\n"), QStringList());
    EXPECT_EQ(parsed(""), QStringList());
}

TEST(PlayListParser, TrimsOnlyTheEdgesOfAWholeLine)
{
    EXPECT_EQ(parsed("  My Song  .mp3 \t\r\n\t \r\n"), (QStringList{"My Song  .mp3"}));
}

TEST(PlayListParser, ReadsALastLineWithoutLineEnd)
{
    EXPECT_EQ(parsed("only.mp3"), (QStringList{"only.mp3"}));
}

TEST(PlayListParser, ReadsUtf8)
{
    EXPECT_EQ(parsed("Bj\xC3\xB6rk.mp3\n\xE6\x97\xA5\xE6\x9C\xAC.mp3"),
              (QStringList{QStringLiteral("Björk.mp3"), QStringLiteral("日本.mp3")}));
}

TEST(PlayListParser, ReadsWindows1252WhenTheFileIsNotUtf8)
{
    EXPECT_EQ(parsed("Caf\xE9.mp3\r\nPrice \x80.mp3\r\n"),
              (QStringList{QStringLiteral("Café.mp3"), QStringLiteral("Price €.mp3")}));
}

TEST(PlayListParser, DecidesTheEncodingForTheWholeFile)
{
    // The first line alone would be valid UTF-8 ("é" as two bytes), but the
    // second is not, so the whole file is Windows-1252.
    EXPECT_EQ(parsed("\xC3\xA9.mp3\n\xE9.mp3"),
              (QStringList{QStringLiteral("Ã©.mp3"), QStringLiteral("é.mp3")}));
}

TEST(PlayListParser, AUtf8OnlyListShowsInvalidBytesAsReplacementCharacters)
{
    const QStringList entries = parsed("Caf\xE9.mp3", PlayListEncoding::Utf8);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_TRUE(entries[0].startsWith(QStringLiteral("Caf")));
    EXPECT_TRUE(entries[0].contains(QChar::ReplacementCharacter));
}

TEST(PlayListParser, FollowsAByteOrderMark)
{
    EXPECT_EQ(parsed("\xEF\xBB\xBFxyz.mp3\r\n"), (QStringList{"xyz.mp3"}));
    // A mark before bytes that are not UTF-8 still does not end up in the entry.
    EXPECT_EQ(parsed("\xEF\xBB\xBF\xE9.mp3", PlayListEncoding::Utf8).value(0).front(),
              QChar::ReplacementCharacter);
    const QString text = QStringLiteral("é.mp3\r\nb.mp3");
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    EXPECT_EQ(parsed(utf16), (QStringList{QStringLiteral("é.mp3"), QStringLiteral("b.mp3")}));
}

TEST(PlayListParser, SkipsLinesHoldingNul)
{
    EXPECT_EQ(parsed(QByteArray("a.mp3\n\0b.mp3\nc\0\n\0\nd.mp3", 23)),
              (QStringList{"a.mp3", "d.mp3"}));
}

TEST(PlayListParser, SurvivesRandomBytes)
{
    QRandomGenerator random(20240611);
    for (int round = 0; round < 50; ++round) {
        QByteArray bytes(random.bounded(1, 4096), Qt::Uninitialized);
        for (char &b : bytes)
            b = static_cast<char>(random.bounded(256));
        for (PlayListEncoding encoding :
             {PlayListEncoding::Utf8, PlayListEncoding::Utf8OrWindows1252}) {
            for (const QString &entry : parsed(bytes, encoding)) {
                EXPECT_FALSE(entry.isEmpty());
                EXPECT_EQ(entry, entry.trimmed());
                EXPECT_FALSE(entry.contains(QLatin1Char('\n')) ||
                             entry.contains(QLatin1Char('\r')));
            }
        }
    }
}

TEST(PlayListParser, ALongListIsReadAsItsLinesOneByOne)
{
    // Long enough to be cut in two at its middle and read on two threads.
    const std::array<QByteArray, 4> lineEnds{"\r\n", "\n", "\r", "\r\n\r\n"};
    QByteArray body;
    QStringList expected;
    for (int i = 0; body.size() < 270 * 1024; ++i) {
        const QByteArray entry = "/music/" + QByteArray::number(i) + " Caf\xC3\xA9.mp3";
        body += entry + lineEnds[static_cast<size_t>(i % 4)];
        expected.append(QString::fromUtf8(entry));
    }
    QStringList marked;
    for (const QString &entry : expected)
        marked.append(entry + QLatin1Char('!'));
    // Blanks added at the end put the middle on each character of every kind
    // of line end, on the first character of a line, and inside a line.
    const QString text = QString::fromUtf8(body);
    const auto ends = [&](qsizetype at) { return text[at] == u'\r' || text[at] == u'\n'; };
    std::vector<qsizetype> middles;
    int inside = 0;
    for (qsizetype at = text.size() / 2 + 1; middles.size() < 14; ++at) {
        if (ends(at) || ends(at - 1) || (inside < 2 && (++inside, true)))
            middles.push_back(at);
    }
    const EveryLineParser parser;
    for (const qsizetype middle : middles) {
        const QByteArray bytes = body + QByteArray(2 * middle - text.size(), ' ');
        // (Compared as a whole: a mismatch would print every entry.)
        ASSERT_TRUE(parser.parse(bytes) == expected) << middle;
        ASSERT_TRUE(parser.parse(
                        bytes, [](QStringView entry) { return entry.toString() + u'!'; }) == marked)
            << middle;
    }
}

TEST(PlayListParser, ReadsAFiftyMegabyteLineWithoutLineEnd)
{
    QByteArray line(50 * 1024 * 1024, 'x');
    line[0] = '/';
    const QStringList entries = parsed(line);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].size(), line.size());
}

} // namespace
