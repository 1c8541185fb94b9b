#include "windowfit.h"

#include <algorithm>

QRect fitWindowInto(const QRect &wanted, const QRect &available)
{
    if (available.isEmpty())
        return wanted;
    const int width = std::clamp(wanted.width(), 1, available.width());
    const int height = std::clamp(wanted.height(), 1, available.height());
    const int x =
        std::clamp(wanted.x(), available.left(), available.left() + available.width() - width);
    const int y =
        std::clamp(wanted.y(), available.top(), available.top() + available.height() - height);
    return {x, y, width, height};
}
