#include "fieldorder.h"

#include "core/settingvalues.h"

#include <cmath>

FieldOrder readFieldOrder(const QString &text)
{
    FieldOrder order;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar mark = text[i];
        qsizetype comma = text.indexOf(QLatin1Char(','), i + 1);
        if (comma < 0)
            comma = text.size();
        order.push_back(
            {text.mid(i + 1, comma - i - 1), mark >= QLatin1Char('1') && mark <= QLatin1Char('9')});
        i = comma + 1;
    }
    return order;
}

QString writeFieldOrder(const FieldOrder &order)
{
    QString text;
    for (const FieldEntry &entry : order) {
        text += entry.marked ? QLatin1Char('1') : QLatin1Char('0');
        text += entry.name;
        text += QLatin1Char(',');
    }
    return text;
}

int moveFieldUp(FieldOrder &order, int current)
{
    if (current < 1 || current >= static_cast<int>(order.size()))
        return current;
    std::swap(order[static_cast<size_t>(current)], order[static_cast<size_t>(current - 1)]);
    return current - 1;
}

int moveFieldDown(FieldOrder &order, int current)
{
    if (current < 0 || current >= static_cast<int>(order.size()) - 1)
        return current;
    std::swap(order[static_cast<size_t>(current)], order[static_cast<size_t>(current + 1)]);
    return current + 1;
}

int optionIndex(bool button1Chosen, bool button2Chosen)
{
    return (button1Chosen ? 1 : 0) + 2 * (button2Chosen ? 1 : 0);
}

int optionFromSetting(const QString &text)
{
    const std::optional<double> number = settingNumber(text);
    if (!number || !std::isfinite(*number))
        return 0;
    const double rounded = std::nearbyint(*number);
    return rounded == 1.0 ? 1 : rounded == 2.0 ? 2 : 0;
}
