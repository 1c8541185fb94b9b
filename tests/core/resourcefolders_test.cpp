// The program's library and help pages are found from the program's folder
// both in the build tree (beside the program) and in an installed tree.
#include "core/resourcefolders.h"
#include "mixer/vuhost.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class ResourceFoldersTest : public ::testing::Test
{
protected:
    QString make(const QString &relative)
    {
        const QString path = QDir(root.path()).filePath(relative);
        EXPECT_TRUE(QDir().mkpath(path)) << path.toStdString();
        return path;
    }

    QTemporaryDir root;
    const ResourceFolders::InstalledLayout usual{QStringLiteral("../lib/vorn"),
                                                 QStringLiteral("../share/vorn")};
};

TEST_F(ResourceFoldersTest, TheBuildTreeKeepsEverythingBesideTheProgram)
{
    const QString program = make(QStringLiteral("build/src"));
    make(QStringLiteral("build/src/Help"));
    // An installed tree elsewhere on the same machine is not taken instead.
    make(QStringLiteral("build/share/vorn/Help"));

    EXPECT_EQ(ResourceFolders::helpFolder(program, usual), program + QStringLiteral("/Help"));
    const QStringList libraries = ResourceFolders::libraryFolders(program, usual);
    ASSERT_FALSE(libraries.isEmpty());
    EXPECT_EQ(libraries.first(), program);
}

TEST_F(ResourceFoldersTest, TheInstalledTreeIsReachedFromBin)
{
    const QString bin = make(QStringLiteral("usr/bin"));
    const QString help = make(QStringLiteral("usr/share/vorn/Help"));
    const QString lib = make(QStringLiteral("usr/lib/vorn"));

    EXPECT_EQ(ResourceFolders::helpFolder(bin, usual), help);
    EXPECT_EQ(ResourceFolders::libraryFolders(bin, usual),
              (QStringList{bin, lib, make(QStringLiteral("usr/lib"))}));

    // A multiarch library folder, as a build for /usr on Debian installs it.
    const ResourceFolders::InstalledLayout multiarch{QStringLiteral("../lib/x86_64-linux-gnu/vorn"),
                                                     QStringLiteral("../share/vorn")};
    EXPECT_TRUE(
        ResourceFolders::libraryFolders(bin, multiarch)
            .contains(QDir(root.path()).filePath(QStringLiteral("usr/lib/x86_64-linux-gnu/vorn"))));
}

TEST_F(ResourceFoldersTest, WithoutHelpPagesTheFolderBesideTheProgramIsNamed)
{
    const QString bin = make(QStringLiteral("opt/bin"));
    EXPECT_EQ(ResourceFolders::helpFolder(bin, usual), bin + QStringLiteral("/Help"));
    // A file where the folder should be is no help folder.
    QFile file(QDir(root.path()).filePath(QStringLiteral("opt/share/vorn/Help")));
    make(QStringLiteral("opt/share/vorn"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(ResourceFolders::helpFolder(bin, usual), bin + QStringLiteral("/Help"));
}

TEST_F(ResourceFoldersTest, TheVuLibraryLoadsFromTheInstalledLayout)
{
    const QString bin = make(QStringLiteral("usr/bin"));
    const QString lib = make(QStringLiteral("usr/lib/vorn"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VORN_TEST_VU_DIR "/libvu.so"),
                            lib + QStringLiteral("/libvu.so")));

    QWidget parent;
    QString why;
    QString loadedFrom;
    QWidget *meter = VuHost::createVuMeter(ResourceFolders::libraryFolders(bin, usual), &parent,
                                           &why, &loadedFrom);
    ASSERT_NE(meter, nullptr) << why.toStdString();
    EXPECT_EQ(loadedFrom, lib + QStringLiteral("/libvu.so"));
    EXPECT_STREQ(meter->metaObject()->className(), "ucVU");
    QMetaObject::invokeMethod(meter, "StopVU");
}

TEST(InstalledLayoutTest, PointsFromBinIntoThePrefix)
{
    const ResourceFolders::InstalledLayout layout = ResourceFolders::installedLayout();
    EXPECT_TRUE(layout.libraryFolder.startsWith(QStringLiteral("../")));
    EXPECT_TRUE(layout.libraryFolder.endsWith(QStringLiteral("/vorn")));
    EXPECT_EQ(layout.dataFolder, QStringLiteral("../share/vorn"));
}

} // namespace
