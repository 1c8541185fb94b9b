// The control as its host sees it: by member names through the meta-object
// system, drawn on screen, and loaded from the real library file.
#include "mixer/vuhost.h"
#include "vu/manualclock.h"
#include "vu/scriptedpeaksource.h"
#include "vu/ucvu.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QMetaEnum>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ucVUTest : public ::testing::Test
{
protected:
    ucVUTest()
        : vu(std::make_unique<ScriptedPeakSource>(script), clock.factory())
    {}

    QColor colorAt(VuMeter::Channel channel, int index)
    {
        return vu.grab().toImage().pixelColor(vu.segmentRect(channel, index).center());
    }

    ScriptedPeakSource::Script script;
    ManualClock clock;
    ucVU vu;
};

TEST_F(ucVUTest, TheHostReachesEveryMemberByName)
{
    QObject &control = vu;
    const QMetaObject *meta = control.metaObject();
    for (const char *name : {"HoldPeaks", "HoldDelay", "Priority", "SilenceDetect"})
        EXPECT_GE(meta->indexOfProperty(name), 0) << name;
    for (const char *signature : {"StartVU()", "StopVU()", "LeftPeak()", "RightPeak()",
                                  "SilenceDetected()", "PeakValue(int)"})
        EXPECT_GE(meta->indexOfMethod(signature), 0) << signature;

    QVariantMap stored{{"HoldPeaksDelayVal", 1200}, {"HoldPeaksVal", false}, {"PriorityVal", 10}};
    ASSERT_TRUE(QMetaObject::invokeMethod(&control, "ReadProperties", Q_ARG(QVariantMap, stored)));
    EXPECT_EQ(control.property("HoldDelay").toInt(), 1200);
    EXPECT_EQ(control.property("Priority").toInt(), 10);
    EXPECT_TRUE(control.setProperty("SilenceDetect", 1000));

    QSignalSpy silence(&control, SIGNAL(SilenceDetected()));
    QSignalSpy peaks(&control, SIGNAL(PeakValue(int)));
    QSignalSpy left(&control, SIGNAL(LeftPeak()));
    script.left = -32768;
    ASSERT_TRUE(QMetaObject::invokeMethod(&control, "StartVU"));
    clock.advance(10);
    EXPECT_EQ(left.count(), 1);
    ASSERT_EQ(peaks.count(), 1);
    EXPECT_EQ(peaks.at(0).at(0).toInt(), -32768);
    script.left = 0;
    clock.advance(1010);
    EXPECT_EQ(silence.count(), 1);
    QVariantMap written;
    ASSERT_TRUE(
        QMetaObject::invokeMethod(&control, "WriteProperties", Q_RETURN_ARG(QVariantMap, written)));
    EXPECT_EQ(written.value("SilenceDetectVal").toInt(), 1000);
}

TEST_F(ucVUTest, TheEnumerationsCarryTheirNamesAndValues)
{
    auto value = [](const char *enumeration, const char *key) {
        const QMetaObject &meta = ucVU::staticMetaObject;
        const QMetaEnum e = meta.enumerator(meta.indexOfEnumerator(enumeration));
        return e.keyToValue(key);
    };
    EXPECT_EQ(value("HoldDelaySec", "hdLow"), 500);
    EXPECT_EQ(value("HoldDelaySec", "hdMedium"), 1200);
    EXPECT_EQ(value("HoldDelaySec", "hdHigh"), 3000);
    EXPECT_EQ(value("PrioritySec", "pLow"), 500);
    EXPECT_EQ(value("PrioritySec", "pMedium"), 200);
    EXPECT_EQ(value("PrioritySec", "pHigh"), 10);
    EXPECT_EQ(value("SilenceDetectSec", "sOFF"), 0);
    EXPECT_EQ(value("SilenceDetectSec", "s05sec"), 500);
    EXPECT_EQ(value("SilenceDetectSec", "s1sec"), 1000);
    EXPECT_EQ(value("SilenceDetectSec", "s5sec"), 5000);
    EXPECT_EQ(value("SilenceDetectSec", "s10sec"), 10000);
}

TEST_F(ucVUTest, AnySizeAskedForIsReplacedByItsOwn)
{
    QWidget host;
    vu.setParent(&host);
    host.resize(400, 400);
    host.show();
    const QSize own = vu.size();
    EXPECT_EQ(own, QSize(945 * vu.logicalDpiX() / 1440, 1890 * vu.logicalDpiX() / 1440));
    vu.resize(300, 40);
    EXPECT_EQ(vu.size(), own);
    vu.setGeometry(0, 0, 10, 10);
    EXPECT_EQ(vu.size(), own);
    vu.setParent(nullptr);
}

TEST_F(ucVUTest, SegmentsAreDrawnInTheirColoursAndPlaces)
{
    // Twips of the design at 96 dots per inch: 15 to a pixel.
    if (vu.logicalDpiX() == 96) {
        EXPECT_EQ(vu.segmentRect(VuMeter::Left, 0), QRect(2, 110, 25, 9));
        EXPECT_EQ(vu.segmentRect(VuMeter::Right, 12), QRect(31, 2, 25, 9));
    }
    vu.setPriority(10);
    vu.setHoldPeaks(false);
    script.left = 32767;
    script.right = 8192; // level 3
    vu.StartVU();
    clock.advance(20);
    EXPECT_EQ(colorAt(VuMeter::Left, 0), QColor(0, 255, 0));
    EXPECT_EQ(colorAt(VuMeter::Left, 7), QColor(255, 255, 0));
    EXPECT_EQ(colorAt(VuMeter::Left, 11), QColor(255, 0, 0));
    EXPECT_EQ(colorAt(VuMeter::Left, 12), QColor(128, 0, 0));
    EXPECT_EQ(colorAt(VuMeter::Right, 2), QColor(0, 255, 0));
    EXPECT_EQ(colorAt(VuMeter::Right, 5), QColor(0, 128, 0));
    EXPECT_EQ(colorAt(VuMeter::Right, 8), QColor(128, 128, 0));
    QMetaObject::invokeMethod(&vu, "StopVU");
    EXPECT_EQ(colorAt(VuMeter::Left, 0), QColor(0, 128, 0));
}

// Waits, with the event loop running, until `condition` holds or 5 s passed.
template <typename Condition>
bool waitFor(Condition condition)
{
    const QDeadlineTimer deadline(5000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

TEST(QtVuTimerTest, EnablingAnEnabledTimerKeepsItsCountdown)
{
    QtVuTimer timer("tmrSilenceDetector");
    timer.setInterval(10000);
    timer.setEnabled(true);
    ASSERT_TRUE(timer.timer().isActive());
    ASSERT_TRUE(waitFor([&timer] { return timer.timer().remainingTime() < 9950; }));
    timer.setEnabled(true);
    EXPECT_LT(timer.timer().remainingTime(), 9950);
    timer.setEnabled(false);
    timer.setEnabled(true);
    EXPECT_GT(timer.timer().remainingTime(), 9950);

    // An interval of 0 never fires, enabled or not.
    int fired = 0;
    timer.onTimeout = [&fired] { ++fired; };
    timer.setInterval(0);
    EXPECT_FALSE(timer.timer().isActive());
    QCoreApplication::processEvents();
    EXPECT_EQ(fired, 0);
    EXPECT_TRUE(timer.isEnabled());
}

TEST(VuHostTest, TheProgramMakesTheControlFromTheLibraryByClassName)
{
    QWidget parent;
    QString why;
    QWidget *control = VuHost::createVuMeter({QStringLiteral(VORN_TEST_VU_DIR)}, &parent, &why);
    ASSERT_NE(control, nullptr) << why.toStdString();
    EXPECT_EQ(control->parent(), &parent);
    EXPECT_STREQ(control->metaObject()->className(), "ucVU");
    EXPECT_TRUE(control->setProperty("Priority", 10));
    EXPECT_EQ(control->property("Priority").toInt(), 10);
    EXPECT_TRUE(QMetaObject::invokeMethod(control, "StopVU"));
}

TEST(VuHostTest, AMissingLibraryGivesNoControlAndSaysWhy)
{
    QTemporaryDir empty;
    QString why;
    EXPECT_EQ(VuHost::createVuMeter({empty.path()}, nullptr, &why), nullptr);
    EXPECT_FALSE(why.isEmpty());

    // A file of that name that is no library.
    QFile junk(empty.filePath(QStringLiteral("libvu.so")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a library");
    junk.close();
    EXPECT_EQ(VuHost::createVuMeter({empty.path()}, nullptr, &why), nullptr);
}

} // namespace
