#pragma once

#include <QRect>

// The window rectangle to show for a stored one: inside `available` (the
// free area of the screen it opens on). The stored size is kept when it fits,
// else cut to the area; the position then moves just enough to bring the
// whole window in. An empty area leaves the rectangle as it is.
QRect fitWindowInto(const QRect &wanted, const QRect &available);
