#include "schedule/schedulefile.h"

#include <cstdlib>

// Any bytes either read as a plan or are refused with a line and a reason;
// a plan read, written and read again is the same plan, and its text the
// same text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ScheduleFile::ReadResult read = ScheduleFile::parse(bytes);
    if (!read.plan) {
        if (read.reason.isEmpty() || read.line < 0)
            std::abort();
        return 0;
    }
    const QByteArray written = ScheduleFile::format(*read.plan);
    const ScheduleFile::ReadResult again = ScheduleFile::parse(written);
    if (!again.plan || !(*again.plan == *read.plan) || ScheduleFile::format(*again.plan) != written)
        std::abort();
    return 0;
}
