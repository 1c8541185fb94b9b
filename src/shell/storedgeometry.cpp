#include "storedgeometry.h"

#include "core/settingsstore.h"
#include "core/settingvalues.h"
#include "core/twips.h"
#include "screenfit.h"
#include "shellsettings.h"

#include <QGuiApplication>
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

    window.move(twipsToPixels(x, dpi), twipsToPixels(y, dpi));
    window.resize(twipsToPixels(w, dpi), twipsToPixels(h, dpi));
    fitIntoScreen(&window);
    new FitIntoScreenOnShow(&window);
}

void storeGeometry(const QWidget &window, SettingsStore &settings)
{
    const double dpi = windowDotsPerInch(window);
    settings.save(ShellSettings::kMainX, QString::number(pixelsToTwips(window.pos().x(), dpi)));
    settings.save(ShellSettings::kMainY, QString::number(pixelsToTwips(window.pos().y(), dpi)));
    settings.save(ShellSettings::kMainW, QString::number(pixelsToTwips(window.width(), dpi)));
    settings.save(ShellSettings::kMainH, QString::number(pixelsToTwips(window.height(), dpi)));
}
