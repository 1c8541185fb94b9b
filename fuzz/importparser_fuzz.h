#pragma once

#include "library/import/playlistparser.h"

#include <cstdint>
#include <cstdlib>

// For a reader of imported lists: any bytes, in either encoding, give some
// entries, none of them empty or holding a NUL, and never more entries than
// the text has lines.
template <typename Parser> int fuzzImportParser(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const PlayListEncoding encoding :
         {PlayListEncoding::Utf8, PlayListEncoding::Utf8OrWindows1252}) {
        const QStringList entries = Parser(encoding).parse(bytes);
        for (const QString &entry : entries)
            if (entry.isEmpty() || entry.contains(QChar(0)))
                std::abort();
        if (entries.size() > bytes.count('\n') + bytes.count('\r') + 1)
            std::abort();
    }
    return 0;
}
