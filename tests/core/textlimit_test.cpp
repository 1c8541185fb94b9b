#include "core/textlimit.h"

#include <gtest/gtest.h>

// What a cell shows of a stored field: the start of its UTF-8 text, cut
// between characters and ended by "…" when the whole does not fit, however
// the characters are encoded around the cut.
TEST(TextLimit, ShowsTheStartOfLongUtf8TextCutBetweenCharacters)
{
    const QString ellipsis(QChar(0x2026));
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString euro = QString::fromUtf8("\xE2\x82\xAC");
    struct Case
    {
        const char *what;
        QString text;
        QString shown;
    };
    const Case cases[] = {
        {"short", QStringLiteral("Song"), QStringLiteral("Song")},
        {"exactly the limit", QString(8, QLatin1Char('a')), QString(8, QLatin1Char('a'))},
        {"one beyond", QString(9, QLatin1Char('a')), QString(7, QLatin1Char('a')) + ellipsis},
        {"a pair across the cut", QString(6, QLatin1Char('a')) + smile.repeated(5),
         QString(6, QLatin1Char('a')) + ellipsis},
        {"pairs only", smile.repeated(1000), smile.repeated(3) + ellipsis},
        {"three-byte characters", euro.repeated(1000), euro.repeated(7) + ellipsis},
        {"NULs", QString(1000, QChar(u'\0')), QString(7, QChar(u'\0')) + ellipsis},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(elidedUtf8(c.text.toUtf8(), 8), c.shown);
        EXPECT_EQ(elidedToLength(c.text, 8), c.shown);
    }
    EXPECT_EQ(cutAtCharacter(QString(3, QLatin1Char('a')) + smile, 4), QStringLiteral("aaa"));
    EXPECT_EQ(cutAtCharacter(QString(3, QLatin1Char('a')) + smile, 5),
              QStringLiteral("aaa") + smile);
}
