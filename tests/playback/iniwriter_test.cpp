#include "playback/iniwriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class IniWriterTest : public ::testing::Test
{
protected:
    QString path() const { return dir.filePath(QStringLiteral("player.ini")); }

    void write(const QByteArray &bytes)
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray read() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    bool set(const char *section, const char *key, const char *value)
    {
        return IniWriter(path()).writeValue(QString::fromUtf8(section), QString::fromUtf8(key),
                                            QString::fromUtf8(value));
    }

    QTemporaryDir dir;
};

const QByteArray kSample = "; written by hand\r\n"
                           "[General]\r\n"
                           "name = Front desk   \r\n"
                           "\r\n"
                           "[Winamp]\r\n"
                           "# keep this\r\n"
                           "outdir=C:\\Program Files\\out\r\n"
                           "MW_Open =  1\r\n"
                           "volume=200\r\n"
                           "\r\n"
                           "[Plugins]\r\n"
                           "mw_open=7\r\n";

TEST_F(IniWriterTest, ChangesOneValueAndKeepsEveryOtherByte)
{
    write(kSample);
    ASSERT_TRUE(set("winamp", "mw_open", "0"));
    QByteArray expected = kSample;
    expected.replace("MW_Open =  1", "MW_Open =  0");
    EXPECT_EQ(read(), expected);
}

TEST_F(IniWriterTest, AddsAMissingKeyAtTheEndOfItsSection)
{
    write(kSample);
    ASSERT_TRUE(set("Winamp", "use_eq", "1"));
    QByteArray expected = kSample;
    expected.replace("volume=200\r\n", "volume=200\r\nuse_eq=1\r\n");
    EXPECT_EQ(read(), expected);
}

TEST_F(IniWriterTest, AddsAMissingSectionAtTheEndOfTheFile)
{
    write("[General]\nname=x");
    ASSERT_TRUE(set("Winamp", "eq_open", "0"));
    ASSERT_TRUE(set("Winamp", "mw_open", "0"));
    EXPECT_EQ(read(), QByteArray("[General]\nname=x\n[Winamp]\neq_open=0\nmw_open=0\n"));
}

TEST_F(IniWriterTest, AddsAKeyAfterASectionHeaderWithoutLineEnd)
{
    write("[Winamp]");
    ASSERT_TRUE(set("Winamp", "mw_open", "1"));
    EXPECT_EQ(read(), QByteArray("[Winamp]\r\nmw_open=1\r\n"));
}

TEST_F(IniWriterTest, CreatesAMissingFile)
{
    ASSERT_TRUE(set("Winamp", "mw_open", "1"));
    EXPECT_EQ(read(), QByteArray("[Winamp]\r\nmw_open=1\r\n"));
}

TEST_F(IniWriterTest, RefusesWhatWouldBreakTheFileAndLeavesItAlone)
{
    write(kSample);
    EXPECT_FALSE(set("Winamp", "mw_open", "1\r\n[Evil]"));
    EXPECT_FALSE(set("Winamp", "a=b", "1"));
    EXPECT_FALSE(set("Winamp", "", "1"));
    EXPECT_FALSE(set("", "mw_open", "1"));
    EXPECT_FALSE(set("Win]amp", "mw_open", "1"));
    EXPECT_EQ(read(), kSample);
}

TEST_F(IniWriterTest, FailsWithoutPathOrWritableFolder)
{
    EXPECT_FALSE(
        IniWriter().writeValue(QStringLiteral("Winamp"), QStringLiteral("k"), QStringLiteral("v")));
    IniWriter writer;
    writer.setPath(dir.filePath(QStringLiteral("missing/folder/player.ini")));
    EXPECT_FALSE(
        writer.writeValue(QStringLiteral("Winamp"), QStringLiteral("k"), QStringLiteral("v")));
}

} // namespace
