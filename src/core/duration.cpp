#include "duration.h"

#include "numeric.h"

namespace {

void appendTwoDigits(QString &out, qint64 value)
{
    if (value < 10)
        out += QLatin1Char('0');
    out += QString::number(value);
}

} // namespace

QString FormatDuration(qint64 seconds)
{
    const qint64 t = seconds < 0 ? 0 : seconds;
    const qint64 h = t / 3600;
    const qint64 m = t / 60 - 60 * h;
    const qint64 s = t - 60 * (m + 60 * h);

    QString text;
    text.reserve(8);
    if (h > 0) {
        appendTwoDigits(text, h);
        text += QLatin1Char(':');
    }
    appendTwoDigits(text, m);
    text += QLatin1Char(':');
    appendTwoDigits(text, s);
    return text;
}

qint64 ParseDuration(QStringView text)
{
    if (text.isEmpty())
        return 0;

    const qsizetype first = text.indexOf(u':');
    const qsizetype second = first < 0 ? -1 : text.indexOf(u':', first + 1);
    if (second >= 0) {
        const double hours = leadingNumber(text.first(first));
        const double minutes = leadingNumber(text.sliced(first + 1, second - first - 1));
        const double secs = leadingNumber(text.sliced(second + 1));
        return roundHalfEven(3600.0 * hours + 60.0 * minutes + secs);
    }

    const double minutes = leadingNumber(text.first(qMin<qsizetype>(2, text.size())));
    const double secs = leadingNumber(text.last(qMin<qsizetype>(2, text.size())));
    return roundHalfEven(60.0 * minutes + secs);
}
