#include "columnlayout.h"

#include "core/numeric.h"
#include "core/settingsstore.h"
#include "core/settingvalues.h"
#include "core/twips.h"

#include <QHeaderView>

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>
#include <vector>

namespace {

int songColumnsIn(const QHeaderView &header)
{
    return std::min(header.count(), kSongColumnCount);
}

std::optional<double> storedWidth(const QString &text)
{
    const std::optional<double> width = settingNumber(text);
    if (!width || !std::isfinite(*width) || *width < 0.0)
        return std::nullopt;
    return width;
}

// A stored position as a visual index, when it names one of `count` places.
std::optional<int> storedVisualIndex(const QString &text, int count)
{
    const std::optional<double> position = settingNumber(text);
    if (!position || !std::isfinite(*position))
        return std::nullopt;
    const qint64 rounded = roundHalfEven(*position);
    if (rounded < 1 || rounded > count)
        return std::nullopt;
    return static_cast<int>(rounded - 1);
}

} // namespace

void LoadColumnLayout(QHeaderView &header, const SettingsStore &settings, double dotsPerInch)
{
    const int columns = songColumnsIn(header);
    for (int logical = 0; logical < columns; ++logical) {
        const auto column = static_cast<SongColumn>(logical);
        const double width = storedWidth(settings.value(ColumnLayoutSettings::widthKey(column)))
                                 .value_or(ColumnLayoutSettings::kDefaultWidth);
        header.resizeSection(logical, twipsToPixels(width, dotsPerInch));
    }

    // Every section gets a target place (its stored one, else where it is),
    // then the sections are put in place from the left. Moving them one by
    // one to their stored places could shift a column placed earlier.
    struct Target
    {
        int visual;
        bool stored;
        int logical;
    };
    std::vector<Target> targets;
    for (int logical = 0; logical < header.count(); ++logical) {
        std::optional<int> visual;
        if (logical < columns) {
            const auto column = static_cast<SongColumn>(logical);
            visual = storedVisualIndex(settings.value(ColumnLayoutSettings::positionKey(column)),
                                       header.count());
        }
        targets.push_back(
            {visual.value_or(header.visualIndex(logical)), visual.has_value(), logical});
    }
    // A stored place wins over a column that merely stays where it is.
    auto order = [](const Target &t) { return std::tuple(t.visual, !t.stored, t.logical); };
    std::sort(targets.begin(), targets.end(),
              [&order](const Target &a, const Target &b) { return order(a) < order(b); });
    for (int place = 0; place < static_cast<int>(targets.size()); ++place) {
        const int from = header.visualIndex(targets[static_cast<size_t>(place)].logical);
        if (from != place)
            header.moveSection(from, place);
    }
}

void SaveColumnLayout(const QHeaderView &header, SettingsStore &settings, double dotsPerInch)
{
    const int columns = songColumnsIn(header);
    for (int logical = 0; logical < columns; ++logical) {
        const auto column = static_cast<SongColumn>(logical);
        settings.save(ColumnLayoutSettings::widthKey(column),
                      QString::number(pixelsToTwips(header.sectionSize(logical), dotsPerInch)));
        settings.save(ColumnLayoutSettings::positionKey(column),
                      QString::number(header.visualIndex(logical) + 1));
    }
}
