#include "core/settingsstore.h"
#include "library/playlistfile.h"
#include "support/librarystack.h"
#include "support/playlistfiles.h"
#include "support/taggedfiles.h"
#include "tagging/frmaddwizard.h"
#include "tagging/id3tagreader.h"
#include "tagging/libraryplaylisttarget.h"
#include "tagging/parsingoptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

class frmAddWizardTest : public ::testing::Test
{
protected:
    frmAddWizardTest() { QDir(lib.dir.path()).mkpath("media"); }

    QString media() const { return lib.dir.filePath("media"); }
    QString ini() const { return lib.dir.filePath("VORN.ini"); }

    void touch(const QString &name) const
    {
        QFile file(media() + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QByteArray storedBytes() const
    {
        QFile file(ini());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<frmAddWizard> open()
    {
        auto wizard = std::make_unique<frmAddWizard>(*settings, lib.dialogs, target, media());
        wizard->show();
        return wizard;
    }

    template <typename T>
    static T *control(const frmAddWizard &wizard, const char *name)
    {
        T *found = wizard.findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static QStringList files(const frmAddWizard &wizard)
    {
        QStringList names;
        const auto *list = control<QListWidget>(wizard, "flstFiles");
        for (int row = 0; row < list->count(); ++row)
            names.append(list->item(row)->text());
        return names;
    }

    static void click(QWidget *widget)
    {
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(8, widget->height() / 2));
    }

    static void clickFile(const frmAddWizard &wizard, int row, Qt::KeyboardModifiers keys = {})
    {
        auto *list = control<QListWidget>(wizard, "flstFiles");
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, rect.center());
    }

    static void chooseFileType(const frmAddWizard &wizard, int index)
    {
        auto *types = control<QComboBox>(wizard, "cmbFileTypes");
        types->setFocus();
        while (types->currentIndex() != index)
            QTest::keyClick(types, types->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
    }

    void selectPlayList()
    {
        lib.commands.NewPlayList(QStringLiteral("Lounge"));
        lib.library.setTag(0, QString());
    }

    LibraryStack lib;
    LibraryPlayListTarget target{lib.store, lib.commands, lib.editor};
    std::unique_ptr<SettingsStore> settings = std::make_unique<SettingsStore>(ini());
};

} // namespace

TEST_F(frmAddWizardTest, OpensWithItsControlsAndGreysNewPlayListWithoutASelection)
{
    auto wizard = open();
    EXPECT_EQ(wizard->windowTitle(), QStringLiteral("Add Wizard"));
    EXPECT_EQ(control<QPushButton>(*wizard, "cmdOpen")->text(), QStringLiteral("&Open"));
    EXPECT_EQ(control<QPushButton>(*wizard, "cmdClose")->text(), QStringLiteral("&Close"));
    auto *chkNew = control<QCheckBox>(*wizard, "chkNew");
    EXPECT_EQ(chkNew->text(), QStringLiteral("Create New Play List"));
    EXPECT_TRUE(chkNew->isChecked());
    EXPECT_FALSE(chkNew->isEnabled());
    EXPECT_EQ(control<QComboBox>(*wizard, "cmbFileTypes")->currentIndex(), 0);
    EXPECT_EQ(control<QComboBox>(*wizard, "cmbFileTypes")->count(), 6);
    EXPECT_EQ(control<QListWidget>(*wizard, "flstFiles")->selectionMode(),
              QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(wizard->folder(), media());
    auto *drives = control<QComboBox>(*wizard, "dcmbDrives");
    EXPECT_EQ(drives->currentData().toString(), QStorageInfo(media()).rootPath());

    selectPlayList();
    auto second = open();
    EXPECT_FALSE(control<QCheckBox>(*second, "chkNew")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(*second, "chkNew")->isEnabled());
}

TEST_F(frmAddWizardTest, FileTypeChoosesWhichFilesShow)
{
    for (const char *name :
         {"a.wav", "b.voc", "c.mp3", "d.txt", "noext", "E.WAV", "f.xm", "g.pls", "h.it"})
        touch(QString::fromUtf8(name));
    QDir(media()).mkdir("sub.wav");
    auto wizard = open();
    EXPECT_EQ(files(*wizard), (QStringList{"a.wav", "b.voc", "c.mp3", "E.WAV", "f.xm", "h.it"}));
    chooseFileType(*wizard, 2);
    EXPECT_EQ(control<QComboBox>(*wizard, "cmbFileTypes")->currentText(),
              QStringLiteral("WAV Files (*.voc;*.wav)"));
    EXPECT_EQ(files(*wizard), (QStringList{"a.wav", "b.voc", "E.WAV"}));
    chooseFileType(*wizard, 4);
    EXPECT_EQ(files(*wizard), (QStringList{"g.pls"}));
    chooseFileType(*wizard, 5);
    EXPECT_EQ(files(*wizard), (QStringList{"a.wav", "b.voc", "c.mp3", "d.txt", "E.WAV", "f.xm",
                                           "g.pls", "h.it", "noext"}));
}

TEST_F(frmAddWizardTest, FileListFollowsTheFolderListAndTheDrive)
{
    QDir(media()).mkdir("sub");
    QFile sub(media() + "/sub/in sub.mp3");
    ASSERT_TRUE(sub.open(QIODevice::WriteOnly));
    sub.close();
    touch("top.mp3");
    auto wizard = open();
    EXPECT_EQ(files(*wizard), QStringList{"top.mp3"});

    // A click on the folder in the tree, once the tree has listed it.
    auto *tree = control<QTreeView>(*wizard, "dlstDirs");
    const auto *model = tree->model();
    tree->expand(tree->currentIndex());
    QModelIndex subIndex;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QModelIndex current = tree->currentIndex();
            for (int row = 0; row < model->rowCount(current); ++row) {
                if (model->index(row, 0, current).data().toString() == QLatin1String("sub"))
                    subIndex = model->index(row, 0, current);
            }
            return subIndex.isValid();
        },
        5000));
    tree->scrollTo(subIndex);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(subIndex).center());
    EXPECT_EQ(wizard->folder(), media() + "/sub");
    EXPECT_EQ(files(*wizard), QStringList{"in sub.mp3"});

    // Choosing a drive moves the folder list to its root.
    auto *drives = control<QComboBox>(*wizard, "dcmbDrives");
    const int other = drives->count() > 1 ? (drives->currentIndex() + 1) % drives->count() : 0;
    drives->setCurrentIndex(other);
    wizard->dcmbDrives_Change();
    EXPECT_EQ(wizard->folder(), drives->itemData(other).toString());
}

TEST_F(frmAddWizardTest, CloseLeavesStoredChoicesAndAddsNothing)
{
    settings->SaveSetting("OpenWizard", "Engine", "1");
    settings->SaveSetting("OpenWizard", "FNFields", "1Artist,1Title,0Album,0Genre,");
    settings->sync();
    const QByteArray before = storedBytes();
    touch("Band - Song.mp3");

    auto wizard = open();
    auto *options = control<ParsingOptions>(*wizard, "parsingOptions");
    EXPECT_EQ(options->engine(), 1);
    click(options->opEngine(2));
    options->lstFields(0)->setCurrentRow(1);
    options->tbMoveFields_ButtonClick(0, "tbUp");
    clickFile(*wizard, 0);
    QTest::mouseClick(control<QPushButton>(*wizard, "cmdClose"), Qt::LeftButton);

    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), QDialog::Rejected);
    settings->sync();
    EXPECT_EQ(storedBytes(), before);
    EXPECT_EQ(lib.songs.rowCount(), 0);
    EXPECT_EQ(lib.library.count(), 0);
}

TEST_F(frmAddWizardTest, OpenAddsTheSelectedFilesAndStoresTheChoices)
{
    for (const char *name : {"A - One.mp3", "B - Two.mp3", "C - Three.mp3", "D - Four.wav"})
        touch(QString::fromUtf8(name));
    selectPlayList();
    auto wizard = open();
    auto *options = control<ParsingOptions>(*wizard, "parsingOptions");
    click(options->opEngine(1));
    click(options->opDefault(1));
    // Mark Artist (row 1) then Title (row 0) and move Artist to the top.
    auto *list = options->lstFields(0);
    for (int row : {1, 0}) {
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          QPoint(rect.left() + 10, rect.center().y()));
    }
    list->setCurrentRow(1);
    options->tbMoveFields(0)->actions().first()->trigger();

    clickFile(*wizard, 3);
    clickFile(*wizard, 0, Qt::ControlModifier);
    clickFile(*wizard, 2, Qt::ControlModifier);
    auto *cmdOpen = control<QPushButton>(*wizard, "cmdOpen");
    EXPECT_EQ(cmdOpen->shortcut(), QKeySequence(QStringLiteral("Alt+O")));
    QTest::mouseClick(cmdOpen, Qt::LeftButton);

    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
    // In the file list's order, into the selected play list.
    ASSERT_EQ(lib.library.count(), 1);
    ASSERT_EQ(lib.songs.rowCount(), 3);
    const QString folder = media() + QLatin1Char('/');
    const QStringList expected[] = {{"One", "A", folder + "A - One.mp3"},
                                    {"Three", "C", folder + "C - Three.mp3"},
                                    {"Four", "D", folder + "D - Four.wav"}};
    for (int row = 0; row < 3; ++row) {
        const SongRow &song = lib.songs.row(row);
        EXPECT_EQ((QStringList{song.field(chTitle), song.field(chArtist), song.field(chFile)}),
                  expected[row]);
    }
    EXPECT_EQ(lib.library.entry(0).tag, QStringLiteral("*"));

    settings->sync();
    const QByteArray stored = storedBytes();
    for (const char *line :
         {"Engine=1\n", "Default=1\n", "FNFields=\"1Artist,1Title,0Album,0Genre,\"\n",
          "DTFields=\"0Title,0Artist,0Album,0Genre,\"\n"})
        EXPECT_TRUE(stored.contains(line)) << line << " in " << stored.constData();
}

TEST_F(frmAddWizardTest, OpenWithoutSelectionStillCreatesMarksAndStores)
{
    auto wizard = open();
    QTest::mouseClick(control<QPushButton>(*wizard, "cmdOpen"), Qt::LeftButton);
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
    ASSERT_EQ(lib.library.count(), 1);
    EXPECT_EQ(lib.library.entry(0).name, QStringLiteral("Untitled"));
    EXPECT_EQ(lib.library.entry(0).tag, QStringLiteral("*"));
    EXPECT_EQ(lib.songs.rowCount(), 0);
    settings->sync();
    EXPECT_TRUE(storedBytes().contains("Engine=0\n"));
}

TEST_F(frmAddWizardTest, FolderTreeEngineIsUnderConstructionAndTheDialogStaysUsable)
{
    touch("Band - Song.mp3");
    auto wizard = open();
    auto *options = control<ParsingOptions>(*wizard, "parsingOptions");
    click(options->opEngine(2));
    clickFile(*wizard, 0);
    auto *cmdOpen = control<QPushButton>(*wizard, "cmdOpen");
    QTest::mouseClick(cmdOpen, Qt::LeftButton);

    ASSERT_EQ(lib.dialogs.messages.size(), 1u);
    EXPECT_EQ(lib.dialogs.messages[0].text, QStringLiteral("Under Construction"));
    EXPECT_EQ(lib.dialogs.messages[0].buttons, DialogButtons::Ok);
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_TRUE(cmdOpen->isEnabled());
    EXPECT_EQ(wizard->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(lib.library.count(), 0);
    EXPECT_EQ(lib.songs.rowCount(), 0);
    settings->sync();
    EXPECT_FALSE(storedBytes().contains("Engine"));

    // Another engine, and Open works.
    click(options->opEngine(1));
    options->lstFields(0)->item(1)->setCheckState(Qt::Checked);
    QTest::mouseClick(cmdOpen, Qt::LeftButton);
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
    ASSERT_EQ(lib.songs.rowCount(), 1);
    EXPECT_EQ(lib.songs.row(0).field(chArtist), QStringLiteral("Band"));
}

namespace {

// A reader that takes 300 ms of the test's clock per file and runs a step of
// the test at a chosen file.
class SlowReader final : public Id3TagReader
{
public:
    SlowReader(qint64 &now, int &reads, std::function<void(int)> atRead)
        : m_now(now)
        , m_reads(reads)
        , m_atRead(std::move(atRead))
    {}
    void read(const QString &) override
    {
        m_now += 300;
        m_atRead(++m_reads);
    }
    qint16 noTagIndicator() const override { return 1; }
    QString title() const override { return {}; }
    QString artist() const override { return {}; }
    QString album() const override { return {}; }

private:
    qint64 &m_now;
    int &m_reads;
    std::function<void(int)> m_atRead;
};

} // namespace

// A long batch shows its progress, is written to the play list's working copy
// as it grows (a kill loses at most a second of adds), and Cancel keeps what
// was added.
TEST_F(frmAddWizardTest, LongBatchShowsProgressIsKeptAsItGrowsAndCancelKeepsWhatWasAdded)
{
    for (int i = 0; i < 10; ++i)
        touch(QStringLiteral("%1.mp3").arg(i));
    selectPlayList();
    auto wizard = open();
    qint64 now = 0;
    int reads = 0;
    bool shownAtSecond = false;
    QByteArray keptAtSixth;
    const QString workingCopy = lib.dir.filePath(QStringLiteral("Lounge.tmp"));
    wizard->setClock([&] { return now; });
    frmAddWizard *w = wizard.get();
    wizard->setTagReaderFactory([&] {
        return std::make_unique<SlowReader>(now, reads, [&, w](int read) {
            auto *progress = w->findChild<QProgressDialog *>();
            if (read == 2)
                shownAtSecond = progress && progress->isVisible();
            if (read == 6) {
                keptAtSixth = readBytes(workingCopy);
                ASSERT_NE(progress, nullptr);
                EXPECT_FALSE(w->findChild<QPushButton *>("cmdOpen")->isEnabled());
                auto *cancel = progress->findChild<QPushButton *>();
                ASSERT_NE(cancel, nullptr);
                QTest::mouseClick(cancel, Qt::LeftButton);
            }
        });
    });
    QTest::keyClick(control<QListWidget>(*wizard, "flstFiles"), Qt::Key_A, Qt::ControlModifier);
    QTest::mouseClick(control<QPushButton>(*wizard, "cmdOpen"), Qt::LeftButton);

    // The first file took 300 ms, so ten would take three seconds; the
    // fourth ended the first second and was kept.
    EXPECT_TRUE(shownAtSecond);
    EXPECT_EQ(reads, 6);
    ASSERT_EQ(lib.songs.rowCount(), 6);
    EXPECT_EQ(lib.songs.row(5).field(chTitle), QStringLiteral("5"));
    const std::vector<SongRow> &rows = lib.songs.rows();
    EXPECT_EQ(keptAtSixth, PlayListFile::serialize({rows.begin(), rows.begin() + 4}));
    EXPECT_EQ(readBytes(workingCopy), PlayListFile::serialize(rows));
    EXPECT_EQ(lib.library.entry(0).tag, QStringLiteral("*"));
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
    EXPECT_EQ(wizard->findChild<QProgressDialog *>(), nullptr);
}

TEST_F(frmAddWizardTest, ShortBatchShowsNoProgress)
{
    for (int i = 0; i < 3; ++i)
        touch(QStringLiteral("%1.mp3").arg(i));
    auto wizard = open();
    qint64 now = 0;
    wizard->setClock([&] { return now; });
    bool progressSeen = false;
    int reads = 0;
    frmAddWizard *w = wizard.get();
    wizard->setTagReaderFactory([&] {
        return std::make_unique<SlowReader>(now, reads, [&, w](int) {
            now -= 250; // 50 ms per file
            progressSeen = progressSeen || w->findChild<QProgressDialog *>() != nullptr;
        });
    });
    QTest::keyClick(control<QListWidget>(*wizard, "flstFiles"), Qt::Key_A, Qt::ControlModifier);
    QTest::mouseClick(control<QPushButton>(*wizard, "cmdOpen"), Qt::LeftButton);
    EXPECT_FALSE(progressSeen);
    EXPECT_EQ(lib.songs.rowCount(), 3);
}

TEST_F(frmAddWizardTest, TheFolderListOpensWithTheCurrentFolderInView)
{
    // Many folders before the current one, so that it is rows below the top.
    QDir top(lib.dir.path());
    for (int i = 0; i < 80; ++i)
        ASSERT_TRUE(top.mkpath(QStringLiteral("a%1/x").arg(i, 2, 10, QLatin1Char('0'))));
    ASSERT_TRUE(top.mkpath(QStringLiteral("zz/deep")));
    frmAddWizard wizard(*settings, lib.dialogs, target, top.filePath(QStringLiteral("zz/deep")));
    wizard.show();
    auto *dirs = control<QTreeView>(wizard, "dlstDirs");
    const QModelIndex current = dirs->currentIndex();
    ASSERT_TRUE(current.isValid());
    EXPECT_EQ(current.data().toString(), QStringLiteral("deep"));
    // The folders above it come in the background: wait until all are there.
    const QModelIndex folder = current.parent().parent();
    QDeadlineTimer loaded(10'000);
    const int folders = static_cast<int>(top.entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
    while (dirs->model()->rowCount(folder) < folders && !loaded.hasExpired())
        QTest::qWait(20);
    ASSERT_EQ(dirs->model()->rowCount(folder), folders);
    QTest::qWait(50);
    EXPECT_TRUE(dirs->viewport()->rect().contains(dirs->visualRect(current)))
        << dirs->visualRect(current).y() << " in " << dirs->viewport()->height();
}
