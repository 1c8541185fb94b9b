#include "library/import/m3uparser.h"

#include <cstdlib>

// Any bytes give some entries, none of them empty, and never more entries
// than the text has lines.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const PlayListEncoding encoding : {PlayListEncoding::Utf8, PlayListEncoding::Utf8OrWindows1252}) {
        const QStringList entries = M3uParser(encoding).parse(bytes);
        for (const QString &entry : entries)
            if (entry.isEmpty() || entry.contains(QChar(0)))
                std::abort();
        if (entries.size() > bytes.count('\n') + bytes.count('\r') + 1)
            std::abort();
    }
    return 0;
}
