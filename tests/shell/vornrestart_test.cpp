// The built program killed outright (kill -9) after the user's work, and
// started on folders that cannot be written: what the next start shows must
// be the truth about the lists, and a folder nobody can write still plays.
#include <QtGlobal>
#ifdef Q_OS_UNIX

#include "library/playlistcommands.h"
#include "library/playlistfile.h"
#include "library/playlistlibrarymodel.h"
#include "library/playliststore.h"
#include "library/songlistactions.h"
#include "library/songlistmodel.h"
#include "library/songlistview.h"
#include "playback/mpvipc.h"
#include "remote/mprisnames.h"
#include "shell/mainactions.h"
#include "support/audiofiles.h"
#include "support/frmmainfixture.h"
#include "support/playerprocesses.h"
#include "support/privatebus.h"
#include "support/smallvolume.h"
#include "support/waitfor.h"

#include <QAction>
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QItemSelectionModel>
#include <QJsonArray>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QThread>

#include <csignal>
#include <functional>

namespace {


class VornRestartTest : public frmMainFixture
{
protected:
    void SetUp() override
    {
        for (const char *program : {"mpv", "dbus-daemon"}) {
            if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty())
                GTEST_SKIP() << program << " is not installed";
        }
        ASSERT_TRUE(bus.isRunning());
        runtime = path(QStringLiteral("run"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        watcher = bus.connect(QStringLiteral("test"));
    }

    void TearDown() override
    {
        if (vorn.state() != QProcess::NotRunning) {
            vorn.kill();
            vorn.waitForFinished(5000);
        }
    }

    // Starts the built program on `folder` and waits until its start-up is
    // done: its remote control is on the bus only after the lists loaded.
    void startVorn(const QString &folder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VORN_HOME"), folder);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("VORN_MPV_OPTIONS"), QStringLiteral("--ao=null"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
        vorn.setProcessEnvironment(environment);
        vorn.setProgram(QStringLiteral(VORN_PROGRAM));
        vorn.setStandardOutputFile(QProcess::nullDevice());
        errors.clear();
        vorn.start();
        ASSERT_TRUE(vorn.waitForStarted(5000));
        ASSERT_TRUE(waitFor(
            [this] {
                errors += vorn.readAllStandardError();
                return vorn.state() == QProcess::NotRunning ||
                       watcher.interface()->isServiceRegistered(QLatin1String(Mpris::kServiceName));
            },
            30000));
        ASSERT_EQ(vorn.state(), QProcess::Running) << errors.toStdString();
    }

    void killVorn(int signal)
    {
        ::kill(static_cast<pid_t>(vorn.processId()), signal);
        ASSERT_TRUE(vorn.waitForFinished(15000));
        errors += vorn.readAllStandardError();
        ASSERT_TRUE(waitFor(
            [this] { return processesMentioning(QFile::encodeName(runtime)).isEmpty(); }, 5000));
        ASSERT_TRUE(waitFor(
            [this] {
                return !watcher.interface()->isServiceRegistered(
                    QLatin1String(Mpris::kServiceName));
            },
            5000));
    }

    // What the program's player has loaded, asked of the player itself.
    QString playing() const
    {
        const QStringList sockets = QDir(runtime).entryList(QDir::System | QDir::Files);
        if (sockets.size() != 1)
            return QString();
        MpvIpc ipc(QDir(runtime).filePath(sockets[0]));
        return ipc.request(QJsonArray{QStringLiteral("get_property"), QStringLiteral("path")})
            .data.toString();
    }

    std::unique_ptr<frmMain> windowOn(const QString &folder)
    {
        auto player = std::make_unique<FakePlayerLink>();
        link = player.get();
        auto window = std::make_unique<frmMain>(folder, *settings, dialogs, std::move(player));
        window->show();
        window->tmrInit_Timer();
        return window;
    }

    static QStringList entries(frmMain &window)
    {
        QStringList all;
        for (int row = 0; row < window.library().count(); ++row)
            all << window.library().entry(row).name + window.library().entry(row).tag;
        return all;
    }

    PrivateBus bus;
    QDBusConnection watcher{QString()};
    QString runtime;
    QProcess vorn;
    QString errors;
};

// After each path that names or keeps a list, VORN is killed, started for
// real and killed again; the next start shows exactly the lists the user
// changed as unsaved (with their changes), under their names, and no other.
TEST_F(VornRestartTest, AfterAKillExactlyTheChangedListsComeBack)
{
    QByteArray lineFeeds = threeSongs;
    lineFeeds.replace("\r\n", "\n");
    const QByteArray windows = "Caf\xE9\xFF"
                               "Bj\xF6rk\xFF\xFF\xFF"
                               "03:00\xFF/m/c.mp3\xFF\r\n";
    const QByteArray twoSongs = storedLine({"One", "A", "", "", "03:25", "/m/1.mp3"}) +
                                storedLine({"Three", "", "", "", "", "/m/3.mid"});
    const QString newSong = path(QStringLiteral("new.mp3"));
    writeBytes(newSong, "not really music");
    auto removeSecondSong = [](frmMain &window) {
        window.songView().selectionModel()->select(window.songs().index(1, 0),
                                                   QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
        window.songActions().mnuSongsRemove->trigger();
    };
    struct Case
    {
        const char *what;
        QByteArray stored; // Rock.sdf
        std::function<void(frmMain &)> work;
        QStringList after;       // names, "*" for unsaved
        QStringList storedAfter; // the stored files left
    };
    const Case cases[] = {
        {"save of a new list",
         threeSongs,
         [&](frmMain &window) {
             window.mainActions().tbNewPlayList->trigger();
             dialogs.fileAnswers = {{newSong}};
             window.mainActions().tbAdd->trigger();
             dialogs.promptAnswers = {QStringLiteral("Shop")};
             window.mainActions().tbSavePlayList->trigger();
         },
         {"Rock", "Shop"},
         {"Rock.sdf", "Shop.sdf"}},
        {"save as of a changed list",
         threeSongs,
         [&](frmMain &window) {
             removeSecondSong(window);
             dialogs.promptAnswers = {QStringLiteral("Copy")};
             window.mainActions().tbbSaveAs->trigger();
         },
         {"Copy", "Rock*"},
         {"Copy.sdf", "Rock.sdf"}},
        {"rename",
         threeSongs,
         [&](frmMain &window) {
             window.commands().lvPlayLists_AfterLabelEdit(0, QStringLiteral("Pop"));
         },
         {"Pop"},
         {"Pop.sdf"}},
        {"rename of a changed list",
         threeSongs,
         [&](frmMain &window) {
             removeSecondSong(window);
             window.commands().lvPlayLists_AfterLabelEdit(0, QStringLiteral("Pop"));
         },
         {"Pop*"},
         {"Pop.sdf"}},
        {"delete of a changed new list",
         threeSongs,
         [&](frmMain &window) {
             window.mainActions().tbNewPlayList->trigger();
             dialogs.fileAnswers = {{newSong}};
             window.mainActions().tbAdd->trigger();
             window.mainActions().mnuPLDelete->trigger();
         },
         {"Rock"},
         {"Rock.sdf"}},
        {"untouched list with line feeds", lineFeeds, [](frmMain &) {}, {"Rock"}, {"Rock.sdf"}},
        {"untouched Windows-1252 list", windows, [](frmMain &) {}, {"Rock"}, {"Rock.sdf"}},
    };
    int number = 0;
    for (const Case &c : cases) {
        const QString folder = path(QStringLiteral("case%1").arg(++number));
        QDir().mkpath(folder);
        writeBytes(folder + QStringLiteral("/Rock.sdf"), c.stored);
        {
            auto window = windowOn(folder);
            c.work(*window);
            // Gone without its closing steps, as in a kill.
        }
        startVorn(folder);
        killVorn(SIGKILL);

        dialogs.messages.clear();
        auto window = windowOn(folder);
        EXPECT_EQ(entries(*window), c.after) << c.what;
        const auto changed = c.after.filter(QStringLiteral("*")).size();
        EXPECT_EQ(window->statusBar()->currentMessage(),
                  changed ? PlayListStore::recoveryNote(static_cast<int>(changed)) : QString())
            << c.what;
        EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.sdf")}, QDir::Files, QDir::Name),
                  c.storedAfter)
            << c.what;
        if (c.storedAfter.contains(QStringLiteral("Rock.sdf")) &&
            c.after.contains(QStringLiteral("Rock")))
            EXPECT_EQ(readBytes(folder + QStringLiteral("/Rock.sdf")), c.stored) << c.what;
        if (c.after.contains(QStringLiteral("Rock*")) || c.after.contains(QStringLiteral("Pop*"))) {
            const int row = window->library().findByName(c.after.contains(QStringLiteral("Pop*"))
                                                             ? QStringLiteral("Pop")
                                                             : QStringLiteral("Rock"));
            window->store().selectPlayList(row);
            window->commands().followLibrarySelection();
            EXPECT_EQ(PlayListFile::serialize(window->songs().rows()), twoSongs) << c.what;
        }
        // Nothing unsaved is asked about; No for each changed one.
        dialogs.answers.assign(static_cast<size_t>(changed), DialogAnswer::No);
        EXPECT_TRUE(closeWindow(*window)) << c.what;
        EXPECT_EQ(dialogs.messages.size(), static_cast<size_t>(changed)) << c.what;
    }
}

// A program folder that cannot be written: the program starts (no "already
// running"), says why, plays a song through the real player when asked over
// the bus, and ends without having changed a file.
TEST_F(VornRestartTest, AReadOnlyOrFullFolderStartsAndPlays)
{
    const QString song =
        writeWavFile(dir.path(), QStringLiteral("tone.wav"), 20.0, WavContent::Tone);
    const QByteArray stored = "Tone\xFF\xFF\xFF\xFF"
                              "00:20\xFF" +
                              QFile::encodeName(song) + "\xFF\r\n";
    for (const UnwritableKind &c : kUnwritableKinds) {
        SmallVolume volume(path(QString::fromLatin1(c.what)));
        if (!volume.mounted())
            GTEST_SKIP() << "no right to mount a file system here";
        writeBytes(volume.path() + QStringLiteral("/A.sdf"), stored);
        ASSERT_TRUE(volume.makeUnwritable(c));
        const QDir folder(volume.path());
        const QStringList files = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);

        startVorn(volume.path());
        EXPECT_TRUE(errors.contains(QStringLiteral("The play list folder %1 cannot be written: %2")
                                        .arg(volume.path(), QLatin1String(c.reason))))
            << c.what << errors.toStdString();
        EXPECT_FALSE(errors.contains(QStringLiteral("already running"))) << c.what;

        const QDBusMessage play = QDBusMessage::createMethodCall(
            QLatin1String(Mpris::kServiceName), QStringLiteral("/org/mpris/MediaPlayer2"),
            QStringLiteral("org.mpris.MediaPlayer2.Player"), QStringLiteral("Play"));
        EXPECT_EQ(callAndWait(watcher, play).type(), QDBusMessage::ReplyMessage) << c.what;
        EXPECT_TRUE(waitFor([&] { return playing() == song; }, 15000)) << c.what;

        killVorn(SIGTERM);
        EXPECT_EQ(vorn.exitCode(), 0) << c.what;
        EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name), files) << c.what;
        EXPECT_EQ(readBytes(volume.path() + QStringLiteral("/A.sdf")), stored) << c.what;
    }
}

} // namespace

#endif
