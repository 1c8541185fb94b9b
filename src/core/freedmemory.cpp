#include "freedmemory.h"

// Any C library header says which C library this is.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cstdint>

void releaseFreedMemory()
{
#if defined(__GLIBC__)
    // Every pool, the worker threads' too; keeps no slack at the top.
    malloc_trim(0);
#endif
}

void useOneMemoryPool()
{
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
#endif
}

void prepareFreshMemory(void *data, long long size)
{
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto from = reinterpret_cast<std::uintptr_t>(data);
    // Whole pages inside the block only: the pages at its edges may be
    // shared with other blocks, and are written soon anyway.
    const std::uintptr_t first = (from + page - 1) / page * page;
    const std::uintptr_t last = (from + static_cast<std::uintptr_t>(size)) / page * page;
    if (size > 0 && last > first)
        ::madvise(reinterpret_cast<void *>(first), last - first, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)size;
#endif
}
