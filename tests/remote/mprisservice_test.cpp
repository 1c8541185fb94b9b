// The MPRIS adaptors over a scripted remote control, on a bus of the test's
// own: what the properties read, what travels in which D-Bus type, which
// changes are announced, and what each method asks of the control.
#include "remote/mprisnames.h"
#include "remote/mprisservice.h"
#include "remote/mprisstate.h"
#include "remote/remotecontrol.h"
#include "support/paramname.h"
#include "support/privatebus.h"
#include "support/waitfor.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

const QString kRoot = QLatin1String(Mpris::kRootInterface);
const QString kPlayer = QLatin1String(Mpris::kPlayerInterface);

// Answers from its fields and records the commands it is given.
class ScriptedRemote final : public RemoteControl
{
public:
    State current;
    qint64 position = 0;
    QStringList commands;
    std::function<void()> onQuit;

    State state() override { return current; }
    qint64 positionMs() override { return position; }
    void play() override { commands << QStringLiteral("play"); }
    void pause() override { commands << QStringLiteral("pause"); }
    void stop() override { commands << QStringLiteral("stop"); }
    void next() override { commands << QStringLiteral("next"); }
    void previous() override { commands << QStringLiteral("previous"); }
    void setRepeat(bool on) override { commands << QStringLiteral("repeat %1").arg(on); }
    void setRandom(bool on) override { commands << QStringLiteral("random %1").arg(on); }
    void setVolume(double volume) override { commands << QStringLiteral("volume %1").arg(volume); }
    void raise() override { commands << QStringLiteral("raise"); }
    void quit() override
    {
        commands << QStringLiteral("quit");
        if (onQuit)
            onQuit();
    }
};


class MprisServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!bus.isRunning())
            GTEST_SKIP() << "dbus-daemon is not available";
        remote.current.track = {2,
                                QStringLiteral("Two"),
                                QStringLiteral("B"),
                                QStringLiteral("Al"),
                                QStringLiteral("/m/two three.mp3"),
                                160};
        remote.current.volume = 0.5;
        service = std::make_unique<MprisService>(remote);
        name = service->publish(bus.connect(QStringLiteral("vorn")));
        ASSERT_EQ(name, QLatin1String(Mpris::kServiceName));
        client = bus.connect(QStringLiteral("client"));
    }

    QVariant get(const QString &interface, const QString &property)
    {
        return busProperty(client, name, interface, property);
    }

    QDBusMessage call(const QString &interface, const QString &method,
                      const QVariantList &arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            name, QLatin1String(Mpris::kObjectPath), interface, method);
        message.setArguments(arguments);
        return callAndWait(client, message);
    }

    QDBusMessage set(const QString &property, const QVariant &value)
    {
        return call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
                    {kPlayer, property, QVariant::fromValue(QDBusVariant(value))});
    }

    PrivateBus bus;
    ScriptedRemote remote;
    std::unique_ptr<MprisService> service;
    QString name;
    QDBusConnection client{QString()};
};

TEST_F(MprisServiceTest, PropertiesReadOverTheBusInTheirInterfaceTypes)
{
    EXPECT_EQ(get(kRoot, QStringLiteral("Identity")).toString(), QStringLiteral("VORN"));
    EXPECT_EQ(get(kRoot, QStringLiteral("DesktopEntry")).toString(), QStringLiteral("vorn"));
    EXPECT_TRUE(get(kRoot, QStringLiteral("CanQuit")).toBool());
    EXPECT_TRUE(get(kRoot, QStringLiteral("CanRaise")).toBool());
    EXPECT_FALSE(get(kRoot, QStringLiteral("HasTrackList")).toBool());
    EXPECT_TRUE(get(kRoot, QStringLiteral("SupportedUriSchemes"))
                    .toStringList()
                    .contains(QStringLiteral("file")));
    EXPECT_TRUE(get(kRoot, QStringLiteral("SupportedMimeTypes"))
                    .toStringList()
                    .contains(QStringLiteral("audio/mpeg")));

    remote.current.status = RemoteControl::Status::Paused;
    remote.current.repeat = true;
    remote.current.canGoNext = true;
    remote.position = 65'400;
    EXPECT_EQ(get(kPlayer, QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Paused"));
    EXPECT_EQ(get(kPlayer, QStringLiteral("LoopStatus")).toString(), QStringLiteral("Playlist"));
    EXPECT_FALSE(get(kPlayer, QStringLiteral("Shuffle")).toBool());
    EXPECT_DOUBLE_EQ(get(kPlayer, QStringLiteral("Volume")).toDouble(), 0.5);
    EXPECT_TRUE(get(kPlayer, QStringLiteral("CanGoNext")).toBool());
    EXPECT_FALSE(get(kPlayer, QStringLiteral("CanGoPrevious")).toBool());
    EXPECT_TRUE(get(kPlayer, QStringLiteral("CanControl")).toBool());
    EXPECT_FALSE(get(kPlayer, QStringLiteral("CanSeek")).toBool());
    EXPECT_EQ(busSignature(client, name, kPlayer, QStringLiteral("Position")), QStringLiteral("x"));
    EXPECT_EQ(get(kPlayer, QStringLiteral("Position")).toLongLong(), 65'400'000);

    EXPECT_EQ(busSignature(client, name, kPlayer, QStringLiteral("Metadata")),
              QStringLiteral("a{sv}"));
    const QVariantMap metadata = asMap(get(kPlayer, QStringLiteral("Metadata")));
    const QVariant trackId = metadata.value(QStringLiteral("mpris:trackid"));
    ASSERT_EQ(trackId.metaType(), QMetaType::fromType<QDBusObjectPath>());
    EXPECT_EQ(trackId.value<QDBusObjectPath>().path(), QStringLiteral("/org/vorn/Row/2"));
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Two"));
    const QVariant artist = metadata.value(QStringLiteral("xesam:artist"));
    ASSERT_EQ(artist.metaType(), QMetaType::fromType<QStringList>());
    EXPECT_EQ(artist.toStringList(), QStringList{QStringLiteral("B")});
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("Al"));
    const QVariant length = metadata.value(QStringLiteral("mpris:length"));
    ASSERT_EQ(length.metaType(), QMetaType::fromType<qlonglong>());
    EXPECT_EQ(length.toLongLong(), 160'000'000);
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:url")).toString(),
              QStringLiteral("file:///m/two%20three.mp3"));
}

TEST(MprisMetadata, WithoutASongOnlyTheNoTrackIdRemainsAndEmptyFieldsAreLeftOut)
{
    const QVariantMap none = Mpris::metadata({});
    EXPECT_EQ(none.keys(), QStringList{QStringLiteral("mpris:trackid")});
    EXPECT_EQ(none.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
              QLatin1String(Mpris::kNoTrack));

    RemoteControl::Track bare;
    bare.number = 1;
    bare.title = QStringLiteral("Only a title");
    bare.file = QStringLiteral("/m/1.mp3");
    const QVariantMap map = Mpris::metadata(bare);
    EXPECT_FALSE(map.contains(QStringLiteral("xesam:artist")));
    EXPECT_FALSE(map.contains(QStringLiteral("xesam:album")));
    EXPECT_FALSE(map.contains(QStringLiteral("mpris:length")));
}

TEST(MprisLoopStatus, NoneAndPlaylistMapToRepeatAndAnythingElseIsRefused)
{
    EXPECT_EQ(Mpris::repeatOf(Mpris::loopStatus(true)), true);
    EXPECT_EQ(Mpris::repeatOf(Mpris::loopStatus(false)), false);
    EXPECT_EQ(Mpris::repeatOf(QStringLiteral("Track")), std::nullopt);
    EXPECT_EQ(Mpris::repeatOf(QStringLiteral("playlist")), std::nullopt);
}

TEST_F(MprisServiceTest, EachChangeIsAnnouncedOnceWithOnlyWhatChanged)
{
    PropertiesChangedRecorder recorder(client, name, QLatin1String(Mpris::kObjectPath));
    // Several changes told in one go make one announcement.
    remote.current.repeat = true;
    remote.current.status = RemoteControl::Status::Playing;
    emit remote.changed();
    emit remote.changed();
    ASSERT_TRUE(waitFor([&] { return !recorder.changes.isEmpty(); }));
    waitFor([] { return false; }, 200); // room for a wrong second signal
    ASSERT_EQ(recorder.changes.size(), 1);
    EXPECT_EQ(recorder.changes[0].interface, kPlayer);
    EXPECT_EQ(recorder.changes[0].changed.keys(),
              (QStringList{QStringLiteral("LoopStatus"), QStringLiteral("PlaybackStatus")}));
    EXPECT_EQ(recorder.changes[0].changed.value(QStringLiteral("LoopStatus")).toString(),
              QStringLiteral("Playlist"));

    // Nothing new: nothing announced.
    emit remote.changed();
    waitFor([] { return false; }, 200);
    EXPECT_EQ(recorder.changes.size(), 1);

    remote.current.track.number = 3;
    remote.current.track.title = QStringLiteral("Three");
    remote.current.random = true;
    remote.current.volume = 0.25;
    emit remote.changed();
    ASSERT_TRUE(waitFor([&] { return recorder.changes.size() == 2; }));
    const QVariantMap second = recorder.changes[1].changed;
    EXPECT_EQ(second.keys(), (QStringList{QStringLiteral("Metadata"), QStringLiteral("Shuffle"),
                                          QStringLiteral("Volume")}));
    EXPECT_EQ(asMap(second.value(QStringLiteral("Metadata")))
                  .value(QStringLiteral("xesam:title"))
                  .toString(),
              QStringLiteral("Three"));
    EXPECT_DOUBLE_EQ(second.value(QStringLiteral("Volume")).toDouble(), 0.25);
}

struct MethodCase
{
    const char *name;
    RemoteControl::Status status;
    const char *method;
    QStringList expected;
};

class MprisMethodTest : public MprisServiceTest, public ::testing::WithParamInterface<MethodCase>
{
};

// Play and Pause follow the interface's rules over the toolbar's: Play while
// playing would start the list over, Pause while paused would resume.
TEST_P(MprisMethodTest, EachMethodAsksTheControlForItsCommandOnly)
{
    const MethodCase &c = GetParam();
    remote.current.status = c.status;
    const QDBusMessage reply = call(kPlayer, QLatin1String(c.method));
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    waitFor([&] { return remote.commands.size() >= c.expected.size() && !c.expected.isEmpty(); },
            c.expected.isEmpty() ? 200 : 5000);
    EXPECT_EQ(remote.commands, c.expected);
}

using S = RemoteControl::Status;
INSTANTIATE_TEST_SUITE_P(
    Methods, MprisMethodTest,
    ::testing::Values(MethodCase{"PlayWhenStopped", S::Stopped, "Play", {"play"}},
                      MethodCase{"PlayWhenPaused", S::Paused, "Play", {"play"}},
                      MethodCase{"PlayWhenPlaying", S::Playing, "Play", {}},
                      MethodCase{"PauseWhenPlaying", S::Playing, "Pause", {"pause"}},
                      MethodCase{"PauseWhenPaused", S::Paused, "Pause", {}},
                      MethodCase{"PauseWhenStopped", S::Stopped, "Pause", {}},
                      MethodCase{"PlayPauseWhenPlaying", S::Playing, "PlayPause", {"pause"}},
                      MethodCase{"PlayPauseWhenPaused", S::Paused, "PlayPause", {"play"}},
                      MethodCase{"PlayPauseWhenStopped", S::Stopped, "PlayPause", {"play"}},
                      MethodCase{"Stop", S::Playing, "Stop", {"stop"}},
                      MethodCase{"Next", S::Playing, "Next", {"next"}},
                      MethodCase{"Previous", S::Playing, "Previous", {"previous"}}),
    [](const ::testing::TestParamInfo<MethodCase> &info) {
        return readableCaseName(info.param.name, info.index);
    });

TEST_F(MprisServiceTest, WritablePropertiesAskTheControlAndBoundTheVolume)
{
    ASSERT_EQ(set(QStringLiteral("LoopStatus"), QStringLiteral("Playlist")).type(),
              QDBusMessage::ReplyMessage);
    set(QStringLiteral("LoopStatus"), QStringLiteral("Track")); // VORN has no such mode
    set(QStringLiteral("Shuffle"), true);
    set(QStringLiteral("Volume"), std::nan("")); // no volume at all: ignored
    set(QStringLiteral("Volume"), 1.7);
    set(QStringLiteral("Volume"), -0.2);
    set(QStringLiteral("Volume"), 0.3);
    ASSERT_TRUE(waitFor([&] { return remote.commands.size() >= 5; }));
    waitFor([] { return false; }, 100);
    EXPECT_EQ(remote.commands, (QStringList{QStringLiteral("repeat 1"), QStringLiteral("random 1"),
                                            QStringLiteral("volume 1"), QStringLiteral("volume 0"),
                                            QStringLiteral("volume 0.3")}));

    // What already holds is not pressed again (a second press would undo it).
    remote.commands.clear();
    remote.current.repeat = true;
    set(QStringLiteral("LoopStatus"), QStringLiteral("Playlist"));
    set(QStringLiteral("LoopStatus"), QStringLiteral("None"));
    ASSERT_TRUE(waitFor([&] { return !remote.commands.isEmpty(); }));
    waitFor([] { return false; }, 100);
    EXPECT_EQ(remote.commands, QStringList{QStringLiteral("repeat 0")});
}

TEST_F(MprisServiceTest, QuitAnswersTheCallerBeforeItsQuestionIsAnswered)
{
    // The closing question stays open until the caller has its reply: a Quit
    // that held the caller for it would time out.
    bool replied = false;
    QDBusPendingCall pending = client.asyncCall(QDBusMessage::createMethodCall(
        name, QLatin1String(Mpris::kObjectPath), kRoot, QStringLiteral("Quit")));
    remote.onQuit = [&] { replied = waitFor([&] { return pending.isFinished(); }, 3000); };
    ASSERT_TRUE(waitFor([&] { return remote.commands.contains(QStringLiteral("quit")); }));
    EXPECT_TRUE(replied);
    EXPECT_EQ(pending.reply().type(), QDBusMessage::ReplyMessage);

    call(kRoot, QStringLiteral("Raise"));
    EXPECT_TRUE(waitFor([&] { return remote.commands.contains(QStringLiteral("raise")); }));
}

TEST_F(MprisServiceTest, ASecondVornOnTheBusTakesAnInstanceName)
{
    ScriptedRemote other;
    MprisService second(other);
    const QString taken = second.publish(bus.connect(QStringLiteral("second")));
    EXPECT_EQ(taken, QStringLiteral("%1.instance%2")
                         .arg(QLatin1String(Mpris::kServiceName))
                         .arg(QCoreApplication::applicationPid()));
    EXPECT_TRUE(client.interface()->isServiceRegistered(taken).value());
    EXPECT_EQ(busProperty(client, taken, kRoot, QStringLiteral("Identity")).toString(),
              QStringLiteral("VORN"));
}

TEST(MprisServiceWithoutBus, NoBusMeansNoNameAndNoTrouble)
{
    ScriptedRemote remote;
    MprisService service(remote);
    const QDBusConnection none = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/vorn-no-bus"), QStringLiteral("none"));
    EXPECT_TRUE(service.publish(none).isEmpty());
    emit remote.changed();
    service.refresh();
    QDBusConnection::disconnectFromBus(QStringLiteral("none"));
}

} // namespace
