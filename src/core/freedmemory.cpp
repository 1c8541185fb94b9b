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

void returnBigBlocksWhenFreed()
{
#if defined(__GLIBC__)
    // Setting the threshold fixes it: it no longer grows with each big block freed.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}
