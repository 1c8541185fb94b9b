#include "importparser_fuzz.h"
#include "library/import/plsparser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzImportParser<PlsParser>(data, size);
}
