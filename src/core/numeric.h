#pragma once

#include <QStringView>
#include <QtGlobal>

// Nearest whole number, halves going to the even neighbour (2.5 -> 2, 3.5 -> 4).
qint64 roundHalfEven(double value);

// Reads a number leniently from the start of a text: leading blanks are skipped,
// then the digits that follow (with at most one decimal point) make the number;
// whatever comes after them is ignored. A text without such digits gives 0.
double leadingNumber(QStringView text);
