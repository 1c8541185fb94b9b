#pragma once

// Gives the memory that a big piece of work freed back to the system. The
// C library keeps freed blocks for reuse, and blocks freed by a worker thread
// stay in that thread's own pool: after an import of 100,000 songs the
// program would go on holding tens of MiB that nothing uses. Does nothing
// where the C library offers no way.
void releaseFreedMemory();

// Makes every big block (a list's bytes, a working copy on its way) a mapping
// of its own that goes back to the system when freed. The C library would
// otherwise, after the first such block, keep the later ones in its pool,
// where they stay once freed. Called once at start-up.
void returnBigBlocksWhenFreed();
