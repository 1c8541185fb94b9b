#include "storedgeometry.h"

#include "core/settingsstore.h"
#include "core/settingvalues.h"
#include "core/twips.h"
#include "screenfit.h"
#include "shellsettings.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace {

const QScreen *screenOf(const QWidget &window)
{
    return window.screen() ? window.screen() : QGuiApplication::primaryScreen();
}

} // namespace

double windowDotsPerInch(const QWidget &window)
{
    const QScreen *screen = screenOf(window);
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

void restoreStoredGeometry(QWidget &window, const SettingsStore &settings)
{
    const double dpi = windowDotsPerInch(window);
    const QScreen *screen = screenOf(window);
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);

    auto twips = [&settings](const SettingKey &key, double fallback) {
        return settingNumber(settings.value(key)).value_or(fallback);
    };
    const double x = twips(ShellSettings::kMainX, pixelsToTwips(screenSize.width(), dpi) / 4.0);
    const double y = twips(ShellSettings::kMainY, pixelsToTwips(screenSize.height(), dpi) / 4.0);
    const double w = twips(ShellSettings::kMainW, 8500);
    const double h = twips(ShellSettings::kMainH, 5500);

    // The window's own area: the window system places it there, frame or
    // no frame, and it is what storeGeometry reads back.
    window.setGeometry(twipsToPixels(x, dpi), twipsToPixels(y, dpi), twipsToPixels(w, dpi),
                       twipsToPixels(h, dpi));
    fitIntoScreen(&window);
    new FitIntoScreenOnShow(&window);
}

void storeGeometry(const QWidget &window, SettingsStore &settings)
{
    const double dpi = windowDotsPerInch(window);
    const QRect area = window.geometry();
    // A stored value that still gives the window's pixel is kept as it was
    // written: twips are finer than pixels, and a window that did not move
    // must not move its stored place.
    auto save = [&settings, dpi](const SettingKey &key, int pixels) {
        const QString stored = settings.value(key);
        const std::optional<double> twips = settingNumber(stored);
        settings.save(key, twips && twipsToPixels(*twips, dpi) == pixels
                               ? stored
                               : QString::number(pixelsToTwips(pixels, dpi)));
    };
    save(ShellSettings::kMainX, area.x());
    save(ShellSettings::kMainY, area.y());
    save(ShellSettings::kMainW, area.width());
    save(ShellSettings::kMainH, area.height());
}
