#pragma once

// Gives the memory that a big piece of work freed back to the system. The
// C library keeps freed blocks for reuse, and blocks freed by a worker thread
// stay in that thread's own pool: after an import of 100,000 songs the
// program would go on holding tens of MiB that nothing uses. Does nothing
// where the C library offers no way.
void releaseFreedMemory();

// Has every thread take its memory from the one pool that releaseFreedMemory
// can give back whole. The C library gives worker threads pools of their
// own, and what a big piece of work frees at the top of such a pool stays
// held (after an import, about as much as the list itself). Called once,
// before any thread starts.
void useOneMemoryPool();

// Has the system hand over the pages of a fresh block of `size` bytes at
// `data` in one go, before they are written. Each page of a fresh block
// otherwise costs a fault of its own when first written, and on a virtual
// machine reading a big play list into fresh memory took longer than
// parsing it. Does nothing where the system offers no way.
void prepareFreshMemory(void *data, long long size);
