#include "loudness/loudnesscache.h"

#include <cstdlib>

// Any bytes read as some cache, what is kept of them writes out as a cache
// that reads back whole and the same, and nothing read is ever written
// unreadable.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const LoudnessCacheFile::Parsed parsed = LoudnessCacheFile::parse(bytes);
    const QByteArray written = LoudnessCacheFile::serialize(parsed.entries);
    const LoudnessCacheFile::Parsed again = LoudnessCacheFile::parse(written);
    if (again.damaged() || again.entries.size() != parsed.entries.size()
        || LoudnessCacheFile::serialize(again.entries) != written)
        std::abort();
    return 0;
}
