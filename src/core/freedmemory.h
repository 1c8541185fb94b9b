#pragma once

// Gives the memory that a big piece of work freed back to the system. The
// C library keeps freed blocks for reuse, and blocks freed by a worker thread
// stay in that thread's own pool: after an import of 100,000 songs the
// program would go on holding tens of MiB that nothing uses. Does nothing
// where the C library offers no way.
void releaseFreedMemory();

