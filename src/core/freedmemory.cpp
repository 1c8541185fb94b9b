#include "freedmemory.h"

// Any C library header says which C library this is.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

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
