#include "importparser_fuzz.h"
#include "library/import/m3uparser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzImportParser<M3uParser>(data, size);
}
