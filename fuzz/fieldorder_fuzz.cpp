#include "tagging/fieldorder.h"

#include <cstdlib>

// Any stored field order text reads as some list, and that list is written
// and read back unchanged: a value the dialogs store survives their next open.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const FieldOrder order = readFieldOrder(text);
    if (readFieldOrder(writeFieldOrder(order)) != order)
        std::abort();
    FieldOrder moved = order;
    const int current = order.empty() ? 0 : static_cast<int>(size % order.size());
    moveFieldDown(moved, moveFieldUp(moved, current));
    if (moved.size() != order.size())
        std::abort();
    return 0;
}
