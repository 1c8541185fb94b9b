#include "banner/bannersettings.h"
#include "banner/bannerstrip.h"
#include "core/settingsstore.h"
#include "core/twips.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Counts the layout requests that reach a widget.
class LayoutRequestCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::LayoutRequest)
            ++count;
        return false;
    }
};

class BannerStripTest : public ::testing::Test
{
protected:
    BannerStripTest()
    {
        // The tests drive every tick themselves; the running timer must not
        // add one of its own when the machine is slow.
        strip->tmrScrollBanner()->blockSignals(true);
        window.resize(800, 300);
        strip->setGeometry(0, 40, 400, 30);
        window.show();
        QApplication::processEvents();
    }

    void store(const char *key, const char *text)
    {
        settings->SaveSetting(QStringLiteral("Preferences"), QLatin1String(key),
                              QLatin1String(text));
    }
    double dpi() const { return strip->screen()->logicalDotsPerInch(); }
    int pixels(int twips) const { return twipsToPixels(twips, dpi()); }
    QLabel *label(int index) const { return strip->lblBanner(index); }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> settings =
        std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("VORN.ini")));
    QWidget window;
    BannerStrip *strip = new BannerStrip(&window);
};

TEST_F(BannerStripTest, CarriesTheNamedControlsAndItsTimer)
{
    EXPECT_EQ(strip->objectName(), QStringLiteral("picBanner"));
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("lblBanner0")), label(0));
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("lblBanner1")), label(1));
    QTimer *timer = window.findChild<QTimer *>(QStringLiteral("tmrScrollBanner"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 100);
}

TEST_F(BannerStripTest, DefaultSettingsShowBoldTwelvePointTahomaYellowOnBlack)
{
    strip->ApplyBannerSettings(*settings, true);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(label(i)->font().family(), QStringLiteral("Tahoma"));
        EXPECT_DOUBLE_EQ(label(i)->font().pointSizeF(), 12.0);
        EXPECT_TRUE(label(i)->font().bold());
        EXPECT_EQ(label(i)->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    }
    EXPECT_EQ(strip->palette().color(QPalette::Window), QColor(0, 0, 0));
    EXPECT_TRUE(strip->autoFillBackground());
    EXPECT_TRUE(strip->isVisible());
}

TEST_F(BannerStripTest, AppliesTheStoredSettingsAndTheCheckMark)
{
    store("Banner_FontName", "Courier");
    store("Banner_FontSize", "20");
    store("Banner_FontItalic", "1");
    store("Banner_FontColor", "16777215");
    store("Banner_BackColor", "255");
    strip->ApplyBannerSettings(*settings, false);
    EXPECT_FALSE(strip->isVisible());
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(label(i)->font().family(), QStringLiteral("Courier"));
        EXPECT_TRUE(label(i)->font().italic());
        EXPECT_EQ(label(i)->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    }
    EXPECT_EQ(strip->palette().color(QPalette::Window), QColor(255, 0, 0));

    // The label height follows the font.
    const int large = strip->labelHeight();
    store("Banner_FontSize", "8");
    strip->ApplyBannerSettings(*settings, true);
    EXPECT_TRUE(strip->isVisible());
    EXPECT_LT(strip->labelHeight(), large);
}

TEST_F(BannerStripTest, ApplyingTheSettingsEmptiesTheBanner)
{
    strip->setBannerText(QStringLiteral("Song - Artist"));
    EXPECT_EQ(label(0)->text(), QStringLiteral("Song - Artist"));
    EXPECT_EQ(label(1)->text(), QStringLiteral("Song - Artist"));
    strip->ApplyBannerSettings(*settings, true);
    EXPECT_EQ(strip->bannerText(), QString());
    EXPECT_EQ(label(1)->text(), QString());
}

TEST_F(BannerStripTest, ATickMovesTheLabelsAStepLeftWithTheCopyBehind)
{
    strip->ApplyBannerSettings(*settings, true);
    strip->setBannerText(QStringLiteral("Short"));
    ASSERT_LT(label(0)->sizeHint().width(), strip->width());

    strip->tmrScrollBanner_Timer();
    // 400 pixels of strip: the first label is as wide as the strip.
    const int stripTwips = pixelsToTwips(400, dpi());
    EXPECT_EQ(strip->positions(), (BannerPositions{-150, stripTwips, stripTwips + 850}));
    EXPECT_EQ(label(0)->x(), pixels(-150));
    EXPECT_EQ(label(0)->width(), 400);
    EXPECT_EQ(label(1)->x(), pixels(stripTwips + 850));

    strip->tmrScrollBanner_Timer();
    EXPECT_EQ(label(0)->x(), pixels(-300));
}

TEST_F(BannerStripTest, ALongTitleGivesTheFirstLabelItsTextWidth)
{
    strip->setBannerText(QString(200, QLatin1Char('W')));
    const int textWidth = label(0)->sizeHint().width();
    ASSERT_GT(textWidth, strip->width());
    strip->tmrScrollBanner_Timer();
    EXPECT_EQ(strip->positions().width0, pixelsToTwips(textWidth, dpi()));
    EXPECT_GE(label(0)->width(), textWidth);
    EXPECT_GE(label(1)->width(), textWidth);
}

TEST_F(BannerStripTest, ScrollingNeverLaysTheWindowOut)
{
    strip->setBannerText(QStringLiteral("A song"));
    QApplication::processEvents();
    LayoutRequestCounter counter;
    window.installEventFilter(&counter);
    strip->installEventFilter(&counter);
    const QRect before = strip->geometry();
    for (int i = 0; i < 200; ++i)
        strip->tmrScrollBanner_Timer();
    QApplication::processEvents();
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(strip->geometry(), before);
}

// The timer ticks only while there is text to scroll in a shown strip, so an
// idle program wakes for nothing; each change of text, check mark or window
// is followed. A tick of a hidden strip still moves its labels.
TEST_F(BannerStripTest, TheTimerRunsOnlyWhileShownTextScrolls)
{
    struct Step
    {
        const char *what;
        std::function<void()> act;
        bool ticks;
    };
    const std::vector<Step> steps{
        {"shown, empty", [] {}, false},
        {"a song plays", [&] { strip->setBannerText(QStringLiteral("A song")); }, true},
        {"banner turned off", [&] { strip->ApplyBannerSettings(*settings, false); }, false},
        {"text while off", [&] { strip->setBannerText(QStringLiteral("Next")); }, false},
        {"banner turned on", [&] { strip->ApplyBannerSettings(*settings, true); }, false},
        {"the next song", [&] { strip->setBannerText(QStringLiteral("Next")); }, true},
        {"window hidden", [&] { window.hide(); }, false},
        {"window shown", [&] { window.show(); }, true},
        {"nothing plays", [&] { strip->setBannerText(QString()); }, false},
    };
    for (const Step &step : steps) {
        step.act();
        QApplication::processEvents();
        EXPECT_EQ(strip->tmrScrollBanner()->isActive(), step.ticks) << step.what;
    }

    strip->setBannerText(QStringLiteral("A song"));
    strip->ApplyBannerSettings(*settings, false);
    strip->tmrScrollBanner_Timer();
    strip->tmrScrollBanner_Timer();
    EXPECT_EQ(strip->positions().left0, -300);
}

// The labels draw their text once and copy that picture at every tick: after
// every change the strip shows exactly what plain labels on the strip's colour
// at the same places show, never an old text, colour, font or size.
TEST_F(BannerStripTest, ShowsWhatPlainLabelsShowAfterEveryChange)
{
    BannerAppearance redOnBlue;
    redOnBlue.fontColor = QColor(255, 0, 0);
    redOnBlue.backColor = QColor(0, 0, 160);
    BannerAppearance bigItalic = redOnBlue;
    bigItalic.fontSize = 16.0;
    bigItalic.italic = true;
    BannerAppearance shown;
    const auto apply = [&](const BannerAppearance &appearance, const QString &text) {
        shown = appearance;
        strip->applyAppearance(appearance, true);
        strip->setBannerText(text);
    };
    struct Step
    {
        const char *what;
        std::function<void()> act;
    };
    const std::vector<Step> steps{
        {"a song plays", [&] { strip->setBannerText(QStringLiteral("A song")); }},
        {"it scrolls",
         [&] {
             for (int i = 0; i < 5; ++i)
                 strip->tmrScrollBanner_Timer();
         }},
        {"the next song", [&] { strip->setBannerText(QStringLiteral("The next song - Artist")); }},
        {"other colours", [&] { apply(redOnBlue, QStringLiteral("The next song - Artist")); }},
        {"another font", [&] { apply(bigItalic, QStringLiteral("The next song - Artist")); }},
        {"a wider strip", [&] { strip->setGeometry(0, 40, 600, 36); }},
    };
    for (const Step &step : steps) {
        step.act();
        QApplication::processEvents();
        QWidget reference(&window);
        reference.setGeometry(strip->geometry());
        reference.setAutoFillBackground(true);
        QPalette back = reference.palette();
        back.setColor(QPalette::Window, shown.backColor);
        reference.setPalette(back);
        for (int i = 0; i < 2; ++i) {
            auto *plain = new QLabel(label(i)->text(), &reference);
            plain->setTextFormat(Qt::PlainText);
            plain->setAlignment(label(i)->alignment());
            plain->setFont(label(i)->font());
            QPalette text = plain->palette();
            text.setColor(QPalette::WindowText, shown.fontColor);
            plain->setPalette(text);
            plain->setGeometry(label(i)->geometry());
            // Each label covers what lies under it (before the first tick
            // both sit at the left edge).
            plain->setAutoFillBackground(true);
        }
        const QImage picture = strip->grab().toImage();
        EXPECT_EQ(picture, reference.grab().toImage()) << step.what;
        bool lettered = false;
        for (int y = 0; y < picture.height() && !lettered; ++y)
            for (int x = 0; x < picture.width() && !lettered; ++x)
                lettered = picture.pixelColor(x, y) == shown.fontColor;
        EXPECT_TRUE(lettered) << step.what;
    }
}

} // namespace
