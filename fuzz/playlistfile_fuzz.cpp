#include "library/playlistfile.h"

#include <cstdlib>

// Any bytes load as some list, and what is written back from that list reads
// back as the same list: a stored file never changes under a load and save.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const PlayListFile::Content content = PlayListFile::parse(bytes);
    if (content.shortcutFolder)
        return 0;
    const QByteArray written = PlayListFile::serialize(content.songs);
    const PlayListFile::Content again = PlayListFile::parse(written);
    if (again.shortcutFolder || PlayListFile::serialize(again.songs) != written)
        std::abort();
    return 0;
}
