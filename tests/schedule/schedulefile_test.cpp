// The schedule file: its exact text, damaged files with their line and
// reason, and a file that is never replaced by a damaged read.
#include "schedule/schedulefile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <ostream>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const QByteArray kShopFile = "# VORN day schedule: a slot plays its list from its start time "
                             "until the next slot starts.\n"
                             "[Schedule]\n"
                             "Follow = on\n"
                             "\n[Monday]\n"
                             "07:00 = \"Morning Calm\", in order, let finish\n"
                             "11:30 = \"Lunch; Rock & Pop\", random, fade out\n"
                             "19:00 = closed\n"
                             "\n[Tuesday]\n"
                             "\n[Wednesday]\n"
                             "\n[Thursday]\n"
                             "\n[Friday]\n"
                             "\n[Saturday]\n"
                             "08:00 = \"Café Müsik\", in order, let finish\n"
                             "\n[Sunday]\n"
                             "\n[2026-12-24]\n"
                             "07:00 = \"Morning Calm\", random, let finish\n"
                             "14:00 = closed\n"
                             "\n[2026-12-25]\n"
                             "00:00 = closed\n";

SchedulePlan shopPlan()
{
    SchedulePlan plan;
    plan.follow = true;
    plan.week[0] = {ScheduleSlot::playing(QTime(7, 0), QStringLiteral("Morning Calm")),
                    ScheduleSlot::playing(QTime(11, 30), QStringLiteral("Lunch; Rock & Pop"), true,
                                          false),
                    ScheduleSlot::closedAt(QTime(19, 0))};
    plan.week[5] = {ScheduleSlot::playing(QTime(8, 0), QStringLiteral("Café Müsik"))};
    plan.exceptions[QDate(2026, 12, 24)] = {
        ScheduleSlot::playing(QTime(7, 0), QStringLiteral("Morning Calm"), true),
        ScheduleSlot::closedAt(QTime(14, 0))};
    plan.exceptions[QDate(2026, 12, 25)] = {ScheduleSlot::closedAt(QTime(0, 0))};
    return plan;
}

TEST(ScheduleFileTest, APlanIsWrittenAsItsOneTextAndReadBackTheSame)
{
    EXPECT_EQ(ScheduleFile::format(shopPlan()), kShopFile);
    const ScheduleFile::ReadResult read = ScheduleFile::parse(kShopFile);
    ASSERT_TRUE(read.plan) << read.problem().toStdString();
    EXPECT_EQ(*read.plan, shopPlan());
    EXPECT_TRUE(read.plan->closedDate(QDate(2026, 12, 25)));

    // A hand-written file in another order, case and spacing, with CR LF
    // ends and defaults, means the same plan.
    const QByteArray byHand = "; written by hand\r\n[2026-12-25]\r\n00:00=Closed\r\n"
                              "[saturday]\r\n  08:00 =  \"Café Müsik\"  \r\n"
                              "[2026-12-24]\n14:00 = CLOSED\n07:00 = \"Morning Calm\", Random\n"
                              "[MONDAY]\n19:00 = closed\n"
                              "11:30 = \"Lunch; Rock & Pop\" , fade out , random\n"
                              "07:00 = \"Morning Calm\"\n[schedule]\nfollow = ON\n";
    const ScheduleFile::ReadResult other = ScheduleFile::parse(byHand);
    ASSERT_TRUE(other.plan) << other.problem().toStdString();
    EXPECT_EQ(*other.plan, shopPlan());
}

struct Damage
{
    const char *text;
    int line;
    const char *reason;
};

void PrintTo(const Damage &d, std::ostream *out)
{
    *out << "line " << d.line << ": " << d.reason;
}

class ScheduleFileDamageTest : public ::testing::TestWithParam<Damage>
{};

TEST_P(ScheduleFileDamageTest, IsReportedWithItsLineAndReason)
{
    const ScheduleFile::ReadResult read = ScheduleFile::parse(GetParam().text);
    EXPECT_FALSE(read.plan);
    EXPECT_EQ(read.line, GetParam().line);
    EXPECT_TRUE(read.reason.contains(QLatin1String(GetParam().reason)))
        << read.problem().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScheduleFileDamageTest,
    ::testing::Values(
        Damage{"07:00 = closed\n", 1, "before any section"},
        Damage{"[Monday]\n07:00 = closed\n\n07:00 = \"Pop\"\n", 4, "already starts at 07:00"},
        Damage{"[Monday]\n24:00 = closed\n", 2, "no start time"},
        Damage{"[Monday]\n7:00 = closed\n", 2, "no start time"},
        Damage{"[Monday]\n07:60 = closed\n", 2, "no start time"},
        Damage{"[Monday]\n07:00 closed\n", 2, "name = value"},
        Damage{"[Monday]\n07:00 = Pop\n", 2, "double quotes"},
        Damage{"[Monday]\n07:00 = \"Pop\n", 2, "no closing double quote"},
        Damage{"[Monday]\n07:00 = \"\"\n", 2, "empty"},
        Damage{"[Monday]\n07:00 = \"Pop\", loud\n", 2, "unknown or repeated option"},
        Damage{"[Monday]\n07:00 = \"Pop\", random, in order\n", 2, "unknown or repeated option"},
        Damage{"[Monday]\n07:00 = \"Pop\" random\n", 2, "comma"},
        Damage{"[Monday]\n07:00 = \"a/b\"\n", 2, "cannot hold"},
        Damage{"[Schedule]\nFollow = yes\n", 2, "\"on\" or \"off\""},
        Damage{"[Schedule]\nFollow = on\nFollow = off\n", 3, "twice"},
        Damage{"[Schedule]\nVolume = 3\n", 2, "unknown setting"},
        Damage{"[Monday]\n[Someday]\n", 2, "unknown section"},
        Damage{"[2026-02-30]\n", 1, "unknown section"},
        Damage{"[Monday]\n[monday]\n", 2, "comes twice"},
        Damage{"[Monday\n", 1, "ends with"},
        Damage{"[Monday]\n07:00 = \"P\xff\xfeop\"\n", 2, "not UTF-8"}));

TEST(ScheduleFileTest, ADamagedFileIsLeftAsItIsAndAValidSaveReplacesItWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QLatin1String(ScheduleFile::kFileName));

    // No file: an empty plan that is not followed, and nothing is written.
    const ScheduleFile::ReadResult none = ScheduleFile::read(path);
    ASSERT_TRUE(none.plan);
    EXPECT_EQ(*none.plan, SchedulePlan());
    EXPECT_FALSE(QFile::exists(path));

    const QByteArray damaged = "[Schedule]\nFollow = on\n[Monday]\n07:00 = \"Pop\"\n08:00 = Pop\n";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(damaged);
    }
    const ScheduleFile::ReadResult read = ScheduleFile::read(path);
    EXPECT_FALSE(read.plan);
    EXPECT_EQ(read.problem().left(8), QStringLiteral("line 5: "));
    EXPECT_EQ(readAll(path), damaged);

    EXPECT_EQ(ScheduleFile::write(path, shopPlan()), QString());
    EXPECT_EQ(readAll(path), kShopFile);
    // Read and written again, nothing changes a byte.
    const ScheduleFile::ReadResult again = ScheduleFile::read(path);
    ASSERT_TRUE(again.plan);
    EXPECT_EQ(ScheduleFile::write(path, *again.plan), QString());
    EXPECT_EQ(readAll(path), kShopFile);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QLatin1String(ScheduleFile::kFileName)});
}

TEST(ScheduleFileTest, DatesAWeekPastGoAndSlotsFollowARenamedList)
{
    SchedulePlan plan = shopPlan();
    EXPECT_FALSE(plan.dropExceptionsBefore(QDate(2026, 12, 24)));
    EXPECT_TRUE(plan.dropExceptionsBefore(QDate(2026, 12, 25)));
    EXPECT_EQ(plan.exceptions.keys(), QList<QDate>{QDate(2026, 12, 25)});

    plan = shopPlan();
    EXPECT_EQ(plan.slotsUsing(QStringLiteral("Morning Calm")),
              (QStringList{QStringLiteral("Monday 07:00"), QStringLiteral("2026-12-24 07:00")}));
    EXPECT_TRUE(plan.renameList(QStringLiteral("Morning Calm"), QStringLiteral("Dawn")));
    EXPECT_TRUE(plan.slotsUsing(QStringLiteral("Morning Calm")).isEmpty());
    EXPECT_EQ(plan.slotsUsing(QStringLiteral("Dawn")).size(), 2);
    EXPECT_FALSE(plan.renameList(QStringLiteral("Morning Calm"), QStringLiteral("Dawn")));
}

} // namespace
