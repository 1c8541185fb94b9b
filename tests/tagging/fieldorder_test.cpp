#include "tagging/fieldorder.h"

#include <gtest/gtest.h>

namespace {

FieldOrder order(std::initializer_list<std::pair<const char *, bool>> entries)
{
    FieldOrder result;
    for (const auto &[name, marked] : entries)
        result.push_back({QString::fromUtf8(name), marked});
    return result;
}

const FieldOrder kDefault =
    order({{"Title", false}, {"Artist", false}, {"Album", false}, {"Genre", false}});

} // namespace

TEST(FieldOrderString, ReadsAndWritesEveryEntryWithItsMark)
{
    EXPECT_EQ(readFieldOrder(QString::fromLatin1(kDefaultFieldOrder)), kDefault);
    const FieldOrder arranged =
        order({{"Artist", true}, {"Title", true}, {"Album", false}, {"Genre", false}});
    EXPECT_EQ(readFieldOrder(QStringLiteral("1Artist,1Title,0Album,0Genre,")), arranged);
    EXPECT_EQ(writeFieldOrder(arranged), QStringLiteral("1Artist,1Title,0Album,0Genre,"));
    EXPECT_EQ(writeFieldOrder(kDefault), QString::fromLatin1(kDefaultFieldOrder));
    EXPECT_TRUE(readFieldOrder(QString()).empty());
    EXPECT_EQ(writeFieldOrder({}), QString());
}

TEST(FieldOrderString, ReadsDamagedValuesWithoutFailing)
{
    // Any digit from 1 to 9 marks; other characters do not.
    EXPECT_EQ(readFieldOrder(QStringLiteral("7Title,xArtist,0Album,")),
              order({{"Title", true}, {"Artist", false}, {"Album", false}}));
    // A missing last comma: the name runs to the end.
    EXPECT_EQ(readFieldOrder(QStringLiteral("1Title,0Artist")),
              order({{"Title", true}, {"Artist", false}}));
    // A lone mark character and doubled commas.
    EXPECT_EQ(readFieldOrder(QStringLiteral("1")), order({{"", true}}));
    EXPECT_EQ(readFieldOrder(QStringLiteral("1Title,,0Album,")),
              order({{"Title", true}, {"0Album", false}}));
}

TEST(FieldOrderMove, CarriesTheMarkAndStopsAtTheEnds)
{
    FieldOrder fields = order({{"Title", false}, {"Artist", true}, {"Album", false}});
    EXPECT_EQ(moveFieldUp(fields, 1), 0);
    EXPECT_EQ(fields, order({{"Artist", true}, {"Title", false}, {"Album", false}}));
    EXPECT_EQ(moveFieldDown(fields, 0), 1);
    EXPECT_EQ(moveFieldDown(fields, 1), 2);
    EXPECT_EQ(fields, order({{"Title", false}, {"Album", false}, {"Artist", true}}));

    const FieldOrder before = fields;
    EXPECT_EQ(moveFieldUp(fields, 0), 0);
    EXPECT_EQ(moveFieldDown(fields, 2), 2);
    EXPECT_EQ(moveFieldUp(fields, -1), -1); // no current entry
    EXPECT_EQ(moveFieldDown(fields, -1), -1);
    EXPECT_EQ(moveFieldUp(fields, 7), 7);
    EXPECT_EQ(fields, before);

    FieldOrder empty;
    EXPECT_EQ(moveFieldDown(empty, 0), 0);
    EXPECT_TRUE(empty.empty());
}

TEST(OptionArrays, StoredIntegerFollowsTheTwoButtonRule)
{
    EXPECT_EQ(optionIndex(false, false), 0);
    EXPECT_EQ(optionIndex(true, false), 1);
    EXPECT_EQ(optionIndex(false, true), 2);

    EXPECT_EQ(optionFromSetting(QStringLiteral("0")), 0);
    EXPECT_EQ(optionFromSetting(QStringLiteral("1")), 1);
    EXPECT_EQ(optionFromSetting(QStringLiteral("2")), 2);
    EXPECT_EQ(optionFromSetting(QStringLiteral("3")), 0);
    EXPECT_EQ(optionFromSetting(QStringLiteral("-1")), 0);
    EXPECT_EQ(optionFromSetting(QStringLiteral("two")), 0);
    EXPECT_EQ(optionFromSetting(QString()), 0);
}
