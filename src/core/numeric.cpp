#include "numeric.h"

#include <cmath>

qint64 roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double floorValue = std::floor(value);
    const double fraction = value - floorValue;
    double result = floorValue;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floorValue, 2.0) != 0.0))
        result += 1.0;
    constexpr double limit = 9.0e18;
    if (result > limit)
        return static_cast<qint64>(limit);
    if (result < -limit)
        return -static_cast<qint64>(limit);
    return static_cast<qint64>(result);
}

double leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;

    double whole = 0.0;
    double fraction = 0.0;
    double scale = 1.0;
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            break;
        const int digit = c.unicode() - u'0';
        if (seenPoint) {
            scale /= 10.0;
            fraction += digit * scale;
        } else {
            whole = whole * 10.0 + digit;
        }
    }
    return whole + fraction;
}
